#pragma once

#include "level/objectrecord.h"
#include "model/placementcontext.h"
#include "properties/pointlight.h"
#include "ui_objectpropertiesform.h"

#include <QPointer>
#include <QWidget>
#include <vector>

class LayerController;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;
class Sector;

// The "Object Properties" window: shows where one object stands (or "-/-" for
// a selection), changes the subtype of the objects at once, and on OK writes
// the lighting values of light cells and can make a light cell the centre of
// a point light. A top-level window of its own that does not keep the editor
// running.
//
// Objects can die while the window is open (erased, their layer cleared, a map
// loaded): the window holds them through guarded pointers, skips the dead ones
// and closes itself when the object it shows is gone.
class ObjectPropertiesForm : public QWidget
{
    Q_OBJECT

public:
    struct OpenedObject
    {
        QPointer<Sector> sector;
        ObjectRecord before;
    };

    explicit ObjectPropertiesForm(QWidget *parent = nullptr);

    // Fills the window for one object.
    void setSector(Sector *sector, const PlacementContext &context);
    // Fills the window for several objects; the first is the one shown.
    void setSectors(const std::vector<Sector *> &sectors, const PlacementContext &context);
    // Reads again what the edited objects are now: an undo or redo may have
    // changed them while the window stayed open.
    void takeSnapshot();
    // Hands subtype changes made without OK to the edit history.
    void recordPendingChanges();
    // What the last OK's point light did (new light cells or why none were
    // made); left empty for the next OK.
    PointLightOutcome takePointLight();

    bool isMultiEdit = false;
    Ui::objectProperties ui;
    QPointer<Sector> primarySector;
    // In multi mode every edited object, the first being the primary one.
    std::vector<QPointer<Sector>> editedSectors;
    QPushButton *buttonOK = nullptr;
    QCheckBox *chkIsLightEmitter = nullptr;
    QSlider *sliderEmissionRadius = nullptr;
    QLineEdit *editEmissionRadius = nullptr;
    QComboBox *comboSubtype = nullptr;
    LayerController *layerController = nullptr;
    PlacementContext formContext;
    // The edited objects as they were when the window opened (or when the
    // history last moved), and the layer they were edited on.
    std::vector<OpenedObject> openedAs;
    std::string openedLayer;

public slots:
    void ButtonOkEvent();
    void ComboSubtypeChangedEvent();
    void SliderEmissionRadiusEvent();
    void IsLightEmitterChangedEvent();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void applyForm(Sector *primary);
    void noteEditedObjects();
    void takeContext(Sector *primary, const PlacementContext &context);
    void finishFilling();
    void showCoordinates();
    void showNoCoordinates();
    void updateLightingGroup();
    void enableStaticLighting();
    void enableDynamicLighting();
    void setDynamicFieldsEnabled(bool dynamic);
    void fillSubtypeCombo();
    void showLighting();
    void applyLighting(Sector *sector);
    static void applySubtype(Sector *sector, const std::string &subtype);
    int readIntField(const QString &name) const;
    double readBlinkDelay() const;
    std::vector<Sector *> liveEditedSectors() const;

    PointLightOutcome pointLight;
};

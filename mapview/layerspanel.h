#pragma once

#include <QGroupBox>
#include <QString>
#include <map>
#include <string>

class LayerController;
class MapView;
class QToolButton;

// The "Layers" panel under the layer box: one row per layer in the layer
// box's order, with an eye (shown or hidden), a lock and the layer's name. The
// current layer's name is marked; a click on a name makes that layer current
// through the layer box. Ctrl+H, Ctrl+L and Ctrl+Shift+H act on the layer
// chosen in the layer box, never on the Wall or Door layer that Shift or Ctrl
// makes current for a moment.
class LayersPanel : public QGroupBox
{
    Q_OBJECT

public:
    LayersPanel(MapView *view, QWidget *parent);

    // The layer chosen in the layer box.
    std::string chosenLayer() const;

public slots:
    void ToggleChosenLayerHiddenEvent();
    void ToggleChosenLayerLockedEvent();
    // Shows the chosen layer alone; when it already is alone, shows them all.
    void ShowChosenLayerOnlyEvent();

private:
    struct Row
    {
        QToolButton *eye = nullptr;
        QToolButton *lock = nullptr;
        QToolButton *name = nullptr;
    };
    void setHidden(const std::string &layer, bool hidden);
    void setLocked(const std::string &layer, bool locked);
    // Brings every row up to date with the layers' states and the layer box.
    void showStates();

    MapView *view;
    LayerController *layers;
    std::map<std::string, Row> rows;
};

#include "properties/objectpropertiesform.h"

#include "level/subtypetable.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/sector.h"
#include "properties/pointlight.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {
const QString noCoordinates = QStringLiteral("-/-");
}

ObjectPropertiesForm::ObjectPropertiesForm(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    buttonOK = findChild<QPushButton *>(QStringLiteral("buttonOK"));
    chkIsLightEmitter = findChild<QCheckBox *>(QStringLiteral("chkIsLightEmitter"));
    sliderEmissionRadius = findChild<QSlider *>(QStringLiteral("sliderEmissionRadius"));
    editEmissionRadius = findChild<QLineEdit *>(QStringLiteral("editEmissionRadius"));
    comboSubtype = findChild<QComboBox *>(QStringLiteral("comboSubtype"));

    connect(buttonOK, &QPushButton::clicked, this, &ObjectPropertiesForm::ButtonOkEvent);
    connect(sliderEmissionRadius, &QSlider::valueChanged, this, &ObjectPropertiesForm::SliderEmissionRadiusEvent);
    connect(chkIsLightEmitter, &QCheckBox::stateChanged, this, &ObjectPropertiesForm::IsLightEmitterChangedEvent);
    sliderEmissionRadius->setEnabled(false);
    editEmissionRadius->setEnabled(false);

    // A side window of the editor: closing the map window ends the program
    // even while this one is open, and an open one is closed (and, when the
    // map view made it, deleted) before the map is torn down.
    setAttribute(Qt::WA_QuitOnClose, false);
    if (QCoreApplication *application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &QWidget::close);
}

void ObjectPropertiesForm::setSector(Sector *sector, const PlacementContext &context)
{
    if (!sector)
        return;
    takeContext(sector, context);
    isMultiEdit = false;
    showCoordinates();
    finishFilling();
    takeSnapshot();
}

void ObjectPropertiesForm::setSectors(const std::vector<Sector *> &sectors, const PlacementContext &context)
{
    if (sectors.empty() || !sectors.front())
        return;
    editedSectors.assign(sectors.begin(), sectors.end());
    takeContext(sectors.front(), context);
    isMultiEdit = true;
    showNoCoordinates();
    finishFilling();
    takeSnapshot();
}

void ObjectPropertiesForm::takeContext(Sector *primary, const PlacementContext &context)
{
    primarySector = primary;
    formContext = context;
    layerController = context.layers;
    // The window shows this object; without it there is nothing left to edit.
    connect(primary, &QObject::destroyed, this, &QWidget::close);
}

void ObjectPropertiesForm::finishFilling()
{
    updateLightingGroup();
    fillSubtypeCombo();
    if (primarySector->properties->kind == Kinds::Lightmap)
        showLighting();
    // Only now, so that filling the combo box changes no subtype.
    connect(comboSubtype, &QComboBox::currentTextChanged, this, &ObjectPropertiesForm::ComboSubtypeChangedEvent);
}

void ObjectPropertiesForm::showCoordinates()
{
    const SectorProperties *p = primarySector->properties;
    ui.textMapX->setText(QString::number(p->mapX));
    ui.textMapY->setText(QString::number(p->mapY));
    const QPointF world = worldPosition(*p, formContext.mapWidget);
    ui.textWorldX->setText(QString::number(world.x(), 'g', 6));
    ui.textWorldY->setText(QString::number(world.y(), 'g', 6));
}

void ObjectPropertiesForm::showNoCoordinates()
{
    for (QLineEdit *field : {ui.textMapX, ui.textMapY, ui.textWorldX, ui.textWorldY})
        field->setText(noCoordinates);
}

void ObjectPropertiesForm::updateLightingGroup()
{
    if (!primarySector)
        return;
    const SectorProperties *p = primarySector->properties;
    if (p->kind != Kinds::Lightmap) {
        ui.groupLighting->hide();
        return;
    }
    if (p->subtype == "Static")
        enableStaticLighting();
    else
        enableDynamicLighting();
    ui.groupLighting->show();
}

void ObjectPropertiesForm::enableStaticLighting()
{
    setDynamicFieldsEnabled(false);
}

void ObjectPropertiesForm::enableDynamicLighting()
{
    setDynamicFieldsEnabled(true);
}

void ObjectPropertiesForm::setDynamicFieldsEnabled(bool dynamic)
{
    // A static light has one level; a dynamic one varies between min and max.
    ui.editLightingEmission->setEnabled(!dynamic);
    for (QWidget *field : std::initializer_list<QWidget *> {
             ui.labelLightingMin, ui.labelLightingMax, ui.labelLightBlinkDelay, ui.editLightingEmissionMin,
             ui.editLightingEmissionMax, ui.edintLightingBlinkDelay, ui.checkLightingRandIntensity})
        field->setEnabled(dynamic);
}

void ObjectPropertiesForm::fillSubtypeCombo()
{
    const SubtypeTable table;
    const SectorProperties *p = primarySector->properties;
    const auto found = table.subtypesByKind.find(p->kind);
    if (found != table.subtypesByKind.end())
        for (const std::string &subtype : found->second)
            comboSubtype->addItem(QString::fromStdString(subtype));
    // A subtype that is not in the list leaves the first entry current.
    if (!p->subtype.empty())
        comboSubtype->setCurrentText(QString::fromStdString(p->subtype));
}

void ObjectPropertiesForm::showLighting()
{
    const SectorLighting &lighting = primarySector->properties->lighting;
    ui.editLightingEmission->setText(QString::number(lighting.emission));
    ui.editLightingEmissionMin->setText(QString::number(lighting.emissionMin));
    ui.editLightingEmissionMax->setText(QString::number(lighting.emissionMax));
    ui.edintLightingBlinkDelay->setText(QString::number(lighting.blinkDelay, 'g', 6));
    ui.checkLightingRandIntensity->setChecked(lighting.randomIntensity);
}

void ObjectPropertiesForm::applyLighting(Sector *sector)
{
    // Every field is read, enabled or not; the radius and the emitter flag are
    // set only by a point light.
    SectorLighting lighting;
    lighting.emissionRadius = 0;
    lighting.emissionIntensity = 255;
    lighting.blinkDelay = readBlinkDelay();
    lighting.emission = readIntField(QStringLiteral("editLightingEmission"));
    lighting.emissionMin = readIntField(QStringLiteral("editLightingEmissionMin"));
    lighting.emissionMax = readIntField(QStringLiteral("editLightingEmissionMax"));
    lighting.isDynamic = sector->properties->subtype == "Dynamic";
    lighting.randomIntensity = ui.checkLightingRandIntensity->isChecked();
    lighting.isLightEmitter = false;
    sector->setLighting(lighting);
}

int ObjectPropertiesForm::readIntField(const QString &name) const
{
    // Not a number (or out of int's range) gives 0; any number is kept as typed.
    const auto *field = findChild<QLineEdit *>(name);
    return field ? field->text().toInt(nullptr, 10) : 0;
}

double ObjectPropertiesForm::readBlinkDelay() const
{
    // "nan", "inf" and overflowing numbers are no delay a map can keep.
    bool ok = false;
    const double delay = ui.edintLightingBlinkDelay->text().toDouble(&ok);
    return ok && std::isfinite(delay) ? delay : 0.0;
}

std::vector<Sector *> ObjectPropertiesForm::liveEditedSectors() const
{
    std::vector<Sector *> live;
    live.reserve(editedSectors.size());
    for (const QPointer<Sector> &sector : editedSectors)
        if (sector)
            live.push_back(sector.data());
    return live;
}

void ObjectPropertiesForm::ButtonOkEvent()
{
    Sector *primary = primarySector.data();
    if (!primary) {
        close();
        return;
    }
    // What OK changes, the light cells of a point light included, is one
    // step of the edit history.
    MapEdits *edits = formContext.edits;
    if (edits) {
        edits->beginGesture(QStringLiteral("object properties"));
        noteEditedObjects();
    }
    applyForm(primary);
    if (edits)
        edits->endGesture();
    openedAs.clear();
    close();
}

void ObjectPropertiesForm::applyForm(Sector *primary)
{
    const std::string subtype = comboSubtype->currentText().toStdString();
    if (isMultiEdit) {
        for (Sector *sector : liveEditedSectors()) {
            applySubtype(sector, subtype);
            if (sector->properties->kind == Kinds::Lightmap) {
                applyLighting(sector);
                if (layerController)
                    layerController->tintLightSector(sector);
            }
        }
    }
    applySubtype(primary, subtype);
    const bool isLight = primary->properties->kind == Kinds::Lightmap;
    if (isLight)
        applyLighting(primary);

    SectorLighting lighting = primary->properties->lighting;
    if (isLight && chkIsLightEmitter->isChecked()) {
        lighting.emissionIntensity = lighting.isDynamic ? lighting.emissionMax : lighting.emission;
        lighting.emissionRadius = editEmissionRadius->text().toInt(nullptr, 10);
        lighting.isLightEmitter = true;
        primary->setLighting(lighting);

        PointLightParams params;
        // The centre's own delay, just read from the form, so that generating
        // the light does not overwrite what the user typed.
        params.blinkDelay = lighting.blinkDelay;
        params.emissionMin = lighting.emissionMin;
        params.isDynamic = lighting.isDynamic;
        params.randomIntensity = lighting.randomIntensity;
        params.centreX = primary->properties->mapX;
        params.centreY = primary->properties->mapY;
        params.intensity = lighting.emissionIntensity;
        params.radius = lighting.emissionRadius;
        pointLight = generatePointLight(formContext, params);
    } else {
        lighting.isLightEmitter = false;
        primary->setLighting(lighting);
    }
}

PointLightOutcome ObjectPropertiesForm::takePointLight()
{
    return std::exchange(pointLight, PointLightOutcome());
}

void ObjectPropertiesForm::takeSnapshot()
{
    openedAs.clear();
    const std::string layer = layerController ? layerController->currentLayer() : std::string();
    std::vector<Sector *> objects = liveEditedSectors();
    if (primarySector && std::find(objects.begin(), objects.end(), primarySector.data()) == objects.end())
        objects.push_back(primarySector.data());
    for (Sector *sector : objects)
        openedAs.push_back(OpenedObject {sector, recordOf(*sector, openedLayer.empty() ? layer : openedLayer)});
    if (openedLayer.empty())
        openedLayer = layer;
    // The combo box shows the subtype the object has now; choosing one
    // applies it at once, so showing it must not.
    if (primarySector) {
        const QSignalBlocker quiet(comboSubtype);
        comboSubtype->setCurrentText(QString::fromStdString(primarySector->properties->subtype));
        updateLightingGroup();
    }
}

void ObjectPropertiesForm::noteEditedObjects()
{
    for (const OpenedObject &opened : openedAs) {
        if (!opened.sector)
            continue;
        // Only the subtype and lighting are this window's to change; the
        // texture may have been changed meanwhile by a step of its own.
        ObjectRecord before = recordOf(*opened.sector, opened.before.layer);
        before.subtype = opened.before.subtype;
        before.lighting = opened.before.lighting;
        formContext.edits->noteChanging(opened.sector, before.layer, &before);
    }
}

void ObjectPropertiesForm::recordPendingChanges()
{
    // Subtypes chosen in the combo box apply at once; if the window goes or
    // the history moves without OK, they become a step of their own.
    if (!formContext.edits || openedAs.empty())
        return;
    formContext.edits->beginGesture(QStringLiteral("object subtype"));
    noteEditedObjects();
    formContext.edits->endGesture();
    takeSnapshot();
}

void ObjectPropertiesForm::closeEvent(QCloseEvent *event)
{
    recordPendingChanges();
    openedAs.clear();
    QWidget::closeEvent(event);
}

void ObjectPropertiesForm::ComboSubtypeChangedEvent()
{
    const std::string subtype = comboSubtype->currentText().toStdString();
    if (isMultiEdit)
        for (Sector *sector : liveEditedSectors())
            applySubtype(sector, subtype);
    if (primarySector)
        applySubtype(primarySector, subtype);
    // Switching between "Static" and "Dynamic" switches the fields at once.
    updateLightingGroup();
}

void ObjectPropertiesForm::applySubtype(Sector *sector, const std::string &subtype)
{
    // The combo box lists the primary object's subtypes; a selected object of
    // another kind keeps its own unless its kind has the chosen one too.
    static const SubtypeTable table;
    if (table.kindHasSubtype(sector->properties->kind, subtype))
        sector->setSubtype(subtype);
}

void ObjectPropertiesForm::SliderEmissionRadiusEvent()
{
    editEmissionRadius->setText(QString::number(sliderEmissionRadius->value()));
}

void ObjectPropertiesForm::IsLightEmitterChangedEvent()
{
    const bool emitter = chkIsLightEmitter->isChecked();
    sliderEmissionRadius->setEnabled(emitter);
    editEmissionRadius->setEnabled(emitter);
}

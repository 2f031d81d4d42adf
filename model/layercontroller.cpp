#include "model/layercontroller.h"

#include "model/mousehold.h"
#include "model/sector.h"
#include "model/sectorfactory.h"
#include "model/subtypetable.h"
#include "model/tinteffect.h"

#include <QColor>
#include <QComboBox>
#include <QGraphicsColorizeEffect>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>
#include <algorithm>
#include <unordered_set>

namespace {
// Layers hidden and shown for each current layer; "Wall" is never hidden.
struct VisibilityRule
{
    std::vector<std::string> hidden;
    std::vector<std::string> shown;
};

VisibilityRule visibilityRuleFor(const std::string &layer)
{
    using namespace Kinds;
    if (layer == Ceil)
        return {{Floor, Door, Lightmap, Sprite, Item, Actor}, {Ceil}};
    if (layer == Floor)
        return {{Ceil, Door, Lightmap, Sprite, Item, Actor}, {Floor}};
    if (layer == Lightmap)
        return {{Ceil, Door, Floor, Sprite, Item, Actor}, {Lightmap}};
    return {{Ceil, Floor, Lightmap}, {Door, Sprite, Item, Actor, Wall}};
}

int clampedLevel(int32_t level)
{
    return std::clamp<int32_t>(level, 0, 255);
}

void eraseSector(std::vector<Sector *> &list, Sector *sector)
{
    list.erase(std::remove(list.begin(), list.end(), sector), list.end());
}
} // namespace

LayerController::LayerController(QWidget *controlsWidget) : controlsWidget(controlsWidget)
{
    for (const std::string &layer : Kinds::comboOrder())
        sectorsByLayer[layer];

    comboBoxMapLayer = controlsWidget->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"));
    if (comboBoxMapLayer) {
        for (const std::string &layer : Kinds::comboOrder())
            comboBoxMapLayer->addItem(QString::fromStdString(layer), QVariant());
        comboBoxMapLayer->setCurrentText(QString::fromStdString(Kinds::Wall));
        currentLayer = comboBoxMapLayer->currentText().toStdString();
    } else {
        currentLayer = Kinds::Wall;
    }
    loadLayerSectors();
    refreshDisplay();

    if (auto *clearButton = controlsWidget->findChild<QPushButton *>(QStringLiteral("btnMapLayerClear")))
        connect(clearButton, &QPushButton::clicked, this, &LayerController::MapClearButton);
}

LayerController::~LayerController()
{
    for (QPointer<Sector> &sector : pendingDeletion)
        delete sector.data();
    deleteAllSectors();
}

void LayerController::commitLayer()
{
    if (currentLayer.empty() && comboBoxMapLayer)
        currentLayer = comboBoxMapLayer->currentText().toStdString();
    sectorsByLayer[currentLayer] = layerSectors;
}

void LayerController::MapLayerChanged()
{
    commitLayer();
    if (comboBoxMapLayer)
        currentLayer = comboBoxMapLayer->currentText().toStdString();
    loadLayerSectors();
    refreshDisplay();
}

void LayerController::switchToLayer(const std::string &layer)
{
    commitLayer();
    currentLayer = layer;
    loadLayerSectors();
    refreshDisplay();
}

void LayerController::adoptComboLayer()
{
    if (comboBoxMapLayer)
        currentLayer = comboBoxMapLayer->currentText().toStdString();
    loadLayerSectors();
    refreshDisplay();
}

std::vector<Sector *> &LayerController::layerList(const std::string &layer)
{
    return sectorsByLayer[layer];
}

void LayerController::replaceAllLayers(SectorRegistry registry)
{
    deleteAllSectors();
    // The working list may hold objects that were never committed; they are
    // the same pointers as the registry's, already destroyed above.
    layerSectors.clear();
    selectedSectors.clear();

    sectorsByLayer = std::move(registry);
    layerIndexes.clear();
    for (const auto &entry : sectorsByLayer) {
        PositionIndex &index = layerIndexes[entry.first];
        index.reserve(entry.second.size());
        // A level may hold two objects in one cell of a layer; the first one counts.
        for (Sector *sector : entry.second)
            index.emplace(positionKey(sector->properties->mapX, sector->properties->mapY), sector);
    }
    loadLayerSectors();

    if (comboBoxMapLayer)
        comboBoxMapLayer->setCurrentText(QString::fromStdString(Kinds::Wall));
    refreshDisplay();
}

void LayerController::addSector(Sector *sector)
{
    if (!sector)
        return;
    if (currentLayer.empty())
        commitLayer();
    const SectorProperties *p = sector->properties;
    if (!layerIndexes[currentLayer].emplace(positionKey(p->mapX, p->mapY), sector).second)
        return;
    // The registry list equals the working list after every edit; no need
    // to copy the whole layer for each new object.
    layerSectors.push_back(sector);
    sectorsByLayer[currentLayer].push_back(sector);
}

bool LayerController::hasSectorAt(int x, int y) const
{
    return sectorAt(x, y) != nullptr;
}

Sector *LayerController::sectorAt(int x, int y) const
{
    return sectorOn(currentLayer, x, y);
}

Sector *LayerController::sectorOn(const std::string &layer, int x, int y) const
{
    const auto index = layerIndexes.find(layer);
    if (index == layerIndexes.end())
        return nullptr;
    const auto found = index->second.find(positionKey(x, y));
    return found == index->second.end() ? nullptr : found->second;
}

void LayerController::removeSectorAt(int x, int y)
{
    if (x < 0 || y < 0)
        return;
    if (layerIndexes[currentLayer].erase(positionKey(x, y)) == 0)
        return;

    std::vector<Sector *> removed;
    auto atPosition = [x, y](Sector *s) { return s->properties->mapX == x && s->properties->mapY == y; };
    std::copy_if(layerSectors.begin(), layerSectors.end(), std::back_inserter(removed), atPosition);
    layerSectors.erase(std::remove_if(layerSectors.begin(), layerSectors.end(), atPosition), layerSectors.end());

    std::vector<Sector *> &registered = sectorsByLayer[currentLayer];
    for (Sector *sector : removed) {
        eraseSector(registered, sector);
        // A dead object must never stay selected.
        eraseSector(selectedSectors, sector);
        // The object dies when control returns to the event loop: its button
        // may be the one receiving the current mouse event.
        pendingDeletion.emplace_back(sector);
        sector->deleteLater();
    }
    pendingDeletion.erase(std::remove_if(pendingDeletion.begin(), pendingDeletion.end(),
                                         [](const QPointer<Sector> &s) { return s.isNull(); }),
                          pendingDeletion.end());
}

void LayerController::selectRect(int minX, int minY, int maxX, int maxY)
{
    // A hidden layer takes no clicks, and a rubber band selects nothing on it.
    if (states.isHidden(currentLayer))
        return;
    selectionLayer = currentLayer;
    for (Sector *sector : layerSectors) {
        const SectorProperties *p = sector->properties;
        if (p->mapX >= minX && p->mapX <= maxX && p->mapY >= minY && p->mapY <= maxY) {
            selectedSectors.push_back(sector);
            tintSector(sector, 0, 155, 0);
        }
    }
}

void LayerController::clearSelection()
{
    const std::vector<Sector *> unselected = std::move(selectedSectors);
    selectedSectors.clear();
    for (Sector *sector : unselected)
        applyDisplayTint(sector, selectionLayer);
}

void LayerController::refreshDisplay()
{
    const MouseHold hold(controlsWidget->window());
    applyVisibilityRules();
    applyLayerTints(currentLayer);
    tintSelection();
}

void LayerController::tintLightSector(Sector *sector)
{
    // Levels outside 0..255 are stored as typed; the tint shows the nearest valid grey.
    const int level = clampedLevel(sector->properties->lighting.emission);
    tintSector(sector, level, level, level);
}

void LayerController::tintLightmaps()
{
    for (Sector *sector : layerList(Kinds::Lightmap))
        tintLightSector(sector);
    tintSelection();
}

void LayerController::hideSectors(const std::vector<Sector *> &sectors)
{
    for (Sector *sector : sectors)
        if (sector->properties->button)
            sector->properties->button->hide();
}

void LayerController::showSectors(const std::vector<Sector *> &sectors)
{
    for (Sector *sector : sectors)
        if (sector->properties->button)
            sector->properties->button->show();
}

void LayerController::deleteSectors(std::vector<Sector *> &sectors)
{
    for (Sector *sector : sectors)
        delete sector;
    sectors.clear();
}

void LayerController::deleteAllSectors()
{
    std::vector<Sector *> all;
    for (auto &entry : sectorsByLayer) {
        all.insert(all.end(), entry.second.begin(), entry.second.end());
        entry.second.clear();
    }
    layerIndexes.clear();
    destroySectors(all);
}

void LayerController::MapClearButton()
{
    if (confirmClear())
        clearCurrentLayer();
}

bool LayerController::confirmClear()
{
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Warning!"));
    box.setText(QStringLiteral("All sectors in the currently") + QStringLiteral("selected layer will be destroyed!\n")
                + QStringLiteral("Are you sure you want to continue?"));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void LayerController::clearCurrentLayer()
{
    commitLayer();
    std::vector<Sector *> &doomed = sectorsByLayer[currentLayer];
    for (Sector *sector : doomed)
        eraseSector(selectedSectors, sector);
    deleteSectors(doomed);
    layerSectors.clear();
    layerIndexes[currentLayer].clear();
}

void LayerController::loadLayerSectors()
{
    // The layer's position index is kept up to date with every change.
    layerSectors = sectorsByLayer[currentLayer];
}

void LayerController::applyVisibilityRules()
{
    const VisibilityRule rule = visibilityRuleFor(currentLayer);
    for (const std::string &layer : rule.hidden)
        hideSectors(layerList(layer));
    for (const std::string &layer : rule.shown) {
        if (states.isHidden(layer))
            hideSectors(layerList(layer));
        else
            showSectors(layerList(layer));
    }
    // The layers the rules leave as they are (the walls) still obey their eye.
    if (states.isHidden(Kinds::Wall)
        && std::find(rule.shown.begin(), rule.shown.end(), Kinds::Wall) == rule.shown.end())
        hideSectors(layerList(Kinds::Wall));
}

bool LayerController::isLayerShown(const std::string &layer) const
{
    if (states.isHidden(layer))
        return false;
    const VisibilityRule rule = visibilityRuleFor(currentLayer);
    return std::find(rule.hidden.begin(), rule.hidden.end(), layer) == rule.hidden.end();
}

void LayerController::setLayerHidden(const std::string &layer, bool hidden)
{
    if (states.isHidden(layer) == hidden)
        return;
    states.setHidden(layer, hidden);
    const MouseHold hold(controlsWidget->window());
    // Only this layer's objects change; the other layers keep their look.
    if (hidden) {
        if (selectionLayer == layer)
            clearSelection();
        hideSectors(layerList(layer));
    } else if (isLayerShown(layer)) {
        showSectors(layerList(layer));
    }
    emit layerStatesChanged();
}

void LayerController::setLayerLocked(const std::string &layer, bool locked)
{
    if (states.isLocked(layer) == locked)
        return;
    states.setLocked(layer, locked);
    if (locked && selectionLayer == layer)
        clearSelection();
    emit layerStatesChanged();
}

void LayerController::applyLayerTints(const std::string &layer)
{
    for (auto &entry : sectorsByLayer) {
        if (entry.first == layer)
            continue;
        for (Sector *sector : entry.second)
            tintSector(sector, 0, 0, 155);
    }
    for (Sector *sector : layerList(layer))
        if (sector->properties->button)
            sector->properties->button->setGraphicsEffect(nullptr);
    if (layer == Kinds::Lightmap)
        tintLightmaps();
}

void LayerController::applyDisplayTint(Sector *sector, const std::string &layer)
{
    if (layer != currentLayer)
        tintSector(sector, 0, 0, 155);
    else if (layer == Kinds::Lightmap)
        tintLightSector(sector);
    else if (sector->properties->button)
        sector->properties->button->setGraphicsEffect(nullptr);
}

void LayerController::tintSelection()
{
    for (Sector *sector : selectedSectors)
        tintSector(sector, 0, 155, 0);
}

void LayerController::tintSector(Sector *sector, int red, int green, int blue)
{
    QPushButton *button = sector->properties->button;
    if (!button)
        return;
    const QColor colour(red, green, blue, 255);
    // A button that already shows this tint keeps it: a layer switch then
    // only touches the objects whose look changes.
    auto *current = qobject_cast<QGraphicsColorizeEffect *>(button->graphicsEffect());
    if (current && current->color() == colour && current->strength() == 1.0)
        return;
    button->setGraphicsEffect(new TintEffect(colour, button));
}

uint64_t LayerController::positionKey(int x, int y)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
}

void LayerController::insertSector(const std::string &layer, size_t index, Sector *sector)
{
    if (!sector)
        return;
    std::vector<Sector *> &registered = sectorsByLayer[layer];
    registered.insert(registered.begin() + std::min(index, registered.size()), sector);
    layerIndexes[layer].emplace(positionKey(sector->properties->mapX, sector->properties->mapY), sector);
    if (layer != currentLayer)
        return;
    // The working list equals the registry's list of the current layer.
    layerSectors.insert(layerSectors.begin() + std::min(index, layerSectors.size()), sector);
}

void LayerController::removeSectors(const std::string &layer, const std::vector<Sector *> &sectors)
{
    if (sectors.empty())
        return;
    const std::unordered_set<Sector *> doomed(sectors.begin(), sectors.end());
    auto isDoomed = [&doomed](Sector *sector) { return doomed.count(sector) != 0; };
    std::vector<Sector *> &registered = sectorsByLayer[layer];
    registered.erase(std::remove_if(registered.begin(), registered.end(), isDoomed), registered.end());
    selectedSectors.erase(std::remove_if(selectedSectors.begin(), selectedSectors.end(), isDoomed),
                          selectedSectors.end());
    if (layer == currentLayer)
        layerSectors.erase(std::remove_if(layerSectors.begin(), layerSectors.end(), isDoomed), layerSectors.end());
    PositionIndex &index = layerIndexes[layer];
    for (Sector *sector : sectors) {
        auto found = index.find(positionKey(sector->properties->mapX, sector->properties->mapY));
        if (found != index.end() && found->second == sector)
            index.erase(found);
    }
    pendingDeletion.erase(std::remove_if(pendingDeletion.begin(), pendingDeletion.end(),
                                         [](const QPointer<Sector> &s) { return s.isNull(); }),
                          pendingDeletion.end());
    for (Sector *sector : sectors) {
        pendingDeletion.emplace_back(sector);
        sector->deleteLater();
    }
}

void LayerController::applyDisplayRules(Sector *sector, const std::string &layer)
{
    QPushButton *button = sector->properties->button;
    if (!button)
        return;
    button->setVisible(isLayerShown(layer));
    applyDisplayTint(sector, layer);
}

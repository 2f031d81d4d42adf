#include "model/layercontroller.h"

#include "level/cellkey.h"
#include "level/subtypetable.h"
#include "model/layerpane.h"
#include "model/mousehold.h"
#include "model/objectbutton.h"
#include "model/sector.h"
#include "model/sectorfactory.h"

#include <QApplication>
#include <QColor>
#include <QComboBox>
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

// Asked once for every object an undo makes: the rules are made once.
const VisibilityRule &visibilityRuleFor(const std::string &layer)
{
    using namespace Kinds;
    static const VisibilityRule ceil {{Floor, Door, Lightmap, Sprite, Item, Actor}, {Ceil}};
    static const VisibilityRule floor {{Ceil, Door, Lightmap, Sprite, Item, Actor}, {Floor}};
    static const VisibilityRule lightmap {{Ceil, Door, Floor, Sprite, Item, Actor}, {Lightmap}};
    static const VisibilityRule others {{Ceil, Floor, Lightmap}, {Door, Sprite, Item, Actor, Wall}};
    if (layer == Ceil)
        return ceil;
    if (layer == Floor)
        return floor;
    if (layer == Lightmap)
        return lightmap;
    return others;
}

// The tint of every layer but the current one.
QColor backgroundTint()
{
    return QColor(0, 0, 155);
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

    // The layers' panes stack over the map before anything else does.
    map = controlsWidget->findChild<QWidget *>(QStringLiteral("mapWidget"));
    if (map) {
        LayerPane::setSightHandler(map, [this](LayerPane &pane, const std::vector<QPoint> &blocks) {
            giveButtonsIn(pane, blocks);
        });
        LayerPane::install(map);
    }
    comboBoxMapLayer = controlsWidget->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"));
    if (comboBoxMapLayer) {
        for (const std::string &layer : Kinds::comboOrder())
            comboBoxMapLayer->addItem(QString::fromStdString(layer), QVariant());
        comboBoxMapLayer->setCurrentText(QString::fromStdString(Kinds::Wall));
        current = comboBoxMapLayer->currentText().toStdString();
    } else {
        current = Kinds::Wall;
    }
    sectorsByLayer[current];
    refreshDisplay();

    if (auto *clearButton = controlsWidget->findChild<QPushButton *>(QStringLiteral("btnMapLayerClear")))
        connect(clearButton, &QPushButton::clicked, this, &LayerController::MapClearButton);
}

LayerController::~LayerController()
{
    if (map)
        LayerPane::setSightHandler(map, {});
    for (QPointer<Sector> &sector : pendingDeletion)
        delete sector.data();
    deleteAllSectors();
}

void LayerController::giveButtonsIn(LayerPane &pane, const std::vector<QPoint> &blocks)
{
    const auto list = sectorsByLayer.find(pane.layer());
    if (list == sectorsByLayer.end() || list->second.empty())
        return;
    const PositionIndex &index = layerIndexes[pane.layer()];
    std::vector<Sector *> found;
    const size_t cells = blocks.size() * LayerPane::blockCells * LayerPane::blockCells;
    // Whichever is fewer: the cells of the blocks, or the objects of the
    // layer. The index holds one object per cell: a layer with two objects in
    // a cell (as a level file may have) is gone through object by object.
    if (index.size() == list->second.size() && cells < list->second.size()) {
        for (const QPoint &block : blocks) {
            const QPoint corner = block * LayerPane::blockCells;
            for (int y = 0; y < LayerPane::blockCells; ++y)
                for (int x = 0; x < LayerPane::blockCells; ++x)
                    if (const auto at = index.find(cellKey(corner.x() + x, corner.y() + y)); at != index.end())
                        found.push_back(at->second);
        }
    } else {
        std::unordered_set<uint64_t> coming;
        for (const QPoint &block : blocks)
            coming.insert(cellKey(block.x(), block.y()));
        for (Sector *sector : list->second) {
            const QPoint block = LayerPane::blockOf(QPoint(sector->properties->mapX, sector->properties->mapY));
            if (coming.count(cellKey(block.x(), block.y())) != 0)
                found.push_back(sector);
        }
    }
    giveButtons(pane, found);
}

void LayerController::giveButtons(LayerPane &pane, const std::vector<Sector *> &sectors)
{
    if (sectors.empty())
        return;
    // Each button shown would make Qt look for the widget under the pointer.
    const MouseHold hold(map ? map->window() : nullptr);
    const LayerLook look = lookOf(pane.layer());
    const std::unordered_set<const Sector *> selected(selectedSectors.begin(), selectedSectors.end());
    const int cellSize = pane.cellSize();
    if (sectors.size() > 64) {
        std::vector<QPoint> cells;
        cells.reserve(sectors.size());
        for (const Sector *sector : sectors)
            cells.emplace_back(sector->properties->mapX, sector->properties->mapY);
        pane.holdBlocksOf(cells);
    }
    for (Sector *sector : sectors) {
        // A view changed by the work (the window laid out again) may have
        // given the object a button, or taken its block out of reach.
        if (sector->properties->button
            || !pane.isLive(QPoint(sector->properties->mapX, sector->properties->mapY)))
            continue;
        ObjectButton *button = giveButton(*sector->properties, &pane, cellSize);
        if (selected.count(sector) != 0) {
            tintSector(sector, 0, 155, 0);
        } else if (look.tint == LayerLook::Tint::LightLevel) {
            const int level = clampedLevel(sector->properties->lighting.emission);
            tintSector(sector, level, level, level);
        }
        // Its pane shows it with the layer, or keeps it off show.
        button->show();
    }
    pane.releaseBlocks();
}

void LayerController::placeInView(const std::string &layer, const std::vector<Sector *> &sectors, int cellSize)
{
    LayerPane *pane = LayerPane::of(map, layer);
    std::vector<Sector *> coming;
    for (Sector *sector : sectors) {
        SectorProperties &p = *sector->properties;
        if (pane && !pane->isLive(QPoint(p.mapX, p.mapY)))
            pane->giveUp(p);
        else if (pane && !p.button)
            coming.push_back(sector);
        else
            sector->showInView(cellSize);
    }
    if (pane)
        giveButtons(*pane, coming);
}

void LayerController::ensureCurrentLayer()
{
    if (current.empty() && comboBoxMapLayer)
        current = comboBoxMapLayer->currentText().toStdString();
    sectorsByLayer[current];
}

void LayerController::MapLayerChanged()
{
    ensureCurrentLayer();
    if (comboBoxMapLayer)
        current = comboBoxMapLayer->currentText().toStdString();
    sectorsByLayer[current];
    refreshDisplay();
}

void LayerController::switchToLayer(const std::string &layer)
{
    ensureCurrentLayer();
    current = layer;
    sectorsByLayer[current];
    refreshDisplay();
}

void LayerController::adoptComboLayer()
{
    if (comboBoxMapLayer)
        current = comboBoxMapLayer->currentText().toStdString();
    sectorsByLayer[current];
    refreshDisplay();
}

const std::vector<Sector *> &LayerController::currentSectors() const
{
    static const std::vector<Sector *> none;
    const auto found = sectorsByLayer.find(current);
    return found == sectorsByLayer.end() ? none : found->second;
}

std::string LayerController::comboLayer() const
{
    return comboBoxMapLayer ? comboBoxMapLayer->currentText().toStdString() : current;
}

void LayerController::chooseLayer(const std::string &layer)
{
    const QString name = QString::fromStdString(layer);
    if (comboBoxMapLayer && comboBoxMapLayer->findText(name) >= 0)
        comboBoxMapLayer->setCurrentText(name);
}

void LayerController::replaceAllLayers(SectorRegistry registry)
{
    deleteAllSectors();
    selectedSectors.clear();

    sectorsByLayer = std::move(registry);
    appliedLooks.clear();
    layerIndexes.clear();
    for (const auto &entry : sectorsByLayer) {
        PositionIndex &index = layerIndexes[entry.first];
        index.reserve(entry.second.size());
        // A level may hold two objects in one cell of a layer; the first one counts.
        for (Sector *sector : entry.second)
            index.emplace(cellKey(sector->properties->mapX, sector->properties->mapY), sector);
    }
    sectorsByLayer[current];
    // The objects were made for the view of their making: those now in sight
    // get buttons, the others give theirs up.
    if (map)
        for (const auto &entry : sectorsByLayer)
            placeInView(entry.first, entry.second, LayerPane::cellSizeOf(map));

    if (comboBoxMapLayer)
        comboBoxMapLayer->setCurrentText(QString::fromStdString(Kinds::Wall));
    refreshDisplay();
}

void LayerController::addSector(Sector *sector)
{
    if (!sector)
        return;
    if (current.empty())
        ensureCurrentLayer();
    const SectorProperties *p = sector->properties;
    if (!layerIndexes[current].emplace(cellKey(p->mapX, p->mapY), sector).second)
        return;
    sectorsByLayer[current].push_back(sector);
    forgetLook(current);
}

bool LayerController::hasSectorAt(int x, int y) const
{
    return sectorAt(x, y) != nullptr;
}

Sector *LayerController::sectorAt(int x, int y) const
{
    return sectorOn(current, x, y);
}

Sector *LayerController::sectorOn(const std::string &layer, int x, int y) const
{
    const auto index = layerIndexes.find(layer);
    if (index == layerIndexes.end())
        return nullptr;
    const auto found = index->second.find(cellKey(x, y));
    return found == index->second.end() ? nullptr : found->second;
}

void LayerController::removeSectorAt(int x, int y)
{
    if (x < 0 || y < 0)
        return;
    if (layerIndexes[current].erase(cellKey(x, y)) == 0)
        return;

    std::vector<Sector *> removed;
    auto atPosition = [x, y](Sector *s) { return s->properties->mapX == x && s->properties->mapY == y; };
    std::vector<Sector *> &registered = sectorsByLayer[current];
    std::copy_if(registered.begin(), registered.end(), std::back_inserter(removed), atPosition);
    registered.erase(std::remove_if(registered.begin(), registered.end(), atPosition), registered.end());
    for (Sector *sector : removed) {
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
    if (states.isHidden(current))
        return;
    selectedOn = current;
    for (Sector *sector : sectorsByLayer[current]) {
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
        applyDisplayTint(sector, selectedOn);
}

LayerController::LayerLook LayerController::lookOf(const std::string &layer) const
{
    LayerLook look;
    const VisibilityRule &rule = visibilityRuleFor(current);
    // A layer whose eye is closed is hidden whatever the rules say.
    look.shown = !states.isHidden(layer)
                 && std::find(rule.hidden.begin(), rule.hidden.end(), layer) == rule.hidden.end();
    if (layer != current)
        look.tint = LayerLook::Tint::Background;
    else if (layer == Kinds::Lightmap)
        look.tint = LayerLook::Tint::LightLevel;
    return look;
}

void LayerController::refreshDisplay()
{
    const MouseHold hold(controlsWidget->window());
    // Each object is shown on its own once; its layer's pane shows or hides
    // the whole layer. The map's updates are not held: the changes are
    // painted together at the next paint anyway.
    for (const auto &[layer, sectors] : sectorsByLayer) {
        const LayerLook look = lookOf(layer);
        auto applied = appliedLooks.find(layer);
        const bool lightLevels = look.tint == LayerLook::Tint::LightLevel;
        // Light levels belong to each object and may have changed.
        if (applied != appliedLooks.end() && applied->second == look && !lightLevels)
            continue;
        LayerPane *pane = LayerPane::of(map, layer);
        if (!pane) {
            for (Sector *sector : sectors)
                applyLook(sector, look);
            appliedLooks[layer] = look;
            continue;
        }
        const bool known = applied != appliedLooks.end();
        // The pane tints a background layer as a whole; objects carry a tint
        // of their own only while they show their light level (or are
        // selected, which tintSelection below sees to).
        pane->setTint(look.tint == LayerLook::Tint::Background ? backgroundTint() : QColor());
        const bool ownTints = lightLevels || !known || applied->second.tint == LayerLook::Tint::LightLevel;
        // Objects never shown on their own yet (made for a load, an undo) may
        // be waiting in a layer that comes on show; a hidden layer leaves them
        // waiting. Once shown, an object stays shown and its pane hides it.
        const bool showing = look.shown && !(known && applied->second.shown);
        // Only a layer that took objects since its look was last applied can
        // hold any; a plain switch to a layer passes none of its objects.
        if (!known)
            waitingLayers.insert(layer);
        const bool showWaiting = showing && waitingLayers.count(layer) != 0;
        const bool retint = ownTints && (!known || applied->second.tint != look.tint || lightLevels);
        // A pane that is to go off show goes first, so that no change under it is painted.
        if (!look.shown)
            pane->setShown(false);
        if (showWaiting) {
            // Many waiting objects are shown under the pane hidden for the
            // while, which then shows them in one pass, unless the focus is on
            // one of its objects.
            const auto waiting = std::count_if(sectors.begin(), sectors.end(), [](const Sector *sector) {
                return sector->properties->button && sector->properties->button->isHidden();
            });
            if (waiting > 64 && !pane->isAncestorOf(QApplication::focusWidget()))
                pane->hide();
        }
        if (showWaiting || retint)
            for (Sector *sector : sectors) {
                QPushButton *button = sector->properties->button;
                if (showWaiting && button && button->isHidden())
                    button->show();
                if (retint)
                    applyTint(sector, look);
            }
        if (showWaiting)
            waitingLayers.erase(layer);
        pane->setShown(look.shown);
        if (std::find(heldPanes.begin(), heldPanes.end(), layer) == heldPanes.end())
            pane->show();
        appliedLooks[layer] = look;
    }
    tintSelection();
}

void LayerController::applyLook(Sector *sector, const LayerLook &look)
{
    QPushButton *button = sector->properties->button;
    if (!button)
        return;
    // Only a real change reaches Qt: a button asked to take the state it is
    // in still costs a call through the widget's machinery. Without a pane
    // (no map), the button itself shows the layer's visibility.
    if (look.shown) {
        if (button->isHidden())
            button->show();
    } else if (!LayerPane::paneOf(button)
               && (!button->isHidden() || !button->testAttribute(Qt::WA_WState_ExplicitShowHide))) {
        button->hide();
    }
    applyTint(sector, look);
}

void LayerController::applyTint(Sector *sector, const LayerLook &look)
{
    ObjectButton *button = ObjectButton::of(sector->properties->button);
    if (!button)
        return;
    switch (look.tint) {
    case LayerLook::Tint::None:
        button->setTint(QColor());
        break;
    case LayerLook::Tint::Background:
        // In a pane, the pane tints the whole layer (see refreshDisplay).
        button->setTint(LayerPane::paneOf(button) ? QColor() : backgroundTint());
        break;
    case LayerLook::Tint::LightLevel:
        tintLightSector(sector);
        break;
    }
}

void LayerController::forgetLook(const std::string &layer)
{
    appliedLooks.erase(layer);
}

void LayerController::tintLightSector(Sector *sector)
{
    // Levels outside 0..255 are stored as typed; the tint shows the nearest valid grey.
    const int level = clampedLevel(sector->properties->lighting.emission);
    tintSector(sector, level, level, level);
    // A light cell tinted while its layer is not current no longer looks like the rest of it.
    if (current != Kinds::Lightmap)
        forgetLook(Kinds::Lightmap);
}

void LayerController::tintLightmaps()
{
    forgetLook(Kinds::Lightmap);
    for (Sector *sector : layerList(Kinds::Lightmap))
        tintLightSector(sector);
    tintSelection();
}

void LayerController::tintLightCells(const std::vector<Sector *> &cells)
{
    for (Sector *sector : cells)
        if (sectorOn(Kinds::Lightmap, sector->properties->mapX, sector->properties->mapY) == sector)
            tintLightSector(sector);
    tintSelection();
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
    ensureCurrentLayer();
    std::vector<Sector *> &doomed = sectorsByLayer[current];
    for (Sector *sector : doomed)
        eraseSector(selectedSectors, sector);
    // The pane keeps the buttons for an undo when it has room for all;
    // otherwise they go at once, in the order that is quick to unlink.
    LayerPane *pane = LayerPane::of(map, current);
    const auto withButtons = size_t(std::count_if(doomed.begin(), doomed.end(),
                                                   [](const Sector *sector) { return sector->properties->button; }));
    if (pane && pane->hasRoomForSpares(withButtons))
        deleteSectors(doomed);
    else {
        destroySectors(doomed);
        doomed.clear();
    }
    layerIndexes[current].clear();
}

bool LayerController::isLayerShown(const std::string &layer) const
{
    return lookOf(layer).shown;
}

void LayerController::setLayerHidden(const std::string &layer, bool hidden)
{
    if (states.isHidden(layer) == hidden)
        return;
    states.setHidden(layer, hidden);
    if (hidden && selectedOn == layer)
        clearSelection();
    // The display pass touches only this layer: its look alone changed.
    refreshDisplay();
    emit layerStatesChanged();
}

void LayerController::setLayerLocked(const std::string &layer, bool locked)
{
    if (states.isLocked(layer) == locked)
        return;
    states.setLocked(layer, locked);
    if (locked && selectedOn == layer)
        clearSelection();
    emit layerStatesChanged();
}

void LayerController::applyDisplayTint(Sector *sector, const std::string &layer)
{
    applyTint(sector, lookOf(layer));
}

void LayerController::tintSelection()
{
    for (Sector *sector : selectedSectors)
        tintSector(sector, 0, 155, 0);
}

void LayerController::tintSector(Sector *sector, int red, int green, int blue)
{
    // A button that already shows this tint keeps it untouched.
    if (ObjectButton *button = ObjectButton::of(sector->properties->button))
        button->setTint(QColor(red, green, blue, 255));
}

void LayerController::insertSector(const std::string &layer, size_t index, Sector *sector)
{
    if (!sector)
        return;
    std::vector<Sector *> &registered = sectorsByLayer[layer];
    registered.insert(registered.begin() + std::min(index, registered.size()), sector);
    layerIndexes[layer].emplace(cellKey(sector->properties->mapX, sector->properties->mapY), sector);
    forgetLook(layer);
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
    PositionIndex &index = layerIndexes[layer];
    for (Sector *sector : sectors) {
        auto found = index.find(cellKey(sector->properties->mapX, sector->properties->mapY));
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
    const LayerLook look = lookOf(layer);
    applyLook(sector, look);
    if (std::find(heldPanes.begin(), heldPanes.end(), layer) != heldPanes.end())
        return;
    if (LayerPane *pane = LayerPane::of(map, layer)) {
        pane->setShown(look.shown);
        pane->show();
    }
}

void LayerController::holdPanes(const std::vector<std::string> &layers)
{
    for (const std::string &layer : layers) {
        LayerPane *pane = LayerPane::of(map, layer);
        if (!pane || pane->isAncestorOf(QApplication::focusWidget()))
            continue;
        pane->hide();
        heldPanes.push_back(layer);
    }
}

void LayerController::releasePanes()
{
    for (const std::string &layer : heldPanes) {
        LayerPane *pane = LayerPane::of(map, layer);
        pane->setShown(lookOf(layer).shown);
        pane->show();
    }
    heldPanes.clear();
}

void LayerController::moveSectors(const std::string &layer, const std::vector<Sector *> &sectors, int dx, int dy)
{
    PositionIndex &index = layerIndexes[layer];
    // All keys go before any comes back: a moved object may land where
    // another one of the same move stood.
    for (Sector *sector : sectors) {
        const auto found = index.find(cellKey(sector->properties->mapX, sector->properties->mapY));
        if (found != index.end() && found->second == sector)
            index.erase(found);
    }
    for (Sector *sector : sectors) {
        sector->moveCellBy(dx, dy);
        index[cellKey(sector->properties->mapX, sector->properties->mapY)] = sector;
    }
}

void LayerController::selectSectors(const std::string &layer, const std::vector<Sector *> &sectors)
{
    selectedOn = layer;
    for (Sector *sector : sectors) {
        selectedSectors.push_back(sector);
        tintSector(sector, 0, 155, 0);
    }
}

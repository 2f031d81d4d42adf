#include "model/mapedits.h"

#include "level/cellkey.h"
#include "level/levellimits.h"
#include "level/subtypetable.h"
#include "model/layercontroller.h"
#include "model/mousehold.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/sectorfactory.h"
#include "model/textureicons.h"

#include <QPushButton>
#include <QWidget>
#include <algorithm>

// What the open gesture has changed so far. Objects it made or changed are
// read again when it ends, so later changes within the gesture (a new light
// cell being lit) are part of the step.
struct MapEdits::Gesture
{
    QString name;
    struct Placed
    {
        QPointer<Sector> sector;
        std::string layer;
    };
    struct Touched
    {
        QPointer<Sector> sector;
        ObjectRecord before;
    };
    std::vector<Placed> placed;
    std::unordered_map<const Sector *, size_t> placedAt;
    std::vector<Touched> touched;
    std::unordered_map<const Sector *, size_t> touchedAt;
    std::vector<ListedObject> removed;
    std::vector<MovedObjects> moved;
    uint64_t moveSeries = 0;
};

// Finds objects by layer and cell while a step is replayed: the current
// layer through the layer controller's index, other layers through a table
// made once per layer.
class MapEdits::Lookup
{
public:
    explicit Lookup(LayerController &layers) : layers(layers) { }

    Sector *find(const ObjectRecord &record)
    {
        if (record.layer == layers.currentLayer())
            return layers.sectorAt(record.mapX, record.mapY);
        auto table = tables.find(record.layer);
        if (table == tables.end()) {
            table = tables.emplace(record.layer, std::unordered_map<uint64_t, Sector *>()).first;
            for (Sector *sector : layers.layerList(record.layer))
                table->second.emplace(cellKey(sector->properties->mapX, sector->properties->mapY), sector);
        }
        const auto found = table->second.find(cellKey(record.mapX, record.mapY));
        return found == table->second.end() ? nullptr : found->second;
    }

    // After objects were made or removed the tables are out of date.
    void forget() { tables.clear(); }

private:
    LayerController &layers;
    std::unordered_map<std::string, std::unordered_map<uint64_t, Sector *>> tables;
};

namespace {
// Opens a gesture for one operation called outside any gesture.
class StepScope
{
public:
    StepScope(MapEdits &edits, const QString &name) : edits(edits), opened(!edits.gestureOpen())
    {
        if (opened)
            edits.beginGesture(name);
    }
    ~StepScope()
    {
        if (opened)
            edits.endGesture();
    }

private:
    MapEdits &edits;
    bool opened;
};

void showTexture(Sector *sector)
{
    QPushButton *button = sector->properties->button;
    if (!button)
        return;
    const std::string path = sector->properties->textureDir + sector->properties->textureName;
    button->setIcon(path.empty() ? QIcon() : TextureIcons::icon(path));
    button->setToolTip(TextureIcons::toolTip(path, sector->properties->keptReference.get()));
}
} // namespace

MapEdits::MapEdits(LayerController &layers, std::function<PlacementContext()> context)
    : layers(layers), context(std::move(context)), limit(LevelLimits::objects)
{
}

MapEdits::~MapEdits() = default;

void MapEdits::beginGesture(const QString &name)
{
    // A gesture whose end never came (a release lost to another window) is
    // finished here rather than merged into the new one.
    if (gesture)
        endGesture();
    gesture = std::make_unique<Gesture>();
    gesture->name = name;
}

void MapEdits::endGesture()
{
    if (!gesture)
        return;
    const std::unique_ptr<Gesture> done = std::move(gesture);
    MapChange change;
    change.removed = std::move(done->removed);
    change.moved = std::move(done->moved);
    change.moveSeries = done->moveSeries;
    for (const Gesture::Placed &placed : done->placed)
        if (placed.sector)
            change.placed.push_back(recordOf(*placed.sector, placed.layer));
    for (const Gesture::Touched &touched : done->touched) {
        if (!touched.sector)
            continue;
        ObjectRecord after = recordOf(*touched.sector, touched.before.layer);
        if (after != touched.before)
            change.changed.push_back(ChangedObject {touched.before, std::move(after)});
    }
    // The history keeps what the step changed, without the growth room.
    change.placed.shrink_to_fit();
    change.changed.shrink_to_fit();
    if (!change.empty() && stepDone)
        stepDone(done->name, std::move(change));
}

bool MapEdits::refuses(const std::string &layer)
{
    const std::string why = layers.layerStates().editRefusal(layer);
    if (why.empty())
        return false;
    if (refused)
        refused(QString::fromStdString(why));
    return true;
}

Sector *MapEdits::placeNew(QPoint mapCell)
{
    if (refuses(layers.currentLayer()))
        return nullptr;
    if (mapCell.x() < 0 || mapCell.y() < 0 || layers.hasSectorAt(mapCell.x(), mapCell.y()))
        return nullptr;
    if (roomForObjects() == 0) {
        if (refused)
            refused(LevelLimits::objectLimitMessage(limit));
        return nullptr;
    }
    const StepScope step(*this, QStringLiteral("pencil stroke"));
    const PlacementContext where = context();
    Sector *sector = createSector(mapCell + QPoint(where.originX, where.originY), where);
    layers.addSector(sector);
    finishNewObject(sector, layers.currentLayer());
    gesture->placedAt.emplace(sector, gesture->placed.size());
    gesture->placed.push_back(Gesture::Placed {sector, layers.currentLayer()});
    return sector;
}

size_t MapEdits::roomForObjects() const
{
    size_t count = 0;
    for (const auto &entry : layers.registry())
        count += entry.second.size();
    return count < limit ? limit - count : 0;
}

Sector *MapEdits::placeObject(const ObjectRecord &record)
{
    if (refuses(record.layer))
        return nullptr;
    if (record.mapX < 0 || record.mapY < 0 || layers.sectorOn(record.layer, record.mapX, record.mapY))
        return nullptr;
    if (roomForObjects() == 0) {
        if (refused)
            refused(LevelLimits::objectLimitMessage(limit));
        return nullptr;
    }
    const StepScope step(*this, QStringLiteral("paste"));
    Sector *sector = make(record, size_t(-1));
    gesture->placedAt.emplace(sector, gesture->placed.size());
    gesture->placed.push_back(Gesture::Placed {sector, record.layer});
    return sector;
}

void MapEdits::remove(const std::vector<Sector *> &sectors)
{
    removeFrom(layers.currentLayer(), sectors);
}

void MapEdits::removeFrom(const std::string &layer, const std::vector<Sector *> &sectors)
{
    if (sectors.empty() || refuses(layer))
        return;
    const StepScope step(*this, QStringLiteral("eraser stroke"));
    noteRemoving(sectors, layer);
    destroy(layer, sectors);
}

void MapEdits::move(const std::string &layer, const std::vector<Sector *> &sectors, int dx, int dy, uint64_t series)
{
    if (sectors.empty() || (dx == 0 && dy == 0) || refuses(layer))
        return;
    const StepScope step(*this, QStringLiteral("move of the selection"));
    MovedObjects moved {layer, {}, dx, dy};
    moved.cells.reserve(sectors.size());
    for (const Sector *sector : sectors)
        moved.cells.emplace_back(sector->properties->mapX, sector->properties->mapY);
    gesture->moved.push_back(std::move(moved));
    gesture->moveSeries = series;
    layers.moveSectors(layer, sectors, dx, dy);
    layers.placeInView(layer, sectors, context().cellSize);
}

void MapEdits::moveCells(const std::string &layer, const std::vector<std::pair<int32_t, int32_t>> &cells, int dx,
                         int dy)
{
    std::vector<Sector *> sectors;
    sectors.reserve(cells.size());
    for (const auto &[x, y] : cells)
        if (Sector *sector = layers.sectorOn(layer, x, y))
            sectors.push_back(sector);
    layers.moveSectors(layer, sectors, dx, dy);
    layers.placeInView(layer, sectors, context().cellSize);
}

void MapEdits::clearLayer()
{
    const std::string layer = layers.currentLayer();
    if (refuses(layer))
        return;
    const StepScope step(*this, QStringLiteral("clear of the %1 layer").arg(QString::fromStdString(layer)));
    noteRemoving(layers.layerList(layer), layer);
    layers.clearCurrentLayer();
}

void MapEdits::retexture(Sector *sector, const TextureRef &texture)
{
    if (refuses(layers.currentLayer()))
        return;
    const StepScope step(*this, QStringLiteral("retexture"));
    noteChanging(sector, layers.currentLayer());
    TextureRef applied = texture;
    // A light cell's light values are saved under its own number.
    if (sector->properties->kind == Kinds::Lightmap)
        applied.textureId = sector->properties->textureId;
    sector->setTexture(applied);
    showTexture(sector);
}

void MapEdits::noteChanging(Sector *sector, const std::string &layer, const ObjectRecord *before)
{
    if (!gesture || !sector || gesture->placedAt.count(sector) || gesture->touchedAt.count(sector))
        return;
    gesture->touchedAt.emplace(sector, gesture->touched.size());
    gesture->touched.push_back(Gesture::Touched {sector, before ? *before : recordOf(*sector, layer)});
}

void MapEdits::noteRemoving(const std::vector<Sector *> &sectors, const std::string &layer)
{
    if (!gesture)
        return;
    // Positions in the list, taken from the last so that each is the
    // object's position at the moment of its own removal.
    const std::unordered_set<const Sector *> doomed(sectors.begin(), sectors.end());
    const std::vector<Sector *> &list = layers.layerList(layer);
    for (size_t index = list.size(); index-- > 0;) {
        Sector *sector = list[index];
        if (!doomed.count(sector))
            continue;
        // An object made by this very gesture simply was never there.
        const auto placed = gesture->placedAt.find(sector);
        if (placed != gesture->placedAt.end()) {
            gesture->placed[placed->second].sector = nullptr;
            gesture->placedAt.erase(placed);
            continue;
        }
        ListedObject removed {recordOf(*sector, layer), uint32_t(index)};
        const auto touched = gesture->touchedAt.find(sector);
        if (touched != gesture->touchedAt.end()) {
            removed.record = gesture->touched[touched->second].before;
            gesture->touched[touched->second].sector = nullptr;
            gesture->touchedAt.erase(touched);
        }
        gesture->removed.push_back(std::move(removed));
    }
}

namespace {
// Holds the panes of the layers that many new objects join for as long as they are made.
class PanesHeld
{
public:
    // `record(i)` is the i-th of `count` new objects.
    template <typename Record>
    PanesHeld(LayerController &layers, size_t count, Record record) : layers(layers)
    {
        if (count < 64)
            return;
        std::vector<std::string> names;
        for (size_t i = 0; i < count; ++i)
            if (std::find(names.begin(), names.end(), record(i).layer) == names.end())
                names.push_back(record(i).layer);
        layers.holdPanes(names);
    }
    ~PanesHeld() { layers.releasePanes(); }
    PanesHeld(const PanesHeld &) = delete;
    PanesHeld &operator=(const PanesHeld &) = delete;

private:
    LayerController &layers;
};
} // namespace

void MapEdits::undo(const MapChange &change)
{
    const PlacementContext where = context();
    const MouseHold hold(where.mapWidget ? where.mapWidget->window() : nullptr);
    for (auto group = change.moved.rbegin(); group != change.moved.rend(); ++group) {
        std::vector<std::pair<int32_t, int32_t>> cells = group->cells;
        for (auto &[x, y] : cells) {
            x += group->dx;
            y += group->dy;
        }
        moveCells(group->layer, cells, -group->dx, -group->dy);
    }
    Lookup lookup(layers);
    for (auto object = change.changed.rbegin(); object != change.changed.rend(); ++object)
        if (Sector *sector = lookup.find(object->before))
            apply(sector, object->before);

    std::unordered_map<std::string, std::vector<Sector *>> made;
    for (auto record = change.placed.rbegin(); record != change.placed.rend(); ++record)
        if (Sector *sector = lookup.find(*record))
            made[record->layer].push_back(sector);
    for (const auto &[layer, sectors] : made)
        destroy(layer, sectors);

    const PanesHeld held(layers, change.removed.size(),
                         [&change](size_t i) -> const ObjectRecord & { return change.removed[i].record; });
    PlacementContext placing = context();
    for (auto object = change.removed.rbegin(); object != change.removed.rend(); ++object)
        make(object->record, object->index, placing);
}

void MapEdits::redo(const MapChange &change)
{
    const PlacementContext where = context();
    const MouseHold hold(where.mapWidget ? where.mapWidget->window() : nullptr);
    Lookup lookup(layers);
    std::unordered_map<std::string, std::vector<Sector *>> doomed;
    for (const ListedObject &object : change.removed)
        if (Sector *sector = lookup.find(object.record))
            doomed[object.record.layer].push_back(sector);
    for (const auto &[layer, sectors] : doomed)
        destroy(layer, sectors);

    {
        const PanesHeld held(layers, change.placed.size(),
                             [&change](size_t i) -> const ObjectRecord & { return change.placed[i]; });
        PlacementContext placing = context();
        for (const ObjectRecord &record : change.placed)
            make(record, size_t(-1), placing);
    }

    lookup.forget();
    for (const ChangedObject &object : change.changed)
        if (Sector *sector = lookup.find(object.before))
            apply(sector, object.after);
    for (const MovedObjects &group : change.moved)
        moveCells(group.layer, group.cells, group.dx, group.dy);
}

Sector *MapEdits::make(const ObjectRecord &record, size_t index)
{
    PlacementContext where = context();
    return make(record, index, where);
}

Sector *MapEdits::make(const ObjectRecord &record, size_t index, PlacementContext &where)
{
    // Made like every object, then given what the record says it was.
    // Shown once, by the display rules, if its layer is to be seen.
    where.showNewObjects = false;
    where.layer = record.layer;
    // Made with the record's picture, which apply() then finds in place.
    where.texture = record.texture;
    Sector *sector = createSector(QPoint(record.mapX + where.originX, record.mapY + where.originY), where);
    apply(sector, record);
    layers.insertSector(record.layer, index, sector);
    finishNewObject(sector, record.layer);
    return sector;
}

void MapEdits::finishNewObject(Sector *sector, const std::string &layer)
{
    layers.applyDisplayRules(sector, layer);
    if (adoptSector)
        adoptSector(sector);
}

void MapEdits::apply(Sector *sector, const ObjectRecord &record)
{
    SectorProperties &p = *sector->properties;
    const bool newImage = p.textureDir != record.texture.textureDir || p.textureName != record.texture.textureName;
    sector->setTexture(record.texture);
    if (newImage)
        showTexture(sector);
    sector->setKind(record.kind);
    sector->setSubtype(record.subtype);
    sector->setLighting(record.lighting);
    // A light cell shows its level; the selection keeps its green.
    const auto &selected = layers.selection();
    if (record.layer == Kinds::Lightmap && std::find(selected.begin(), selected.end(), sector) == selected.end())
        layers.applyDisplayRules(sector, record.layer);
}

void MapEdits::destroy(const std::string &layer, const std::vector<Sector *> &sectors)
{
    layers.removeSectors(layer, sectors);
}

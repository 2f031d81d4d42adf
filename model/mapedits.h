#pragma once

#include "level/objectrecord.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class LayerController;
class Sector;
struct PlacementContext;

// The changes every edit of the map is made of: place, remove, retexture and
// change properties. The tools decide what to change and call these; the
// edit history replays its records through the same functions.
//
// Edits are grouped into gestures (a stroke from press to release, one fill,
// one OK in the properties window...). While a gesture is open the operations
// note what they change; closing it hands the change, as records, to
// `stepDone`. An operation called outside a gesture is a step of its own.
class MapEdits
{
public:
    MapEdits(LayerController &layers, std::function<PlacementContext()> context);
    ~MapEdits();
    MapEdits(const MapEdits &) = delete;
    MapEdits &operator=(const MapEdits &) = delete;

    // Set by the map view: wires a newly made object's button into the view.
    std::function<void(Sector *)> adoptSector;
    // Set by the map view: tells the designer why an edit was refused (the
    // layer is hidden or locked, the level holds as many objects as it may).
    std::function<void(const QString &why)> refused;
    // Set by the map view: takes each finished step into the history.
    std::function<void(const QString &gesture, MapChange &&change)> stepDone;

    // Whether `layer` refuses every edit now (its eye is closed or it is
    // locked), said through `refused`. The operations below ask it for the
    // layer they change; a tool asks it before it starts a gesture that has
    // more to it than these operations (a dialog, a window).
    bool refuses(const std::string &layer);

    void beginGesture(const QString &name);
    // Hands over what the gesture changed; nothing when it changed nothing.
    void endGesture();
    bool gestureOpen() const { return gesture != nullptr; }

    // A new object of the current layer with the gallery's texture at a map
    // cell; null when the cell is refused (left of or above the map, taken)
    // or the level holds as many objects as it may (said through `refused`).
    // Every tool places its new objects here, so none goes past the limit.
    Sector *placeNew(QPoint mapCell);
    // How many more objects the level may take: tools that place many at once
    // refuse the whole edit when it does not fit.
    size_t roomForObjects() const;
    // The object limit, LevelLimits::objects unless a test lowers it.
    size_t objectLimit() const { return limit; }
    void setObjectLimit(size_t objects) { limit = objects; }
    // A new object as the record describes it, on the record's layer and
    // cell; null when the cell is refused (left of or above the map, taken).
    Sector *placeObject(const ObjectRecord &record);
    // Objects of the current layer, erased (deferred deletion).
    void remove(const std::vector<Sector *> &sectors);
    // Objects of `layer`, erased (deferred deletion).
    void removeFrom(const std::string &layer, const std::vector<Sector *> &sectors);
    // Moves objects of `layer` by (dx, dy) cells, keeping all they carry. The
    // caller checked that the cells they go to are free or vacated by this
    // move. Steps with the same non-zero series number merge in the history.
    void move(const std::string &layer, const std::vector<Sector *> &sectors, int dx, int dy, uint64_t series);
    // Every object of the current layer, destroyed at once.
    void clearLayer();
    // A light cell keeps its own texture number.
    void retexture(Sector *sector, const TextureRef &texture);
    // Notes an object of `layer` before something changes it in place. The
    // properties window passes the state the object had when it opened.
    void noteChanging(Sector *sector, const std::string &layer, const ObjectRecord *before = nullptr);

    // Replays a recorded step backward (undo) or forward (redo).
    void undo(const MapChange &change);
    void redo(const MapChange &change);

private:
    struct Gesture;
    class Lookup;

    Sector *make(const ObjectRecord &record, size_t index);
    // The same with the map's placement context, asked once for many objects.
    Sector *make(const ObjectRecord &record, size_t index, PlacementContext &where);
    void finishNewObject(Sector *sector, const std::string &layer);
    void apply(Sector *sector, const ObjectRecord &record);
    void destroy(const std::string &layer, const std::vector<Sector *> &sectors);
    // Moves the objects of the layer standing at `cells` and lays out their buttons.
    void moveCells(const std::string &layer, const std::vector<std::pair<int32_t, int32_t>> &cells, int dx, int dy);
    void noteRemoving(const std::vector<Sector *> &sectors, const std::string &layer);

    LayerController &layers;
    std::function<PlacementContext()> context;
    std::unique_ptr<Gesture> gesture;
    size_t limit;
};

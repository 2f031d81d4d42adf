#pragma once

#include "model/tint.h"

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class ObjectButton;
struct SectorProperties;

// The see-through widget that holds the buttons of one layer's objects. Each
// layer has one, a child of the map widget covering it from where map cell
// (0, 0) shows, stacked in the order the layers are saved in (the eight of the
// layer box first, then the others alphabetically), so that a saved level
// looks the same when loaded again.
//
// A layer off show keeps its pane at no size at all: nothing of it is painted
// or takes the mouse, and neither Qt's painting nor its search for the widget
// under the pointer looks at its objects, while putting the layer on show or
// off show costs one geometry change, not a visit to each of its objects as
// hiding or showing the pane would.
//
// Within a pane the buttons sit on blocks of 16 x 16 cells, see-through
// widgets of their own, so that Qt's painting and its search for the widget
// under the pointer pass the blocks out of sight and not each object, and a
// zoom lays out only the objects in sight: a block out of sight keeps the
// cell size it was laid out at, at no size of its own, until it comes in sight.
//
// Only the objects of live blocks have buttons: the blocks in sight, and
// those that were and have not gone further than one view's width or height
// out of it since. An object elsewhere is its record alone, so that what Qt
// does for every widget (hiding, showing, activating a window) costs as much
// on a big level as on a small one. As blocks come in sight, the map's sight
// handler gives their objects buttons; a block that goes out of reach gives
// its buttons up. Whoever makes an object on a cell asks `isLive` first.
//
// A pane paints nothing. Where the objects take no clicks, the pane lets the
// mouse through to the map; where they do, a press on a pane between buttons
// goes to a button of a pane below it (as it went to the topmost button under
// the pointer when all buttons were the map's children), or else on to the map.
class LayerPane : public QWidget
{
    Q_OBJECT

public:
    // The pane of `layer` on `map`, made on first use; null without a map.
    static LayerPane *of(QWidget *map, const std::string &layer);
    // The map of an object's button: its pane's parent.
    static QWidget *mapOf(const QWidget *button);
    // Makes the panes of the eight layers before anything else is stacked
    // over the map, and keeps every pane over the map as it is resized.
    static void install(QWidget *map);
    // The view of `map`: map cell (0, 0) shows at pixel `offset`, and cells
    // are `cellSize` pixels. The panes sit at `offset` and reach to the map's
    // right and bottom edges, so that panning moves the panes and no object;
    // a zoom lays out the blocks in sight and leaves the others to be laid
    // out as they come in sight.
    static void setView(QWidget *map, QPoint offset, int cellSize);
    static QPoint offset(const QWidget *map);
    static int cellSizeOf(const QWidget *map);
    // Whether clicks pass through every pane to the map.
    static void setMouseTransparent(QWidget *map, bool transparent);

    // Cells per block side.
    static constexpr int blockCells = 16;
    // The block (column, row) that holds map cell `cell`.
    static QPoint blockOf(QPoint cell);
    // Called with the blocks of a pane of `map` that have just come in sight,
    // whose objects are to get buttons; an empty handler stops that.
    using SightHandler = std::function<void(LayerPane &pane, const std::vector<QPoint> &blocks)>;
    static void setSightHandler(const QWidget *map, SightHandler handler);
    // Whether an object on map cell `cell` has a button.
    bool isLive(QPoint cell) const { return live.count(keyOf(blockOf(cell))) != 0; }
    // Takes the button of an object on this pane from it, kept for another
    // object when there is room.
    void giveUp(SectorProperties &object);
    // While many objects of the blocks of these cells get buttons, the blocks
    // are hidden: a button shown under a hidden block queues no events (Qt
    // searches its whole queue for each event it queues, so showing thousands
    // of buttons one by one takes quadratic time), and the release shows each
    // block's buttons in one pass. A block that holds the keyboard focus stays.
    void holdBlocksOf(const std::vector<QPoint> &cells);
    void releaseBlocks();

    const std::string &layer() const { return name; }
    // Puts the layer on show or off show. A pane off show that holds the
    // keyboard focus gives it to the map.
    void setShown(bool shown);
    bool isShown() const { return shown; }
    // The cell size of the view, which every object in sight is laid out at.
    int cellSize() const;
    // The pane that holds an object's button, or null.
    static LayerPane *paneOf(const QWidget *button);
    // Puts `button` (new, kept or one of this pane's) on map cell `cell`:
    // into the cell's block, at the size that block is laid out at.
    void place(QWidget *button, QPoint cell);
    // The widget a new button for map cell `cell` is made on.
    QWidget *holderOf(QPoint cell);
    // Where map cell `cell` shows in the map widget.
    QPoint shownAt(QPoint cell) const;
    // Whether an object's button shows on the map: shown itself, and its
    // layer on show.
    static bool showsObject(const QWidget *button);
    // The tint every object of the layer shows unless it has one of its own
    // (a selected object, a light cell showing its level): a whole layer is
    // tinted or untinted by this one change. An invalid colour: none.
    void setTint(const QColor &colour);
    const Tint &shownTint() const { return layerTint; }

    // Buttons of removed objects, hidden, kept for new objects of the layer:
    // making and painting a new button costs several times what taking up a
    // kept one costs, so an undo of a big removal (a Clear) comes back at
    // about the pace of the removal. At most `spareLimit` are kept.
    static constexpr size_t spareLimit = 8192;
    // A kept button, hidden and as a new one is, or null.
    ObjectButton *takeSpare();
    // Hides `button` (one of this pane's) and keeps it when there is room;
    // false when there is none, and the caller deletes it.
    bool keepSpare(ObjectButton *button);
    // Room for `count` more kept buttons.
    bool hasRoomForSpares(size_t count) const { return spares.size() + count <= spareLimit; }
    size_t spareCount() const { return spares.size(); }
    // Gives up every kept button (a bulk destroy deletes them with the
    // objects' buttons, in child order).
    std::deque<ObjectButton *> releaseSpares() { return std::exchange(spares, {}); }

protected:
    bool event(QEvent *event) override;

private:
    LayerPane(QWidget *map, const std::string &layer);
    ~LayerPane() override;
    // The button of a shown pane below this one under `position` (in map
    // coordinates), if any.
    QWidget *buttonBelow(const QPoint &position) const;

    class Block;
    static uint64_t keyOf(QPoint block);
    // Marks the blocks in sight live and has the sight handler give their
    // objects buttons; takes the buttons of blocks gone out of reach.
    void followSight();
    // Hides a shown block until releaseBlocks, unless it holds the keyboard focus.
    void hold(QWidget *block);
    // Where the pane is: from map cell (0, 0) to the map's edges, or there at
    // no size while off show.
    QRect placeOn(const QWidget *map) const;
    // Takes the pane to where the view has it, and lays out the blocks in sight.
    void follow(const QWidget *map);
    Block *blockAt(QPoint cell);
    // Lays out the blocks in sight that are not laid out at the view's cell size.
    void layOutInSight();

    std::string name;
    bool shown = true;
    Tint layerTint;
    // The blocks of cells that hold the buttons, by block row and column.
    std::unordered_map<uint64_t, Block *> blocks;
    // The live blocks, by key.
    std::unordered_set<uint64_t> live;
    // The blocks held hidden until releaseBlocks.
    std::vector<QWidget *> heldBlocks;
    // The button that took the press this pane passed on, until the release.
    QPointer<QWidget> pressed;
    // Children of this pane, deleted with it if never taken up.
    // Taken up in the order they were kept, so that an undo of a removal
    // gives each object back the button it had, already in place.
    std::deque<ObjectButton *> spares;
};

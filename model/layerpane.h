#pragma once

#include "model/tint.h"

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <deque>
#include <string>
#include <utility>
#include <vector>

class ObjectButton;

// The see-through widget that holds the buttons of one layer's objects. Each
// layer has one, a child of the map widget covering it from where map cell
// (0, 0) shows, stacked in the order the layers are saved in (the eight of the
// layer box first, then the others alphabetically), so that a saved level
// looks the same when loaded again.
// A layer off show keeps its pane at no size at all: nothing of it is painted
// or takes the mouse, and neither Qt's painting nor its search for the widget
// under the pointer looks at its objects, while putting the layer on show or
// off show costs one geometry change, not a visit to each of its objects as
// hiding or showing the pane would.
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
    // Each object's button sits on its pane at its map cell times the cell
    // size; the panes of `map` sit at `offset`, the pixel where map cell
    // (0, 0) shows, and reach to the map's right and bottom edges. Panning the
    // view moves the eight panes and no object.
    static void setOffset(QWidget *map, QPoint offset);
    static QPoint offset(const QWidget *map);
    // Whether clicks pass through every pane to the map.
    static void setMouseTransparent(QWidget *map, bool transparent);

    const std::string &layer() const { return name; }
    // Puts the layer on show or off show. A pane off show that holds the
    // keyboard focus gives it to the map.
    void setShown(bool shown);
    bool isShown() const { return shown; }
    // The cell size the layer's objects are laid out at; 0 when not known.
    // A zoom lays out only layers on show; a layer off show is laid out as
    // it comes on show.
    int objectCellSize() const { return cellSize; }
    void setObjectCellSize(int size) { cellSize = size; }
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
    // The button of a shown pane below this one under `position` (in map
    // coordinates), if any.
    QWidget *buttonBelow(const QPoint &position) const;

    // Where the pane is: from map cell (0, 0) to the map's edges, or there at
    // no size while off show.
    QRect placeOn(const QWidget *map) const;

    std::string name;
    bool shown = true;
    int cellSize = 0;
    Tint layerTint;
    // The button that took the press this pane passed on, until the release.
    QPointer<QWidget> pressed;
    // Children of this pane, deleted with it if never taken up.
    // Taken up in the order they were kept, so that an undo of a removal
    // gives each object back the button it had, already in place.
    std::deque<ObjectButton *> spares;
};

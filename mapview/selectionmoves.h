#pragma once

#include <QObject>
#include <cstdint>
#include <vector>

class MapView;
class Sector;

// Moves the selection one cell with the arrow keys, through the map's edit
// operations. A move that would put an object on a taken cell, off the grid
// or off the shown map is refused whole, with a status line. The moves of
// one selection with nothing between them (no other step of the history, no
// press on the map) are one step of the history.
class SelectionMoves : public QObject
{
    Q_OBJECT

public:
    explicit SelectionMoves(MapView &view);

    bool move(int dx, int dy);
    // The next move starts a step of its own.
    void endSeries() { seriesBroken = true; }

private:
    MapView &view;
    uint64_t series = 0;
    bool seriesBroken = true;
    bool moving = false;
    // What the last move moved, compared by address only.
    std::vector<Sector *> movedSelection;
};

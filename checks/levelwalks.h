#pragma once

#include "level/levelobject.h"

#include <cstdint>
#include <optional>
#include <vector>

// The walks from the player's cell over the cells of a level. Rows and
// columns that hold no wall, door, key, level end or the player are all
// open, so each run of them is walked as a single row or column: the walks
// cost the number of distinct interesting rows times columns, never the
// empty space around them, and each cell is visited at most once.
class LevelWalks
{
public:
    struct Cell
    {
        int32_t x = 0;
        int32_t y = 0;
    };
    // The key colours, in the order of the door and key subtypes.
    static constexpr int colourCount = 4;
    static const char *const colourNames[colourCount];
    // Index of the colour of a key door or key subtype, or -1.
    static int keyDoorColour(const LevelObject &object);
    static int keyColour(const LevelObject &object);

    // `player` is the cell the walks start from.
    LevelWalks(const std::vector<LevelObject> &objects, Cell player);

    // False when the interesting rows times columns exceed what is walked
    // (tens of millions of cells); then nothing is claimed.
    bool walkable() const { return !tooLarge; }

    // Walking through cells without walls or doors: the first cell on the
    // edge of the used grid (all objects of all layers) that is reached, or
    // nothing when the player's area is closed.
    std::optional<Cell> leak() const;

    struct Reach
    {
        bool levelEndReached = false;
        // A key door that stayed shut because its key was never reached.
        std::optional<Cell> shutDoor;
        int shutDoorColour = -1;
    };
    // Walking through cells without walls, where a plain door opens and a key
    // door opens once the key of its colour has been reached.
    Reach reachLevelEnd() const;

private:
    // Sorted starts of the runs along one axis; a run is one interesting
    // coordinate or a gap of plain ones between two of them.
    struct Axis
    {
        std::vector<int64_t> starts;
        int64_t last = 0;
        size_t indexOf(int64_t value) const;
        // The coordinate of run i nearest to `near`.
        int32_t coordinate(size_t i, int64_t near) const;
    };
    static Axis makeAxis(std::vector<int64_t> values, int64_t low, int64_t high);

    enum Flag : uint16_t {
        Wall = 1,
        Door = 2,
        KeyDoor = 4, // << colour: 4, 8, 16, 32
        Key = 64, // << colour: 64 .. 512
        LevelEnd = 1024,
        AnyDoor = Door | KeyDoor * 15,
    };
    size_t indexOf(int64_t x, int64_t y) const;
    Cell cellOf(size_t index) const;
    bool onEdge(size_t index) const;
    template<typename F> void forEachNeighbour(size_t index, F f) const;

    Axis columns;
    Axis rows;
    size_t width = 0;
    size_t height = 0;
    std::vector<uint16_t> flags;
    size_t start = 0;
    Cell player;
    bool tooLarge = false;
};

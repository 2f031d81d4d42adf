#include "checks/levelwalks.h"

#include "level/subtypetable.h"

#include <algorithm>

namespace {
// Sixteen million cells: 32 MiB of cell flags and at most 64 MiB of queue.
// Only levels of many thousands of scattered walls come near it.
constexpr size_t maxCells = size_t(1) << 24;

const std::string keyDoorSubtypes[LevelWalks::colourCount] = {"BlueKeyDoor", "RedKeyDoor", "GreenKeyDoor",
                                                              "YellowKeyDoor"};
const std::string keySubtypes[LevelWalks::colourCount] = {"BlueKey", "RedKey", "GreenKey", "YellowKey"};

int indexIn(const std::string (&names)[LevelWalks::colourCount], const std::string &name)
{
    for (int i = 0; i < LevelWalks::colourCount; ++i)
        if (names[i] == name)
            return i;
    return -1;
}

bool isLevelEnd(const LevelObject &object)
{
    return object.kind == Kinds::Item && object.subtype == "LevelEnd";
}
} // namespace

const char *const LevelWalks::colourNames[colourCount] = {"blue", "red", "green", "yellow"};

int LevelWalks::keyDoorColour(const LevelObject &object)
{
    return object.kind == Kinds::Door ? indexIn(keyDoorSubtypes, object.subtype) : -1;
}

int LevelWalks::keyColour(const LevelObject &object)
{
    return object.kind == Kinds::Item ? indexIn(keySubtypes, object.subtype) : -1;
}

size_t LevelWalks::Axis::indexOf(int64_t value) const
{
    return size_t(std::upper_bound(starts.begin(), starts.end(), value) - starts.begin()) - 1;
}

int32_t LevelWalks::Axis::coordinate(size_t i, int64_t near) const
{
    const int64_t end = i + 1 < starts.size() ? starts[i + 1] - 1 : last;
    return int32_t(std::clamp(near, starts[i], end));
}

LevelWalks::Axis LevelWalks::makeAxis(std::vector<int64_t> values, int64_t low, int64_t high)
{
    values.push_back(low);
    values.push_back(high);
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    Axis axis;
    axis.last = high;
    for (int64_t value : values) {
        if (!axis.starts.empty() && value > axis.starts.back() + 1)
            axis.starts.push_back(axis.starts.back() + 1);
        axis.starts.push_back(value);
    }
    return axis;
}

LevelWalks::LevelWalks(const std::vector<LevelObject> &objects, Cell player) : player(player)
{
    int64_t left = player.x, right = player.x, top = player.y, bottom = player.y;
    std::vector<int64_t> xs {player.x}, ys {player.y};
    for (const LevelObject &object : objects) {
        left = std::min<int64_t>(left, object.x);
        right = std::max<int64_t>(right, object.x);
        top = std::min<int64_t>(top, object.y);
        bottom = std::max<int64_t>(bottom, object.y);
        if (object.layer == Kinds::Wall || object.layer == Kinds::Door || keyColour(object) >= 0
            || isLevelEnd(object)) {
            xs.push_back(object.x);
            ys.push_back(object.y);
        }
    }
    columns = makeAxis(std::move(xs), left, right);
    rows = makeAxis(std::move(ys), top, bottom);
    width = columns.starts.size();
    height = rows.starts.size();
    if (width > maxCells / height) {
        tooLarge = true;
        return;
    }
    flags.assign(width * height, 0);
    for (const LevelObject &object : objects) {
        uint16_t flag = 0;
        if (object.layer == Kinds::Wall)
            flag |= Wall;
        if (object.layer == Kinds::Door) {
            const int colour = keyDoorColour(object);
            flag |= colour >= 0 ? uint16_t(KeyDoor << colour) : uint16_t(Door);
        }
        if (const int colour = keyColour(object); colour >= 0)
            flag |= uint16_t(Key << colour);
        if (isLevelEnd(object))
            flag |= LevelEnd;
        if (flag)
            flags[indexOf(object.x, object.y)] |= flag;
    }
    start = indexOf(player.x, player.y);
}

size_t LevelWalks::indexOf(int64_t x, int64_t y) const
{
    return rows.indexOf(y) * width + columns.indexOf(x);
}

LevelWalks::Cell LevelWalks::cellOf(size_t index) const
{
    return Cell {columns.coordinate(index % width, player.x), rows.coordinate(index / width, player.y)};
}

bool LevelWalks::onEdge(size_t index) const
{
    const size_t column = index % width;
    const size_t row = index / width;
    return column == 0 || row == 0 || column + 1 == width || row + 1 == height;
}

template<typename F> void LevelWalks::forEachNeighbour(size_t index, F f) const
{
    const size_t column = index % width;
    if (column + 1 < width)
        f(index + 1);
    if (column > 0)
        f(index - 1);
    if (index + width < flags.size())
        f(index + width);
    if (index >= width)
        f(index - width);
}

std::optional<LevelWalks::Cell> LevelWalks::leak() const
{
    if (tooLarge)
        return std::nullopt;
    // Breadth first, so the edge cell named is one nearest to the player.
    std::vector<uint8_t> visited(flags.size(), 0);
    std::vector<uint32_t> queue {uint32_t(start)};
    visited[start] = 1;
    for (size_t next = 0; next < queue.size(); ++next) {
        const size_t index = queue[next];
        if (onEdge(index))
            return cellOf(index);
        forEachNeighbour(index, [&](size_t neighbour) {
            if (!visited[neighbour] && !(flags[neighbour] & (Wall | AnyDoor))) {
                visited[neighbour] = 1;
                queue.push_back(uint32_t(neighbour));
            }
        });
    }
    return std::nullopt;
}

LevelWalks::Reach LevelWalks::reachLevelEnd() const
{
    Reach reach;
    if (tooLarge)
        return reach;
    std::vector<uint8_t> visited(flags.size(), 0);
    std::vector<uint32_t> queue {uint32_t(start)};
    visited[start] = 1;
    bool haveKey[colourCount] = {};
    // Key doors met before their key: they open when the key is reached.
    std::vector<uint32_t> waiting[colourCount];
    auto missingKey = [&](size_t index) {
        for (int colour = 0; colour < colourCount; ++colour)
            if ((flags[index] & (KeyDoor << colour)) && !haveKey[colour])
                return colour;
        return -1;
    };
    for (size_t next = 0; next < queue.size(); ++next) {
        const size_t index = queue[next];
        if (flags[index] & LevelEnd) {
            reach.levelEndReached = true;
            return reach;
        }
        for (int colour = 0; colour < colourCount; ++colour) {
            if (!(flags[index] & (Key << colour)) || haveKey[colour])
                continue;
            haveKey[colour] = true;
            for (uint32_t door : waiting[colour]) {
                if (visited[door])
                    continue;
                if (const int other = missingKey(door); other >= 0) {
                    waiting[other].push_back(door);
                } else {
                    visited[door] = 1;
                    queue.push_back(door);
                }
            }
            waiting[colour].clear();
        }
        forEachNeighbour(index, [&](size_t neighbour) {
            if (visited[neighbour] || (flags[neighbour] & Wall))
                return;
            if (const int colour = missingKey(neighbour); colour >= 0) {
                waiting[colour].push_back(uint32_t(neighbour));
                return;
            }
            visited[neighbour] = 1;
            queue.push_back(uint32_t(neighbour));
        });
    }
    for (int colour = 0; colour < colourCount; ++colour) {
        if (!waiting[colour].empty()) {
            reach.shutDoor = cellOf(waiting[colour].front());
            reach.shutDoorColour = colour;
            break;
        }
    }
    return reach;
}

#pragma once

#include "level/cellkey.h"

#include <QPoint>
#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

struct CellHash
{
    size_t operator()(const QPoint &cell) const noexcept
    {
        return std::hash<uint64_t>()(cellKey(cell.x(), cell.y()));
    }
};
using CellSet = std::unordered_set<QPoint, CellHash>;

// Whether a wall or a door stands on a cell.
using BarrierTest = std::function<bool(QPoint)>;

// The cells a fill covers, in the order they were reached, or `aborted` when
// the area reached the limit (then `cells` is empty).
struct FillArea
{
    std::vector<QPoint> cells;
    bool aborted = false;
};

// Collects the area around `start` depth first, visiting the neighbours right,
// left, down, up. A cell belongs to the area when its texture number (-1 for
// a free cell) is -1 or `fillTarget` and `isBarrier` says no wall or door stands on it. The
// limit is checked on every visit, so at most `limit - 1` cells are collected
// before the area counts as unbounded.
FillArea collectFillArea(QPoint start, int32_t fillTarget, const BarrierTest &isBarrier,
                         const std::function<int32_t(QPoint)> &textureIdAt, int limit);

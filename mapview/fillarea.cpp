#include "mapview/fillarea.h"

FillArea collectFillArea(QPoint start, int32_t fillTarget, const BarrierTest &isBarrier,
                         const std::function<int32_t(QPoint)> &textureIdAt, int limit)
{
    FillArea area;
    CellSet collected;
    // An explicit stack visits the cells in exactly the order of the recursive
    // walk: neighbours are pushed in reverse so the right one is visited first,
    // and a cell is tested only when it is visited.
    std::vector<QPoint> pending {start};
    while (!pending.empty()) {
        const QPoint cell = pending.back();
        pending.pop_back();
        if (int(area.cells.size()) >= limit) {
            area.cells.clear();
            area.aborted = true;
            return area;
        }
        const int32_t texture = textureIdAt(cell);
        const bool open = (texture == fillTarget || texture == -1) && !collected.count(cell) && !isBarrier(cell);
        if (!open)
            continue;
        area.cells.push_back(cell);
        collected.insert(cell);
        pending.push_back(QPoint(cell.x(), cell.y() - 1));
        pending.push_back(QPoint(cell.x(), cell.y() + 1));
        pending.push_back(QPoint(cell.x() - 1, cell.y()));
        pending.push_back(QPoint(cell.x() + 1, cell.y()));
    }
    return area;
}

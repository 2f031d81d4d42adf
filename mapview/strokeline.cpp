#include "mapview/strokeline.h"

#include <algorithm>
#include <cstdlib>

std::vector<QPoint> cellsOnLine(QPoint from, QPoint to)
{
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int stepX = from.x() < to.x() ? 1 : -1;
    const int stepY = from.y() < to.y() ? 1 : -1;
    std::vector<QPoint> cells;
    cells.reserve(size_t(std::max(dx, -dy)) + 1);
    int error = dx + dy;
    QPoint cell = from;
    while (true) {
        cells.push_back(cell);
        if (cell == to)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            cell.rx() += stepX;
        }
        if (twice <= dx) {
            error += dx;
            cell.ry() += stepY;
        }
    }
    return cells;
}

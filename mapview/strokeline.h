#pragma once

#include <QPoint>
#include <vector>

// The cells a straight line from `from` to `to` passes through, both ends
// included, one cell per step along the longer axis (Bresenham's walk), so
// that a fast stroke leaves no gap between the positions the mouse reported.
std::vector<QPoint> cellsOnLine(QPoint from, QPoint to);

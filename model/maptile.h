#pragma once

#include <QPixmap>

class QPainter;
class QRect;
class QWidget;

// The map's background: one tile image per cell size (assets/bgNxN.jpg),
// repeated from the map widget's origin so that one tile covers one cell.
// The map widget carries its current tile; every object button paints the
// same tile under its icon, so see-through objects sit on a grid square.
namespace MapTile {
// The tile for this cell size, or a null pixmap when the image is missing.
QPixmap load(int cellSize);
void setCurrent(QWidget *map, const QPixmap &tile);
// The tile the map shows now; null when it has none (plain black).
QPixmap current(const QWidget *map);
// Fills `area` with the tile repeated from `origin`, or black without a tile.
void paint(QPainter &painter, const QRect &area, const QPixmap &tile, const QPoint &origin);
} // namespace MapTile

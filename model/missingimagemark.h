#pragma once

#include <QPixmap>

class QPainter;
class QRect;

// What an object or a gallery entry shows when its image is missing,
// unreadable or refused: a red-bordered square with a red cross, drawn here,
// so that such an object never vanishes from the map.
namespace MissingImageMark {
void paint(QPainter &painter, const QRect &area);
// The mark alone on a see-through square of `size` pixels.
QPixmap picture(int size);
} // namespace MissingImageMark

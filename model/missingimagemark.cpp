#include "model/missingimagemark.h"

#include <QPainter>
#include <algorithm>

void MissingImageMark::paint(QPainter &painter, const QRect &area)
{
    if (area.width() < 2 || area.height() < 2)
        return;
    painter.save();
    const qreal line = std::max(2.0, std::min(area.width(), area.height()) / 16.0);
    const QRectF inside = QRectF(area).adjusted(line / 2, line / 2, -line / 2, -line / 2);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(inside, QColor(90, 0, 0, 110));
    painter.setPen(QPen(QColor(230, 30, 30), line, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(inside);
    const QRectF cross = inside.adjusted(line * 2, line * 2, -line * 2, -line * 2);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.topRight(), cross.bottomLeft());
    painter.restore();
}

QPixmap MissingImageMark::picture(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter, image.rect());
    painter.end();
    return QPixmap::fromImage(image);
}

#include "model/objectbutton.h"

#include "model/maptile.h"
#include "model/missingimagemark.h"

#include <QPainter>
#include <QStyle>

ObjectButton::ObjectButton(QWidget *map) : QPushButton(map)
{
}

void ObjectButton::paintEvent(QPaintEvent *event)
{
    // Without a tile the map is plain black and the button adds nothing of its own.
    const QPixmap tile = MapTile::current(parentWidget());
    if (!tile.isNull()) {
        QPainter painter(this);
        const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        const QRect inside = rect().adjusted(frame, frame, -frame, -frame);
        MapTile::paint(painter, inside, tile, inside.topLeft());
    }
    // An object without a picture shows that it has none, rather than nothing.
    if (icon().isNull()) {
        QPainter painter(this);
        MissingImageMark::paint(painter, rect());
    }
    QPushButton::paintEvent(event);
}

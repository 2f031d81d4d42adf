#include "model/objectbutton.h"

#include "model/maptile.h"

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
    QPushButton::paintEvent(event);
}

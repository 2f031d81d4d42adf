#include "model/maptile.h"

#include <QFileInfo>
#include <QPainter>
#include <QVariant>
#include <QWidget>

namespace {
const char tileProperty[] = "gorseedMapTile";
}

QPixmap MapTile::load(int cellSize)
{
    const QString path = QStringLiteral("assets/bg%1x%1.jpg").arg(cellSize);
    // No load attempt (and no warning) for a file that is not there.
    return QFileInfo(path).isFile() ? QPixmap(path) : QPixmap();
}

void MapTile::setCurrent(QWidget *map, const QPixmap &tile)
{
    map->setProperty(tileProperty, tile);
}

QPixmap MapTile::current(const QWidget *map)
{
    return map ? map->property(tileProperty).value<QPixmap>() : QPixmap();
}

void MapTile::paint(QPainter &painter, const QRect &area, const QPixmap &tile, const QPoint &origin)
{
    if (tile.isNull())
        painter.fillRect(area, Qt::black);
    else
        painter.drawTiledPixmap(area, tile, area.topLeft() - origin);
}

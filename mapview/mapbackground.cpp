#include "mapview/mapbackground.h"

#include "model/maptile.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

MapBackground::MapBackground(QWidget *map, QObject *parent) : QObject(parent), map(map)
{
    map->setAttribute(Qt::WA_OpaquePaintEvent);
    map->installEventFilter(this);
}

void MapBackground::setCellSize(int cellSize)
{
    MapTile::setCurrent(map, MapTile::load(cellSize));
    map->update();
}

bool MapBackground::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == map && event->type() == QEvent::Paint) {
        QPainter painter(map);
        MapTile::paint(painter, static_cast<QPaintEvent *>(event)->rect(), MapTile::current(map), QPoint(0, 0));
    }
    return false;
}

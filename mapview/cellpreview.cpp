#include "mapview/cellpreview.h"

#include <QPaintEvent>
#include <QPainter>

CellPreview::CellPreview(QWidget *map) : QWidget(map)
{
    // The map and its objects keep getting the mouse.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(map->rect());
    hide();
}

void CellPreview::setCells(std::vector<Cell> newCells, int newCellSize)
{
    update(pixelBounds());
    cells = std::move(newCells);
    cellSize = newCellSize;
    extent = QRect();
    for (const Cell &cell : cells)
        extent |= QRect(cell.offset, QSize(1, 1));
    update(pixelBounds());
}

void CellPreview::setTopLeft(QPoint viewCell)
{
    if (viewCell == topLeftCell)
        return;
    const QRect before = pixelBounds();
    topLeftCell = viewCell;
    update(before);
    update(pixelBounds());
}

QRect CellPreview::pixelBounds() const
{
    if (extent.isEmpty())
        return QRect();
    const QPoint origin = (topLeftCell + extent.topLeft()) * cellSize;
    return QRect(origin, extent.size() * cellSize).adjusted(-1, -1, 1, 1) & rect();
}

void CellPreview::paintEvent(QPaintEvent *event)
{
    const QRect area = event->rect();
    QPainter painter(this);
    painter.setOpacity(0.6);
    for (const Cell &cell : cells) {
        const QRect target(((topLeftCell + cell.offset) * cellSize), QSize(cellSize, cellSize));
        if (!target.intersects(area))
            continue;
        if (cell.picture.isNull())
            painter.fillRect(target, cell.fill);
        else
            painter.drawPixmap(target, cell.picture);
    }
    // A thin frame around every cell tells where the objects land, whatever
    // their pictures look like.
    painter.setOpacity(0.9);
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    for (const Cell &cell : cells) {
        const QRect target(((topLeftCell + cell.offset) * cellSize), QSize(cellSize - 1, cellSize - 1));
        if (target.intersects(area))
            painter.drawRect(target);
    }
}

#include "mapview/overviewwindow.h"

#include "mapview/mapview.h"
#include "model/layercontroller.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

OverviewWindow::OverviewWindow(MapView *view, QWidget *mainWindow) : QWidget(mainWindow, Qt::Window), view(view)
{
    setObjectName(QStringLiteral("overviewWindow"));
    setWindowTitle(QStringLiteral("Overview"));
    resize(360, 300);
    setMinimumSize(120, 100);
    setCursor(Qt::PointingHandCursor);
    redrawTimer.setSingleShot(true);
    redrawTimer.setInterval(redrawDelay);
    connect(&redrawTimer, &QTimer::timeout, this, &OverviewWindow::redraw);
}

void OverviewWindow::redraw()
{
    redrawTimer.stop();
    stale = false;
    const LayerController *layers = view->layers();
    levelPicture = painter.draw(layers->registry(), layers->layerStates());
    update();
}

void OverviewWindow::LevelChangedEvent()
{
    // A hidden window draws when it is shown again.
    if (!isVisible()) {
        stale = true;
        return;
    }
    if (!redrawTimer.isActive())
        redrawTimer.start();
}

void OverviewWindow::ViewChangedEvent()
{
    update();
}

void OverviewWindow::showEvent(QShowEvent *event)
{
    if (stale)
        redraw();
    QWidget::showEvent(event);
}

qreal OverviewWindow::scale() const
{
    if (levelPicture.isNull())
        return 1;
    return std::min(qreal(width()) / levelPicture.width(), qreal(height()) / levelPicture.height());
}

QPointF OverviewWindow::corner() const
{
    const qreal s = scale();
    return QPointF((width() - levelPicture.width() * s) / 2, (height() - levelPicture.height() * s) / 2);
}

QRectF OverviewWindow::cellArea(QRect mapCells) const
{
    const qreal s = scale();
    return QRectF(corner() + QPointF(mapCells.x() * s, mapCells.y() * s),
                  QSizeF(mapCells.width() * s, mapCells.height() * s));
}

QPoint OverviewWindow::cellAt(QPointF position) const
{
    const qreal s = scale();
    const QPointF cell = (position - corner()) / s;
    return QPoint(int(std::floor(cell.x())), int(std::floor(cell.y())));
}

void OverviewWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(OverviewPicture::emptyCell).darker(150));
    if (levelPicture.isNull())
        return;
    // Each cell a square of whole colour, never smoothed into its neighbours.
    p.drawImage(cellArea(levelPicture.rect()), levelPicture);
    p.setPen(QPen(Qt::yellow, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(cellArea(view->shownMapCells()));
}

void OverviewWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint cell = cellAt(event->localPos());
    const QRect shown = view->shownMapCells();
    // A press outside the rectangle centres the map there at once; either
    // way the rectangle then follows the pointer.
    clickInside = shown.contains(cell);
    pressCell = cell;
    if (!clickInside)
        view->centreOnCell(cell);
    grabOffset = cell - view->shownMapCells().topLeft();
}

void OverviewWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && clickInside && cellAt(event->localPos()) == pressCell)
        view->centreOnCell(pressCell);
    clickInside = false;
}

void OverviewWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint cell = cellAt(event->localPos());
    if (cell != pressCell)
        clickInside = false;
    view->moveViewTo(-(cell - grabOffset));
}

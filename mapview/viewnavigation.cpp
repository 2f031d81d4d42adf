// Moving about the level: the view's origin, zoom at the pointer, the wheel,
// Home and the overview window.
#include "mapview/historycommands.h"
#include "mapview/mapview.h"
#include "mapview/overviewwindow.h"

#include "model/layercontroller.h"
#include "model/sector.h"
#include "level/subtypetable.h"

#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QSlider>
#include <QUndoStack>
#include <QWheelEvent>

namespace {
// One notch of a mouse wheel turns 120 units; it scrolls three cells.
constexpr int unitsPerCell = 40;
constexpr int unitsPerZoomStep = 120;

int floorDivide(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}
} // namespace

void MapView::setUpNavigation()
{
    const std::pair<QKeySequence, void (MapView::*)()> keys[]
        = {{QKeySequence(Qt::Key_Home), &MapView::GoHomeEvent}, {QKeySequence(Qt::Key_F8), &MapView::ShowOverviewEvent}};
    for (const auto &[sequence, slot] : keys) {
        auto *shortcut = new QShortcut(sequence, mainWindow);
        shortcut->setObjectName(QStringLiteral("shortcut") + sequence.toString());
        connect(shortcut, &QShortcut::activated, this, slot);
    }
    connect(historyCommands->stack(), &QUndoStack::indexChanged, this, &MapView::levelChanged);
    connect(layerController, &LayerController::layerStatesChanged, this, &MapView::levelChanged);
}

QRect MapView::shownMapCells() const
{
    const int size = cellSize();
    const int columns = (mapArea->width() + size - 1) / size;
    const int rows = (mapArea->height() + size - 1) / size;
    return QRect(-originX, -originY, columns, rows);
}

void MapView::moveViewTo(QPoint origin)
{
    if (origin == QPoint(originX, originY))
        return;
    originX = origin.x();
    originY = origin.y();
    // The layers' panes carry the objects along.
    placePanes();
    emit viewChanged();
}

void MapView::centreOnCell(QPoint mapCell)
{
    const int size = cellSize();
    moveViewTo(QPoint(mapArea->width() / 2 / size, mapArea->height() / 2 / size) - mapCell);
}

void MapView::zoomAt(int zoom, QPoint anchor)
{
    const QScopedValueRollback<QPoint> at(zoomAnchor, anchor);
    const QScopedValueRollback<bool> anchored(zoomAnchored, true);
    mapViewZoomSlider->setValue(zoom);
}

void MapView::keepCellOnZoom(int oldCellSize, int newCellSize)
{
    const QPoint anchor = zoomAnchored ? zoomAnchor : QPoint(mapArea->width() / 2, mapArea->height() / 2);
    const QPoint mapCell = QPoint(floorDivide(anchor.x(), oldCellSize), floorDivide(anchor.y(), oldCellSize))
                           - QPoint(originX, originY);
    // The objects are laid out by the zoom change that follows.
    originX = floorDivide(anchor.x(), newCellSize) - mapCell.x();
    originY = floorDivide(anchor.y(), newCellSize) - mapCell.y();
}

void MapView::handleWheelEvent(QWheelEvent *event)
{
    const QPoint anchor = mapArea->mapFromGlobal(event->globalPosition().toPoint());
    if (event->modifiers() & Qt::ControlModifier) {
        wheelRemainder.ry() += event->angleDelta().y();
        const int steps = wheelRemainder.y() / unitsPerZoomStep;
        wheelRemainder.ry() -= steps * unitsPerZoomStep;
        if (steps != 0)
            zoomAt(mapViewZoomSlider->value() + steps, anchor);
        return;
    }
    wheelRemainder += event->angleDelta();
    const QPoint cells(wheelRemainder.x() / unitsPerCell, wheelRemainder.y() / unitsPerCell);
    wheelRemainder -= cells * unitsPerCell;
    // Turning the wheel away from the designer shows what lies above.
    if (!cells.isNull())
        moveViewTo(QPoint(originX, originY) + cells);
}

void MapView::GoHomeEvent()
{
    for (Sector *sector : layerController->layerList(Kinds::Actor)) {
        if (sector->properties->subtype == "Player") {
            centreOnCell(QPoint(sector->properties->mapX, sector->properties->mapY));
            return;
        }
    }
    moveViewTo(QPoint(0, 0));
}

OverviewWindow *MapView::overviewWindow() const
{
    return overview.data();
}

void MapView::ShowOverviewEvent()
{
    if (!overview) {
        overview = new OverviewWindow(this, mainWindow);
        connect(this, &MapView::levelChanged, overview.data(), &OverviewWindow::LevelChangedEvent);
        connect(this, &MapView::viewChanged, overview.data(), &OverviewWindow::ViewChangedEvent);
    }
    overview->show();
    overview->raise();
    overview->activateWindow();
}

QPoint MapView::pointerPosition() const
{
    return mapArea->mapFromGlobal(QCursor::pos());
}

QPoint MapView::viewCellAt(QPoint position) const
{
    const int size = cellSize();
    const auto floorDiv = [size](int value) { return value >= 0 ? value / size : -((-value + size - 1) / size); };
    return QPoint(floorDiv(position.x()), floorDiv(position.y()));
}

bool MapView::isVisibleViewCell(QPoint viewCell) const
{
    const int64_t size = cellSize();
    return viewCell.x() >= 0 && viewCell.y() >= 0 && viewCell.x() * size < mapArea->width()
        && viewCell.y() * size < mapArea->height();
}

void MapView::panView(QMouseEvent *event)
{
    const QPoint position = event->pos();
    if (position == panStart)
        return;
    const int dx = position.x() - panStart.x();
    const int dy = position.y() - panStart.y();
    const int half = cellSize() / 2;
    QPoint origin(originX, originY);
    if (std::abs(dx) > half) {
        panStart = position;
        origin.rx() += dx > 0 ? 1 : -1;
    }
    if (std::abs(dy) > half) {
        // After a horizontal step the anchor is the pointer, so one event never
        // pans both ways.
        const int step = position.y() - panStart.y();
        panStart = position;
        origin.ry() += step > 0 ? 1 : (step < 0 ? -1 : 0);
    }
    moveViewTo(origin);
}

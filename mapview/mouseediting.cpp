#include "mapview/mapview.h"
#include "mapview/clipboardcommands.h"
#include "mapview/shapetools.h"
#include "mapview/strokeline.h"

#include "level/levellimits.h"
#include "level/subtypetable.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/sector.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <algorithm>

namespace {
bool isPress(const QEvent *event, const QMouseEvent *mouse, Qt::MouseButton button)
{
    return event->type() == QEvent::MouseButtonPress && mouse->button() == button;
}

bool isRelease(const QEvent *event, const QMouseEvent *mouse, Qt::MouseButton button)
{
    return event->type() == QEvent::MouseButtonRelease && mouse->button() == button;
}

// A press of the button, or a move while it is held.
bool isPressOrDrag(const QEvent *event, const QMouseEvent *mouse, Qt::MouseButton button)
{
    return isPress(event, mouse, button) || (event->type() == QEvent::MouseMove && (mouse->buttons() & button));
}

QMouseEvent *asMouseEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return static_cast<QMouseEvent *>(event);
    default:
        return nullptr;
    }
}
} // namespace

bool MapView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != mapArea)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Wheel) {
        handleWheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }

    // The tool's cursor shows while the pointer is over the map.
    if (event->type() == QEvent::Enter && !cursorOverridden) {
        QApplication::setOverrideCursor(cursorShape);
        cursorOverridden = true;
    } else if (event->type() == QEvent::Leave && cursorOverridden) {
        QApplication::restoreOverrideCursor();
        cursorOverridden = false;
    }

    // A Shift or Ctrl released while a modal window had the keyboard must not
    // leave its layer current for this press.
    if (event->type() == QEvent::MouseButtonPress)
        followHeldModifierKeys();

    // A paste under way takes the mouse; the arrow keys move the selection.
    if (clipboard && clipboard->handleMapEvent(event))
        return true;

    if (radioPaint->isChecked()) {
        if (QMouseEvent *mouse = asMouseEvent(event)) {
            if (shapes && shapes->chosen())
                shapes->handleMouseEvent(mouse);
            else if (radioPencil->isChecked())
                handlePencilEvent(mouse);
            else
                handleFloodFillEvent(mouse);
        }
    } else {
        if (QMouseEvent *mouse = asMouseEvent(event))
            handleSelectEvent(mouse);
        // Showing the band the first time makes its window, and the platform
        // may deliver events to the map meanwhile; a second show inside the
        // first would make a second window.
        if (selectionDragInProgress() && !drawingBand) {
            const QScopedValueRollback<bool> drawing(drawingBand, true);
            drawSelectionBand();
        }
    }
    return QObject::eventFilter(watched, event);
}

void MapView::handlePencilEvent(QMouseEvent *event)
{
    keepMouseDuringStroke(event);
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (press && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)) {
        // A stroke, from press to release, is one step of the history.
        strokeButton = event->button();
        edits->beginGesture(strokeButton == Qt::LeftButton ? QStringLiteral("pencil stroke")
                                                           : QStringLiteral("eraser stroke"));
    } else if (event->type() == QEvent::MouseButtonRelease && event->button() == strokeButton) {
        strokeButton = Qt::NoButton;
        edits->endGesture();
    }

    if (isPressOrDrag(event, event, Qt::LeftButton)) {
        // A stroke that an undo ended goes no further.
        if (strokeButton == Qt::LeftButton)
            continueStroke(event, press, [this](QPoint cell) { placeSectorAtViewCell(cell); });
    } else if (isPressOrDrag(event, event, Qt::RightButton)) {
        if (strokeButton == Qt::RightButton)
            continueStroke(event, press, [this](QPoint cell) { eraseAtViewCell(cell); });
    } else if (isPressOrDrag(event, event, Qt::MiddleButton)) {
        panView(event);
    } else if (isRelease(event, event, Qt::MiddleButton)) {
        panStart = event->pos();
    }
}

template<typename Action> void MapView::continueStroke(QMouseEvent *event, bool startsStroke, Action action)
{
    // Where the event happened: a busy editor may see the press only after
    // the pointer has moved on.
    const QPoint target = viewCellAt(mapArea->mapFromGlobal(event->globalPos()));
    const QPoint from = startsStroke ? target : strokeCell;
    strokeCell = target;
    const std::vector<QPoint> line = cellsOnLine(from, target);
    // The previous cell had its turn with the previous event.
    for (size_t i = startsStroke ? 0 : 1; i < line.size(); ++i)
        if (isVisibleViewCell(line[i]))
            action(line[i]);
}

void MapView::keepMouseDuringStroke(QMouseEvent *event)
{
    // The map takes the mouse from a press until every button is up. A right
    // or middle press on an object reaches the map through the object's
    // button, which would receive the rest of the stroke, and erasing that
    // object would end it. And while the map holds the grab, Qt does not look
    // for the widget under the pointer among all the map's objects each time
    // a stroke shows a new one, so a stroke costs what its cells cost, not
    // what the level holds. A left press on an object stays with the object,
    // whose click opens its properties.
    if (event->type() == QEvent::MouseButtonPress && QWidget::mouseGrabber() != mapArea)
        mapArea->grabMouse();
    else if (event->type() == QEvent::MouseButtonRelease && event->buttons() == Qt::NoButton
             && QWidget::mouseGrabber() == mapArea)
        mapArea->releaseMouse();
}

void MapView::handleFloodFillEvent(QMouseEvent *event)
{
    if (!isPress(event, event, Qt::LeftButton) || !isVisibleViewCell(viewCellAt(pointerPosition())))
        return;
    floodFill();
}

void MapView::handleSelectEvent(QMouseEvent *event)
{
    if (isPress(event, event, Qt::LeftButton)) {
        layerController->clearSelection();
        // The event's own position, not the pointer's now: a busy editor sees
        // the press and the release only after the pointer has moved on.
        const QPoint cell = viewCellAt(mapArea->mapFromGlobal(event->globalPos()));
        selStartX = cell.x();
        selStartY = cell.y();
        selStartGlobal = event->globalPos();
    } else if (isRelease(event, event, Qt::LeftButton)) {
        // A release whose press did not start a drag here selects nothing.
        if (selStartX == -1 || selStartY == -1) {
            cancelSelectionDrag();
            return;
        }
        // The band stops at the map's edge, and so does what it selects.
        const QPoint edge(mapArea->width() - 1, mapArea->height() - 1);
        const QPoint position = mapArea->mapFromGlobal(event->globalPos());
        const QPoint cell =
            viewCellAt(QPoint(std::clamp(position.x(), 0, edge.x()), std::clamp(position.y(), 0, edge.y())));
        selEndX = cell.x();
        selEndY = cell.y();
        selEndGlobal = event->globalPos();
        if (selStartX > selEndX)
            std::swap(selStartX, selEndX);
        if (selStartY > selEndY)
            std::swap(selStartY, selEndY);
        layerController->selectRect(selStartX - originX, selStartY - originY, selEndX - originX, selEndY - originY);
        cancelSelectionDrag();
    } else if (isPress(event, event, Qt::RightButton)) {
        deleteSelection();
    } else if (isPressOrDrag(event, event, Qt::MiddleButton)) {
        panView(event);
    } else if (isRelease(event, event, Qt::MiddleButton)) {
        panStart = event->pos();
    }
}

void MapView::deleteSelection()
{
    std::vector<Sector *> doomed;
    for (Sector *sector : layerController->selection()) {
        // Only the selected object itself goes: while a temporary layer is
        // current, another object may share the cell and must survive.
        if (layerController->sectorAt(sector->properties->mapX, sector->properties->mapY) == sector)
            doomed.push_back(sector);
    }
    edits->beginGesture(QStringLiteral("deletion of the selection"));
    edits->remove(doomed);
    edits->endGesture();
    layerController->clearSelection();
}

bool MapView::selectionDragInProgress() const
{
    return selStartX != -1 && selStartY != -1 && selEndX == -1 && selEndY == -1;
}

Sector *MapView::placeSectorAtCursor()
{
    const QPoint viewCell = viewCellAt(pointerPosition());
    return isVisibleViewCell(viewCell) ? placeSectorAtViewCell(viewCell) : nullptr;
}

Sector *MapView::placeSectorAtViewCell(QPoint viewCell)
{
    const QPoint mapCell = viewCell - QPoint(originX, originY);
    if (!LevelLimits::insideGrid(mapCell.x(), mapCell.y())) {
        showStatus(LevelLimits::beyondGridMessage());
        return nullptr;
    }
    return edits->placeNew(mapCell);
}

void MapView::eraseAtCursor()
{
    const QPoint viewCell = viewCellAt(pointerPosition());
    if (isVisibleViewCell(viewCell))
        eraseAtViewCell(viewCell);
}

void MapView::eraseAtViewCell(QPoint viewCell)
{
    const QPoint mapCell = viewCell - QPoint(originX, originY);
    if (mapCell.x() < 0 || mapCell.y() < 0)
        return;
    if (Sector *sector = layerController->sectorAt(mapCell.x(), mapCell.y()))
        edits->remove({sector});
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

void MapView::drawSelectionBand()
{
    const QPoint start = selStartGlobal;
    const QPoint current = QCursor::pos();
    int left = std::min(start.x(), current.x());
    int right = std::max(start.x(), current.x());
    int top = std::min(start.y(), current.y());
    int bottom = std::max(start.y(), current.y());

    // The band stays inside the map widget on screen.
    const QPoint topLeft = mainWindow->mapToGlobal(mapArea->geometry().topLeft());
    const QPoint bottomRight = mainWindow->mapToGlobal(mapArea->geometry().bottomRight());
    right = std::min(right, bottomRight.x());
    left = std::max(left, topLeft.x());
    bottom = std::min(bottom, bottomRight.y());
    top = std::max(top, topLeft.y());
    const int width = right - left;
    const int height = bottom - top;

    QPicture picture;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QBrush(Qt::white, Qt::SolidPattern), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
    painter.drawLine(left, top, right, top);
    painter.drawLine(right, top, right, bottom);
    painter.drawLine(right, bottom, left, bottom);
    painter.drawLine(left, bottom, left, top);
    painter.end();

    band->move(left, top);
    band->resize(width + 2, height + 2);
    band->setPicture(picture);
    band->show();
}

bool MapView::gestureUnderWay() const
{
    return edits->gestureOpen() || strokeButton != Qt::NoButton || selectionDragInProgress()
           || QApplication::mouseButtons() != Qt::NoButton;
}

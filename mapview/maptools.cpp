#include "mapview/maptools.h"

#include "mapview/clipboardcommands.h"
#include "mapview/fillarea.h"
#include "mapview/mapview.h"
#include "mapview/shapetools.h"
#include "mapview/strokeline.h"

#include "gallery/texturegallery.h"
#include "level/levellimits.h"
#include "level/subtypetable.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/mousehold.h"
#include "model/sector.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QPixmap>
#include <QPushButton>
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

QCursor imageCursor(const QString &path)
{
    const QPixmap image(path);
    return image.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(image);
}
} // namespace

MapTools::MapTools(MapView &view) : view(view)
{
    QWidget *window = view.window();
    btnEditSelection = window->findChild<QPushButton *>(QStringLiteral("btnEditSelection"));
    radioPencil = window->findChild<QRadioButton *>(QStringLiteral("radioPencil"));
    connect(radioPencil, &QRadioButton::clicked, this, &MapTools::switchToPencil);
    radioFloodFill = window->findChild<QRadioButton *>(QStringLiteral("radioFloodFill"));
    connect(radioFloodFill, &QRadioButton::clicked, this, &MapTools::switchToFloodFill);
    radioPaint = window->findChild<QRadioButton *>(QStringLiteral("radioPaint"));
    connect(radioPaint, &QRadioButton::clicked, this, &MapTools::switchToEditMode);
    radioSelect = window->findChild<QRadioButton *>(QStringLiteral("radioSelect"));
    connect(radioSelect, &QRadioButton::clicked, this, &MapTools::switchToSelectMode);

    radioPaint->setChecked(true);
    switchToEditMode();

    // The rubber band floats above the map as a frameless, see-through window
    // of which only the outline is painted.
    band = new QLabel(view.mapWidget());
    band->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    band->setAttribute(Qt::WA_NoSystemBackground);
    band->setAttribute(Qt::WA_TranslucentBackground);

    connect(window->findChild<QListWidget *>(QStringLiteral("listViewTextures")), &QListWidget::itemClicked, this,
            &MapTools::retextureSelection);
}

bool MapTools::handleMapEvent(QEvent *event)
{
    // A Shift or Ctrl released while a modal window had the keyboard must not
    // leave its layer current for this press.
    if (event->type() == QEvent::MouseButtonPress)
        followHeldModifierKeys();

    // A paste under way takes the mouse; the arrow keys move the selection.
    if (view.clipboardCommands() && view.clipboardCommands()->handleMapEvent(event))
        return true;

    ShapeTools *shapes = view.shapeTools();
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
    return false;
}

bool MapTools::objectsTakeMouse() const
{
    return radioPaint->isChecked() && radioPencil->isChecked();
}

bool MapTools::gestureUnderWay() const
{
    return strokeButton != Qt::NoButton || selectionDragInProgress();
}

void MapTools::cancelGesture()
{
    strokeButton = Qt::NoButton;
    cancelSelectionDrag();
}

void MapTools::cancelSelectionDrag()
{
    selStartX = selEndX = selStartY = selEndY = -1;
    if (band)
        band->hide();
}

void MapTools::switchToSelectMode()
{
    view.setSectorsMouseTransparent(true);
    view.setToolCursor(QCursor(Qt::CrossCursor));
    btnEditSelection->setEnabled(true);
    radioPencil->setEnabled(false);
    radioFloodFill->setEnabled(false);
}

void MapTools::switchToEditMode()
{
    cancelSelectionDrag();
    view.layers()->clearSelection();
    view.setSectorsMouseTransparent(false);
    btnEditSelection->setEnabled(false);
    radioPencil->setEnabled(true);
    radioFloodFill->setEnabled(true);
    switchToPencil();
}

void MapTools::switchToPencil()
{
    view.setToolCursor(imageCursor(QStringLiteral("assets/pencil.png")));
    radioPencil->setChecked(true);
    view.setSectorsMouseTransparent(false);
}

void MapTools::switchToFloodFill()
{
    view.setToolCursor(imageCursor(QStringLiteral("assets/bucket.png")));
    radioFloodFill->setChecked(true);
    view.setSectorsMouseTransparent(true);
}

void MapTools::retextureSelection()
{
    // A click in the gallery retextures a selection of two or more objects;
    // with one object or none it only picks the texture for new objects.
    const std::vector<Sector *> selected = view.layers()->selection();
    if (selected.size() < 2)
        return;
    const TextureRef texture = view.gallery()->currentTexture;
    view.mapEdits()->beginGesture(QStringLiteral("retexture of the selection"));
    for (Sector *sector : selected)
        view.mapEdits()->retexture(sector, texture);
    view.mapEdits()->endGesture();
}

void MapTools::handlePencilEvent(QMouseEvent *event)
{
    keepMouseDuringStroke(event);
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (press && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)) {
        // A stroke, from press to release, is one step of the history.
        strokeButton = event->button();
        view.mapEdits()->beginGesture(strokeButton == Qt::LeftButton ? QStringLiteral("pencil stroke")
                                                                     : QStringLiteral("eraser stroke"));
    } else if (event->type() == QEvent::MouseButtonRelease && event->button() == strokeButton) {
        strokeButton = Qt::NoButton;
        view.mapEdits()->endGesture();
    }

    if (isPressOrDrag(event, event, Qt::LeftButton)) {
        // A stroke that an undo ended goes no further.
        if (strokeButton == Qt::LeftButton)
            continueStroke(event, press, [this](QPoint cell) { placeSectorAtViewCell(cell); });
    } else if (isPressOrDrag(event, event, Qt::RightButton)) {
        if (strokeButton == Qt::RightButton)
            continueStroke(event, press, [this](QPoint cell) { eraseAtViewCell(cell); });
    } else if (isPressOrDrag(event, event, Qt::MiddleButton)) {
        view.panView(event);
    } else if (isRelease(event, event, Qt::MiddleButton)) {
        view.setPanAnchor(event->pos());
    }
}

template<typename Action> void MapTools::continueStroke(QMouseEvent *event, bool startsStroke, Action action)
{
    // Where the event happened: a busy editor may see the press only after
    // the pointer has moved on.
    const QPoint target = view.viewCellAt(view.mapWidget()->mapFromGlobal(event->globalPos()));
    const QPoint from = startsStroke ? target : strokeCell;
    strokeCell = target;
    const std::vector<QPoint> line = cellsOnLine(from, target);
    // The previous cell had its turn with the previous event.
    for (size_t i = startsStroke ? 0 : 1; i < line.size(); ++i)
        if (view.isVisibleViewCell(line[i]))
            action(line[i]);
}

void MapTools::keepMouseDuringStroke(QMouseEvent *event)
{
    // The map takes the mouse from a press until every button is up. A right
    // or middle press on an object reaches the map through the object's
    // button, which would receive the rest of the stroke, and erasing that
    // object would end it. And while the map holds the grab, Qt does not look
    // for the widget under the pointer among all the map's objects each time
    // a stroke shows a new one, so a stroke costs what its cells cost, not
    // what the level holds. A left press on an object stays with the object,
    // whose click opens its properties.
    if (event->type() == QEvent::MouseButtonPress && QWidget::mouseGrabber() != view.mapWidget())
        view.mapWidget()->grabMouse();
    else if (event->type() == QEvent::MouseButtonRelease && event->buttons() == Qt::NoButton
             && QWidget::mouseGrabber() == view.mapWidget())
        view.mapWidget()->releaseMouse();
}

void MapTools::handleFloodFillEvent(QMouseEvent *event)
{
    if (!isPress(event, event, Qt::LeftButton) || !view.isVisibleViewCell(view.viewCellAt(view.pointerPosition())))
        return;
    floodFill();
}

void MapTools::handleSelectEvent(QMouseEvent *event)
{
    if (isPress(event, event, Qt::LeftButton)) {
        view.layers()->clearSelection();
        // The event's own position, not the pointer's now: a busy editor sees
        // the press and the release only after the pointer has moved on.
        const QPoint cell = view.viewCellAt(view.mapWidget()->mapFromGlobal(event->globalPos()));
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
        const QPoint edge(view.mapWidget()->width() - 1, view.mapWidget()->height() - 1);
        const QPoint position = view.mapWidget()->mapFromGlobal(event->globalPos());
        const QPoint cell
            = view.viewCellAt(QPoint(std::clamp(position.x(), 0, edge.x()), std::clamp(position.y(), 0, edge.y())));
        selEndX = cell.x();
        selEndY = cell.y();
        selEndGlobal = event->globalPos();
        if (selStartX > selEndX)
            std::swap(selStartX, selEndX);
        if (selStartY > selEndY)
            std::swap(selStartY, selEndY);
        const QPoint origin = view.origin();
        view.layers()->selectRect(selStartX - origin.x(), selStartY - origin.y(), selEndX - origin.x(),
                                  selEndY - origin.y());
        cancelSelectionDrag();
    } else if (isPress(event, event, Qt::RightButton)) {
        deleteSelection();
    } else if (isPressOrDrag(event, event, Qt::MiddleButton)) {
        view.panView(event);
    } else if (isRelease(event, event, Qt::MiddleButton)) {
        view.setPanAnchor(event->pos());
    }
}

void MapTools::deleteSelection()
{
    std::vector<Sector *> doomed;
    for (Sector *sector : view.layers()->selection()) {
        // Only the selected object itself goes: while a temporary layer is
        // current, another object may share the cell and must survive.
        if (view.layers()->sectorAt(sector->properties->mapX, sector->properties->mapY) == sector)
            doomed.push_back(sector);
    }
    view.mapEdits()->beginGesture(QStringLiteral("deletion of the selection"));
    view.mapEdits()->remove(doomed);
    view.mapEdits()->endGesture();
    view.layers()->clearSelection();
}

bool MapTools::selectionDragInProgress() const
{
    return selStartX != -1 && selStartY != -1 && selEndX == -1 && selEndY == -1;
}

Sector *MapTools::placeSectorAtCursor()
{
    const QPoint viewCell = view.viewCellAt(view.pointerPosition());
    return view.isVisibleViewCell(viewCell) ? placeSectorAtViewCell(viewCell) : nullptr;
}

Sector *MapTools::placeSectorAtViewCell(QPoint viewCell)
{
    const QPoint mapCell = viewCell - view.origin();
    if (!LevelLimits::insideGrid(mapCell.x(), mapCell.y())) {
        view.showStatus(LevelLimits::beyondGridMessage());
        return nullptr;
    }
    return view.mapEdits()->placeNew(mapCell);
}

void MapTools::eraseAtCursor()
{
    const QPoint viewCell = view.viewCellAt(view.pointerPosition());
    if (view.isVisibleViewCell(viewCell))
        eraseAtViewCell(viewCell);
}

void MapTools::eraseAtViewCell(QPoint viewCell)
{
    const QPoint mapCell = viewCell - view.origin();
    if (mapCell.x() < 0 || mapCell.y() < 0)
        return;
    if (Sector *sector = view.layers()->sectorAt(mapCell.x(), mapCell.y()))
        view.mapEdits()->remove({sector});
}

void MapTools::drawSelectionBand()
{
    const QPoint start = selStartGlobal;
    const QPoint current = QCursor::pos();
    int left = std::min(start.x(), current.x());
    int right = std::max(start.x(), current.x());
    int top = std::min(start.y(), current.y());
    int bottom = std::max(start.y(), current.y());

    // The band stays inside the map widget on screen.
    const QPoint topLeft = view.window()->mapToGlobal(view.mapWidget()->geometry().topLeft());
    const QPoint bottomRight = view.window()->mapToGlobal(view.mapWidget()->geometry().bottomRight());
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

void MapTools::floodFill()
{
    if (view.mapEdits()->refuses(view.layers()->currentLayer()))
        return;
    const QPoint start = view.cursorCell() - view.origin();
    int32_t fillTarget = textureIdAt(start);
    if (fillTarget == -1)
        fillTarget = 0;

    // Walls and doors bound every fill, whatever layer is current.
    const LayerController *layers = view.layers();
    const auto isBarrier = [layers](QPoint cell) {
        return layers->sectorOn(Kinds::Wall, cell.x(), cell.y()) || layers->sectorOn(Kinds::Door, cell.x(), cell.y());
    };
    const FillArea area = collectFillArea(
        start, fillTarget, isBarrier, [this](QPoint cell) { return textureIdAt(cell); }, floodFillLimit);

    if (area.aborted) {
        QMessageBox box;
        box.setText(QStringLiteral("Recursive depth limit reached.\nPossibly not wall bounded area."));
        box.exec();
        return;
    }
    if (area.cells.empty())
        return;
    if (!std::all_of(area.cells.begin(), area.cells.end(),
                     [](QPoint cell) { return LevelLimits::insideGrid(cell.x(), cell.y()); })) {
        view.showStatus(LevelLimits::beyondGridMessage());
        return;
    }
    // A fill that would take the level past its object limit places nothing.
    if (fillTarget == 0 && area.cells.size() > view.mapEdits()->roomForObjects()) {
        view.showStatus(LevelLimits::objectLimitMessage(view.mapEdits()->objectLimit()));
        return;
    }
    // One fill is one step of the history, in either mode.
    view.mapEdits()->beginGesture(QStringLiteral("flood fill"));
    if (fillTarget != 0) {
        retextureCells(area.cells);
    } else {
        const MouseHold hold(view.window());
        for (const QPoint &cell : area.cells)
            view.mapEdits()->placeNew(cell);
    }
    view.mapEdits()->endGesture();
}

int32_t MapTools::textureIdAt(QPoint mapCell) const
{
    const Sector *sector = view.layers()->sectorAt(mapCell.x(), mapCell.y());
    return sector ? sector->properties->textureId : -1;
}

void MapTools::retextureCells(const std::vector<QPoint> &cells)
{
    const CellSet area(cells.begin(), cells.end());
    const TextureRef texture = view.gallery()->currentTexture;
    for (Sector *sector : view.layers()->currentSectors())
        if (area.count(QPoint(sector->properties->mapX, sector->properties->mapY)))
            view.mapEdits()->retexture(sector, texture);
}

void MapTools::beginTemporaryWallEditing()
{
    beginTemporaryLayer(Kinds::Wall, QStringLiteral("Temporary editing Walls layer"));
}

void MapTools::beginTemporaryDoorEditing()
{
    beginTemporaryLayer(Kinds::Door, QStringLiteral("Temporary editing Doors layer"));
}

void MapTools::beginTemporaryLayer(const std::string &layer, const QString &status)
{
    if (view.layers()->comboLayer() == layer)
        return;
    view.layers()->switchToLayer(layer);
    temporaryLayer = layer;
    view.showStatus(status);
}

void MapTools::endTemporaryEditing()
{
    temporaryLayer.clear();
    view.layers()->switchToLayer(view.layers()->comboLayer());
    view.clearPassingStatus();
}

void MapTools::endTemporaryEditingIfActive()
{
    if (!temporaryLayer.empty())
        endTemporaryEditing();
}

void MapTools::followHeldModifierKeys()
{
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    const bool shift = held.testFlag(Qt::ShiftModifier);
    const bool control = held.testFlag(Qt::ControlModifier);
    // A temporary layer whose key is still down stays, whatever else is held.
    if ((temporaryLayer == Kinds::Wall && shift) || (temporaryLayer == Kinds::Door && control))
        return;
    if (shift)
        beginTemporaryWallEditing();
    else if (control)
        beginTemporaryDoorEditing();
    else
        endTemporaryEditingIfActive();
}

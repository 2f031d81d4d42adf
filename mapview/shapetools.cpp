#include "mapview/shapetools.h"

#include "mapview/cellpreview.h"
#include "mapview/mapview.h"
#include "mapview/strokeline.h"

#include "gallery/texturegallery.h"
#include "level/levellimits.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/mousehold.h"
#include "model/textureicons.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLocale>
#include <QMouseEvent>
#include <QRadioButton>
#include <algorithm>

ShapeTools::ShapeTools(MapView &view) : QObject(&view), view(view)
{
    // The four tools of edit mode share one place in the tool row, two by
    // two: the pencil and the flood fill above, the line and the rectangle
    // below, so that the row still fits beside the map.
    QWidget *row = radio("radioFloodFill")->parentWidget();
    auto *layout = row ? qobject_cast<QBoxLayout *>(row->layout()) : nullptr;
    auto *tools = new QGridLayout;
    tools->setHorizontalSpacing(10);
    tools->setVerticalSpacing(2);
    if (layout) {
        const int at = layout->indexOf(radio("radioPencil"));
        layout->removeWidget(radio("radioPencil"));
        layout->removeWidget(radio("radioFloodFill"));
        layout->insertLayout(at, tools);
    }
    tools->addWidget(radio("radioPencil"), 0, 0);
    tools->addWidget(radio("radioFloodFill"), 0, 1);
    int column = 0;
    for (auto [tool, name, text, key] : {std::make_tuple(&radioLine, "radioLine", "Line [L]", "L"),
                                         std::make_tuple(&radioRectangle, "radioRectangle", "Rectangle [R]", "R")}) {
        *tool = new QRadioButton(QString::fromLatin1(text), row);
        (*tool)->setObjectName(QLatin1String(name));
        (*tool)->setShortcut(QKeySequence(QLatin1String(key)));
        (*tool)->setEnabled(radio("radioPaint")->isChecked());
        tools->addWidget(*tool, 1, column++);
        QRadioButton *button = *tool;
        connect(button, &QRadioButton::clicked, this, [this, button] { choose(button); });
        connect(radio("radioPaint"), &QRadioButton::toggled, button, &QWidget::setEnabled);
    }
    // Another tool or mode ends a drag.
    for (QRadioButton *other :
         {radio("radioPencil"), radio("radioFloodFill"), radio("radioPaint"), radio("radioSelect")})
        connect(other, &QRadioButton::clicked, this, &ShapeTools::cancel);
}

ShapeTools::~ShapeTools()
{
    delete preview.data();
}

bool ShapeTools::chosen() const
{
    return radioLine->isChecked() || radioRectangle->isChecked();
}

void ShapeTools::choose(QRadioButton *tool)
{
    cancel();
    tool->setChecked(true);
    view.setToolCursor(QCursor(Qt::CrossCursor));
    // Presses on objects reach the map, as with the flood fill.
    view.setSectorsMouseTransparent(true);
}

void ShapeTools::cancel()
{
    if (!drag)
        return;
    drag = false;
    if (preview) {
        preview->hide();
        preview->setCells({}, view.cellSize());
    }
    view.clearStatus();
}

std::vector<QPoint> ShapeTools::rectangleOutline(QPoint a, QPoint b)
{
    const int left = std::min(a.x(), b.x()), right = std::max(a.x(), b.x());
    const int top = std::min(a.y(), b.y()), bottom = std::max(a.y(), b.y());
    std::vector<QPoint> cells;
    for (int x = left; x <= right; ++x) {
        cells.emplace_back(x, top);
        if (bottom != top)
            cells.emplace_back(x, bottom);
    }
    for (int y = top + 1; y < bottom; ++y) {
        cells.emplace_back(left, y);
        if (right != left)
            cells.emplace_back(right, y);
    }
    return cells;
}

std::vector<QPoint> ShapeTools::freeCells(QPoint end) const
{
    const std::vector<QPoint> shape = radioLine->isChecked() ? cellsOnLine(start, end) : rectangleOutline(start, end);
    const QPoint origin(view.origin().x(), view.origin().y());
    std::vector<QPoint> cells;
    for (const QPoint &cell : shape) {
        const QPoint mapCell = cell - origin;
        // The pencil's rules: cells in sight, inside the grid, not taken.
        if (view.isVisibleViewCell(cell) && LevelLimits::insideGrid(mapCell.x(), mapCell.y())
            && !view.layers()->hasSectorAt(mapCell.x(), mapCell.y()))
            cells.push_back(cell);
    }
    return cells;
}

void ShapeTools::showShape(QPoint end)
{
    const int size = view.cellSize();
    const QPixmap picture = TextureIcons::icon(view.gallery()->currentTexture.imagePath()).pixmap(size, size);
    std::vector<CellPreview::Cell> cells;
    for (const QPoint &cell : freeCells(end))
        cells.push_back(CellPreview::Cell {cell - start, picture, Qt::white});
    if (!preview)
        preview = new CellPreview(view.mapWidget());
    preview->setGeometry(view.mapWidget()->rect());
    preview->setCells(std::move(cells), size);
    preview->setTopLeft(start);
    preview->raise();
    preview->show();
    view.showStatus(
        QStringLiteral("%1 x %2").arg(std::abs(end.x() - start.x()) + 1).arg(std::abs(end.y() - start.y()) + 1));
}

void ShapeTools::place(QPoint end)
{
    const std::vector<QPoint> cells = freeCells(end);
    cancel();
    MapEdits &edits = *view.mapEdits();
    const size_t room = edits.roomForObjects();
    if (cells.size() > room) {
        const QLocale english(QLocale::English);
        view.showStatus(
            QStringLiteral("A level holds at most %1 objects: there is room for %2 more. Nothing was placed")
                .arg(english.toString(qulonglong(edits.objectLimit())), english.toString(qulonglong(room))));
        return;
    }
    const MouseHold hold(view.mapWidget()->window());
    edits.beginGesture(radioLine->isChecked() ? QStringLiteral("line") : QStringLiteral("rectangle"));
    const QPoint origin(view.origin().x(), view.origin().y());
    for (const QPoint &cell : cells)
        edits.placeNew(cell - origin);
    edits.endGesture();
}

void ShapeTools::handleMouseEvent(QMouseEvent *event)
{
    const QPoint cell = view.viewCellAt(view.pointerPosition());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (event->button() == Qt::LeftButton && view.isVisibleViewCell(cell)) {
            view.mapEdits()->endGesture();
            drag = true;
            start = cell;
            showShape(cell);
        } else if (event->button() == Qt::RightButton) {
            cancel();
        } else if (event->button() == Qt::MiddleButton) {
            view.panView(event);
        }
        break;
    case QEvent::MouseMove:
        if (drag && (event->buttons() & Qt::LeftButton))
            showShape(cell);
        else if (event->buttons() & Qt::MiddleButton)
            view.panView(event);
        break;
    case QEvent::MouseButtonRelease:
        if (event->button() == Qt::LeftButton && drag)
            place(cell);
        else if (event->button() == Qt::MiddleButton)
            view.setPanAnchor(event->pos());
        break;
    default:
        break;
    }
}

QRadioButton *ShapeTools::radio(const char *name) const
{
    return view.mapWidget()->window()->findChild<QRadioButton *>(QLatin1String(name));
}

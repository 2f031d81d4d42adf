#include "model/layerpane.h"

#include "level/sectorproperties.h"
#include "level/subtypetable.h"
#include "model/objectbutton.h"

#include <QApplication>
#include <QHash>
#include <QHelpEvent>
#include <QMouseEvent>
#include <algorithm>
#include <climits>

namespace {
// Where a layer's pane stacks: the eight layers in the order of the layer
// box, then any other names alphabetically.
bool stacksBelow(const std::string &layer, const std::string &other)
{
    const std::vector<std::string> &order = Kinds::comboOrder();
    const auto rank = [&order](const std::string &name) {
        return size_t(std::find(order.begin(), order.end(), name) - order.begin());
    };
    const size_t a = rank(layer);
    const size_t b = rank(other);
    return a != b ? a < b : layer < other;
}

const char *const offsetProperty = "layerPaneOffset";
const char *const cellSizeProperty = "layerPaneCellSize";
constexpr int blockCells = LayerPane::blockCells;

int viewCellSize(const QWidget *map)
{
    const int size = map->property(cellSizeProperty).toInt();
    return size > 0 ? size : 16;
}

int floorDivide(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

uint64_t blockKey(QPoint block)
{
    return (uint64_t(uint32_t(block.x())) << 32) | uint32_t(block.y());
}

QPoint blockFromKey(uint64_t key)
{
    return QPoint(int(int32_t(uint32_t(key >> 32))), int(int32_t(uint32_t(key))));
}

QHash<const QWidget *, LayerPane::SightHandler> &sightHandlers()
{
    static QHash<const QWidget *, LayerPane::SightHandler> handlers;
    return handlers;
}

// Where the panes of `map` are: from the pixel where map cell (0, 0) shows to
// the map's right and bottom edges. No object lies left of or above cell
// (0, 0), and what lies beyond the map's edges is not seen.
QRect paneRect(const QWidget *map)
{
    const QPoint offset = map->property(offsetProperty).toPoint();
    return QRect(offset, QSize(std::max(0, map->width() - offset.x()), std::max(0, map->height() - offset.y())));
}

// Keeps a map's panes over the map as it is resized.
class PaneSizer : public QObject
{
public:
    explicit PaneSizer(QWidget *map) : QObject(map) { map->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize) {
            auto *map = static_cast<QWidget *>(watched);
            LayerPane::setView(map, LayerPane::offset(map), viewCellSize(map));
        }
        return false;
    }
};
} // namespace

// A see-through square of blockCells x blockCells cells of one layer, holding
// the buttons of its objects. It paints nothing and takes no mouse event of
// its own: what reaches it goes on to its pane.
class LayerPane::Block : public QWidget
{
public:
    Block(LayerPane *pane, QPoint index) : QWidget(pane), index(index) {}

    // Its place on the pane at cells of `size` pixels.
    QRect rectAt(int size) const
    {
        return QRect(index * blockCells * size, QSize(blockCells, blockCells) * size);
    }
    // Lays its buttons out at cells of `size` pixels; each keeps its cell,
    // which its place at the old size tells.
    void layOut(int size)
    {
        if (size != cellSize) {
            for (QObject *child : children())
                if (auto *button = qobject_cast<QPushButton *>(child)) {
                    const QPoint cell(button->x() / cellSize, button->y() / cellSize);
                    button->setIconSize(QSize(size, size));
                    button->setGeometry(QRect(cell * size, QSize(size, size)));
                }
            cellSize = size;
        }
        if (geometry() != rectAt(size))
            setGeometry(rectAt(size));
    }

    const QPoint index;
    // The cell size its buttons are laid out at.
    int cellSize = 16;
};

LayerPane::LayerPane(QWidget *map, const std::string &layer) : QWidget(map), name(layer)
{
    setObjectName(QStringLiteral("layerPane") + QString::fromStdString(layer));
    setGeometry(placeOn(map));
    // Moves pass on to the map, which may follow the pointer.
    setMouseTracking(true);
    // Clicks pass through as they pass the other panes.
    for (QObject *child : map->children())
        if (auto *other = qobject_cast<LayerPane *>(child); other && other != this) {
            setAttribute(Qt::WA_TransparentForMouseEvents, other->testAttribute(Qt::WA_TransparentForMouseEvents));
            break;
        }
    followSight();
}

LayerPane::~LayerPane()
{
    // The blocks go before the pane's members, with the buttons on them.
    for (auto &entry : std::exchange(blocks, {}))
        delete entry.second;
    spares.clear();
}

int LayerPane::cellSize() const
{
    return viewCellSize(parentWidget());
}

LayerPane *LayerPane::paneOf(const QWidget *button)
{
    QWidget *parent = button->parentWidget();
    if (!parent)
        return nullptr;
    if (auto *pane = qobject_cast<LayerPane *>(parent->parentWidget()))
        return pane;
    return qobject_cast<LayerPane *>(parent);
}

QPoint LayerPane::blockOf(QPoint cell)
{
    return QPoint(floorDivide(cell.x(), blockCells), floorDivide(cell.y(), blockCells));
}

uint64_t LayerPane::keyOf(QPoint block)
{
    return blockKey(block);
}

LayerPane::Block *LayerPane::blockAt(QPoint cell)
{
    const QPoint index = blockOf(cell);
    Block *&block = blocks[blockKey(index)];
    if (!block) {
        block = new Block(this, index);
        block->layOut(cellSize());
        block->show();
    }
    return block;
}

void LayerPane::place(QWidget *button, QPoint cell)
{
    Block *block = blockAt(cell);
    if (button->parentWidget() != block) {
        // A widget taken to another parent is hidden; it shows again as it did.
        const bool wasShown = !button->isHidden();
        button->setParent(block);
        if (wasShown)
            button->show();
    }
    const int size = block->cellSize;
    const QRect rect((cell - block->index * blockCells) * size, QSize(size, size));
    if (button->geometry() != rect)
        button->setGeometry(rect);
    if (auto *pushButton = qobject_cast<QPushButton *>(button); pushButton && pushButton->iconSize() != rect.size())
        pushButton->setIconSize(rect.size());
}

QWidget *LayerPane::holderOf(QPoint cell)
{
    return blockAt(cell);
}

QPoint LayerPane::shownAt(QPoint cell) const
{
    return pos() + cell * cellSize();
}

void LayerPane::layOutInSight()
{
    if (!shown || blocks.empty())
        return;
    const int size = cellSize();
    const QRect sight = rect() & QRect(-pos(), parentWidget()->size());
    if (sight.isEmpty())
        return;
    const int span = blockCells * size;
    const QPoint first(floorDivide(sight.left(), span), floorDivide(sight.top(), span));
    const QPoint last(floorDivide(sight.right(), span), floorDivide(sight.bottom(), span));
    // Whichever is fewer: the blocks in sight, or all the blocks.
    if (int64_t(last.x() - first.x() + 1) * (last.y() - first.y() + 1) > int64_t(blocks.size())) {
        const QRect inSight(first, last);
        for (auto &entry : blocks)
            if (inSight.contains(entry.second->index))
                entry.second->layOut(size);
        return;
    }
    for (int y = first.y(); y <= last.y(); ++y)
        for (int x = first.x(); x <= last.x(); ++x)
            if (auto found = blocks.find(blockKey(QPoint(x, y))); found != blocks.end())
                found->second->layOut(size);
}

void LayerPane::follow(const QWidget *map)
{
    const QRect rect = placeOn(map);
    if (geometry() != rect)
        setGeometry(rect);
    followSight();
    layOutInSight();
}

void LayerPane::followSight()
{
    // What of the level the map shows, in pixels from where map cell (0, 0)
    // shows, whether the layer is on show or not: putting a layer on show
    // then makes no buttons. No object lies left of or above cell (0, 0).
    const QWidget *map = parentWidget();
    const QRect sight = QRect(-offset(map), map->size()) & QRect(0, 0, INT_MAX, INT_MAX);
    // A map not laid out yet shows nothing, and its objects keep what they have.
    if (sight.isEmpty())
        return;
    const int span = blockCells * cellSize();
    const QPoint first(sight.left() / span, sight.top() / span);
    const QPoint last(sight.right() / span, sight.bottom() / span);
    std::vector<QPoint> coming;
    for (int y = first.y(); y <= last.y(); ++y)
        for (int x = first.x(); x <= last.x(); ++x)
            if (live.insert(blockKey(QPoint(x, y))).second)
                coming.emplace_back(x, y);
    // Blocks are kept live up to one view's width or height from what is in
    // sight, so that a pan or a zoom back and forth makes no buttons again.
    const QPoint reach = last - first + QPoint(1, 1);
    const QRect kept(first - reach, last + reach);
    for (auto key = live.begin(); key != live.end();) {
        const QPoint index = blockFromKey(*key);
        if (kept.contains(index)) {
            ++key;
            continue;
        }
        if (const auto found = blocks.find(*key); found != blocks.end()) {
            hold(found->second);
            const QObjectList children = found->second->children();
            for (QObject *child : children)
                if (auto *button = dynamic_cast<ObjectButton *>(child); button && button->owner())
                    giveUp(*button->owner());
        }
        key = live.erase(key);
    }
    releaseBlocks();
    if (!coming.empty())
        if (const auto handler = sightHandlers().constFind(map); handler != sightHandlers().constEnd()) {
            // The handler may change the handlers.
            const SightHandler call = *handler;
            call(*this, coming);
        }
}

void LayerPane::setSightHandler(const QWidget *map, SightHandler handler)
{
    if (handler)
        sightHandlers().insert(map, std::move(handler));
    else
        sightHandlers().remove(map);
}

void LayerPane::holdBlocksOf(const std::vector<QPoint> &cells)
{
    for (const QPoint &cell : cells)
        hold(blockAt(cell));
}

void LayerPane::hold(QWidget *block)
{
    if (!block->isHidden() && !block->isAncestorOf(QApplication::focusWidget())) {
        block->hide();
        heldBlocks.push_back(block);
    }
}

void LayerPane::releaseBlocks()
{
    for (QWidget *block : std::exchange(heldBlocks, {}))
        block->show();
}

void LayerPane::giveUp(SectorProperties &object)
{
    auto *button = ObjectButton::of(object.button);
    object.button = nullptr;
    if (!button)
        return;
    button->setOwner(nullptr);
    // The button may be the one taking the event that moved the view.
    if (!keepSpare(button)) {
        button->hide();
        button->deleteLater();
    }
}

LayerPane *LayerPane::of(QWidget *map, const std::string &layer)
{
    if (!map)
        return nullptr;
    LayerPane *above = nullptr;
    for (QObject *child : map->children()) {
        auto *pane = qobject_cast<LayerPane *>(child);
        if (!pane)
            continue;
        if (pane->name == layer)
            return pane;
        if (stacksBelow(layer, pane->name) && (!above || stacksBelow(pane->name, above->name)))
            above = pane;
    }
    auto *pane = new LayerPane(map, layer);
    if (above)
        pane->stackUnder(above);
    pane->show();
    return pane;
}

void LayerPane::setTint(const QColor &colour)
{
    if (!layerTint.set(colour))
        return;
    // The pane paints nothing itself; this repaints its objects in sight.
    update();
}

ObjectButton *LayerPane::takeSpare()
{
    if (spares.empty())
        return nullptr;
    ObjectButton *button = spares.front();
    spares.pop_front();
    return button;
}

bool LayerPane::keepSpare(ObjectButton *button)
{
    if (spares.size() >= spareLimit)
        return false;
    if (pressed == button)
        pressed = nullptr;
    button->hide();
    // As a new button is; whoever takes it up sets the rest (place, size,
    // picture, tool tip) as for a new one.
    button->setDown(false);
    button->setOwner(nullptr);
    button->setTint(QColor());
    button->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    spares.push_back(button);
    return true;
}

QWidget *LayerPane::mapOf(const QWidget *button)
{
    if (LayerPane *pane = paneOf(button))
        return pane->parentWidget();
    return button->parentWidget();
}

int LayerPane::cellSizeOf(const QWidget *map)
{
    return viewCellSize(map);
}

QPoint LayerPane::offset(const QWidget *map)
{
    return map->property(offsetProperty).toPoint();
}

void LayerPane::setView(QWidget *map, QPoint offset, int cellSize)
{
    const int oldSize = viewCellSize(map);
    map->setProperty(offsetProperty, offset);
    map->setProperty(cellSizeProperty, cellSize);
    for (QObject *child : map->children())
        if (auto *pane = qobject_cast<LayerPane *>(child)) {
            // After a zoom no block out of sight shows: each is laid out, at
            // its place and size, as it comes in sight.
            if (cellSize != oldSize)
                for (auto &entry : pane->blocks)
                    entry.second->setGeometry(QRect(entry.second->rectAt(cellSize).topLeft(), QSize(0, 0)));
            pane->follow(map);
        }
}

QRect LayerPane::placeOn(const QWidget *map) const
{
    const QRect rect = paneRect(map);
    return shown ? rect : QRect(rect.topLeft(), QSize(0, 0));
}

void LayerPane::setShown(bool onShow)
{
    if (shown == onShow)
        return;
    shown = onShow;
    if (!shown && isAncestorOf(QApplication::focusWidget()))
        parentWidget()->setFocus(Qt::OtherFocusReason);
    follow(parentWidget());
}

bool LayerPane::showsObject(const QWidget *button)
{
    const LayerPane *pane = paneOf(button);
    return button->isVisible() && (!pane || pane->isShown());
}

void LayerPane::install(QWidget *map)
{
    new PaneSizer(map);
    for (const std::string &layer : Kinds::comboOrder())
        of(map, layer);
}

void LayerPane::setMouseTransparent(QWidget *map, bool transparent)
{
    for (QObject *child : map->children())
        if (auto *pane = qobject_cast<LayerPane *>(child))
            pane->setAttribute(Qt::WA_TransparentForMouseEvents, transparent);
}

QWidget *LayerPane::buttonBelow(const QPoint &position) const
{
    const QObjectList &siblings = parentWidget()->children();
    auto self = std::find(siblings.rbegin(), siblings.rend(), this);
    for (auto it = self == siblings.rend() ? self : std::next(self); it != siblings.rend(); ++it) {
        auto *pane = qobject_cast<LayerPane *>(*it);
        if (!pane || pane->isHidden() || !pane->shown || pane->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        // Where a block has no object, childAt gives the block.
        QWidget *found = pane->childAt(pane->mapFromParent(position));
        if (found && found->parentWidget() != pane)
            return found;
    }
    return nullptr;
}

bool LayerPane::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
        if (press && !pressed)
            pressed = buttonBelow(mapToParent(mouse->pos()));
        if (!pressed)
            break;
        QPointer<QWidget> target = pressed;
        if (event->type() == QEvent::MouseButtonRelease && mouse->buttons() == Qt::NoButton)
            pressed = nullptr;
        QMouseEvent passed(event->type(), target->mapFrom(parentWidget(), mapToParent(mouse->pos())), mouse->windowPos(),
                           mouse->screenPos(), mouse->button(), mouse->buttons(), mouse->modifiers(),
                           mouse->source());
        passed.setTimestamp(mouse->timestamp());
        QCoreApplication::sendEvent(target, &passed);
        event->accept();
        return true;
    }
    case QEvent::ToolTip: {
        auto *help = static_cast<QHelpEvent *>(event);
        if (QWidget *button = buttonBelow(mapToParent(help->pos()))) {
            QHelpEvent passed(QEvent::ToolTip, button->mapFrom(parentWidget(), mapToParent(help->pos())), help->globalPos());
            return QCoreApplication::sendEvent(button, &passed);
        }
        break;
    }
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        // Qt passes these on to every shown child, and each compares its
        // palette's active and inactive colours to see whether it needs a
        // repaint: a walk over every object of the layer each time a dialog,
        // the properties window or another application takes the focus. An
        // object looks the same in an active and an inactive window as long
        // as the two palettes are the same, which one comparison here tells.
        if (palette().isEqual(QPalette::Active, QPalette::Inactive))
            return true;
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

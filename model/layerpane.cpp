#include "model/layerpane.h"

#include "level/subtypetable.h"
#include "model/objectbutton.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <algorithm>

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
        if (event->type() == QEvent::Resize)
            LayerPane::setOffset(static_cast<QWidget *>(watched), LayerPane::offset(static_cast<QWidget *>(watched)));
        return false;
    }
};
} // namespace

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
    button->setTint(QColor());
    button->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    spares.push_back(button);
    return true;
}

QWidget *LayerPane::mapOf(const QWidget *button)
{
    QWidget *parent = button->parentWidget();
    return qobject_cast<LayerPane *>(parent) ? parent->parentWidget() : parent;
}

QPoint LayerPane::offset(const QWidget *map)
{
    return map->property(offsetProperty).toPoint();
}

void LayerPane::setOffset(QWidget *map, QPoint offset)
{
    map->setProperty(offsetProperty, offset);
    for (QObject *child : map->children())
        if (auto *pane = qobject_cast<LayerPane *>(child)) {
            const QRect rect = pane->placeOn(map);
            if (pane->geometry() != rect)
                pane->setGeometry(rect);
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
    setGeometry(placeOn(parentWidget()));
}

bool LayerPane::showsObject(const QWidget *button)
{
    const auto *pane = qobject_cast<const LayerPane *>(button->parentWidget());
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
        if (QWidget *button = pane->childAt(pane->mapFromParent(position)))
            return button;
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

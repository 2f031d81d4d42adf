#include "model/objectbutton.h"

#include "model/layerpane.h"
#include "model/maptile.h"
#include "model/missingimagemark.h"
#include "model/tintcache.h"

#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {
QHash<const QWidget *, std::function<void()>> &clickHandlers()
{
    static QHash<const QWidget *, std::function<void()>> handlers;
    return handlers;
}
} // namespace

ObjectButton::ObjectButton(QWidget *map) : QPushButton(map)
{
}

ObjectButton *ObjectButton::of(QPushButton *button)
{
    return dynamic_cast<ObjectButton *>(button);
}

void ObjectButton::setTint(const QColor &colour)
{
    if (own.set(colour))
        update();
}

QColor ObjectButton::tint() const
{
    return shownTint().colour();
}

const Tint &ObjectButton::shownTint() const
{
    if (!own.tinted())
        if (const LayerPane *pane = LayerPane::paneOf(this))
            return pane->shownTint();
    return own;
}

void ObjectButton::setClickHandler(const QWidget *map, std::function<void()> handler)
{
    if (handler)
        clickHandlers().insert(map, std::move(handler));
    else
        clickHandlers().remove(map);
}

void ObjectButton::paintEvent(QPaintEvent *event)
{
    const QPixmap tile = MapTile::current(LayerPane::mapOf(this));
    const Tint &shown = shownTint();
    // An object without an icon shows the missing-image mark even untiled.
    if (!shown.tinted() && tile.isNull() && !icon().isNull()) {
        // Without a tile the map is plain black and the button adds nothing of its own.
        QPushButton::paintEvent(event);
        return;
    }
    // The picture of every object that looks like this one, painted once.
    QStyleOptionButton option;
    initStyleOption(&option);
    TintCache::Key key;
    key.icon = icon().cacheKey();
    key.tile = tile.cacheKey();
    key.size = size();
    key.iconSize = iconSize();
    key.state = quint32(option.state);
    key.features = quint32(option.features);
    key.tint = shown.rgba();
    key.tinted = shown.tinted();
    const QPixmap *picture = TintCache::find(key);
    if (!picture) {
        QPixmap plain(size());
        plain.fill(Qt::transparent);
        QPainter painter(&plain);
        // What a painter on the widget itself starts with.
        painter.setPen(QPen(palette().brush(foregroundRole()), 1));
        painter.setBackground(palette().brush(backgroundRole()));
        painter.setFont(font());
        painter.setLayoutDirection(layoutDirection());
        paintPlain(painter);
        painter.end();
        picture = &TintCache::insert(key, plain);
    }
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), *picture);
}

void ObjectButton::paintTile(QPainter &painter, const QPixmap &tile)
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const QRect inside = rect().adjusted(frame, frame, -frame, -frame);
    MapTile::paint(painter, inside, tile, inside.topLeft());
}

void ObjectButton::paintMissingImageMark(QPainter &painter)
{
    // An object without a picture shows that it has none, rather than nothing.
    if (icon().isNull())
        MissingImageMark::paint(painter, rect());
}

void ObjectButton::paintPlain(QPainter &painter)
{
    const QPixmap tile = MapTile::current(LayerPane::mapOf(this));
    if (!tile.isNull())
        paintTile(painter, tile);
    paintMissingImageMark(painter);
    // What QPushButton paints.
    QStyleOptionButton option;
    initStyleOption(&option);
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
}

void ObjectButton::mouseReleaseEvent(QMouseEvent *event)
{
    // The release that makes QPushButton emit clicked().
    const bool clicks = event->button() == Qt::LeftButton && isDown() && hitButton(event->pos());
    QPushButton::mouseReleaseEvent(event);
    if (clicks)
        reportClick();
}

void ObjectButton::keyReleaseEvent(QKeyEvent *event)
{
    const bool clicks = !event->isAutoRepeat() && isDown()
                        && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select);
    QPushButton::keyReleaseEvent(event);
    if (clicks)
        reportClick();
}

void ObjectButton::focusInEvent(QFocusEvent *event)
{
    QWidget *map = LayerPane::mapOf(this);
    if (map && !LayerPane::showsObject(this)) {
        map->setFocus(event->reason());
        return;
    }
    QPushButton::focusInEvent(event);
}

void ObjectButton::reportClick()
{
    const auto handler = clickHandlers().constFind(LayerPane::mapOf(this));
    if (handler != clickHandlers().constEnd()) {
        // The handler may change the handlers.
        const std::function<void()> call = *handler;
        call();
    }
}

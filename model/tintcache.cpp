#include "model/tintcache.h"

#include <QGraphicsColorizeEffect>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QHash>
#include <QPainter>

namespace {
QHash<TintCache::Key, QPixmap> &pictures()
{
    static QHash<TintCache::Key, QPixmap> cache;
    return cache;
}

// The picture Qt's colourise effect makes of `plain`, made by that very effect.
QPixmap colourised(const QPixmap &plain, QRgb colour)
{
    QGraphicsScene scene;
    auto *item = scene.addPixmap(plain);
    auto *effect = new QGraphicsColorizeEffect;
    effect->setColor(QColor::fromRgba(colour));
    item->setGraphicsEffect(effect);
    QPixmap result(plain.size());
    result.fill(Qt::transparent);
    QPainter painter(&result);
    scene.render(&painter, QRectF(QPointF(0, 0), plain.size()), QRectF(QPointF(0, 0), plain.size()));
    return result;
}
} // namespace

uint TintCache::qHash(const Key &key, uint seed)
{
    uint hash = ::qHash(key.icon, seed) ^ (::qHash(key.tile, seed) * 31u);
    hash ^= ::qHash(quint64(key.size.width()) << 48 | quint64(key.size.height()) << 32
                        | quint64(key.iconSize.width()) << 16 | quint64(key.iconSize.height()),
                    seed)
            * 17u;
    return hash ^ ::qHash(quint64(key.state) << 32 | key.features, seed) ^ (key.tint * 2654435761u)
           ^ uint(key.tinted);
}

const QPixmap *TintCache::find(const Key &key)
{
    const auto found = pictures().constFind(key);
    return found == pictures().constEnd() ? nullptr : &*found;
}

const QPixmap &TintCache::insert(const Key &key, const QPixmap &plain)
{
    return *pictures().insert(key, key.tinted ? colourised(plain, key.tint) : plain);
}

void TintCache::clear()
{
    pictures().clear();
}

int TintCache::size()
{
    return pictures().size();
}

#pragma once

#include <QPixmap>
#include <QRgb>
#include <QSize>

// Tinted pictures of object buttons, shared by every button that shows the
// same image at the same size, in the same state, over the same background
// tile, with the same tint. Each picture is made once by Qt's own colourise
// effect, so a tinted object looks exactly as one carrying that effect.
namespace TintCache {
// Everything that decides what a tinted button shows.
struct Key
{
    qint64 icon = 0;
    qint64 tile = 0;
    QSize size;
    QSize iconSize;
    // The button's style state and features, as the style sees them.
    quint32 state = 0;
    quint32 features = 0;
    QRgb tint = 0;

    bool operator==(const Key &other) const
    {
        return icon == other.icon && tile == other.tile && size == other.size && iconSize == other.iconSize
               && state == other.state && features == other.features && tint == other.tint;
    }
};
uint qHash(const Key &key, uint seed = 0);

// The cached picture for `key`, or null.
const QPixmap *find(const Key &key);
// Colourises `plain` with the key's tint as Qt's colourise effect at full
// strength does, keeps the result and returns it.
const QPixmap &insert(const Key &key, const QPixmap &plain);
// Forgets every picture (after texture images changed on disk).
void clear();
// Pictures held now.
int size();
} // namespace TintCache

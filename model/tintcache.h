#pragma once

#include <QPixmap>
#include <QRgb>
#include <QSize>

// Pictures of object buttons, shared by every button that shows the same
// image at the same size, in the same state, over the same background tile,
// with the same tint or none. Each tinted picture is made once by Qt's own
// colourise effect, so a tinted object looks exactly as one carrying that
// effect; an untinted one is the button's own painting, kept.
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
    bool tinted = false;

    bool operator==(const Key &other) const
    {
        return icon == other.icon && tile == other.tile && size == other.size && iconSize == other.iconSize
               && state == other.state && features == other.features && tint == other.tint
               && tinted == other.tinted;
    }
};
uint qHash(const Key &key, uint seed = 0);

// The cached picture for `key`, or null.
const QPixmap *find(const Key &key);
// Keeps `plain`, colourised with the key's tint as Qt's colourise effect at
// full strength does when the key is tinted, and returns the kept picture.
const QPixmap &insert(const Key &key, const QPixmap &plain);
// Forgets every picture (after texture images changed on disk).
void clear();
// Pictures held now.
int size();
} // namespace TintCache

#include "model/tinteffect.h"

#include "model/maptile.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QHash>
#include <QPainter>
#include <QPushButton>

namespace {
QHash<QString, QPixmap> &pictures()
{
    static QHash<QString, QPixmap> cache;
    return cache;
}

// Everything that decides what a plain button shows.
QString lookKey(const QPushButton *button)
{
    const QWidget *map = button->parentWidget();
    return QStringLiteral("%1|%2x%3|%4x%5|%6%7%8%9%10|%11")
        .arg(button->icon().cacheKey())
        .arg(button->width())
        .arg(button->height())
        .arg(button->iconSize().width())
        .arg(button->iconSize().height())
        .arg(button->isDown())
        .arg(button->hasFocus())
        .arg(button->underMouse())
        .arg(button->isEnabled())
        .arg(button->isFlat())
        .arg(MapTile::current(map).cacheKey());
}

// The picture Qt's colourise effect makes of `plain`, made by that very effect.
QPixmap colourised(const QPixmap &plain, const QColor &colour, qreal strength)
{
    QGraphicsScene scene;
    auto *item = scene.addPixmap(plain);
    auto *effect = new QGraphicsColorizeEffect;
    effect->setColor(colour);
    effect->setStrength(strength);
    item->setGraphicsEffect(effect);
    QPixmap result(plain.size());
    result.fill(Qt::transparent);
    QPainter painter(&result);
    scene.render(&painter, QRectF(QPointF(0, 0), plain.size()), QRectF(QPointF(0, 0), plain.size()));
    return result;
}
} // namespace

TintEffect::TintEffect(const QColor &colour, QPushButton *button) : QGraphicsColorizeEffect(button), button(button)
{
    setColor(colour);
}

void TintEffect::clearCache()
{
    pictures().clear();
}

void TintEffect::draw(QPainter *painter)
{
    const QString plainKey = lookKey(button);
    const QString tintedKey = plainKey + QStringLiteral("|%1|%2").arg(color().rgba()).arg(strength());
    auto found = pictures().constFind(tintedKey);
    if (found == pictures().constEnd()) {
        QPixmap plain = pictures().value(plainKey);
        if (plain.isNull()) {
            // While an effect draws, rendering its own widget paints the
            // widget without the effect.
            plain = QPixmap(button->size());
            plain.fill(Qt::transparent);
            button->render(&plain, QPoint(), QRegion(), QWidget::DrawChildren);
            pictures().insert(plainKey, plain);
        }
        found = pictures().insert(tintedKey, colourised(plain, color(), strength()));
    }
    painter->drawPixmap(QPoint(0, 0), *found);
}

#pragma once

#include "model/tint.h"

#include <QColor>
#include <QPushButton>
#include <functional>

struct SectorProperties;

// The button that shows a placed object on the map. It paints the map's
// background tile inside its frame before the icon, so a see-through texture
// (and a tint) shows over a grid square; without an icon it shows the
// missing-image mark. A tinted object draws a picture
// shared by all objects that look the same (TintCache), so no object carries
// a graphics effect of its own. A click on any object of a map goes to the
// one handler of that map, without a connection per object. No Q_OBJECT: it
// adds no signals, and its class name stays "QPushButton" for everything
// that looks for one.
class ObjectButton : public QPushButton
{
public:
    explicit ObjectButton(QWidget *map);

    // The object's button, or null for a button of another kind.
    static ObjectButton *of(QPushButton *button);

    // Tints the object as Qt's colourise effect at full strength would; an
    // invalid colour removes the object's own tint, and the object shows the
    // tint of its layer's pane, if any.
    void setTint(const QColor &colour);
    // The tint the object shows, its own or its pane's; invalid when it
    // shows untinted.
    QColor tint() const;

    // The record of the object the button shows; null for a kept button.
    SectorProperties *owner() const { return object; }
    void setOwner(SectorProperties *properties) { object = properties; }

    // Clicks on the objects of `map` call `handler`; an empty one stops that.
    static void setClickHandler(const QWidget *map, std::function<void()> handler);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    // An object of a layer off show takes no keyboard focus (Tab would find
    // it: its pane is off show by its size, not hidden); the map takes it.
    void focusInEvent(QFocusEvent *event) override;

private:
    // Paints what the button shows untinted, into any paint device.
    void paintPlain(QPainter &painter);
    void paintTile(QPainter &painter, const QPixmap &tile);
    void paintMissingImageMark(QPainter &painter);
    void reportClick();
    // The tint shown now, its own or its pane's.
    const Tint &shownTint() const;

    Tint own;
    SectorProperties *object = nullptr;
};

#pragma once

#include <QGraphicsColorizeEffect>

class QPushButton;

// The colourise tint of an object's button (blue background layers, green
// selection, grey light levels). It looks exactly like a plain colourise
// effect, but draws a cached picture: Qt's own effect renders its widget
// afresh for every paint, and each such render first walks every widget of
// the window, so a map with thousands of objects would take seconds to
// repaint. The picture is made again whenever what the button shows changes.
class TintEffect : public QGraphicsColorizeEffect
{
    Q_OBJECT

public:
    TintEffect(const QColor &colour, QPushButton *button);

    // Forgets every cached picture (after texture images changed on disk).
    static void clearCache();

protected:
    void draw(QPainter *painter) override;

private:
    QPushButton *button;
};

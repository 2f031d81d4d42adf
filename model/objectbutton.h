#pragma once

#include <QPushButton>

// The button that shows a placed object on the map. It paints the map's
// background tile inside its frame before the icon, so a see-through texture
// (and a tint) shows over a grid square. Without an icon it shows the
// missing-image mark. No Q_OBJECT: it adds no signals,
// and its class name stays "QPushButton" for everything that looks for one.
class ObjectButton : public QPushButton
{
public:
    explicit ObjectButton(QWidget *map);

protected:
    void paintEvent(QPaintEvent *event) override;
};

#pragma once

#include <QObject>

class QWidget;

// Paints the map widget's background: the tile of the current cell size,
// repeated from the widget's origin, or black when the tile image is missing.
// The map widget is opaque to Qt, which then skips clearing it first.
class MapBackground : public QObject
{
    Q_OBJECT

public:
    MapBackground(QWidget *map, QObject *parent);
    // Takes the tile for this cell size; the next paint shows it.
    void setCellSize(int cellSize);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *map;
};

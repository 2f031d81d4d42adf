#pragma once

#include "mapview/overviewpicture.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

class MapView;

// The "Overview" window (F8): the whole level, one small square per cell,
// with a rectangle around what the map shows. A click centres the map on the
// cell; dragging pans the map; the rectangle follows the map's pan and zoom.
// The picture is drawn from the level's objects, not from the map widget, at
// most once every 100 ms after the level changed.
class OverviewWindow : public QWidget
{
    Q_OBJECT

public:
    OverviewWindow(MapView *view, QWidget *mainWindow);

    static constexpr int redrawDelay = 100;

    // Draws the picture of the level again at once.
    void redraw();
    const QImage &picture() const { return levelPicture; }
    // Where a map cell lies in this window, and the cell under a point of it.
    QRectF cellArea(QRect mapCells) const;
    QPoint cellAt(QPointF position) const;

public slots:
    void LevelChangedEvent();
    void ViewChangedEvent();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The pixels of one cell, and where cell (0, 0) starts.
    qreal scale() const;
    QPointF corner() const;

    MapView *view;
    OverviewPicture painter;
    QImage levelPicture;
    QTimer redrawTimer;
    bool stale = true;
    // The cell under the pointer relative to the shown area's top-left cell
    // during a drag.
    QPoint grabOffset;
    // The cell of a press inside the rectangle, centred on its release
    // unless the press became a drag.
    QPoint pressCell;
    bool clickInside = false;
};

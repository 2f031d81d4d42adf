#pragma once

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <vector>

// Shows objects that are not placed yet over the map: the floating objects of
// a paste, the cells a line or rectangle would fill. One see-through widget
// on top of the map draws them all, half transparent, so following the
// pointer moves one picture instead of restyling or repainting the map: only
// the cells the picture leaves and enters are painted again.
class CellPreview : public QWidget
{
public:
    struct Cell
    {
        // Cells from the preview's top-left cell.
        QPoint offset;
        // The object's picture; when null the cell is filled with `fill`.
        QPixmap picture;
        QColor fill;
    };

    explicit CellPreview(QWidget *map);

    void setCells(std::vector<Cell> cells, int cellSize);
    // Puts the top-left cell at this view cell and repaints what changed.
    void setTopLeft(QPoint viewCell);
    QPoint topLeft() const { return topLeftCell; }
    size_t cellCount() const { return cells.size(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect pixelBounds() const;

    std::vector<Cell> cells;
    // Offsets of the cells' bounding box.
    QRect extent;
    int cellSize = 64;
    QPoint topLeftCell;
};

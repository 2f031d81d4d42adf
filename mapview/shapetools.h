#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <vector>

class CellPreview;
class MapView;
class QMouseEvent;
class QRadioButton;

// The "Line [L]" and "Rectangle [R]" tools of edit mode: a left drag shows
// the free cells of a straight line, or of a rectangle's outline, from the
// press to the pointer, with its size in the status line; the release places
// them as one step of the history with the current texture, by the pencil's
// rules. Esc or a right click during the drag cancels it.
class ShapeTools : public QObject
{
    Q_OBJECT

public:
    explicit ShapeTools(MapView &view);
    ~ShapeTools() override;

    // Whether one of the two tools is the current tool.
    bool chosen() const;
    bool dragging() const { return drag; }
    void handleMouseEvent(QMouseEvent *event);
    // Ends a drag without placing anything.
    void cancel();

    // The cells of a rectangle's outline with corners a and b, each once.
    static std::vector<QPoint> rectangleOutline(QPoint a, QPoint b);

private:
    // A radio button of the main window, found by its object name.
    QRadioButton *radio(const char *name) const;
    void choose(QRadioButton *tool);
    // The view cells the shape from the press to `end` would fill.
    std::vector<QPoint> freeCells(QPoint end) const;
    void showShape(QPoint end);
    void place(QPoint end);

    MapView &view;
    QRadioButton *radioLine = nullptr;
    QRadioButton *radioRectangle = nullptr;
    QPointer<CellPreview> preview;
    bool drag = false;
    QPoint start;
};

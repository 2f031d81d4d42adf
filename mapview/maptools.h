#pragma once

#include <QObject>
#include <QPoint>
#include <cstdint>
#include <string>
#include <vector>

class MapView;
class QEvent;
class QLabel;
class QMouseEvent;
class QPushButton;
class QRadioButton;
class Sector;

// The editing tools on the map: the paint and select modes, the pencil (left
// button) and eraser (right button) strokes, the bucket fill, the rubber band
// of a selection with its deletion and retexture, and the Wall or Door layer
// that Shift or Ctrl makes current while held. Tools act only on the cells
// the map widget shows. Owned by MapView, which hands it the map's mouse events.
class MapTools : public QObject
{
    Q_OBJECT

public:
    explicit MapTools(MapView &view);

    // An event on the map, for the mode and tool chosen; true when a paste
    // under way or the arrow keys took it.
    bool handleMapEvent(QEvent *event);
    // Whether objects take the mouse: only where the pencil paints.
    bool objectsTakeMouse() const;
    // Whether a stroke or a rubber band is under way.
    bool gestureUnderWay() const;
    // Ends a stroke or a rubber band without finishing it.
    void cancelGesture();
    void cancelSelectionDrag();
    // The rubber band of a selection drag.
    QLabel *selectionBand() const { return band; }

    Sector *placeSectorAtCursor();
    void eraseAtCursor();
    // The bucket tool: fills the wall- and door-bounded area under the cursor.
    void floodFill();
    int32_t textureIdAt(QPoint mapCell) const;
    void retextureCells(const std::vector<QPoint> &cells);
    // A click in the gallery with two or more objects selected retextures them.
    void retextureSelection();

    // Shift and Ctrl make the Wall or Door layer current while they are held.
    void beginTemporaryWallEditing();
    void beginTemporaryDoorEditing();
    void endTemporaryEditing();
    // Ends a temporary layer whose key may have been released where the map
    // window could not see it (a modal window, another application).
    void endTemporaryEditingIfActive();
    // Makes the temporary layer agree with the keys really held now.
    void followHeldModifierKeys();

private:
    void switchToSelectMode();
    void switchToEditMode();
    void switchToPencil();
    void switchToFloodFill();

    void handlePencilEvent(QMouseEvent *event);
    // Runs `action` on every shown view cell on the line from the stroke's
    // previous cell to the event's cell (on a press: the event's cell).
    template<typename Action> void continueStroke(QMouseEvent *event, bool startsStroke, Action action);
    Sector *placeSectorAtViewCell(QPoint viewCell);
    void eraseAtViewCell(QPoint viewCell);
    void keepMouseDuringStroke(QMouseEvent *event);
    void handleFloodFillEvent(QMouseEvent *event);
    void handleSelectEvent(QMouseEvent *event);
    void deleteSelection();
    bool selectionDragInProgress() const;
    void drawSelectionBand();
    void beginTemporaryLayer(const std::string &layer, const QString &status);

    MapView &view;
    QRadioButton *radioPaint = nullptr;
    QRadioButton *radioSelect = nullptr;
    QRadioButton *radioPencil = nullptr;
    QRadioButton *radioFloodFill = nullptr;
    QPushButton *btnEditSelection = nullptr;
    QLabel *band = nullptr;
    const int floodFillLimit = 1000;
    // The view cell the current pencil or eraser stroke reached last.
    QPoint strokeCell;
    // The button of the pencil or eraser stroke under way; none between strokes.
    Qt::MouseButton strokeButton = Qt::NoButton;
    bool drawingBand = false;
    int selStartX = -1;
    int selEndX = -1;
    int selStartY = -1;
    int selEndY = -1;
    QPoint selStartGlobal;
    QPoint selEndGlobal;
    // The layer that Shift or Ctrl made current; empty when none is.
    std::string temporaryLayer;
};

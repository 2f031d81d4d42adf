#pragma once

#include "level/levelproblem.h"
#include "level/textureref.h"

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class ClipboardCommands;
class HistoryCommands;
class LevelFileCommands;
class LayerController;
class MapBackground;
class MapTools;
class MapEdits;
class ObjectPropertiesForm;
class OverviewWindow;
class ProblemsCommands;
class QLabel;
class QMouseEvent;
class QWheelEvent;
class QPushButton;
class QSlider;
class QUndoStack;
class QWidget;
class Sector;
class ShapeTools;
class TextureGallery;
class UnsavedChangesGuard;
struct PlacementContext;
using SectorRegistry = std::unordered_map<std::string, std::vector<Sector *>>;
struct PointLightOutcome;

// Controller of the editing area and hub of its jobs. Finds the main window's
// controls by object name, owns the layer controller, the texture gallery and
// the edit operations, and keeps the view state: zoom, the view's origin in
// cells, the tool's cursor and the status line. The jobs live in classes of
// their own that it owns: the tools, the file commands, the history, the
// level problems, the clipboard and the shapes.
//
// It is a plain QObject: nothing uses it as a widget. The main window deletes
// it when it is destroyed.
class MapView : public QObject
{
    Q_OBJECT

public:
    explicit MapView(QWidget *mainWindow);
    ~MapView() override;

    int cellSize() const;
    QPoint cursorCell() const;
    PlacementContext placementContext() const;
    // Null, with a status message, for a cell beyond the grid a level may use.
    Sector *placeSectorAt(const QPoint &viewCell);
    void setSectorsMouseTransparent(bool transparent);
    // Save, load, the edited file name, a recovery copy put in place.
    LevelFileCommands *files() const { return filesCommands; }
    // Where a level about to be loaded is laid out: at the largest zoom with
    // the view at the map's origin.
    PlacementContext loadContext() const;
    // Makes a level just read the map being edited, named `fileName`, with
    // its history starting here.
    void adoptLevel(SectorRegistry &loaded, const QString &fileName);
    // Whether a stroke, a rubber band, a pan or any other gesture is under way.
    bool gestureUnderWay() const;
    // The unsaved mark in the title and the question before work is thrown away.
    UnsavedChangesGuard *unsavedChanges() const { return unsaved; }
    void showStatus(const QString &text);
    void clearStatus();
    // Clears the status line unless it shows what a command reported.
    void clearPassingStatus();
    // A status that a command reports: it stays when a Shift or Ctrl held
    // for the command's shortcut is released.
    void showLastingStatus(const QString &text);
    // Cut, copy, paste and the arrow-key moves; the line and rectangle tools.
    ClipboardCommands *clipboardCommands() const { return clipboard; }
    ShapeTools *shapeTools() const { return shapes; }
    // For the tools that live in classes of their own.
    void setToolCursor(const QCursor &cursor) { cursorShape = cursor; }
    void setPanAnchor(QPoint position) { panStart = position; }

    // The pencil, eraser, fill and select tools, the temporary layers.
    MapTools *tools() const { return mapTools; }
    // The view cell of a pixel of the map widget, rounding down, so pixels
    // left of or above the widget give negative cells.
    QPoint viewCellAt(QPoint position) const;
    bool isVisibleViewCell(QPoint viewCell) const;
    // The pointer's position in the map widget, wherever the pointer is.
    QPoint pointerPosition() const;
    void panView(QMouseEvent *event);

    // Opens the "Object Properties" window for these objects, closing the
    // previous one without applying it.
    void openPropertiesForm(std::vector<Sector *> sectors);
    // Closes every open "Object Properties" window, so that none is left
    // working on objects about to be destroyed.
    static void closePropertiesWindows();
    // Shows why a point light was refused, or fits its new light cells into
    // the view as it is now and connects their buttons.
    void adoptPointLight(const PointLightOutcome &light);

    // The level checks: the problems window (F7), going to a problem.
    ProblemsCommands *problems() const { return problemsCommands; }

    bool eventFilter(QObject *watched, QEvent *event) override;

    // Navigation. The map cells the map widget shows, whole or in part.
    QRect shownMapCells() const;
    // Puts map cell (0, 0) at this view cell: the view's origin in cells.
    void moveViewTo(QPoint origin);
    // Brings a map cell to the middle of the map widget.
    void centreOnCell(QPoint mapCell);
    // Changes the zoom (1 to 4) keeping the cell under `anchor`, a position
    // in the map widget, where it is.
    void zoomAt(int zoom, QPoint anchor);
    // The overview window once F8 opened it; null before.
    OverviewWindow *overviewWindow() const;

    // Ends what is under way (a stroke, a rubber band, subtype choices in an
    // open properties window) so that an undo or redo never meets half a
    // gesture.
    void finishGestures();

    // What the view works with and shows.
    LayerController *layers() const { return layerController; }
    TextureGallery *gallery() const { return textureGallery; }
    MapEdits *mapEdits() const { return edits; }
    // The undo stack, undo and redo, Clear.
    HistoryCommands *history() const { return historyCommands; }
    QWidget *mapWidget() const { return mapArea; }
    // The main window the view works in; the parent of its dialogs.
    QWidget *window() const { return mainWindow; }
    // The last opened properties window; null once it is closed and deleted.
    ObjectPropertiesForm *propertiesWindow() const;
    // The cursor of the current tool over the map.
    const QCursor &toolCursor() const { return cursorShape; }
    // Where the middle button was pressed or the view last panned to.
    QPoint panAnchor() const { return panStart; }
    QString statusText() const;

    // The view cell where map cell (0, 0) is shown.
    QPoint origin() const { return QPoint(originX, originY); }
    // Moves the view so that map cell (0, 0) is shown at view cell `cell`.
    void setOrigin(QPoint cell);

signals:
    // The view panned or zoomed.
    void viewChanged();
    // The level's objects changed: an edit, an undo or redo, a load.
    void levelChanged();

public slots:
    void SectorClickEvent();
    void ZoomSliderChangedEvent();
    void MapLayerChanged();
    void BtnEditSelectionEvent();
    void SectorPropertiesClosedEvent();
    // Home: the player's cell to the middle of the map, or the map's
    // top-left corner when there is no player.
    void GoHomeEvent();
    // F8: the "Overview" window of the whole level.
    void ShowOverviewEvent();

private:
    void connectWidgets();
    // Gives the layers' panes the view: where map cell (0, 0) shows, and the
    // cell size.
    void placePanes();
    void adoptSector(Sector *sector);
    void setUpEditingTools();
    void setUpNavigation();
    void handleWheelEvent(QWheelEvent *event);
    // Moves the view so that the cell under the zoom's anchor stays put.
    void keepCellOnZoom(int oldCellSize, int newCellSize);

    // Whether this view pushed its tool cursor as the application's override cursor.
    bool cursorOverridden = false;
    // The running texture numbers of the gallery, new light cells and loaded
    // objects; the placement context hands them on to object creation.
    mutable TextureNumbers textureNumbers;

    const int baseCellSize = 16;
    QWidget *mainWindow = nullptr;
    QWidget *mapArea = nullptr;
    MapBackground *background = nullptr;
    QSlider *mapViewZoomSlider = nullptr;
    LayerController *layerController = nullptr;
    TextureGallery *textureGallery = nullptr;
    MapEdits *edits = nullptr;
    HistoryCommands *historyCommands = nullptr;
    QLabel *labelStatus = nullptr;
    QCursor cursorShape;
    int originX = 0;
    int originY = 0;
    QPoint panStart;
    // What the last undo or redo, refusal or Ctrl shortcut reported in the
    // status line; the release of Ctrl leaves it standing.
    QString lastingStatus;
    // The last opened properties window; null once it is closed and deleted.
    QPointer<ObjectPropertiesForm> propertiesForm;
    ProblemsCommands *problemsCommands = nullptr;
    LevelFileCommands *filesCommands = nullptr;
    UnsavedChangesGuard *unsaved = nullptr;
    ClipboardCommands *clipboard = nullptr;
    ShapeTools *shapes = nullptr;
    MapTools *mapTools = nullptr;
    // The cell size the objects are laid out at.
    int laidOutCellSize = 0;
    // Where a zoom keeps its cell; the middle of the map when none is set.
    QPoint zoomAnchor;
    bool zoomAnchored = false;
    // A load lays the level out at its own origin; the zoom keeps no cell then.
    bool zoomKeepsOrigin = false;
    // Wheel turns too small for a whole cell, kept for the next turn.
    QPoint wheelRemainder;
    QPointer<OverviewWindow> overview;
};

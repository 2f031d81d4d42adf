#include "mapview/mapview.h"

#include "mapview/historycommands.h"
#include "mapview/levelfilecommands.h"
#include "mapview/mapbackground.h"
#include "mapview/maptools.h"
#include "mapview/problemscommands.h"
#include "mapview/shapetools.h"
#include "mapview/unsavedchangesguard.h"

#include "gallery/texturegallery.h"
#include "level/levellimits.h"
#include "level/subtypetable.h"
#include "model/layercontroller.h"
#include "model/layerpane.h"
#include "model/mapedits.h"
#include "model/objectbutton.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/sectorfactory.h"
#include "properties/objectpropertiesform.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSlider>
#include <QUndoStack>
#include <QWheelEvent>

namespace {
// Levels are read at the largest zoom, 64-pixel cells.
const int loadZoom = 4;

template<typename Widget> Widget *findWidget(QWidget *root, const char *objectName)
{
    return root->findChild<Widget *>(QLatin1String(objectName));
}
} // namespace

MapView::MapView(QWidget *mainWindow) : mainWindow(mainWindow), cursorShape(Qt::ArrowCursor)
{
    layerController = new LayerController(mainWindow);
    textureGallery = new TextureGallery(mainWindow, layerController->registry(), textureNumbers);
    textureGallery->setLayer(layerController->currentLayer());

    mapArea = mainWindow->findChild<QWidget *>(QStringLiteral("mapWidget"));
    mapArea->installEventFilter(this);
    // One handler for clicks on every object of the map, instead of a
    // connection per object.
    ObjectButton::setClickHandler(mapArea, [this] { SectorClickEvent(); });
    // The map paints its own background: a style sheet on it would cascade
    // to every object button and style each one.
    background = new MapBackground(mapArea, this);

    connectWidgets();
    background->setCellSize(cellSize());
    laidOutCellSize = cellSize();
    placePanes();
    edits = new MapEdits(*layerController, [this] { return placementContext(); });
    edits->adoptSector = [this](Sector *sector) { adoptSector(sector); };
    edits->refused = [this](const QString &why) { showLastingStatus(why); };
    historyCommands = new HistoryCommands(*this);
    unsaved = new UnsavedChangesGuard(*this, *historyCommands->stack(), *mainWindow);
    problemsCommands = new ProblemsCommands(*this);
    filesCommands = new LevelFileCommands(*this);
    setUpEditingTools();
    setUpNavigation();
}

MapView::~MapView()
{
    if (cursorOverridden)
        QApplication::restoreOverrideCursor();
    ObjectButton::setClickHandler(mapArea, {});
    // An open properties window records into the history as it closes, and
    // the history's steps refer to the edit operations: all go in this order.
    closePropertiesWindows();
    delete unsaved;
    delete filesCommands;
    delete problemsCommands;
    delete historyCommands;
    delete edits;
    delete textureGallery;
    delete layerController;
    // Last: the map's events reach the tools until here.
    delete mapTools;
    mapTools = nullptr;
}

void MapView::connectWidgets()
{
    mapViewZoomSlider = findWidget<QSlider>(mainWindow, "mapViewZoomSlider");
    connect(mapViewZoomSlider, &QSlider::valueChanged, this, &MapView::ZoomSliderChangedEvent);
    auto *comboBoxMapLayer = findWidget<QComboBox>(mainWindow, "comboBoxMapLayer");
    connect(comboBoxMapLayer, &QComboBox::currentTextChanged, this, &MapView::MapLayerChanged);
    auto *btnEditSelection = findWidget<QPushButton>(mainWindow, "btnEditSelection");
    btnEditSelection->setEnabled(false);
    connect(btnEditSelection, &QPushButton::clicked, this, &MapView::BtnEditSelectionEvent);
    // The status label first: the tools' first mode may speak.
    labelStatus = findWidget<QLabel>(mainWindow, "labelStatus");
    mapTools = new MapTools(*this);
}

int MapView::cellSize() const
{
    return mapViewZoomSlider->value() * baseCellSize;
}

QPoint MapView::cursorCell() const
{
    const QPoint position = mapArea->mapFromGlobal(QCursor::pos());
    const int size = cellSize();
    // Integer division truncates toward zero, as cell numbering requires.
    return QPoint(position.x() / size, position.y() / size);
}

ObjectPropertiesForm *MapView::propertiesWindow() const
{
    return propertiesForm.data();
}

QString MapView::statusText() const
{
    return labelStatus->text();
}

void MapView::setOrigin(QPoint cell)
{
    originX = cell.x();
    originY = cell.y();
    placePanes();
    emit viewChanged();
}

void MapView::placePanes()
{
    LayerPane::setView(mapArea, origin() * cellSize(), cellSize());
}

PlacementContext MapView::placementContext() const
{
    PlacementContext context;
    context.mapWidget = mapArea;
    context.layers = layerController;
    context.texture = textureGallery->currentTexture;
    context.textureNumbers = &textureNumbers;
    context.cellSize = cellSize();
    context.originX = originX;
    context.originY = originY;
    context.edits = edits;
    return context;
}

Sector *MapView::placeSectorAt(const QPoint &viewCell)
{
    if (!LevelLimits::insideGrid(int64_t(viewCell.x()) - originX, int64_t(viewCell.y()) - originY)) {
        showStatus(LevelLimits::beyondGridMessage());
        return nullptr;
    }
    return createSector(viewCell, placementContext());
}

void MapView::setSectorsMouseTransparent(bool transparent)
{
    LayerPane::setMouseTransparent(mapArea, transparent);
    for (auto &entry : layerController->registry())
        for (Sector *sector : entry.second)
            sector->setTransparentForMouseEvents(transparent);
}

void MapView::adoptSector(Sector *sector)
{
    // Objects take the mouse only where the pencil does, like all others.
    sector->setTransparentForMouseEvents(!mapTools->objectsTakeMouse());
}

void MapView::finishGestures()
{
    if (shapes)
        shapes->cancel();
    edits->endGesture();
    mapTools->cancelGesture();
    if (propertiesForm)
        propertiesForm->recordPendingChanges();
}

void MapView::showStatus(const QString &text)
{
    labelStatus->setText(text);
}

void MapView::clearStatus()
{
    labelStatus->setText(QString());
}

void MapView::clearPassingStatus()
{
    // What an undo or redo with Ctrl held reported stays readable.
    if (labelStatus->text() != lastingStatus)
        clearStatus();
}

void MapView::ZoomSliderChangedEvent()
{
    const int size = cellSize();
    if (laidOutCellSize > 0 && laidOutCellSize != size && !zoomKeepsOrigin)
        keepCellOnZoom(laidOutCellSize, size);
    laidOutCellSize = size;
    background->setCellSize(size);
    // The panes lay out the objects in sight, and the others as they come in sight.
    placePanes();
    emit viewChanged();
}

void MapView::MapLayerChanged()
{
    mapTools->cancelSelectionDrag();
    layerController->clearSelection();
    layerController->MapLayerChanged();
    textureGallery->setLayer(layerController->currentLayer());
}

void MapView::closePropertiesWindows()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("objectProperties") && window->isVisible())
            window->close();
}

PlacementContext MapView::loadContext() const
{
    // A level is laid out at the largest zoom with the view at the map's
    // origin; the view itself changes only when a level is actually loaded.
    PlacementContext context = placementContext();
    context.cellSize = loadZoom * baseCellSize;
    context.originX = 0;
    context.originY = 0;
    // The layer display rules show the objects that are to be seen, once.
    context.showNewObjects = false;
    return context;
}

void MapView::adoptLevel(SectorRegistry &loaded, const QString &fileName)
{
    closePropertiesWindows();
    finishGestures();
    originX = 0;
    originY = 0;
    placePanes();
    layerController->replaceAllLayers(loaded);
    layerController->adoptComboLayer();
    // Lays the new objects out again only if the zoom really changes; they
    // were made at this size.
    {
        const QScopedValueRollback<bool> atOrigin(zoomKeepsOrigin, true);
        mapViewZoomSlider->setValue(loadZoom);
    }
    textureGallery->reload();
    textureGallery->setLayer(Kinds::Wall);
    // The new objects take the mouse only where the pencil does, like the old ones.
    setSectorsMouseTransparent(!mapTools->objectsTakeMouse());
    // The loaded level is the one being edited now: Ctrl+S writes it, never
    // the level saved before the load.
    filesCommands->showEditedFile(fileName);
    // Its history starts here; steps of the previous map mean nothing to it.
    historyCommands->stack()->clear();
    emit levelChanged();
}

bool MapView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != mapArea)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Wheel) {
        handleWheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }

    // The tool's cursor shows while the pointer is over the map.
    if (event->type() == QEvent::Enter && !cursorOverridden) {
        QApplication::setOverrideCursor(cursorShape);
        cursorOverridden = true;
    } else if (event->type() == QEvent::Leave && cursorOverridden) {
        QApplication::restoreOverrideCursor();
        cursorOverridden = false;
    }
    // The tools make the rubber band, a child of the map, while they are made.
    if (mapTools && mapTools->handleMapEvent(event))
        return true;
    return QObject::eventFilter(watched, event);
}

bool MapView::gestureUnderWay() const
{
    return edits->gestureOpen() || mapTools->gestureUnderWay() || QApplication::mouseButtons() != Qt::NoButton;
}

#include "mapview/historycommands.h"
#include "mapview/mapview.h"
#include "mapview/problemscommands.h"
#include "mapview/unsavedchangesguard.h"

#include "gallery/texturegallery.h"
#include "level/subtypetable.h"
#include "mapview/mapfile.h"
#include "mapview/recoveryfile.h"
#include "model/layercontroller.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/updateshold.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSlider>
#include <exception>
#include <QUndoStack>

namespace {
const QString saveTitle = QStringLiteral("Save Map");
const QString loadTitle = QStringLiteral("Load Map");
// Levels are read at the largest zoom, 64-pixel cells.
const int loadZoom = 4;
} // namespace

void MapView::closePropertiesWindows()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("objectProperties") && window->isVisible())
            window->close();
}

namespace {
// Runs a file command so that no exception reaches the event loop: the editor
// stays open and the designer is told.
template<typename Command> void runGuarded(QWidget *window, const QString &title, Command command)
{
    try {
        command();
    } catch (...) {
        QMessageBox::warning(
            window, title,
            QStringLiteral("The command failed:\n%1").arg(MapFile::failureText(std::current_exception())));
    }
}

// The first lines of a long list, and how many more there are.
QString firstLines(const QStringList &lines)
{
    const int shown = 12;
    QString text = lines.mid(0, shown).join('\n');
    if (lines.size() > shown)
        text += QStringLiteral("\n(and %1 more)").arg(lines.size() - shown);
    return text;
}
} // namespace

void MapView::BtnSaveMapEvent()
{
    saveLevel();
}

bool MapView::saveLevel()
{
    bool saved = false;
    runGuarded(mainWindow, saveTitle, [this, &saved] { saved = saveMap(); });
    return saved;
}

bool MapView::saveMap()
{
    MapFile mapFile;
    const QString saved = mapFile.saveMap(mapFileName, layerController->registry());
    if (saved.isEmpty()) {
        // A failed save keeps the map's previous name and title; the old file
        // on disk is untouched.
        if (!mapFile.errorString.isEmpty()) {
            QMessageBox::warning(mainWindow, saveTitle,
                                 QStringLiteral("The map could not be saved to %1:\n%2")
                                     .arg(QDir::toNativeSeparators(mapFile.targetFileName), mapFile.errorString));
        }
        return false;
    }
    showEditedFile(saved);
    historyCommands->stack()->setClean();
    // What was wrong in the file loaded before is gone from the file just written.
    problemsCommands->reportLevelProblems(QStringLiteral("Saved"), saved, {});
    if (!mapFile.imageProblems.isEmpty()) {
        QMessageBox::warning(mainWindow, saveTitle,
                             QStringLiteral("The map was saved to %1, but not all of its images are in its "
                                            "texture folder:\n%2")
                                 .arg(QDir::toNativeSeparators(mapFileName), mapFile.imageProblems.join('\n')));
    }
    return true;
}

void MapView::showEditedFile(const QString &fileName)
{
    mapFileName = fileName;
    unsaved->showTitle();
}

void MapView::BtnLoadMapEvent()
{
    if (!unsaved->mayReplaceLevel(UnsavedChangesGuard::Loading))
        return;
    const QString fileName = MapFile::askLoadFileName();
    if (!fileName.isEmpty())
        runGuarded(mainWindow, loadTitle, [this, &fileName] { loadMapFromFile(fileName); });
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

bool MapView::restoreRecoveryCopy(const QString &copyFile, const QString &levelFile, QString &error)
{
    const UpdatesHold hold(mapArea);
    SectorRegistry restored;
    if (!RecoveryFile::read(copyFile, restored, loadContext(), error))
        return false;
    adoptLevel(restored, levelFile);
    problemsCommands->reportLevelProblems(QStringLiteral("Restored"), levelFile.isEmpty() ? copyFile : levelFile, {});
    // The level differs from what its file holds (if it has one) until saved.
    historyCommands->stack()->resetClean();
    return true;
}

bool MapView::loadMapFromFile(const QString &fileName)
{
    // The map repaints once when the load is done, not for each object made.
    const UpdatesHold hold(mapArea);
    SectorRegistry loaded;
    MapFile mapFile;
    mapFile.loadMapFile(fileName, loaded, loadContext());
    if (!mapFile.errorString.isEmpty()) {
        QMessageBox::warning(mainWindow, loadTitle,
                             QStringLiteral("The level %1 could not be loaded:\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), mapFile.errorString));
        return false;
    }
    if (loaded.empty()) {
        // Nothing inside the grid: the map stays, and the designer learns why.
        if (!mapFile.loadProblems.isEmpty()) {
            QMessageBox::warning(mainWindow, loadTitle,
                                 QStringLiteral("The level %1 holds no object that could be read:\n%2")
                                     .arg(QDir::toNativeSeparators(fileName), firstLines(mapFile.loadProblems)));
        }
        return false;
    }
    adoptLevel(loaded, fileName);
    problemsCommands->reportLevelProblems(QStringLiteral("Loaded"), fileName, mapFile.readProblems);
    if (!mapFile.loadProblems.isEmpty()) {
        QMessageBox::warning(mainWindow, loadTitle,
                             QStringLiteral("The level %1 was loaded, but not all of it could be read:\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), firstLines(mapFile.loadProblems)));
    }
    return true;
}

void MapView::adoptLevel(SectorRegistry &loaded, const QString &fileName)
{
    closePropertiesWindows();
    finishGestures();
    originX = 0;
    originY = 0;
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
    setSectorsMouseTransparent(!(radioPaint->isChecked() && radioPencil->isChecked()));
    // The loaded level is the one being edited now: Ctrl+S writes it, never
    // the level saved before the load.
    showEditedFile(fileName);
    // Its history starts here; steps of the previous map mean nothing to it.
    historyCommands->stack()->clear();
    emit levelChanged();
}

#include "mapview/levelfilecommands.h"

#include "mapview/historycommands.h"
#include "mapview/mapfile.h"
#include "mapview/mapview.h"
#include "mapview/problemscommands.h"
#include "mapview/recoveryfile.h"
#include "mapview/unsavedchangesguard.h"
#include "model/layercontroller.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/updateshold.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QUndoStack>
#include <exception>

namespace {
const QString saveTitle = QStringLiteral("Save Map");
const QString loadTitle = QStringLiteral("Load Map");
} // namespace

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

LevelFileCommands::LevelFileCommands(MapView &view) : view(view)
{
    QWidget *window = view.window();
    connect(window->findChild<QPushButton *>(QStringLiteral("btnSaveMap")), &QPushButton::clicked, this,
            &LevelFileCommands::saveLevel);
    connect(window->findChild<QPushButton *>(QStringLiteral("btnLoadMap")), &QPushButton::clicked, this,
            &LevelFileCommands::askAndLoad);
}

bool LevelFileCommands::saveLevel()
{
    bool saved = false;
    runGuarded(view.window(), saveTitle, [this, &saved] { saved = saveMap(); });
    return saved;
}

bool LevelFileCommands::saveMap()
{
    MapFile mapFile;
    const QString saved = mapFile.saveMap(fileName, view.layers()->registry());
    if (saved.isEmpty()) {
        // A failed save keeps the map's previous name and title; the old file
        // on disk is untouched.
        if (!mapFile.errorString.isEmpty()) {
            QMessageBox::warning(view.window(), saveTitle,
                                 QStringLiteral("The map could not be saved to %1:\n%2")
                                     .arg(QDir::toNativeSeparators(mapFile.targetFileName), mapFile.errorString));
        }
        return false;
    }
    showEditedFile(saved);
    view.history()->stack()->setClean();
    // What was wrong in the file loaded before is gone from the file just written.
    view.problems()->reportLevelProblems(QStringLiteral("Saved"), saved, {});
    if (!mapFile.imageProblems.isEmpty()) {
        QMessageBox::warning(view.window(), saveTitle,
                             QStringLiteral("The map was saved to %1, but not all of its images are in its "
                                            "texture folder:\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), mapFile.imageProblems.join('\n')));
    }
    return true;
}

void LevelFileCommands::showEditedFile(const QString &fileName)
{
    this->fileName = fileName;
    view.unsavedChanges()->showTitle();
}

void LevelFileCommands::askAndLoad()
{
    if (!view.unsavedChanges()->mayReplaceLevel(UnsavedChangesGuard::Loading))
        return;
    const QString fileName = MapFile::askLoadFileName();
    if (!fileName.isEmpty())
        runGuarded(view.window(), loadTitle, [this, &fileName] { loadMapFromFile(fileName); });
}

bool LevelFileCommands::restoreRecoveryCopy(const QString &copyFile, const QString &levelFile, QString &error)
{
    const UpdatesHold hold(view.mapWidget());
    SectorRegistry restored;
    if (!RecoveryFile::read(copyFile, restored, view.loadContext(), error))
        return false;
    view.adoptLevel(restored, levelFile);
    view.problems()->reportLevelProblems(QStringLiteral("Restored"), levelFile.isEmpty() ? copyFile : levelFile, {});
    // The level differs from what its file holds (if it has one) until saved.
    view.history()->stack()->resetClean();
    return true;
}

bool LevelFileCommands::loadMapFromFile(const QString &fileName)
{
    // The map repaints once when the load is done, not for each object made.
    const UpdatesHold hold(view.mapWidget());
    SectorRegistry loaded;
    MapFile mapFile;
    mapFile.loadMapFile(fileName, loaded, view.loadContext());
    if (!mapFile.errorString.isEmpty()) {
        QMessageBox::warning(view.window(), loadTitle,
                             QStringLiteral("The level %1 could not be loaded:\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), mapFile.errorString));
        return false;
    }
    if (loaded.empty()) {
        // Nothing inside the grid: the map stays, and the designer learns why.
        if (!mapFile.loadProblems.isEmpty()) {
            QMessageBox::warning(view.window(), loadTitle,
                                 QStringLiteral("The level %1 holds no object that could be read:\n%2")
                                     .arg(QDir::toNativeSeparators(fileName), firstLines(mapFile.loadProblems)));
        }
        return false;
    }
    view.adoptLevel(loaded, fileName);
    view.problems()->reportLevelProblems(QStringLiteral("Loaded"), fileName, mapFile.readProblems);
    if (!mapFile.loadProblems.isEmpty()) {
        QMessageBox::warning(view.window(), loadTitle,
                             QStringLiteral("The level %1 was loaded, but not all of it could be read:\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), firstLines(mapFile.loadProblems)));
    }
    return true;
}

// Times writing the recovery copy of a level of 32,768 objects (eight full
// layers of 4,096) in the real, offscreen window, next to a save of the same
// level: both block the window while they run. Prints a Markdown table;
// docs/performance.md explains.
#include "levelbuilder.h"

#include "app/gorseed.h"
#include "mapview/levelfilecommands.h"
#include "mapview/mapview.h"
#include "mapview/recoverycopies.h"
#include "model/mapedits.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

namespace {
double timed(const std::function<bool()> &operation)
{
    QElapsedTimer timer;
    timer.start();
    if (!operation())
        qFatal("the operation failed");
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    BenchProgram bench(argc, argv, QStringLiteral("GorseED recovery copy benchmark"), 7, 4096);
    if (!bench.ready)
        return 2;
    const int perLayer = bench.perLayer;
    const int reps = bench.reps;

    QTemporaryDir folder;
    GorseED window;
    window.show();
    LevelBuilder::settle(window);
    LevelBuilder::fillAllLayers(window, perLayer);
    MapView *view = window.mapView;
    view->files()->showEditedFile(folder.filePath("level.map"));
    RecoveryCopies copies(*view, folder.filePath("recovery"));

    std::vector<double> copyTimes, saveTimes;
    qint64 copyBytes = 0;
    const int freeRow = LevelBuilder::rowsFor(perLayer) + 1;
    for (int i = 0; i < reps; ++i) {
        // One more wall makes the level differ from its file again.
        view->mapEdits()->placeNew(QPoint(i, freeRow));
        copyTimes.push_back(timed([&] { return copies.writeCopyIfDue() && QFileInfo::exists(copies.copyFile()); }));
        copyBytes = QFileInfo(copies.copyFile()).size();
        saveTimes.push_back(timed([&] { return view->files()->saveLevel(); }));
    }
    printf("| level of %d objects (median of %d, ms) | blocks the window |\n|---|---|\n", perLayer * 8 + reps, reps);
    printf("| recovery copy (%.1f MiB) | %.1f |\n", copyBytes / 1048576.0, median(copyTimes));
    printf("| save (%.1f MiB) | %.1f |\n", QFileInfo(view->files()->editedFileName()).size() / 1048576.0,
           median(saveTimes));
    return 0;
}

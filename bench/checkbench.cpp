// Times the level checks on the two levels docs/performance.md names: the
// 32,768-object level of gorseedbench (all eight layers full, 64 cells wide)
// in the real offscreen editor, next to the load of that level; and a
// 256 x 256 level with a room per 16 x 16 block, from its records and from
// its file as GorseED --check reads it.
#include "levelbuilder.h"

#include "app/gorseed.h"
#include "checks/levelfile.h"
#include "checks/levelrules.h"
#include "checks/problemtext.h"
#include "mapview/levelfilecommands.h"
#include "mapview/mapfile.h"
#include "mapview/mapview.h"
#include "mapview/problemscommands.h"
#include "model/layercontroller.h"
#include "model/levelobjects.h"
#include "model/sector.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

namespace {
void report(const char *what, double ms, const LevelProblems &problems)
{
    printf("| %s | %.2f | %s |\n", what, ms, ProblemText::counts(problems).c_str());
    fflush(stdout);
}

// 256 x 256 cells: a wall on every 16th row and column and round the edge, a
// door in the middle of each room's left and top wall, a floor everywhere
// else; the player in the first room, the level end in the last, behind a
// blue key door whose key lies in the first room.
std::vector<LevelObject> roomsLevel()
{
    std::vector<LevelObject> objects;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const bool wall = x % 16 == 0 || y % 16 == 0 || x == 255 || y == 255;
            const bool leftDoor = x % 16 == 0 && x > 0 && x < 255 && y % 16 == 8;
            const bool topDoor = y % 16 == 0 && y > 0 && y < 255 && x % 16 == 8;
            if (leftDoor || topDoor)
                objects.push_back({"Door", "Door", x == 240 && y == 248 ? "BlueKeyDoor" : "Solid", x, y});
            else if (wall)
                objects.push_back({"Wall", "Wall", "Solid", x, y});
            else
                objects.push_back({"Floor", "Floor", "", x, y});
        }
    }
    objects.push_back({"Actor", "Actor", "Player", 8, 8});
    objects.push_back({"Item", "Item", "BlueKey", 4, 4});
    objects.push_back({"Item", "Item", "LevelEnd", 248, 248});
    return objects;
}

QByteArray levelText(const std::vector<LevelObject> &objects, int width, int height)
{
    const std::vector<std::string> layers = {"Wall", "Door", "Floor", "Actor", "Item"};
    std::vector<std::string> ids;
    QByteArray definitions = "#Definitions\n";
    std::vector<std::vector<int>> grids(layers.size(), std::vector<int>(size_t(width * height), 0));
    for (const LevelObject &object : objects) {
        const std::string key = object.kind + "," + object.subtype;
        auto found = std::find(ids.begin(), ids.end(), key);
        if (found == ids.end()) {
            ids.push_back(key);
            definitions += QByteArray::number(int(ids.size())) + ',' + key.c_str() + ",rooms/x.png\n";
            found = ids.end() - 1;
        }
        const size_t layer = size_t(std::find(layers.begin(), layers.end(), object.layer) - layers.begin());
        grids[layer][size_t(object.y * width + object.x)] = int(found - ids.begin()) + 1;
    }
    QByteArray text;
    for (size_t layer = 0; layer < layers.size(); ++layer) {
        text += '#' + QByteArray(layers[layer].c_str()) + '\n';
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                text += QByteArray::number(grids[layer][size_t(y * width + x)]) + ',';
            text += '\n';
        }
        text += '\n';
    }
    return text + definitions;
}
} // namespace

int main(int argc, char *argv[])
{
    BenchProgram bench(argc, argv, QStringLiteral("GorseED level check benchmark"), 9);
    if (!bench.ready)
        return 2;
    const int reps = bench.reps;
    QTemporaryDir scratch;
    printf("| operation | median ms | problems found |\n|---|---|---|\n");

    // The editor with all eight layers full: 32,768 objects.
    {
        GorseED window;
        window.show();
        LevelBuilder::settle(window);
        LevelBuilder::fillAllLayers(window, 32768 / 8);
        MapView *view = window.mapView;
        // A player and a level end, so that the walks run too.
        view->layers()->layerList("Actor").front()->setSubtype("Player");
        view->layers()->layerList("Item").back()->setSubtype("LevelEnd");
        const QString file = scratch.filePath(QStringLiteral("level32768.map"));
        MapFile().writeMapFile(file, view->layers()->registry());
        const double load = medianMs(2, [&] {
            view->files()->loadMapFromFile(file);
            LevelBuilder::settle(window);
        });
        report("load of the 32,768-object level (for comparison)", load, {});
        LevelProblems problems;
        const double editor = medianMs(reps, [&] { problems = view->problems()->checkCurrentLevel(); });
        report("32,768 objects: editor check (records from the layers + rules)", editor, problems);
        view->problems()->showWindow();
        const double listed = medianMs(reps, [&] {
            view->problems()->refresh();
            LevelBuilder::settle(window);
        });
        report("32,768 objects: Refresh in the open Level Problems window, painted", listed, problems);
        const std::vector<LevelObject> objects = levelObjectsOf(view->layers()->registry());
        const double rules = medianMs(reps, [&] { problems = checkLevel(objects); });
        report("32,768 objects: rules on the records", rules, problems);
        const double command = medianMs(reps, [&] { problems = LevelFile::check(file).problems; });
        report("32,768 objects: GorseED --check of the file (read, parse, rules)", command, problems);
        printf("\neditor check / load = %.2f %%\n\n", 100.0 * editor / load);
    }

    // 256 x 256 cells, a room per 16 x 16 block.
    {
        const std::vector<LevelObject> objects = roomsLevel();
        LevelProblems problems;
        const double rules = medianMs(reps, [&] { problems = checkLevel(objects); });
        report("256 x 256, 256 rooms: rules on the records", rules, problems);
        const QString file = scratch.filePath(QStringLiteral("rooms.map"));
        QDir(scratch.path()).mkdir(QStringLiteral("rooms"));
        QImage(64, 64, QImage::Format_RGB32).save(scratch.filePath(QStringLiteral("rooms/x.png")));
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(levelText(objects, 256, 256));
        out.close();
        const double command = medianMs(reps, [&] { problems = LevelFile::check(file).problems; });
        report("256 x 256, 256 rooms: GorseED --check of the file", command, problems);
        printf("(%zu objects)\n", objects.size());
    }
    return 0;
}

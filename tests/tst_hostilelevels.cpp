// Levels and files made to hurt: symbolic links out of the level, image bombs,
// objects far out, huge files and special files. The editor refuses them with
// a message, keeps the map it has and the files on disk, and stays alive.
#include "testsupport.h"

#include "app/gorseed.h"
#include "gallery/texturegallery.h"
#include "mapfile/levellimits.h"
#include "mapfile/mapfile.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/textureicons.h"
#include "properties/pointlight.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// A level on the Wall layer whose cells use the given texture references in a row.
QByteArray wallsUsing(const QStringList &references)
{
    QByteArray row;
    QByteArray definitions;
    for (int i = 0; i < references.size(); ++i) {
        row += QByteArray::number(101 + i) + ",";
        definitions += QByteArray::number(101 + i) + ",Wall,Solid," + references[i].toUtf8() + "\n";
    }
    return "#Wall\n" + row + "\n\n#Definitions\n" + definitions;
}

QSize iconSizeOf(const Sector *sector)
{
    const QList<QSize> sizes = sector->properties->button->icon().availableSizes();
    return sizes.isEmpty() ? QSize() : sizes.front();
}

// Loads a level that must be refused: the message names why, the map stays.
void expectRefusedLoad(MapScene &scene, const QString &file, const QString &reason)
{
    const SectorRegistry before = scene.layers->sectorsByLayer;
    QPointer<Sector> kept = scene.layers->layerSectors.at(0);
    auto box = answerNextMessageBox(QMessageBox::Ok);
    QVERIFY(!scene.view->loadMapFromFile(file));
    QVERIFY2(box->seen && box->text.contains(reason), qPrintable(box->text));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(kept && scene.layers->sectorsByLayer == before);
}
} // namespace

class HostileLevelsTest : public QObject
{
    Q_OBJECT

private slots:
    // A shared level whose texture folder links to files outside it: nothing
    // outside is shown or copied, and the designer is told what was refused.
    void symbolicLinksOutOfTheLevel()
    {
        MapScene scene;
        const WorkingDirectory &dir = scene.fixture.workdir;
        dir.writeImage("private/photo.png");
        dir.writeFile("private/notes.txt", "secret");
        dir.writeImage("private/album/holiday.png");
        dir.writeImage("levels/trap/own.png");
        const QString trap = dir.path() + "/levels/trap/";
        QVERIFY(QFile::link(dir.path() + "/private/photo.png", trap + "photo.png"));
        QVERIFY(QFile::link(dir.path() + "/private/notes.txt", trap + "notes.png"));
        QVERIFY(QFile::link(dir.path() + "/private/album", trap + "album"));
        QVERIFY(QFile::link(trap + "own.png", trap + "alias.png"));
        dir.writeFile("levels/trap.map",
                      wallsUsing({"trap/own.png", "trap/alias.png", "trap/photo.png", "trap/notes.png",
                                  "trap/album/holiday.png"}));

        auto box = answerNextMessageBox(QMessageBox::Ok);
        QVERIFY(scene.view->loadMapFromFile(dir.path() + "/levels/trap.map"));
        QVERIFY(box->seen);
        for (const QString refused : {"trap/photo.png", "trap/notes.png", "trap/album/holiday.png"})
            QVERIFY2(box->text.contains(refused + " leads out of the level's folder"), qPrintable(box->text));
        QVERIFY(!box->text.contains("own.png") && !box->text.contains("alias.png"));
        const std::vector<Sector *> &walls = scene.layers->layerList("Wall");
        QCOMPARE(int(walls.size()), 5);
        for (const Sector *wall : walls) {
            const bool inside = wall->properties->mapX < 2;
            QCOMPARE(wall->properties->button->icon().isNull(), !inside);
            QCOMPARE(wall->properties->textureName.empty(), !inside);
        }

        // Saved as another level, it carries only its own pictures.
        dir.makeFolder("elsewhere");
        QVERIFY(MapFile().writeMapFile(dir.path() + "/elsewhere/copy.map", scene.layers->sectorsByLayer));
        QCOMPARE(filesIn(dir.path() + "/elsewhere/copy"), QStringList({"alias.png", "own.png"}));
    }

    // Pictures are read through their header first: a bomb is refused before
    // it is decoded, and only an icon of at most one cell is kept of any picture.
    void imageBombsAndLargeTextures()
    {
        MapScene scene;
        const WorkingDirectory &dir = scene.fixture.workdir;
        // 30,000 x 30,000 pixels declared in a few bytes.
        dir.writeFile("levels/bombs/bomb.ppm", "P6\n30000 30000\n255\n" + QByteArray(64, '\x7f'));
        dir.writeImage("levels/bombs/wide.png", QSize(4097, 1));
        dir.writeImage("levels/bombs/large.png", QSize(2048, 1024));
        dir.writeImage("levels/bombs/small.png", QSize(16, 16));
        dir.writeFile("levels/bombs/text.png", "no picture");
        dir.writeImage("textures/Wall/mural.png", QSize(4096, 4096));
        dir.writeFile(
            "levels/bombs.map",
            wallsUsing({"bombs/bomb.ppm", "bombs/wide.png", "bombs/large.png", "bombs/small.png", "bombs/text.png"}));

        QElapsedTimer clock;
        clock.start();
        auto box = answerNextMessageBox(QMessageBox::Ok);
        QVERIFY(scene.view->loadMapFromFile(dir.path() + "/levels/bombs.map"));
        QVERIFY2(box->text.contains("bombs/bomb.ppm is larger than 4096 x 4096 pixels (30000 x 30000)")
                     && box->text.contains("bombs/wide.png is larger than 4096 x 4096 pixels (4097 x 1)")
                     && box->text.contains("bombs/text.png is not an image") && !box->text.contains("large.png")
                     && !box->text.contains("small.png"),
                 qPrintable(box->text));
        QList<QSize> sizes;
        for (const Sector *wall : scene.layers->layerList("Wall"))
            sizes << iconSizeOf(wall);
        QCOMPARE(sizes, QList<QSize>({QSize(), QSize(), QSize(64, 32), QSize(16, 16), QSize()}));

        // The gallery keeps icons too, never the picture.
        chooseLayer(scene.window, "Wall");
        const QListWidgetItem *mural = scene.view->listViewTextures->findItems("mural.png", Qt::MatchExactly).value(0);
        QVERIFY(mural);
        QCOMPARE(mural->icon().availableSizes(), QList<QSize>({QSize(64, 64)}));
    }

    // The grid a level may use: the pencil and point lights stop at its edge,
    // a save with an object beyond it is refused whole, and a file reaching
    // beyond it is read up to it.
    void objectsFarOut()
    {
        MapScene scene;
        MapView *view = scene.view;
        const QString status = LevelLimits::beyondGridMessage();
        auto *label = scene.window.findChild<QLabel *>("labelStatus");
        view->originX = -2046;
        label->clear();
        scene.mouse.click(scene.mouse.cellCentre(1, 0), Qt::LeftButton);
        QCOMPARE(label->text(), QString());
        scene.mouse.click(scene.mouse.cellCentre(2, 0), Qt::LeftButton);
        QCOMPARE(label->text(), status);
        std::vector<Sector *> walls = scene.layers->layerList("Wall");
        QCOMPARE(int(walls.size()), 1);
        QCOMPARE(walls.front()->properties->mapX, 2047);

        // Point lights that would reach past the edge or make too many cells.
        label->clear();
        chooseLayer(scene.window, "Lightmap");
        const PlacementContext context = view->placementContext();
        for (const QPoint &centreAndRadius : {QPoint(2046, 2), QPoint(5, 2147483647), QPoint(1000, 300)}) {
            PointLightParams light;
            light.centreX = light.centreY = centreAndRadius.x();
            light.radius = centreAndRadius.y();
            QVERIFY(!generatePointLight(context, light));
            QCOMPARE(label->text(), status);
        }
        QVERIFY(scene.layers->layerList("Lightmap").empty());

        // An object far out (from an old file, or moved there) stops the save;
        // nothing is written.
        const QString level = scene.fixture.workdir.path() + "/far.map";
        scene.fixture.workdir.writeFile("far.map", "old level");
        walls.front()->properties->mapX = 100000;
        walls.front()->properties->mapY = 99999;
        view->mapFileName = level;
        auto box = answerNextMessageBox(QMessageBox::Ok);
        view->btnSaveMap->click();
        QVERIFY2(box->seen && box->text.contains("cell (100000, 99999) on the Wall layer"), qPrintable(box->text));
        QCOMPARE(bytesOf(level), QByteArray("old level"));
        QCOMPARE(filesIn(scene.fixture.workdir.path()).filter("far"), QStringList({"far.map"}));

        // A file beyond the grid: what lies inside is read, with a warning.
        scene.fixture.workdir.writeFile(
            "wide.map", "#Floor\n" + QByteArray("0,").repeated(2047) + "7,7,\n\n#Definitions\n7,Floor,,x\n");
        box = answerNextMessageBox(QMessageBox::Ok);
        QVERIFY(view->loadMapFromFile(scene.fixture.workdir.path() + "/wide.map"));
        QVERIFY(box->text.contains("larger than 2,048 x 2,048 cells"));
        QCOMPARE(int(scene.layers->layerList("Floor").size()), 1);
    }

    // More objects than a level may hold, or a file larger than any level:
    // refused before a single object is made.
    void hugeLevels()
    {
        MapScene scene;
        scene.mouse.click(scene.mouse.cellCentre(0, 0), Qt::LeftButton);
        const WorkingDirectory &dir = scene.fixture.workdir;
        dir.writeFile("crowd.map",
                      "#Wall\n" + QByteArray("1,").repeated(512).append('\n').repeated(512)
                          + "1,\n\n#Definitions\n1,Wall,S,x\n");
        expectRefusedLoad(scene, dir.path() + "/crowd.map", "more than 262,144 objects");
        {
            QFile giant(dir.path() + "/giant.map");
            QVERIFY(giant.open(QIODevice::WriteOnly) && giant.resize(LevelLimits::fileBytes + 1));
        }
        expectRefusedLoad(scene, dir.path() + "/giant.map", "larger than 256 MiB");
    }

    // A write that fails on the way to the disk (here: past the largest file
    // the process may write, as a full disk fails it) fails the save: the
    // designer reads the system's reason, and the old level stays as it was.
    void failedWrites()
    {
        MapScene scene;
        const QString dir = scene.fixture.workdir.path();
        scene.mouse.drag({scene.mouse.cellCentre(0, 0), scene.mouse.cellCentre(3, 0)}, Qt::LeftButton);
        const QString level = dir + "/level.map";
        QVERIFY(MapFile().writeMapFile(level, scene.layers->sectorsByLayer));
        scene.view->mapFileName = level;
        const QByteArray saved = bytesOf(level);
        const QStringList files = filesIn(dir);
        scene.mouse.drag({scene.mouse.cellCentre(0, 1), scene.mouse.cellCentre(3, 4)}, Qt::LeftButton);

        rlimit previous {};
        getrlimit(RLIMIT_FSIZE, &previous);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = previous;
        small.rlim_cur = rlim_t(saved.size());
        setrlimit(RLIMIT_FSIZE, &small);
        auto box = answerNextMessageBox(QMessageBox::Ok);
        scene.view->btnSaveMap->click();
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY2(box->seen && box->text.startsWith("The map could not be saved to " + level)
                     && box->text.endsWith(QString::fromLocal8Bit(strerror(EFBIG))),
                 qPrintable(box->text));
        QCOMPARE(bytesOf(level), saved);
        QCOMPARE(filesIn(dir), files);
    }

    // A FIFO or a device in place of a level or a picture never blocks the editor.
    void specialFiles()
    {
        MapScene scene;
        scene.mouse.click(scene.mouse.cellCentre(0, 0), Qt::LeftButton);
        const WorkingDirectory &dir = scene.fixture.workdir;
        QCOMPARE(mkfifo(QFile::encodeName(dir.path() + "/pipe.map").constData(), 0600), 0);
        expectRefusedLoad(scene, dir.path() + "/pipe.map", "not a regular file");
        QVERIFY(QFile::link("/dev/zero", dir.path() + "/zero.map"));
        expectRefusedLoad(scene, dir.path() + "/zero.map", "not a regular file");

        dir.makeFolder("level");
        QCOMPARE(mkfifo(QFile::encodeName(dir.path() + "/level/pipe.png").constData(), 0600), 0);
        dir.writeFile("level.map", wallsUsing({"level/pipe.png"}));
        auto box = answerNextMessageBox(QMessageBox::Ok);
        QVERIFY(scene.view->loadMapFromFile(dir.path() + "/level.map"));
        QVERIFY2(box->text.contains("level/pipe.png is not a regular file"), qPrintable(box->text));
        // Saved elsewhere, the FIFO is not copied.
        dir.makeFolder("copy");
        MapFile copy;
        QVERIFY(copy.writeMapFile(dir.path() + "/copy/level.map", scene.layers->sectorsByLayer));
        QVERIFY(filesIn(dir.path() + "/copy/level").isEmpty());
        QVERIFY(copy.imageProblems.join(' ').contains("not a regular file"));
    }
};

QTEST_MAIN(HostileLevelsTest)
#include "tst_hostilelevels.moc"

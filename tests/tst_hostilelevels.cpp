// Levels and files made to hurt: links out of the level, image bombs, objects
// far out, huge and special files, failed writes. The editor refuses them with
// a message, keeps its map and the files on disk, and stays alive.
#include "testsupport.h"

#include "level/levellimits.h"
#include "model/mapedits.h"
#include "model/placementcontext.h"
#include "properties/pointlight.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
// A Wall row whose cells use these texture references, one each.
QByteArray wallsUsing(const QStringList &references)
{
    QByteArray row, definitions;
    for (int i = 0; i < references.size(); ++i) {
        row += QByteArray::number(i + 1) + ",";
        definitions += QByteArray::number(i + 1) + ",Wall,S," + references[i].toUtf8() + "\n";
    }
    return "#Wall\n" + row + "\n\n#Definitions\n" + definitions;
}

// Loads a level and returns the message the load showed.
QString loadAndAnswer(MapScene &scene, const QString &file, bool loads)
{
    auto box = answerNextMessageBox(QMessageBox::Ok);
    if (scene.view->files()->loadMapFromFile(file) != loads)
        return "load " + QString(loads ? "refused" : "went ahead");
    flushDeletions();
    return box->text;
}
} // namespace

class HostileLevelsTest : public QObject
{
    Q_OBJECT

private slots:
    // Links to files outside a shared level are neither shown nor copied. A
    // texture the editor does not take keeps its reference as the file had
    // it: saved elsewhere, the level names the same images and copies none of
    // them; a retextured object takes the new texture instead.
    void linksOutAndRefusedTextures()
    {
        MapScene scene;
        const WorkingDirectory &dir = scene.fixture.workdir;
        dir.writeImage("private/photo.png");
        dir.writeFile("private/notes.txt", "secret");
        dir.writeImage("levels/trap/own.png");
        dir.writeImage("levels/k/own.png");
        for (const auto &[target, link] : {std::pair("levels/trap/own.png", "trap/alias.png"),
                                           {"private/photo.png", "trap/photo.png"},
                                           {"private/notes.txt", "trap/notes.png"},
                                           {"private", "trap/album"},
                                           {"private/photo.png", "k/photo.png"}})
            QVERIFY(QFile::link(dir.path() + "/" + target, dir.path() + "/levels/" + link));
        dir.writeFile("levels/trap.map", wallsUsing({"trap/own.png", "trap/alias.png", "trap/photo.png",
                                                     "trap/notes.png", "trap/album/photo.png"}));
        const QString text = loadAndAnswer(scene, dir.path() + "/levels/trap.map", true);
        QCOMPARE(text.count("leads out of the level's folder"), 3);
        QVERIFY(text.contains("trap/album/photo.png") && !text.contains("own.png") && !text.contains("alias"));
        QList<bool> shown;
        for (const Sector *wall : scene.layers->layerList("Wall"))
            shown << !wall->properties->button->icon().isNull();
        QCOMPARE(shown, QList<bool>({true, true, false, false, false}));
        dir.makeFolder("elsewhere");
        QVERIFY(MapFile().writeMapFile(dir.path() + "/elsewhere/trap.map", scene.layers->registry()));
        QCOMPARE(filesIn(dir.path() + "/elsewhere/trap"), QStringList({"alias.png", "own.png"}));

        dir.writeImage("levels/k/wide.png", QSize(4097, 1));
        dir.writeFile("levels/k/text.png", "no picture");
        const QStringList references {"k/own.png", "k/photo.png", "k/wide.png", "k/text.png", "k/gone.png",
                                      "../private/photo.png", "/etc/passwd", "k/../../x.png"};
        dir.writeFile("levels/k.map", wallsUsing(references + QStringList(QString(5000, 'y'))));
        loadAndAnswer(scene, dir.path() + "/levels/k.map", true);
        QStringList told;
        for (const LevelProblem &problem : scene.view->problems()->checkCurrentLevel())
            told << QString::fromStdString(problem.message);
        QCOMPARE(told.filter("a save keeps the reference as it is").size(), 7);
        const QString copy = dir.path() + "/elsewhere/copy.map";
        QVERIFY(MapFile().writeMapFile(copy, scene.layers->registry()));
        QStringList written;
        for (const QByteArray &line : bytesOf(copy).split('#').last().split('\n').mid(1, 9))
            written << QString::fromUtf8(line.mid(line.indexOf(",Wall,S,") + 8)).trimmed();
        QCOMPARE(written, QStringList({"copy/own.png"}) + references.mid(1) + QStringList({"copy/"}));
        QCOMPARE(filesIn(dir.path() + "/elsewhere/copy"), QStringList({"own.png"}));

        Sector *wall = scene.layers->layerList("Wall").at(1);
        QVERIFY(wall->properties->keptReference);
        scene.view->mapEdits()->retexture(wall, scene.view->gallery()->currentTexture);
        QVERIFY(!wall->properties->keptReference);

        // A picture's header is read first: a bomb is refused undecoded, and of
        // any picture only an icon of at most one cell is kept, in the gallery too.
        dir.writeFile("levels/b/bomb.ppm", "P6\n30000 30000\n255\n" + QByteArray(64, '\x7f'));
        dir.writeImage("levels/b/large.png", QSize(2048, 1024));
        dir.writeImage("levels/b/small.png", QSize(16, 16));
        dir.writeImage("textures/Wall/mural.png", QSize(4096, 4096));
        dir.writeFile("levels/b.map",
                      wallsUsing({"b/bomb.ppm", "k/wide.png", "b/large.png", "b/small.png", "k/text.png"}));
        const QString bombs = loadAndAnswer(scene, dir.path() + "/levels/b.map", true);
        QVERIFY2(bombs.contains("b/bomb.ppm is larger than 4096 x 4096 pixels (30000 x 30000)")
                     && bombs.contains("k/wide.png is larger than 4096 x 4096 pixels (4097 x 1)")
                     && bombs.contains("k/text.png is not an image") && !bombs.contains("large.png")
                     && !bombs.contains("small.png"),
                 qPrintable(bombs));
        QList<QList<QSize>> sizes;
        for (const Sector *bomb : scene.layers->layerList("Wall"))
            sizes << bomb->properties->button->icon().availableSizes();
        QCOMPARE(sizes, QList<QList<QSize>>({{}, {}, {QSize(64, 32)}, {QSize(16, 16)}, {}}));
        const QListWidgetItem *mural = control<QListWidget>(scene.view, "listViewTextures")->findItems("mural.png", Qt::MatchExactly).value(0);
        QVERIFY(mural && mural->icon().availableSizes() == QList<QSize>({QSize(64, 64)}));
    }

    // The pencil and point lights stop at the grid's edge; a save with an
    // object beyond it writes nothing; a file beyond it is read up to it.
    void objectsFarOut()
    {
        MapScene scene;
        auto *status = scene.window.findChild<QLabel *>("labelStatus");
        scene.view->setOrigin(QPoint(-2046, scene.view->origin().y()));
        scene.mouse.drag({scene.mouse.cellCentre(1, 0), scene.mouse.cellCentre(4, 0)}, Qt::LeftButton);
        QCOMPARE(status->text(), LevelLimits::beyondGridMessage());
        std::vector<Sector *> placed = scene.layers->currentSectors();
        QVERIFY(placed.size() == 1 && placed.front()->properties->mapX == 2047);

        // Past the edge; a radius that would overflow; 601 x 601 light cells.
        for (const QPoint centreAndRadius : {QPoint(2046, 2), QPoint(5, 2147483647), QPoint(1000, 300)}) {
            status->clear();
            PointLightParams light;
            light.centreX = light.centreY = centreAndRadius.x();
            light.radius = centreAndRadius.y();
            const PointLightOutcome outcome = generatePointLight(scene.view->placementContext(), light);
            QVERIFY(!outcome.made() && outcome.newCells.empty());
            scene.view->adoptPointLight(outcome);
            QCOMPARE(status->text(), LevelLimits::beyondGridMessage());
        }
        QVERIFY(scene.layers->layerList("Lightmap").empty());

        const QString dir = scene.fixture.workdir.path();
        scene.fixture.workdir.writeFile("far.map", "old level");
        placed.front()->properties->mapX = 100000;
        placed.front()->properties->mapY = 99999;
        scene.view->files()->showEditedFile(dir + "/far.map");
        auto box = answerNextMessageBox(QMessageBox::Ok);
        control<QPushButton>(scene.view, "btnSaveMap")->click();
        QVERIFY2(box->text.contains("(100000, 99999) on the " + QString::fromStdString(scene.layers->currentLayer())),
                 qPrintable(box->text));
        QCOMPARE(bytesOf(dir + "/far.map"), QByteArray("old level"));
        QCOMPARE(filesIn(dir).filter("far"), QStringList({"far.map"}));

        scene.fixture.workdir.writeFile(
            "wide.map", "#Floor\n" + QByteArray("0,").repeated(2047) + "7,7,\n\n#Definitions\n7,Floor,,x\n");
        QVERIFY(loadAndAnswer(scene, dir + "/wide.map", true).contains("larger than 2,048 x 2,048 cells"));
        QCOMPARE(int(scene.layers->layerList("Floor").size()), 1);

        // Too many objects, too large, a FIFO, a device: refused before anything
        // is made or read, and the map stays. A FIFO texture is not waited for.
        const SectorRegistry before = scene.layers->registry();
        const QByteArray rows = QByteArray("1,").repeated(512).append('\n').repeated(512);
        scene.fixture.workdir.writeFile("crowd.map", "#Wall\n" + rows + "1,\n\n#Definitions\n1,Wall,S,x\n");
        scene.fixture.workdir.writeFile("giant.map", "");
        QVERIFY(QFile::resize(dir + "/giant.map", LevelLimits::fileBytes + 1));
        QCOMPARE(mkfifo(QFile::encodeName(dir + "/pipe.map").constData(), 0600), 0);
        QVERIFY(QFile::link("/dev/zero", dir + "/zero.map"));
        for (const auto &[file, reason] : {std::pair("crowd.map", "more than 262,144 objects"),
                                           {"giant.map", "larger than 256 MiB"}, {"pipe.map", "not a regular file"},
                                           {"zero.map", "not a regular file"}}) {
            const QString text = loadAndAnswer(scene, dir + "/" + file, false);
            QVERIFY2(text.contains(reason) && scene.layers->registry() == before, qPrintable(text));
        }

        scene.fixture.workdir.makeFolder("level");
        QCOMPARE(mkfifo(QFile::encodeName(dir + "/level/pipe.png").constData(), 0600), 0);
        scene.fixture.workdir.writeFile("level.map", wallsUsing({"level/pipe.png"}));
        QVERIFY(loadAndAnswer(scene, dir + "/level.map", true).contains("level/pipe.png is not a regular file"));
        MapFile copy;
        QVERIFY(copy.writeMapFile(dir + "/copy.map", scene.layers->registry()));
        QVERIFY(filesIn(dir + "/copy").isEmpty() && copy.imageProblems.isEmpty());
        QVERIFY(bytesOf(dir + "/copy.map").endsWith(",Wall,S,level/pipe.png\r\n"));

        // A write that fails on its way to the disk (past the largest file the
        // process may write, failed like a full disk) fails the save with the
        // system's reason, and the old level stays byte for byte.
        scene.view->setOrigin(QPoint(0, 0));
        const QString level = dir + "/saved.map";
        scene.mouse.drag({scene.mouse.cellCentre(0, 1), scene.mouse.cellCentre(3, 1)}, Qt::LeftButton);
        QVERIFY(MapFile().writeMapFile(level, scene.layers->registry()));
        scene.view->files()->showEditedFile(level);
        const QByteArray saved = bytesOf(level);
        const QStringList files = filesIn(dir);
        scene.mouse.drag({scene.mouse.cellCentre(0, 2), scene.mouse.cellCentre(3, 5)}, Qt::LeftButton);

        rlimit previous {};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit small {rlim_t(saved.size()), previous.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        box = answerNextMessageBox(QMessageBox::Ok);
        control<QPushButton>(scene.view, "btnSaveMap")->click();
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, handler);
        QCOMPARE(box->text, "The map could not be saved to " + level + ":\n" + QString::fromLocal8Bit(strerror(EFBIG)));
        QCOMPARE(bytesOf(level), saved);
        QCOMPARE(filesIn(dir), files);
    }
};

QTEST_MAIN(HostileLevelsTest)
#include "tst_hostilelevels.moc"

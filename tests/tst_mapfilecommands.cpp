// Saving and loading levels in the real window and on disk: the file dialogs,
// the texture folder, round trips, failed saves and hostile references.
#include "testsupport.h"

#include "app/gorseed.h"
#include "gallery/texturegallery.h"
#include "mapfile/mapfile.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace {
// Answers the next file dialog by typing `path` into its name field and
// pressing Enter, or cancels it when the path is empty.
std::shared_ptr<QString> answerNextFileDialog(const QString &path)
{
    auto title = std::make_shared<QString>();
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, title, path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        *title = dialog->windowTitle();
        if (path.isEmpty())
            return dialog->reject();
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(name, path);
        // The name completion's list would take the Enter key.
        name->completer()->popup()->hide();
        QTest::keyClick(name, Qt::Key_Return);
    });
    timer->start();
    return title;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QString md5Of(const QString &path)
{
    return QCryptographicHash::hash(bytesOf(path), QCryptographicHash::Md5).toHex();
}

// Everything a level keeps of its objects, one sorted line per object.
QStringList objectsOf(const SectorRegistry &registry)
{
    QStringList lines;
    for (const auto &[layer, sectors] : registry) {
        for (const Sector *sector : sectors) {
            const SectorProperties &p = *sector->properties;
            const SectorLighting &l = p.lighting;
            lines << QString::fromStdString(layer + " " + p.kind + " " + p.subtype)
                    + QString(" %1,%2 %3,%4,%5,%6,%7 ")
                          .arg(p.mapX)
                          .arg(p.mapY)
                          .arg(l.emission)
                          .arg(l.emissionMin)
                          .arg(l.emissionMax)
                          .arg(l.randomIntensity)
                          .arg(l.blinkDelay)
                    + md5Of(QString::fromStdString(p.textureDir + p.textureName));
        }
    }
    lines.sort();
    return lines;
}

void deleteAll(SectorRegistry &registry)
{
    for (auto &entry : registry)
        qDeleteAll(entry.second);
    registry.clear();
}

Sector *place(MapView *view, const QString &layer, const QString &texture, int x, int y, const char *subtype = nullptr)
{
    view->layerController->comboBoxMapLayer->setCurrentText(layer);
    const auto items = view->listViewTextures->findItems(texture, Qt::MatchExactly);
    if (!items.isEmpty())
        view->listViewTextures->setCurrentItem(items.front());
    Sector *sector = view->placeSectorAt(QPoint(x, y));
    view->layerController->addSector(sector);
    if (subtype)
        sector->setSubtype(subtype);
    return sector;
}

const char *const castle = "#Door\r\n0,7,\r\n\r\n#Lightmap\r\n9,0,\r\n\r\n#Definitions\r\n"
                           "7,Door,RedKeyDoor,castle/gate.png\r\n9,Lightmap,Dynamic,40,1,90,true,2\r\n";
} // namespace

class MapFileCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void saveAndLoadInTheWindow()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        MapMouse mouse(window);
        mouse.drag({mouse.cellCentre(0, 0), mouse.cellCentre(1, 0), mouse.cellCentre(2, 0)}, Qt::LeftButton);
        view->layerController->comboBoxMapLayer->setCurrentText("Floor");
        mouse.drag({mouse.cellCentre(0, 1), mouse.cellCentre(1, 1)}, Qt::LeftButton);
        const int wall = view->layerController->layerList("Wall").front()->properties->textureId;
        const int floor = view->layerController->layerList("Floor").front()->properties->textureId;

        // Ctrl+S, and a name typed without ".map" (a button's shortcut clicks
        // it after a short press animation).
        auto title = answerNextFileDialog(editor.workdir.path() + "/level1");
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        const QString saved = editor.workdir.path() + "/level1.map";
        QTRY_COMPARE(view->mapFileName, saved);
        QCOMPARE(*title, QString("Save Gorse Map"));
        QCOMPARE(window.windowTitle(), "Editing: " + saved + " - GorseED");
        const QByteArray bytes = bytesOf(saved);
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(QString(bytes).replace("\r\n", "|"),
                 QString("#Ceil|Z#Wall|%1,%1,%1,|0,0,0,||#Floor|0,0,0,|%2,%2,0,||#Door|Z#Actor|Z#Sprite|Z#Item|Z"
                         "#Lightmap|Z#Definitions|%1,Wall,Solid,level1/brick.png|%2,Floor,,level1/tiles.png|")
                     .replace("Z", "0,0,0,|0,0,0,||")
                     .arg(wall)
                     .arg(floor));
        QCOMPARE(filesIn(editor.workdir.path() + "/level1"), QStringList({"brick.png", "tiles.png"}));
        QCOMPARE(bytesOf(editor.workdir.path() + "/level1/brick.png"), bytesOf("textures/Wall/brick.png"));
        // Later saves write to the same file without asking.
        mouse.click(mouse.cellCentre(2, 1), Qt::LeftButton);
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(bytesOf(saved).contains(QString("%1,%1,%1,\r\n").arg(floor).toUtf8()));

        // Cancelled, or a level without objects: the map and the view stay.
        editor.workdir.writeFile("levels/empty.map", "#Wall\r\n0,0,\r\n\r\n#Definitions\r\n");
        editor.workdir.writeFile("levels/castle.map", castle);
        editor.workdir.writeImage("levels/castle/gate.png");
        QPointer<Sector> old = view->layerController->layerList("Wall").front();
        view->mapViewZoomSlider->setValue(2);
        view->originX = 1;
        view->radioSelect->click();
        for (const QString answer : {QString(), editor.workdir.path() + "/levels/empty.map"}) {
            answerNextFileDialog(answer);
            QTest::mouseClick(view->btnLoadMap, Qt::LeftButton);
            QVERIFY(old);
            QCOMPARE(view->mapViewZoomSlider->value(), 2);
            QCOMPARE(view->originX, 1);
        }

        // A level is loaded; an open properties window is closed before the
        // objects it edits die.
        QWidget properties;
        properties.setObjectName("objectProperties");
        properties.show();
        const int numbered = view->textureGallery->nextTextureId;
        title = answerNextFileDialog(editor.workdir.path() + "/levels/castle.map");
        QTest::mouseClick(view->btnLoadMap, Qt::LeftButton);
        QCOMPARE(*title, QString("Save Gorse Map"));
        QVERIFY(!old && !properties.isVisible());
        QCOMPARE(view->mapViewZoomSlider->value(), 4);
        QCOMPARE(view->originX, 0);
        QCOMPARE(view->layerController->currentLayer, std::string("Wall"));
        QCOMPARE(view->mapFileName, saved);
        QCOMPARE(window.windowTitle(), "Editing: " + saved + " - GorseED");
        Sector *door = view->layerController->layerList("Door").at(0);
        Sector *light = view->layerController->layerList("Lightmap").at(0);
        QCOMPARE(objectsOf(view->layerController->sectorsByLayer),
                 QStringList({"Door Door RedKeyDoor 1,0 10,0,255,0,0.5 " + md5Of("levels/castle/gate.png"),
                              "Lightmap Lightmap Dynamic 0,0 40,1,90,1,2 " + md5Of("assets/lamp.png")}));
        QVERIFY(!door->properties->button->icon().isNull());
        QCOMPARE(door->properties->button->geometry(), QRect(64, 0, 64, 64));
        QVERIFY(door->properties->textureId > numbered && light->properties->textureId > numbered);
        QVERIFY(door->properties->textureId != light->properties->textureId);
        // Select mode: the new objects let presses through to the map, as the old ones did.
        QVERIFY(door->properties->button->testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    void roundTripEveryKind()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        // Two different pictures called brick.png, and a name that is not ASCII.
        editor.workdir.writeImage("textures/Floor/brick.png", QSize(64, 64), Qt::blue);
        editor.workdir.writeImage("textures/Item/schl\u00fcssel.png", QSize(64, 64), Qt::green);
        view->textureGallery->reload();
        place(view, "Ceil", "panel.png", 0, 0);
        place(view, "Wall", "brick.png", 1, 0, "Solid");
        place(view, "Wall", "brick.png", 2, 0, "PiercedWall");
        place(view, "Floor", "brick.png", 0, 1);
        place(view, "Floor", "tiles.png", 1, 1);
        place(view, "Door", "door.png", 3, 0, "BlueKeyDoor");
        place(view, "Actor", "soldier.png", 0, 2, "Player");
        place(view, "Sprite", "barrel.png", 1, 2, "Solid");
        place(view, "Item", "schl\u00fcssel.png", 2, 2, "LevelEnd");
        place(view, "Lightmap", "lamp.png", 3, 2, "Dynamic")
            ->setLighting({0, 255, 0.25, 20, 5, 200, false, true, false});
        place(view, "Lightmap", "lamp.png", 4, 2);
        const QStringList painted = objectsOf(view->layerController->sectorsByLayer);

        MapFile first;
        const QString level
            = first.saveMap(editor.workdir.path() + "/Stufe-\u00f6", view->layerController->sectorsByLayer);
        QCOMPARE(level, editor.workdir.path() + "/Stufe-\u00f6.map");
        QCOMPARE(filesIn(editor.workdir.path() + "/Stufe-\u00f6"),
                 QStringList({"barrel.png", "brick.png", "brick_2.png", "door.png", "panel.png", "schl\u00fcssel.png",
                              "soldier.png", "tiles.png"}));
        SectorRegistry loaded;
        MapFile().loadMapFile(level, loaded, view->placementContext());
        QCOMPARE(objectsOf(loaded), painted);

        // Saved again under a new name, the loaded level carries its images over.
        SectorRegistry again;
        QVERIFY(MapFile().writeMapFile(editor.workdir.path() + "/copy.map", loaded));
        MapFile().loadMapFile(editor.workdir.path() + "/copy.map", again, view->placementContext());
        QCOMPARE(objectsOf(again), painted);
        deleteAll(loaded);
        deleteAll(again);
    }

    void texturesAreNeverOverwritten()
    {
        // A different picture already in the texture folder keeps its name;
        // the same picture is not copied twice.
        WorkingDirectory workdir;
        workdir.writeImage("textures/Wall/brick.png", QSize(8, 8), Qt::red);
        SectorRegistry registry;
        registry["Wall"].push_back(new Sector(
            new SectorProperties {{}, 0, 0, 0, 0, nullptr, "brick.png", "textures/Wall/", 103, "Wall", "Solid"}));
        MapFile mapFile;
        QVERIFY(mapFile.writeMapFile("lev.map", registry));
        const QByteArray red = bytesOf("lev/brick.png");
        QVERIFY(mapFile.writeMapFile("lev.map", registry));
        QCOMPARE(filesIn("lev"), QStringList({"brick.png"}));
        workdir.writeImage("textures/Wall/brick.png", QSize(8, 8), Qt::blue);
        QVERIFY(mapFile.writeMapFile("lev.map", registry));
        QVERIFY(mapFile.writeMapFile("lev.map", registry));
        QCOMPARE(filesIn("lev"), QStringList({"brick.png", "brick_2.png"}));
        QCOMPARE(bytesOf("lev/brick.png"), red);
        QCOMPARE(bytesOf("lev/brick_2.png"), bytesOf("textures/Wall/brick.png"));
        QVERIFY(bytesOf("lev.map").endsWith("103,Wall,Solid,lev/brick_2.png\r\n"));
        QVERIFY(mapFile.imageProblems.isEmpty());
        deleteAll(registry);
    }

    void failedSaveKeepsNameAndFile()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        place(view, "Wall", "brick.png", 0, 0);
        // First save into a folder that does not exist: nothing is adopted.
        const QString missing = editor.workdir.path() + "/missing/level.map";
        answerNextFileDialog(missing);
        auto warning = answerNextMessageBox(QMessageBox::Ok);
        view->btnSaveMap->click();
        QVERIFY(warning->seen && warning->text.contains(missing));
        QVERIFY(view->mapFileName.isEmpty());
        QCOMPARE(editor.window->windowTitle(), QString("GorseED"));

        // A name too long for the temporary file beside it: the old level stays.
        const QString old = editor.workdir.path() + "/" + QString(250, 'x') + ".map";
        editor.workdir.writeFile(QFileInfo(old).fileName(), "old level");
        view->mapFileName = old;
        editor.window->setWindowTitle("Editing: " + old + " - GorseED");
        warning = answerNextMessageBox(QMessageBox::Ok);
        view->btnSaveMap->click();
        QVERIFY(warning->seen && warning->text.contains(old) && !warning->text.endsWith(":\n"));
        QCOMPARE(view->mapFileName, old);
        QCOMPARE(editor.window->windowTitle(), "Editing: " + old + " - GorseED");
        QCOMPARE(bytesOf(old), QByteArray("old level"));
        // Nothing else is left behind: no temporary file, no texture folder.
        QCOMPARE(filesIn(editor.workdir.path()).filter("xxx"), QStringList({QFileInfo(old).fileName()}));
    }

    void referencesOutOfTheLevelAreNotFollowed()
    {
        EditorFixture editor;
        const WorkingDirectory &workdir = editor.workdir;
        workdir.writeImage("secret.png");
        workdir.writeImage("levels/evil/ok.png");
        workdir.writeFile("levels/evil.map",
                          "#Wall\r\n101,102,103,\r\n\r\n#Definitions\r\n101,Wall,Solid,"
                              + QDir(workdir.path()).filePath("secret.png").toUtf8()
                              + "\r\n102,Wall,PiercedWall,../secret.png\r\n"
                                "103,Wall,Solid,evil/ok.png\r\n");
        SectorRegistry loaded;
        MapFile().loadMapFile("levels/evil.map", loaded, editor.window->mapView->placementContext());
        QStringList walls;
        for (const Sector *wall : loaded.at("Wall"))
            walls << QString::fromStdString(wall->properties->subtype + " " + wall->properties->textureName)
                    + (wall->properties->button->icon().isNull() ? " no image" : " image");
        QCOMPARE(walls, QStringList({"Solid  no image", "PiercedWall  no image", "Solid ok.png image"}));
        QVERIFY(MapFile().writeMapFile("out.map", loaded));
        QCOMPARE(filesIn("out"), QStringList({"ok.png"}));
        deleteAll(loaded);
    }
};

QTEST_MAIN(MapFileCommandsTest)
#include "tst_mapfilecommands.moc"

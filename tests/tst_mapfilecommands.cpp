// Saving and loading levels in the real window and on disk: the file dialogs,
// the texture folder, round trips and failed saves.
#include "testsupport.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QTimer>

namespace {
QString md5Of(const QString &path)
{
    return QCryptographicHash::hash(bytesOf(path), QCryptographicHash::Md5).toHex();
}

// Everything a level keeps of its objects, one sorted line per object.
QStringList objectsOf(const SectorRegistry &registry)
{
    QStringList lines;
    for (const auto &[layer, sectors] : registry)
        for (const Sector *sector : sectors) {
            const SectorProperties &p = *sector->properties;
            const SectorLighting &l = p.lighting;
            lines << QString::asprintf("%s %s %s %d,%d %d,%d,%d,%d,%g ", layer.c_str(), p.kind.c_str(),
                                       p.subtype.c_str(), p.mapX, p.mapY, l.emission, l.emissionMin, l.emissionMax,
                                       int(l.randomIntensity), l.blinkDelay)
                    + md5Of(QString::fromStdString(p.textureDir + p.textureName));
        }
    lines.sort();
    return lines;
}

// Places objects given as "layer texture x y [subtype]".
void place(MapView *view, std::initializer_list<const char *> objects)
{
    for (const char *object : objects) {
        const QStringList f = QString(object).split(' ');
        view->layers()->chooseLayer(f[0].toStdString());
        auto *textures = control<QListWidget>(view, "listViewTextures");
        textures->setCurrentItem(textures->findItems(f[1], Qt::MatchExactly).value(0));
        Sector *sector = view->placeSectorAt(QPoint(f[2].toInt(), f[3].toInt()));
        view->layers()->addSector(sector);
        if (f.size() > 4)
            sector->setSubtype(f[4].toStdString());
    }
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
        LayerController *layers = view->layers();
        MapMouse mouse(window);
        const QString dir = editor.workdir.path();
        mouse.drag({mouse.cellCentre(0, 0), mouse.cellCentre(1, 0), mouse.cellCentre(2, 0)}, Qt::LeftButton);
        layers->chooseLayer("Floor");
        mouse.drag({mouse.cellCentre(0, 1), mouse.cellCentre(1, 1)}, Qt::LeftButton);
        const QByteArray wall = QByteArray::number(layers->layerList("Wall").front()->properties->textureId);
        const QByteArray floor = QByteArray::number(layers->layerList("Floor").front()->properties->textureId);

        // A first save that fails adopts no name; the warning names the file.
        const QString missing = dir + "/missing/level.map";
        answerNextFileDialog(missing);
        auto warning = answerNextMessageBox(QMessageBox::Ok);
        control<QPushButton>(view, "btnSaveMap")->click();
        QVERIFY(warning->seen && warning->text.contains(missing));
        QVERIFY(view->files()->editedFileName().isEmpty());
        QCOMPARE(window.windowTitle(), QString("*GorseED"));

        // Ctrl+S, and a name typed without ".map".
        answerNextFileDialog(dir + "/level1");
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        const QString saved = dir + "/level1.map";
        QTRY_COMPARE(view->files()->editedFileName(), saved);
        QCOMPARE(window.windowTitle(), "Editing: " + saved + " - GorseED");
        QVERIFY(bytesOf(saved).endsWith("#Definitions\r\n" + wall + ",Wall,Solid,level1/brick.png\r\n" + floor
                                        + ",Floor,,level1/tiles.png\r\n"));
        QCOMPARE(filesIn(dir + "/level1"), QStringList({"brick.png", "tiles.png"}));
        // Later saves write to the same file without asking.
        mouse.click(mouse.cellCentre(2, 1), Qt::LeftButton);
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(bytesOf(saved).contains(floor + "," + floor + "," + floor + ",\r\n"));

        // A name too long for the temporary file beside it: the old level stays
        // whole, and nothing else is left behind.
        const QString old = dir + "/" + QString(250, 'x') + ".map";
        editor.workdir.writeFile(QFileInfo(old).fileName(), "old level");
        view->files()->showEditedFile(old);
        const QString title = window.windowTitle();
        warning = answerNextMessageBox(QMessageBox::Ok);
        control<QPushButton>(view, "btnSaveMap")->click();
        QVERIFY(warning->seen && warning->text.contains(old) && !warning->text.endsWith(":\n"));
        QCOMPARE(view->files()->editedFileName(), old);
        QCOMPARE(window.windowTitle(), title);
        QCOMPARE(bytesOf(old), QByteArray("old level"));
        QCOMPARE(filesIn(dir).filter("xxx"), QStringList({QFileInfo(old).fileName()}));

        // Cancelled, or a level without objects: the map, the view and an open
        // properties window stay.
        editor.workdir.writeFile("levels/empty.map", "#Wall\r\n0,0,\r\n\r\n#Definitions\r\n");
        editor.workdir.writeFile("levels/castle.map", castle);
        editor.workdir.writeImage("levels/castle/gate.png");
        mouse.click(mouse.cellCentre(0, 1), Qt::LeftButton);
        QPointer<ObjectPropertiesForm> properties = view->propertiesWindow();
        QPointer<Sector> oldWall = layers->layerList("Wall").front();
        control<QSlider>(view, "mapViewZoomSlider")->setValue(2);
        view->setOrigin(QPoint(1, view->origin().y()));
        control<QRadioButton>(view, "radioSelect")->click();
        for (const QString answer : {QString(), dir + "/levels/empty.map"}) {
            answerNextFileDialog(answer);
            QTest::mouseClick(control<QPushButton>(view, "btnLoadMap"), Qt::LeftButton);
            QVERIFY(oldWall && properties && properties->isVisible());
            QCOMPARE(control<QSlider>(view, "mapViewZoomSlider")->value(), 2);
            QCOMPARE(view->origin().x(), 1);
        }

        // A level is loaded; the properties window goes before its objects die.
        const int numbered = view->gallery()->textureNumbers().peek();
        answerNextFileDialog(dir + "/levels/castle.map");
        QTest::mouseClick(control<QPushButton>(view, "btnLoadMap"), Qt::LeftButton);
        flushDeletions();
        QVERIFY(!oldWall && !properties);
        QCOMPARE(control<QSlider>(view, "mapViewZoomSlider")->value(), 4);
        QCOMPARE(view->origin().x(), 0);
        QCOMPARE(layers->currentLayer(), std::string("Wall"));
        QCOMPARE(objectsOf(layers->registry()),
                 QStringList({"Door Door RedKeyDoor 1,0 10,0,255,0,0.5 " + md5Of("levels/castle/gate.png"),
                              "Lightmap Lightmap Dynamic 0,0 40,1,90,1,2 " + md5Of("assets/lamp.png")}));
        const SectorProperties *door = layers->layerList("Door").at(0)->properties;
        const int lightNumber = layers->layerList("Lightmap").at(0)->properties->textureId;
        QVERIFY(!door->button->icon().isNull());
        QCOMPARE(shownRect(door->button), QRect(64, 0, 64, 64));
        QVERIFY(door->textureId > numbered && lightNumber > numbered && door->textureId != lightNumber);
        // Select mode: the new objects let presses through to the map, as the old ones did.
        QVERIFY(door->button->testAttribute(Qt::WA_TransparentForMouseEvents));

        // The loaded level is the one edited now: Ctrl+S rewrites it and
        // leaves the level saved before the load alone.
        const QByteArray level1 = bytesOf(saved);
        QCOMPARE(window.windowTitle(), "Editing: " + dir + "/levels/castle.map - GorseED");
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(bytesOf(dir + "/levels/castle.map") != QByteArray(castle));
        QCOMPARE(bytesOf(saved), level1);
    }

    // Every kind, two different pictures called brick.png and a name that is
    // not ASCII, saved, saved again and loaded; the texture folder never loses
    // a picture.
    void roundTripEveryKind()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        LayerController *layers = view->layers();
        const SectorRegistry &registry = layers->registry();
        editor.workdir.writeImage("textures/Floor/brick.png", QSize(64, 64), Qt::blue);
        editor.workdir.writeImage("textures/Item/schl\u00fcssel.png", QSize(64, 64), Qt::green);
        view->gallery()->reload();
        place(view,
              {"Ceil panel.png 0 0", "Wall brick.png 1 0 Solid", "Wall brick.png 2 0 PiercedWall",
               "Floor brick.png 0 1", "Floor tiles.png 1 1", "Door door.png 3 0 BlueKeyDoor",
               "Actor soldier.png 0 2 Player", "Sprite barrel.png 1 2 Solid", "Item schl\u00fcssel.png 2 2 LevelEnd",
               "Lightmap lamp.png 3 2 Dynamic", "Lightmap lamp.png 4 2"});
        layers->sectorAt(3, 2)->setLighting({0, 255, 0.25, 20, 5, 200, false, true, false});
        const QString folder = editor.workdir.path() + "/Stufe-\u00f6";
        const QString level = MapFile().saveMap(folder, registry);
        QCOMPARE(level, folder + ".map");
        QVERIFY(MapFile().writeMapFile(level, registry));
        QStringList images {"barrel.png", "brick.png",          "brick_2.png", "door.png",
                            "panel.png",  "schl\u00fcssel.png", "soldier.png", "tiles.png"};
        QCOMPARE(filesIn(folder), images);
        // The wall's picture changes: saved again, it gets a name of its own.
        const QByteArray oldWall = bytesOf(folder + "/brick.png");
        editor.workdir.writeImage("textures/Wall/brick.png", QSize(64, 64), Qt::magenta);
        QVERIFY(MapFile().writeMapFile(level, registry));
        images.insert(3, "brick_3.png");
        QCOMPARE(filesIn(folder), images);
        QCOMPARE(bytesOf(folder + "/brick.png"), oldWall);
        const QStringList painted = objectsOf(registry);
        QVERIFY(view->files()->loadMapFromFile(level));
        QCOMPARE(objectsOf(registry), painted);

        // Saved under a new name, the loaded level carries its images over.
        QVERIFY(MapFile().writeMapFile(editor.workdir.path() + "/copy.map", registry));
        QVERIFY(view->files()->loadMapFromFile(editor.workdir.path() + "/copy.map"));
        QCOMPARE(objectsOf(registry), painted);
    }
};

QTEST_MAIN(MapFileCommandsTest)
#include "tst_mapfilecommands.moc"

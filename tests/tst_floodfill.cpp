// The bucket tool: area collection on its own, then fills and retexturing in
// the real window, and retexturing a selection from the gallery.
#include "testsupport.h"

#include "mapview/fillarea.h"

#include <QSet>

namespace {
// Walls around the free cells of `room`, one cell out.
CellSet ringAround(const QRect &room)
{
    CellSet ring;
    for (int x = room.left() - 1; x <= room.right() + 1; ++x)
        ring.insert({QPoint(x, room.top() - 1), QPoint(x, room.bottom() + 1)});
    for (int y = room.top(); y <= room.bottom(); ++y)
        ring.insert({QPoint(room.left() - 1, y), QPoint(room.right() + 1, y)});
    return ring;
}

struct Editor : MapScene
{
    // Objects of the current layer placed directly, one per cell.
    void placeAll(const CellSet &cells)
    {
        for (const QPoint &cell : cells)
            layers->addSector(view->placeSectorAt(cell));
    }
    void fillFrom(int column, int row)
    {
        QTest::mouseClick(control<QRadioButton>(view, "radioFloodFill"), Qt::LeftButton);
        mouse.click(mouse.cellCentre(column, row), Qt::LeftButton);
    }
    const SectorProperties *at(int x, int y) const { return layers->sectorAt(x, y)->properties; }
    // The colour shown by the icon of the object at (x, y).
    QColor iconColourAt(int x, int y) const { return at(x, y)->button->icon().pixmap(64).toImage().pixelColor(9, 9); }
};
} // namespace

class FloodFillTest : public QObject
{
    Q_OBJECT

private slots:
    void limitCountsEveryVisit()
    {
        // Walled rooms anywhere, also left of and above cell (0, 0): 999 cells
        // fill, 1000 count as unbounded.
        const std::pair<QRect, bool> rooms[]
            = {{QRect(-5, -3, 27, 37), false}, {QRect(-5, -3, 25, 40), true}, {QRect(-5, -3, 1, 1), false}};
        for (auto [room, aborted] : rooms) {
            const FillArea area = collectFillArea(
                room.topLeft(), 0, [ring = ringAround(room)](QPoint cell) { return ring.count(cell) > 0; },
                [](QPoint) { return -1; }, 1000);
            QCOMPARE(area.aborted, aborted);
            QCOMPARE(int(area.cells.size()), aborted ? 0 : room.width() * room.height());
        }
    }

    // The window's fill stops at 1000 cells: a closed room of 999 fills, one of 1000 counts as open.
    void windowFillsAtMost999Cells()
    {
        for (auto [room, fills] : {std::pair(QRect(1, 1, 27, 37), true), {QRect(1, 1, 25, 40), false}}) {
            Editor editor;
            editor.placeAll(ringAround(room));
            chooseLayer(editor.window, "Floor");
            const auto answer = fills ? nullptr : answerNextMessageBox(QMessageBox::Ok);
            editor.fillFrom(2, 2);
            QCOMPARE(editor.layers->layerList("Floor").size(), size_t(fills ? 999 : 0));
            QVERIFY(fills || answer->seen);
        }
    }

    // One room, first open, then closed by a door.
    void fillsRoomsBoundedByWallsAndDoors()
    {
        Editor editor;
        CellSet walls = ringAround(QRect(1, 1, 3, 3));
        walls.erase(QPoint(4, 2));
        editor.placeAll(walls);
        chooseLayer(editor.window, "Floor");
        auto answer = answerNextMessageBox(QMessageBox::Ok);
        editor.fillFrom(2, 2);
        QCOMPARE(answer->title, QString());
        QCOMPARE(answer->text, QStringLiteral("Recursive depth limit reached.\nPossibly not wall bounded area."));
        QVERIFY(editor.layers->layerList("Floor").empty());

        chooseLayer(editor.window, "Door");
        editor.placeAll({QPoint(4, 2)});
        chooseLayer(editor.window, "Floor");
        editor.fillFrom(2, 2);
        const std::vector<Sector *> &floors = editor.layers->layerList("Floor");
        // Depth first: right, left, down, up.
        QVector<QPoint> order;
        for (const Sector *floor : floors)
            order << QPoint(floor->properties->mapX, floor->properties->mapY);
        QCOMPARE(order, QVector<QPoint>({{2, 2}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {1, 1}, {2, 1}, {3, 1}}));
        QCOMPARE(editor.iconColourAt(3, 3), QImage("textures/Floor/tiles.png").pixelColor(9, 9));
        // The new objects let later presses through to the map.
        QVERIFY(floors[0]->properties->button->testAttribute(Qt::WA_TransparentForMouseEvents));
        // Starting on a wall or a door does nothing, and so does a fill of the full room.
        for (QPoint start : {QPoint(0, 2), QPoint(4, 2), QPoint(2, 2)})
            editor.mouse.click(editor.mouse.cellCentre(start.x(), start.y()), Qt::LeftButton);
        QCOMPARE(editor.layers->layerList("Floor").size(), size_t(9));

        // Objects already on the layer stay as they are.
        chooseLayer(editor.window, "Item");
        editor.placeAll({QPoint(2, 2)});
        Sector *item = editor.layers->sectorAt(2, 2);
        item->setTexture(TextureRef {"other.png", "textures/Item/", 7, nullptr});
        editor.fillFrom(1, 1);
        QCOMPARE(editor.layers->layerList("Item").size(), size_t(9));
        QCOMPARE(editor.layers->sectorAt(2, 2), item);
        QCOMPARE(item->properties->textureId, 7);
        // On the Door layer itself the door still closes the room.
        chooseLayer(editor.window, "Door");
        editor.fillFrom(1, 2);
        QCOMPARE(editor.layers->layerList("Door").size(), size_t(10));
        QVERIFY(!editor.layers->hasSectorAt(5, 2));
    }

    // The fill sees the walls as they are now: after an erase, a load and a
    // Clear. A loaded level keeps one texture number per definition line (new
    // on every load, none a gallery texture's) and one per light cell: a fill
    // retextures a loaded room whole, and a save writes the lines the file had.
    void fillsTheWallsOfNowAndRetexturesALoadedRoom()
    {
        Editor editor;
        editor.placeAll(ringAround(QRect(1, 1, 3, 2)));
        editor.mouse.click(editor.mouse.cellCentre(4, 1), Qt::RightButton); // erases a wall
        chooseLayer(editor.window, "Floor");
        auto answer = answerNextMessageBox(QMessageBox::Ok);
        editor.fillFrom(1, 1);
        QVERIFY(answer->seen);
        chooseLayer(editor.window, "Wall");
        editor.placeAll({QPoint(4, 1)});
        chooseLayer(editor.window, "Floor");
        editor.fillFrom(1, 1);
        chooseLayer(editor.window, "Lightmap");
        editor.placeAll({QPoint(1, 1), QPoint(2, 1)});
        const QString file = editor.fixture.workdir.path() + "/room.map";
        const SectorRegistry &registry = editor.layers->registry();
        auto definitionLines = [&file] { return bytesOf(file).split('#').last().count('\n') - 1; };
        QVERIFY(MapFile().writeMapFile(file, registry));
        QCOMPARE(definitionLines(), 4);

        QSet<int> earlier;
        for (int load = 0; load < 2; ++load) {
            QVERIFY(editor.view->files()->loadMapFromFile(file));
            QSet<int> taken;
            for (const auto &textures : editor.view->gallery()->texturesByLayer)
                for (const TextureRef &texture : textures.second)
                    taken << texture.textureId;
            QList<int> numbersPerLayer;
            for (const char *layer : {"Wall", "Floor", "Lightmap"}) {
                QSet<int> numbers;
                for (const Sector *sector : editor.layers->layerList(layer))
                    numbers << sector->properties->textureId;
                QVERIFY(!numbers.intersects(taken) && !numbers.intersects(earlier));
                numbersPerLayer << numbers.size();
                taken += numbers;
            }
            QCOMPARE(numbersPerLayer, QList<int>({1, 1, 2}));
            earlier = taken;
        }
        QVERIFY(MapFile().writeMapFile(file, registry));
        QCOMPARE(definitionLines(), 4);

        chooseLayer(editor.window, "Floor");
        control<QListWidget>(editor.view, "listViewTextures")->setCurrentRow(1);
        editor.fillFrom(3, 2);
        for (const Sector *floor : editor.layers->layerList("Floor"))
            QCOMPARE(floor->properties->textureName, std::string("wood.png"));
        QCOMPARE(editor.layers->layerList("Floor").size(), size_t(6));
        chooseLayer(editor.window, "Ceil");
        editor.fillFrom(1, 1);
        QCOMPARE(editor.layers->layerList("Ceil").size(), size_t(6));

        chooseLayer(editor.window, "Wall");
        auto yes = answerNextMessageBox(QMessageBox::Yes);
        QTest::mouseClick(editor.window.findChild<QPushButton *>("btnMapLayerClear"), Qt::LeftButton);
        QVERIFY(yes->seen);
        chooseLayer(editor.window, "Item");
        answer = answerNextMessageBox(QMessageBox::Ok);
        editor.fillFrom(1, 1);
        QVERIFY(answer->seen);
    }

    void retexturesByFillAndByGalleryClick()
    {
        Editor editor;
        editor.placeAll(ringAround(QRect(1, 1, 4, 1)));
        chooseLayer(editor.window, "Floor");
        editor.placeAll({QPoint(1, 1), QPoint(2, 1), QPoint(4, 1)}); // tiles.png
        control<QListWidget>(editor.view, "listViewTextures")->setCurrentRow(1);
        editor.placeAll({QPoint(3, 1)}); // wood.png
        const int tiles = editor.at(1, 1)->textureId;
        const int wood = editor.at(3, 1)->textureId;
        QVERIFY(tiles != wood);
        // The wood object bounds the tiles connected to (1, 1), so (4, 1)
        // beyond it keeps its texture.
        editor.fillFrom(1, 1);
        QVERIFY(editor.at(1, 1)->textureId == wood && editor.at(2, 1)->textureName == "wood.png");
        QCOMPARE(editor.iconColourAt(2, 1), QImage("textures/Floor/wood.png").pixelColor(9, 9));
        QCOMPARE(editor.at(4, 1)->textureId, tiles);
        QCOMPARE(editor.layers->currentSectors().size(), size_t(4));

        // New light cells show their level and keep their own numbers when
        // filled over or given the lamp from the gallery.
        chooseLayer(editor.window, "Lightmap");
        editor.fillFrom(1, 1);
        QCOMPARE(editor.layers->currentSectors().size(), size_t(4));
        QCOMPARE(tintOf(editor.layers->sectorAt(1, 1)), QColor(10, 10, 10));
        const int numbers[] = {editor.at(1, 1)->textureId, editor.at(2, 1)->textureId};
        QVERIFY(numbers[0] != numbers[1]);
        editor.fillFrom(1, 1);
        QListWidget *list = control<QListWidget>(editor.view, "listViewTextures");
        auto clickItem = [list](int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualItemRect(list->item(row)).center());
        };
        editor.layers->sectorAt(2, 1)->setTexture(TextureRef {"other.png", "assets/", numbers[1], nullptr});
        QTest::mouseClick(control<QRadioButton>(editor.view, "radioSelect"), Qt::LeftButton);
        editor.layers->selectRect(1, 1, 2, 1);
        clickItem(0); // the item already selected applies again
        QCOMPARE(editor.at(1, 1)->textureId, numbers[0]);
        QCOMPARE(editor.at(2, 1)->textureId, numbers[1]);
        QCOMPARE(editor.at(2, 1)->textureName, std::string("lamp.png"));

        // One wall selected: the click only picks the texture.
        chooseLayer(editor.window, "Wall");
        editor.layers->selectRect(1, 0, 1, 0);
        clickItem(1);
        QCOMPARE(editor.view->gallery()->currentTexture.textureName, std::string("stone.png"));
        QCOMPARE(editor.at(1, 0)->textureName, std::string("brick.png"));
        // Two: both take it.
        editor.layers->clearSelection();
        editor.layers->selectRect(1, 0, 2, 0);
        clickItem(1);
        for (int x : {1, 2}) {
            QCOMPARE(editor.at(x, 0)->textureDir + editor.at(x, 0)->textureName,
                     std::string("textures/Wall/stone.png"));
            QCOMPARE(editor.at(x, 0)->textureId, editor.view->gallery()->currentTexture.textureId);
            QCOMPARE(editor.iconColourAt(x, 0), QImage("textures/Wall/stone.png").pixelColor(9, 9));
            QCOMPARE(tintOf(editor.layers->sectorAt(x, 0)), QColor(0, 155, 0));
        }
        QCOMPARE(editor.at(3, 0)->textureName, std::string("brick.png"));
    }
};

QTEST_MAIN(FloodFillTest)
#include "tst_floodfill.moc"

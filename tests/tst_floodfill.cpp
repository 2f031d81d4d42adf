// The bucket tool: area collection on its own, then fills and retexturing in
// the real window, and retexturing a selection from the gallery.
#include "testsupport.h"

#include "app/gorseed.h"
#include "gallery/texturegallery.h"
#include "mapview/fillarea.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
// Walls around the free rectangle [left, right] x [top, bottom], one cell out.
CellSet ringAround(int left, int top, int right, int bottom)
{
    CellSet ring;
    for (int x = left - 1; x <= right + 1; ++x) {
        ring.insert(QPoint(x, top - 1));
        ring.insert(QPoint(x, bottom + 1));
    }
    for (int y = top; y <= bottom; ++y) {
        ring.insert(QPoint(left - 1, y));
        ring.insert(QPoint(right + 1, y));
    }
    return ring;
}

int32_t allFree(QPoint)
{
    return -1;
}
} // namespace

class FloodFillTest : public QObject
{
    Q_OBJECT

private:
    struct Editor
    {
        EditorFixture fixture;
        GorseED &window = *fixture.window;
        MapView *view = window.mapView;
        LayerController *layers = view->layerController;
        MapMouse mouse {window};

        void chooseLayer(const QString &layer)
        {
            window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
        }
        void chooseTexture(int row)
        {
            window.findChild<QListWidget *>(QStringLiteral("listViewTextures"))->setCurrentRow(row);
        }
        // Objects of the current layer placed directly, one per cell.
        void placeAll(const CellSet &cells)
        {
            for (const QPoint &cell : cells)
                layers->addSector(view->placeSectorAt(cell));
        }
        void fillFrom(int column, int row)
        {
            QTest::mouseClick(view->radioFloodFill, Qt::LeftButton);
            mouse.click(mouse.cellCentre(column, row), Qt::LeftButton);
        }
    };

    static std::vector<QPoint> cellsOf(const std::vector<Sector *> &sectors)
    {
        std::vector<QPoint> cells;
        for (const Sector *sector : sectors)
            cells.emplace_back(sector->properties->mapX, sector->properties->mapY);
        return cells;
    }

private slots:
    void collectsDepthFirstRightLeftDownUp()
    {
        const FillArea area = collectFillArea(QPoint(2, 2), 0, ringAround(1, 1, 3, 3), {}, allFree, 1000);
        const std::vector<QPoint> expected {{2, 2}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {1, 1}, {2, 1}, {3, 1}};
        QCOMPARE(area.cells, expected);
        QVERIFY(!area.aborted);

        // Doors bound an area just as walls do; starting on one collects nothing.
        CellSet walls = ringAround(1, 1, 3, 3);
        CellSet doors {QPoint(4, 2)};
        walls.erase(QPoint(4, 2));
        QCOMPARE(collectFillArea(QPoint(2, 2), 0, walls, doors, allFree, 1000).cells.size(), size_t(9));
        const FillArea onDoor = collectFillArea(QPoint(4, 2), 0, walls, doors, allFree, 1000);
        QVERIFY(onDoor.cells.empty() && !onDoor.aborted);
    }

    void limitCountsEveryVisit_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("aborted");
        QTest::newRow("999 cells fill") << 27 << 37 << false;
        QTest::newRow("1000 cells abort") << 25 << 40 << true;
        QTest::newRow("one cell") << 1 << 1 << false;
    }

    void limitCountsEveryVisit()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, aborted);
        // The room may lie anywhere, also left of and above cell (0, 0).
        const QPoint corner(-5, -3);
        const CellSet walls = ringAround(corner.x(), corner.y(), corner.x() + width - 1, corner.y() + height - 1);
        const FillArea area = collectFillArea(corner, 0, walls, {}, allFree, 1000);
        QCOMPARE(area.aborted, aborted);
        QCOMPARE(int(area.cells.size()), aborted ? 0 : width * height);
    }

    void createsTheRoomInCollectionOrder()
    {
        Editor editor;
        editor.placeAll(ringAround(1, 1, 3, 3));
        editor.chooseLayer("Floor");
        editor.fillFrom(2, 2);
        const std::vector<Sector *> &floors = editor.layers->layerList("Floor");
        QCOMPARE(floors.size(), size_t(9));
        QCOMPARE(cellsOf(floors)[0], QPoint(2, 2));
        QCOMPARE(cellsOf(floors)[1], QPoint(3, 2));
        QCOMPARE(floors[0]->properties->textureName, std::string("tiles.png"));
        // The new objects let later presses through to the map.
        QVERIFY(floors[0]->properties->button->testAttribute(Qt::WA_TransparentForMouseEvents));

        // Starting on a wall does nothing, and so does a fill of the full room.
        editor.mouse.click(editor.mouse.cellCentre(0, 2), Qt::LeftButton);
        editor.mouse.click(editor.mouse.cellCentre(2, 2), Qt::LeftButton);
        QCOMPARE(editor.layers->layerList("Floor").size(), size_t(9));
    }

    void openRoomIsAbandoned()
    {
        Editor editor;
        CellSet walls = ringAround(1, 1, 3, 3);
        walls.erase(QPoint(4, 2));
        editor.placeAll(walls);
        editor.chooseLayer("Floor");
        auto answer = answerNextMessageBox(QMessageBox::Ok);
        editor.fillFrom(2, 2);
        QVERIFY(answer->seen);
        QCOMPARE(answer->text, QStringLiteral("Recursive depth limit reached.\nPossibly not wall bounded area."));
        QCOMPARE(answer->title, QString());
        QVERIFY(editor.layers->layerList("Floor").empty());
    }

    void keepsObjectsOfTheLayerAndUsesDoorsOnEveryLayer()
    {
        Editor editor;
        CellSet walls = ringAround(1, 1, 4, 3);
        walls.erase(QPoint(5, 1));
        editor.placeAll(walls);
        editor.chooseLayer("Door");
        editor.placeAll({QPoint(5, 1)});

        editor.chooseLayer("Item");
        editor.placeAll({QPoint(2, 2), QPoint(4, 3)});
        Sector *item = editor.layers->sectorAt(2, 2);
        item->setTexture(TextureRef {"other.png", "textures/Item/", 7});
        editor.fillFrom(1, 1);
        QCOMPARE(editor.layers->layerList("Item").size(), size_t(12));
        QCOMPARE(editor.layers->sectorAt(2, 2), item);
        QCOMPARE(item->properties->textureId, 7);

        // On the Door layer itself the door still closes the room.
        editor.chooseLayer("Door");
        editor.fillFrom(1, 2);
        QCOMPARE(editor.layers->layerList("Door").size(), size_t(13));
        QVERIFY(!editor.layers->hasSectorAt(6, 1));
    }

    void retexturesConnectedObjectsOfOneNumber()
    {
        Editor editor;
        editor.placeAll(ringAround(1, 1, 4, 1));
        editor.chooseLayer("Floor");
        editor.placeAll({QPoint(1, 1), QPoint(2, 1), QPoint(4, 1)}); // tiles.png
        editor.chooseTexture(1);
        editor.placeAll({QPoint(3, 1)}); // wood.png
        const int tiles = editor.layers->sectorAt(1, 1)->properties->textureId;
        const int wood = editor.layers->sectorAt(3, 1)->properties->textureId;
        QVERIFY(tiles != wood);

        // Paint the wood object's texture over the tiles connected to (1, 1):
        // the wood object is a boundary, so (4, 1) beyond it stays as it was.
        editor.fillFrom(1, 1);
        QCOMPARE(editor.layers->sectorAt(1, 1)->properties->textureId, wood);
        QCOMPARE(editor.layers->sectorAt(2, 1)->properties->textureName, std::string("wood.png"));
        QCOMPARE(editor.layers->sectorAt(4, 1)->properties->textureId, tiles);
        QCOMPARE(editor.layers->layerSectors.size(), size_t(4));
        const QImage shown = editor.layers->sectorAt(2, 1)->properties->button->icon().pixmap(64, 64).toImage();
        const QImage wanted = QImage("textures/Floor/wood.png").convertToFormat(shown.format());
        QCOMPARE(shown.pixelColor(10, 10), wanted.pixelColor(10, 10));
    }

    void newLightCellsShowTheirLevel()
    {
        Editor editor;
        editor.placeAll(ringAround(1, 1, 2, 1));
        editor.chooseLayer("Lightmap");
        editor.fillFrom(1, 1);
        const std::vector<Sector *> &lights = editor.layers->layerList("Lightmap");
        QCOMPARE(lights.size(), size_t(2));
        QCOMPARE(tintOf(lights[0]), QColor(10, 10, 10));
        QVERIFY(lights[0]->properties->textureId != lights[1]->properties->textureId);

        // Retexturing a light by fill keeps its own number.
        const int own = lights[0]->properties->textureId;
        editor.fillFrom(1, 1);
        QCOMPARE(lights[0]->properties->textureId, own);
        QCOMPARE(lights[0]->properties->textureName, std::string("lamp.png"));
    }

    void galleryClickRetexturesTheSelection()
    {
        Editor editor;
        editor.placeAll({QPoint(1, 1), QPoint(2, 1), QPoint(3, 1)});
        auto *list = editor.window.findChild<QListWidget *>(QStringLiteral("listViewTextures"));
        auto clickItem = [list](int row) {
            const QRect itemRect = list->visualItemRect(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, itemRect.center());
        };
        QTest::mouseClick(editor.view->radioSelect, Qt::LeftButton);

        // One object selected: the click only picks the texture.
        editor.layers->selectRect(1, 1, 1, 1);
        clickItem(1);
        QCOMPARE(editor.view->textureGallery->currentTexture.textureName, std::string("stone.png"));
        QCOMPARE(editor.layers->sectorAt(1, 1)->properties->textureName, std::string("brick.png"));

        editor.layers->clearSelection();
        editor.layers->selectRect(1, 1, 2, 1);
        clickItem(1); // the item already selected applies again
        const TextureRef stone = editor.view->textureGallery->currentTexture;
        for (int x : {1, 2}) {
            const SectorProperties *p = editor.layers->sectorAt(x, 1)->properties;
            QCOMPARE(p->textureName, std::string("stone.png"));
            QCOMPARE(p->textureDir, std::string("textures/Wall/"));
            QCOMPARE(p->textureId, stone.textureId);
            QCOMPARE(tintOf(editor.layers->sectorAt(x, 1)), QColor(0, 155, 0));
        }
        QCOMPARE(editor.layers->sectorAt(3, 1)->properties->textureName, std::string("brick.png"));

        // Selected lights take the lamp but keep their own numbers.
        editor.chooseLayer("Lightmap");
        editor.placeAll({QPoint(1, 3), QPoint(2, 3)});
        const int first = editor.layers->sectorAt(1, 3)->properties->textureId;
        const int second = editor.layers->sectorAt(2, 3)->properties->textureId;
        QVERIFY(first != second);
        editor.layers->selectRect(1, 3, 2, 3);
        clickItem(0);
        QCOMPARE(editor.layers->sectorAt(1, 3)->properties->textureId, first);
        QCOMPARE(editor.layers->sectorAt(2, 3)->properties->textureId, second);
        QCOMPARE(editor.layers->sectorAt(2, 3)->properties->textureName, std::string("lamp.png"));
    }
};

QTEST_MAIN(FloodFillTest)
#include "tst_floodfill.moc"

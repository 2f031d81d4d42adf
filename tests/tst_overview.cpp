// Seeing the whole level. The "Overview" window (F8) on a small level of
// solid-coloured images: its cells against the images' colours, a click and a
// drag that pan the map, the rectangle after pan and zoom, the redraw after an
// edit and its undo. Zoom and navigation on the real map: Ctrl + wheel keeps
// the cell under the pointer under it, the wheel scrolls by whole cells, the
// zoom slider keeps the middle cell, Home brings the player to the middle.
#include "testsupport.h"

#include "mapview/overviewwindow.h"

#include <QApplication>
#include <QWheelEvent>

namespace {
// The colours WorkingDirectory paints the first and second image of a layer.
const QRgb firstImage = qRgb(40, 215, 120);
const QRgb secondImage = qRgb(90, 165, 120);

struct Overview : MapScene
{
    OverviewWindow *window = nullptr;
    // Walls in three corners of a 10 x 8 level and the Wall layer's second
    // image in the fourth, floors under a wall and over a ceiling, a lone ceiling.
    Overview()
    {
        for (QPoint cell : {QPoint(0, 0), QPoint(9, 0), QPoint(0, 7)})
            place("Wall", cell);
        place("Wall", {9, 7}, 1);
        place("Floor", {0, 0}, 1);
        place("Ceil", {4, 4});
        place("Floor", {4, 4}, 1);
        place("Ceil", {5, 5});
        chooseLayer(MapScene::window, "Floor");
        typeKey(MapScene::window, Qt::Key_F8);
        window = view->overviewWindow();
        window->resize(200, 160); // 20 pixels a cell
    }
    void place(const char *layer, QPoint cell, int image = 0)
    {
        chooseLayer(MapScene::window, layer);
        control<QListWidget>(view, "listViewTextures")->setCurrentRow(image);
        layers->addSector(view->placeSectorAt(cell + view->origin()));
    }
    QRgb at(QPoint cell) { return window->picture().pixel(cell); }
    // The colour drawn on screen at a point of the window.
    QRgb shown(QPoint point) { return window->grab().toImage().pixel(point); }
};

// A wheel turn over a point of the map. (Qt hands a synthesized wheel event
// to its receiver alone; a real one over an object's button goes on to the map.)
void turnWheel(MapScene &s, QPoint position, QPoint angle, Qt::KeyboardModifiers held = Qt::NoModifier)
{
    QWidget *map = s.view->mapWidget();
    QWheelEvent wheel(position, map->mapToGlobal(position), QPoint(), angle, Qt::NoButton, held, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(map, &wheel);
}

QPoint mapCellAt(MapScene &s, QPoint position)
{
    return s.view->viewCellAt(position) - s.view->origin();
}
} // namespace

class OverviewTest : public QObject
{
    Q_OBJECT

private slots:
    void cellsInTheirImagesColours()
    {
        Overview o;
        QCOMPARE(o.window->picture().size(), QSize(10, 8));
        QCOMPARE(o.at({9, 0}), firstImage);
        // The wall lies over the floor; the floor over the ceiling.
        QCOMPARE(o.at({0, 0}), firstImage);
        QCOMPARE(o.at({4, 4}), secondImage);
        QCOMPARE(o.at({9, 7}), secondImage);
        QCOMPARE(o.at({5, 5}), firstImage);
        QCOMPARE(o.at({3, 3}), OverviewPicture::emptyCell);
        // A hidden layer is left out.
        o.layers->setLayerHidden("Wall", true);
        o.window->redraw();
        QCOMPARE(o.at({9, 0}), OverviewPicture::emptyCell);
        QCOMPARE(o.at({0, 0}), secondImage);
    }

    void clickAndDragPanTheMap()
    {
        Overview o;
        const QRect shown = o.view->shownMapCells();
        // A click centres the map on the cell clicked.
        QTest::mouseClick(o.window, Qt::LeftButton, Qt::NoModifier, QPoint(9 * 20 + 10, 7 * 20 + 10));
        const QRect centred = o.view->shownMapCells();
        QCOMPARE(centred.size(), shown.size());
        const QPoint middle(o.view->mapWidget()->width() / 2, o.view->mapWidget()->height() / 2);
        QCOMPARE(o.view->viewCellAt(middle) - o.view->origin(), QPoint(9, 7));
        // Dragging the rectangle by two cells moves the map by two cells.
        const QPoint inside(o.window->cellArea(centred).topLeft().toPoint() + QPoint(25, 25));
        QTest::mousePress(o.window, Qt::LeftButton, Qt::NoModifier, inside);
        QMouseEvent move(QEvent::MouseMove, inside + QPoint(40, -40), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(o.window, &move);
        QCOMPARE(o.view->shownMapCells().topLeft(), centred.topLeft() + QPoint(2, -2));
    }

    void rectangleFollowsPanAndZoom()
    {
        Overview o;
        const int size = o.view->cellSize();
        const int columns = (o.view->mapWidget()->width() + size - 1) / size;
        o.view->moveViewTo({-2, -1});
        // The rectangle's left edge runs down column 2 and its top along row 1.
        QCOMPARE(o.shown({2 * 20, 1 * 20 + 15}), qRgb(255, 255, 0));
        QCOMPARE(o.shown({2 * 20 + 15, 1 * 20}), qRgb(255, 255, 0));
        QVERIFY(o.shown({2 * 20 + 15, 1 * 20 + 15}) != qRgb(255, 255, 0));
        o.view->zoomAt(2, {0, 0});
        QCOMPARE(o.view->shownMapCells().topLeft(), QPoint(2, 1));
        QCOMPARE(o.view->shownMapCells().width(), (o.view->mapWidget()->width() + size / 2 - 1) / (size / 2));
        QVERIFY(o.view->shownMapCells().width() > columns);
    }

    void redrawsAfterEditAndUndoAtMostEvery100ms()
    {
        Overview o;
        o.mouse.click(o.mouse.cellCentre(3, 3), Qt::LeftButton);
        // Not drawn at once, but within the delay.
        QCOMPARE(o.at({3, 3}), OverviewPicture::emptyCell);
        QTRY_COMPARE_WITH_TIMEOUT(o.at({3, 3}), firstImage, 1000);
        typeKey(o.MapScene::window, Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(o.at({3, 3}), OverviewPicture::emptyCell, 1000);
    }

    void ctrlWheelKeepsTheCellUnderThePointer_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<int>("notches");
        QTest::addRow("out, middle") << QPoint(300, 200) << -1;
        QTest::addRow("out twice, near the corner") << QPoint(70, 40) << -2;
        QTest::addRow("out three, far right") << QPoint(590, 450) << -3;
        QTest::addRow("out and back in") << QPoint(430, 130) << 0;
    }

    void ctrlWheelKeepsTheCellUnderThePointer()
    {
        QFETCH(QPoint, pointer);
        QFETCH(int, notches);
        MapScene s;
        // An object under the pointer stays under it.
        s.layers->addSector(s.view->placeSectorAt(s.view->viewCellAt(pointer)));
        const QPoint before = mapCellAt(s, pointer);
        if (notches == 0) {
            turnWheel(s, pointer, {0, -240}, Qt::ControlModifier);
            turnWheel(s, pointer, {0, 240}, Qt::ControlModifier);
        } else {
            for (int i = 0; i > notches; --i)
                turnWheel(s, pointer, {0, -120}, Qt::ControlModifier);
        }
        QCOMPARE(control<QSlider>(s.view, "mapViewZoomSlider")->value(), 4 + notches);
        QCOMPARE(mapCellAt(s, pointer), before);
        QCOMPARE(shownRect(s.layers->layerList("Wall").front()->properties->button).contains(pointer), true);
    }

    void wheelScrollsByWholeCellsSliderKeepsTheMiddleHomeFindsThePlayer()
    {
        MapScene s;
        // A notch scrolls three cells; a touchpad's small steps add up to them.
        turnWheel(s, {100, 100}, {0, -120});
        QCOMPARE(s.view->origin(), QPoint(0, -3));
        for (int i = 0; i < 4; ++i)
            turnWheel(s, {100, 100}, {-10, 0});
        QCOMPARE(s.view->origin(), QPoint(-1, -3));

        const QPoint middle(s.view->mapWidget()->width() / 2, s.view->mapWidget()->height() / 2);
        const QPoint centre = mapCellAt(s, middle);
        control<QSlider>(s.view, "mapViewZoomSlider")->setValue(1);
        QCOMPARE(mapCellAt(s, middle), centre);

        s.view->GoHomeEvent();
        QCOMPARE(s.view->origin(), QPoint(0, 0));
        chooseLayer(s.window, "Actor");
        Sector *player = s.view->placeSectorAt({40, 30});
        player->setSubtype("Player");
        s.layers->addSector(player);
        typeKey(s.window, Qt::Key_Home);
        QCOMPARE(mapCellAt(s, middle), QPoint(40, 30));
    }
};

QTEST_MAIN(OverviewTest)
#include "tst_overview.moc"

// The main window as a designer works it, with real mouse input and keys on
// the map of the real window: zoom and the look of tints, the mode and tool
// states, the Shift/Ctrl temporary layers, pencil, eraser, panning and the
// select-mode rubber band.
#include "testsupport.h"

#include "model/layerpane.h"
#include "model/maptile.h"
#include "model/objectbutton.h"

#include <QDialog>
#include <QGraphicsEffect>

namespace {
using Cells = std::vector<QPoint>;

Cells cellsOf(const std::vector<Sector *> &sectors)
{
    Cells cells;
    for (const Sector *sector : sectors)
        cells.emplace_back(sector->properties->mapX, sector->properties->mapY);
    return cells;
}

using Editor = MapScene;
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void zoomLaysOutAndTintsEveryLayer()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        LayerController *layers = view->layers();
        zoomKeepingOrigin(*view, 2);
        view->setOrigin(QPoint(1, view->origin().y()));
        layers->addSector(view->placeSectorAt(QPoint(3, 3)));
        Sector *wall = layers->sectorAt(2, 3); // map cell (2, 3)
        chooseLayer(*editor.window, "Floor");
        layers->addSector(view->placeSectorAt(QPoint(1, 0)));
        Sector *floor = layers->sectorAt(0, 0);
        QPushButton *button = wall->properties->button;
        const QColor blue(0, 0, 155);
        QCOMPARE(tintOf(wall), blue);
        auto drawn = [&] { return view->mapWidget()->grab(shownRect(button)).toImage(); };
        for (int value : {1, 2, 3, 4}) {
            zoomKeepingOrigin(*view, value);
            const int size = 16 * value;
            QCOMPARE(MapTile::current(view->mapWidget()).size(), QSize(size, size));
            // The wall layer, not current, moves just like the current floor layer.
            QCOMPARE(shownRect(button), QRect(3 * size, 3 * size, size, size));
            QCOMPARE(button->iconSize(), QSize(size, size));
            QCOMPARE(worldPosition(*wall->properties), QPointF(3.0 * size, 3.0 * size));
            QCOMPARE(shownRect(floor->properties->button).topLeft(), QPoint(size, 0));
            // Its tint, drawn afresh and then from the cache, looks exactly as
            // Qt's own colourise effect draws it, and no object carries one.
            QVERIFY(!button->graphicsEffect());
            const QImage tinted = drawn();
            QCOMPARE(drawn(), tinted);
            // The wall's pane tints it; untinted, it looks otherwise.
            LayerPane *pane = LayerPane::paneOf(button);
            pane->setTint(QColor());
            QVERIFY(drawn() != tinted);
            auto *reference = new QGraphicsColorizeEffect(button);
            reference->setColor(blue);
            button->setGraphicsEffect(reference);
            QCOMPARE(drawn(), tinted);
            button->setGraphicsEffect(nullptr);
            pane->setTint(blue);
        }
    }

    void startStateModesAndTemporaryLayers()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        LayerController *layers = view->layers();
        layers->addSector(view->placeSectorAt(QPoint(1, 1)));
        Sector *wall = layers->sectorAt(1, 1);
        auto state = [view, wall] {
            const std::pair<bool, const char *> flags[]
                = {{control<QRadioButton>(view, "radioPaint")->isChecked(), "edit"},
                   {control<QRadioButton>(view, "radioSelect")->isChecked(), "select"},
                   {control<QRadioButton>(view, "radioPencil")->isChecked(), "pencil"},
                   {control<QRadioButton>(view, "radioFloodFill")->isChecked(), "fill"},
                   {control<QRadioButton>(view, "radioPencil")->isEnabled(), "pencil-enabled"},
                   {control<QRadioButton>(view, "radioFloodFill")->isEnabled(), "fill-enabled"},
                   {control<QPushButton>(view, "btnEditSelection")->isEnabled(), "edit-selection"},
                   {view->toolCursor().shape() == Qt::CrossCursor, "cross"},
                   {wall->properties->button->testAttribute(Qt::WA_TransparentForMouseEvents), "click-through"},
                   {tintOf(wall).isValid(), "tinted"}};
            QStringList on;
            for (auto [set, word] : flags)
                if (set)
                    on << word;
            return on.join(' ');
        };
        QCOMPARE(window.size(), QSize(1124, 768));
        QCOMPARE(layers->currentLayer(), std::string("Wall"));
        QVERIFY(control<QListWidget>(view, "listViewTextures")->item(0)->isSelected());
        QCOMPARE(view->gallery()->currentTexture.textureName, std::string("brick.png"));
        QCOMPARE(view->cellSize(), 64);
        QCOMPARE(MapTile::current(view->mapWidget()).size(), QSize(64, 64));
        QCOMPARE(state(), QStringLiteral("edit pencil pencil-enabled fill-enabled"));
        QCOMPARE(view->toolCursor().pixmap().toImage().pixelColor(5, 5), QColor(Qt::yellow));
        QTest::mouseClick(control<QRadioButton>(view, "radioFloodFill"), Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("edit fill pencil-enabled fill-enabled click-through"));
        QCOMPARE(view->toolCursor().pixmap().toImage().pixelColor(5, 5), QColor(Qt::cyan));
        // Select mode keeps the selection; edit mode drops it. A button
        // shortcut clicks its button after a short press animation.
        layers->selectRect(1, 1, 1, 1);
        QTest::keyClick(&window, Qt::Key_S);
        QTRY_COMPARE(state(), QStringLiteral("select fill edit-selection cross click-through tinted"));
        QTest::keyClick(&window, Qt::Key_E);
        QTRY_COMPARE(state(), QStringLiteral("edit pencil pencil-enabled fill-enabled"));
        QVERIFY(layers->selection().empty());

        // Shift on the Wall layer changes nothing, but its release empties the status line.
        QTest::keyPress(&window, Qt::Key_Shift);
        QCOMPARE(view->statusText(), QStringLiteral("--"));
        QTest::keyRelease(&window, Qt::Key_Shift);
        QCOMPARE(view->statusText(), QString());
        chooseLayer(window, "Floor");
        QTest::keyPress(&window, Qt::Key_Shift);
        QCOMPARE(layers->currentLayer(), std::string("Wall"));
        QCOMPARE(view->statusText(), QStringLiteral("Temporary editing Walls layer"));
        layers->addSector(view->placeSectorAt(QPoint(2, 2)));
        // A wall, with the Floor gallery's texture.
        QCOMPARE(layers->sectorAt(2, 2)->properties->textureName, std::string("tiles.png"));
        QTest::keyPress(&window, Qt::Key_Control);
        QCOMPARE(layers->currentLayer(), std::string("Door"));
        QCOMPARE(view->statusText(), QStringLiteral("Temporary editing Doors layer"));
        QTest::keyRelease(&window, Qt::Key_Control);
        QCOMPARE(layers->currentLayer(), std::string("Floor"));
        QCOMPARE(layers->comboLayer(), std::string("Floor"));
        QCOMPARE(view->statusText(), QString());
        QCOMPARE(layers->layerList("Wall").size(), size_t(2));
        QVERIFY(layers->currentSectors().empty());
    }

    void pencilAndEraser()
    {
        Editor e;
        // A stone wall already stands in the middle of the stroke.
        control<QListWidget>(e.view, "listViewTextures")->setCurrentRow(1);
        e.click(2, 1);
        control<QListWidget>(e.view, "listViewTextures")->setCurrentRow(0);
        e.stroke({{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}});
        QCOMPARE(cellsOf(e.layers->layerList("Wall")), Cells({{2, 1}, {0, 1}, {1, 1}, {3, 1}, {4, 1}}));
        QCOMPARE(e.layers->sectorAt(2, 1)->properties->textureName, std::string("stone.png"));
        QCOMPARE(e.layers->sectorAt(4, 1)->properties->textureName, std::string("brick.png"));

        // The right button empties cells of the current layer only, also when
        // it passes a cell twice.
        chooseLayer(e.window, "Floor");
        e.mouse.drag({e.at(3, 0), e.at(3, 1)}, Qt::LeftButton);
        chooseLayer(e.window, "Wall");
        e.stroke({{1, 1}, {2, 1}, {3, 1}, {3, 1}, {2, 1}, {1, 1}}, Qt::RightButton);
        e.click(6, 6, Qt::RightButton); // nothing there
        flushDeletions();
        QCOMPARE(cellsOf(e.layers->layerList("Wall")), Cells({{0, 1}, {4, 1}}));
        QCOMPARE(e.layers->layerList("Floor").size(), size_t(2));

        // Cells left of the map's first column are refused.
        e.view->setOrigin(QPoint(2, e.view->origin().y()));
        e.click(1, 3);
        e.click(1, 3, Qt::RightButton);
        e.click(2, 3);
        QCOMPARE(cellsOf(e.layers->currentSectors()), Cells({{0, 1}, {4, 1}, {0, 3}}));
        // A light drawn with the pencil shows its level at once.
        chooseLayer(e.window, "Lightmap");
        e.click(3, 3);
        QCOMPARE(tintOf(e.layers->sectorAt(1, 3)), QColor(10, 10, 10));
    }

    void selectionByClickDragAndDeletion()
    {
        Editor e;
        for (QPoint cell : {QPoint(1, 1), QPoint(2, 1), QPoint(3, 1), QPoint(1, 2), QPoint(5, 5)})
            e.click(cell.x(), cell.y());
        QTest::mouseClick(control<QRadioButton>(e.view, "radioSelect"), Qt::LeftButton);
        e.click(2, 1);
        QCOMPARE(cellsOf(e.layers->selection()), Cells({{2, 1}}));
        QVERIFY(!e.view->tools()->selectionBand()->isVisible());

        // Dragging from bottom right to top left: a new press clears the
        // selection and the band follows the cursor.
        e.mouse.press(e.at(3, 2), Qt::LeftButton);
        QVERIFY(e.layers->selection().empty());
        e.mouse.move(e.at(1, 1));
        QVERIFY(e.view->tools()->selectionBand()->isVisible());
        const QPoint bandCorner = e.view->mapWidget()->mapToGlobal(e.at(1, 1));
        QCOMPARE(e.view->tools()->selectionBand()->geometry(), QRect(bandCorner, QSize(64 * 2 + 2, 64 + 2)));
        e.mouse.release(e.at(1, 1), Qt::LeftButton);
        QVERIFY(!e.view->tools()->selectionBand()->isVisible());
        QCOMPARE(cellsOf(e.layers->selection()), Cells({{1, 1}, {2, 1}, {3, 1}, {1, 2}}));

        // Back and forth between the modes: select keeps, edit clears.
        QTest::mouseClick(control<QRadioButton>(e.view, "radioPaint"), Qt::LeftButton);
        QVERIFY(e.layers->selection().empty());
        QTest::mouseClick(control<QRadioButton>(e.view, "radioSelect"), Qt::LeftButton);
        e.mouse.drag({e.at(1, 1), e.at(2, 1)}, Qt::LeftButton);
        QCOMPARE(e.layers->selection().size(), size_t(2));
        // A right press deletes the selection.
        e.click(8, 0, Qt::RightButton);
        QVERIFY(e.layers->selection().empty());
        flushDeletions();
        QCOMPARE(cellsOf(e.layers->currentSectors()), Cells({{3, 1}, {1, 2}, {5, 5}}));

        // A layer change cancels a drag in progress.
        e.mouse.press(e.at(1, 1), Qt::LeftButton);
        e.mouse.move(e.at(2, 2));
        QVERIFY(e.view->tools()->selectionBand()->isVisible());
        chooseLayer(e.window, "Floor");
        QVERIFY(!e.view->tools()->selectionBand()->isVisible());
        e.mouse.release(e.at(2, 2), Qt::LeftButton);
        QVERIFY(e.layers->selection().empty());

        // A floor under the wall at (1, 2), by a stroke that starts beside it
        // (the wall's button would take a press on its own cell).
        QTest::mouseClick(control<QRadioButton>(e.view, "radioPaint"), Qt::LeftButton);
        e.stroke({{0, 2}, {1, 2}});
        QTest::mouseClick(control<QRadioButton>(e.view, "radioSelect"), Qt::LeftButton);
        e.click(1, 2);
        QCOMPARE(e.layers->selection().size(), size_t(1));
        // With Shift holding the Wall layer, the selected floor is not the
        // object in that cell, and the unselected wall must survive.
        QTest::keyPress(&e.window, Qt::Key_Shift, Qt::ShiftModifier);
        e.mouse.heldKeys = Qt::ShiftModifier;
        e.click(1, 2, Qt::RightButton);
        e.mouse.heldKeys = Qt::NoModifier;
        QTest::keyRelease(&e.window, Qt::Key_Shift);
        flushDeletions();
        QVERIFY(e.layers->selection().empty());
        // Without Shift the selected floor goes.
        e.click(1, 2);
        e.click(1, 2, Qt::RightButton);
        flushDeletions();
        QCOMPARE(cellsOf(e.layers->layerList("Floor")), Cells({{0, 2}}));
        QCOMPARE(cellsOf(e.layers->layerList("Wall")), Cells({{3, 1}, {1, 2}, {5, 5}}));
    }

    void strokesAndBandsStopAtTheMapEdge()
    {
        Editor e;
        const QSize map = e.view->mapWidget()->size();
        const int lastColumn = (map.width() - 1) / 64;
        const int lastRow = (map.height() - 1) / 64;
        // Objects beyond the right and bottom edges, which the designer cannot see.
        for (QPoint cell : {QPoint(lastColumn + 1, 1), QPoint(lastColumn + 2, 1), QPoint(1, lastRow + 1)})
            e.layers->addSector(e.view->placeSectorAt(cell));
        const size_t hidden = e.layers->currentSectors().size();

        // Quick strokes: every cell between the reported positions, to the
        // edge and no further, also leaving to the left and past the window.
        e.mouse.drag({e.at(lastColumn - 4, 1), e.at(lastColumn, 1), e.at(lastColumn + 3, 1), QPoint(map.width() + 900, 80)},
                     Qt::LeftButton);
        e.mouse.drag({e.at(0, 2), e.at(4, 2), e.at(8, 2)}, Qt::LeftButton);
        e.mouse.drag({e.at(2, 3), QPoint(-30, 3 * 64 + 10), QPoint(-200, 3 * 64 + 10)}, Qt::LeftButton);
        e.mouse.drag({e.at(0, 4), e.at(5, 9)}, Qt::LeftButton); // diagonal: six rows
        for (int i = 0; i <= 8; ++i) // row 2, the last five of row 1, the first three of row 3, the diagonal
            QVERIFY2(e.layers->hasSectorAt(i, 2) && (i > 4 || e.layers->hasSectorAt(lastColumn - i, 1))
                         && (i > 2 || e.layers->hasSectorAt(i, 3)) && (i > 5 || e.layers->hasSectorAt(i, i + 4)),
                     qPrintable(QString::number(i)));
        const size_t painted = e.layers->currentSectors().size();
        QCOMPARE(painted, hidden + 5 + 9 + 3 + 6);

        // The eraser leaves what lies beyond the edge, and fills its gaps too.
        e.mouse.drag({e.at(lastColumn - 1, 1), QPoint(map.width() + 300, 80)}, Qt::RightButton);
        e.mouse.drag({e.at(0, 2), e.at(8, 2)}, Qt::RightButton);
        e.mouse.drag({e.at(1, lastRow), QPoint(80, map.height() + 300)}, Qt::RightButton);
        flushDeletions();
        QCOMPARE(e.layers->currentSectors().size(), painted - 2 - 9);
        QVERIFY(e.layers->hasSectorAt(lastColumn + 1, 1) && e.layers->hasSectorAt(1, lastRow + 1));

        // A band released below the map selects (and a right press deletes)
        // only what it shows.
        QTest::mouseClick(control<QRadioButton>(e.view, "radioSelect"), Qt::LeftButton);
        e.mouse.press(e.at(1, lastRow - 1), Qt::LeftButton);
        e.mouse.move(QPoint(100, map.height() + 200));
        const QRect band = e.view->tools()->selectionBand()->geometry();
        QCOMPARE(band.bottom(), e.view->mapWidget()->mapToGlobal(QPoint(0, map.height() - 1)).y() + 1);
        e.mouse.release(QPoint(100, map.height() + 200), Qt::LeftButton);
        e.click(1, 1, Qt::RightButton);
        flushDeletions();
        QVERIFY(e.layers->hasSectorAt(1, lastRow + 1));
    }

    void temporaryLayerFollowsTheKeysReallyHeld()
    {
        Editor e;
        e.stroke({{1, 1}, {2, 1}});
        chooseLayer(e.window, "Floor");
        // Shift goes down on the map window and up where the map window
        // cannot see it: the next press paints the Floor layer.
        QTest::keyPress(&e.window, Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(e.layers->currentLayer(), std::string("Wall"));
        QLineEdit elsewhere;
        QTest::keyRelease(&elsewhere, Qt::Key_Shift);
        e.click(3, 3);
        QCOMPARE(e.layers->currentLayer(), std::string("Floor"));
        QCOMPARE(cellsOf(e.layers->layerList("Floor")), Cells({{3, 3}}));
        // A modal window that takes the activation ends the temporary layer.
        QTest::keyPress(&e.window, Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(e.layers->currentLayer(), std::string("Door"));
        QDialog dialog(&e.window);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QTRY_COMPARE(e.layers->currentLayer(), std::string("Floor"));
        dialog.close();
        QTest::keyRelease(&elsewhere, Qt::Key_Control);
        // A key that is still held when the press comes makes its layer current.
        QApplication::setActiveWindow(&e.window);
        e.mouse.heldKeys = Qt::ShiftModifier;
        e.click(4, 4);
        e.mouse.heldKeys = Qt::NoModifier;
        QTest::keyRelease(&e.window, Qt::Key_Shift);
        QCOMPARE(cellsOf(e.layers->layerList("Wall")), Cells({{1, 1}, {2, 1}, {4, 4}}));
        QVERIFY(e.layers->layerList("Door").empty());

        // The selection stays green through Shift and Ctrl taps, and when it
        // goes, its walls take the blue of a layer that is not current.
        QTest::mouseClick(control<QRadioButton>(e.view, "radioSelect"), Qt::LeftButton);
        QTest::keyPress(&e.window, Qt::Key_Shift, Qt::ShiftModifier);
        e.mouse.heldKeys = Qt::ShiftModifier;
        e.mouse.drag({e.at(1, 1), e.at(2, 1)}, Qt::LeftButton);
        e.mouse.heldKeys = Qt::NoModifier;
        QTest::keyRelease(&e.window, Qt::Key_Shift);
        QTest::keyPress(&e.window, Qt::Key_Control, Qt::ControlModifier);
        QTest::keyRelease(&e.window, Qt::Key_Control);
        QCOMPARE(e.layers->selection().size(), size_t(2));
        for (const Sector *wall : e.layers->selection())
            QCOMPARE(tintOf(wall), QColor(0, 155, 0));
        e.click(6, 6);
        QVERIFY(e.layers->selection().empty());
        for (const Sector *wall : e.layers->layerList("Wall"))
            QCOMPARE(tintOf(wall), QColor(0, 0, 155));

        // The middle button pans one cell per step; the map keeps its objects.
        Sector *wall = e.layers->layerList("Wall").front(); // at (1, 1)
        // The anchor starts at (0, 0): a first press 40 px right pans at once.
        e.mouse.press(QPoint(40, 20), Qt::MiddleButton);
        QCOMPARE(QPoint(e.view->origin().x(), e.view->origin().y()), QPoint(1, 0));
        // Cursor -> origin: 33 px steps pan, 32 px do not (either way), diagonal ones only horizontally.
        const std::pair<QPoint, QPoint> steps[] = {{{73, 20}, {2, 0}},   {{105, 20}, {2, 0}},  {{145, 60}, {3, 0}},
                                                   {{145, 100}, {3, 1}}, {{100, 100}, {2, 1}}, {{100, 132}, {2, 1}}};
        for (auto [cursor, origin] : steps) {
            e.mouse.move(cursor);
            QCOMPARE(QPoint(e.view->origin().x(), e.view->origin().y()), origin);
        }
        e.mouse.release(QPoint(100, 132), Qt::MiddleButton);
        QCOMPARE(e.view->panAnchor(), QPoint(100, 132));
        QCOMPARE(shownRect(wall->properties->button).topLeft(), QPoint(3 * 64, 2 * 64));
        QCOMPARE(wall->properties->mapX, 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

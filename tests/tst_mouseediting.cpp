// Pencil, eraser, panning and the select-mode rubber band, with real mouse
// input on the map of the real window.
#include "testsupport.h"

#include "app/gorseed.h"
#include "gallery/texturegallery.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class MouseEditingTest : public QObject
{
    Q_OBJECT

private:
    static QVector<QPoint> rowPath(const MapMouse &mouse, int fromColumn, int toColumn, int row)
    {
        QVector<QPoint> path;
        const int step = fromColumn <= toColumn ? 1 : -1;
        for (int column = fromColumn; column != toColumn + step; column += step)
            path << mouse.cellCentre(column, row);
        return path;
    }

    static std::vector<QPoint> cellsOf(const std::vector<Sector *> &sectors)
    {
        std::vector<QPoint> cells;
        for (const Sector *sector : sectors)
            cells.emplace_back(sector->properties->mapX, sector->properties->mapY);
        return cells;
    }

    static void chooseLayer(GorseED &window, const QString &layer)
    {
        window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
    }

private slots:
    void pencilStrokesFillFreeCells()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        LayerController *layers = view->layerController;
        MapMouse mouse(window);

        // A stone wall already stands in the middle of the stroke.
        window.findChild<QListWidget *>(QStringLiteral("listViewTextures"))->setCurrentRow(1);
        mouse.click(mouse.cellCentre(2, 1), Qt::LeftButton);
        window.findChild<QListWidget *>(QStringLiteral("listViewTextures"))->setCurrentRow(0);
        mouse.drag(rowPath(mouse, 0, 4, 1), Qt::LeftButton);

        const std::vector<QPoint> expected {{2, 1}, {0, 1}, {1, 1}, {3, 1}, {4, 1}};
        QCOMPARE(cellsOf(layers->layerList("Wall")), expected);
        QCOMPARE(layers->sectorAt(2, 1)->properties->textureName, std::string("stone.png"));
        QCOMPARE(layers->sectorAt(4, 1)->properties->textureName, std::string("brick.png"));
        QCOMPARE(layers->sectorAt(4, 1)->properties->button->geometry(), QRect(256, 64, 64, 64));

        // The right button empties cells of the current layer only, also when
        // it passes a cell twice.
        chooseLayer(window, "Floor");
        mouse.drag({mouse.cellCentre(3, 0), mouse.cellCentre(3, 1)}, Qt::LeftButton);
        chooseLayer(window, "Wall");
        QVector<QPoint> back = rowPath(mouse, 1, 3, 1) + rowPath(mouse, 3, 1, 1);
        mouse.drag(back, Qt::RightButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(cellsOf(layers->layerList("Wall")), std::vector<QPoint>({{0, 1}, {4, 1}}));
        QCOMPARE(layers->layerList("Floor").size(), size_t(2));
        mouse.click(mouse.cellCentre(6, 6), Qt::RightButton); // nothing there
        QCOMPARE(layers->layerList("Wall").size(), size_t(2));
    }

    void pencilRefusesCellsLeftOfTheOrigin()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        MapMouse mouse(*editor.window);
        view->originX = 2;
        mouse.click(mouse.cellCentre(1, 1), Qt::LeftButton);
        QVERIFY(view->layerController->layerSectors.empty());
        mouse.click(mouse.cellCentre(1, 1), Qt::RightButton);
        mouse.click(mouse.cellCentre(2, 1), Qt::LeftButton);
        QCOMPARE(cellsOf(view->layerController->layerSectors), std::vector<QPoint>({{0, 1}}));
        QCOMPARE(view->layerController->layerSectors[0]->properties->button->pos(), QPoint(128, 64));

        // A light drawn with the pencil shows its level at once.
        editor.window->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText("Lightmap");
        mouse.click(mouse.cellCentre(3, 3), Qt::LeftButton);
        QCOMPARE(tintOf(view->layerController->sectorAt(1, 3)), QColor(10, 10, 10));
    }

    void middleButtonPansOneCellPerStep()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        MapMouse mouse(*editor.window);
        mouse.click(mouse.cellCentre(1, 1), Qt::LeftButton);
        Sector *wall = view->layerController->sectorAt(1, 1);

        // The anchor starts at (0, 0): a first press 40 px right pans at once.
        mouse.press(QPoint(40, 20), Qt::MiddleButton);
        QCOMPARE(view->originX, 1);
        QCOMPARE(view->originY, 0);
        mouse.move(QPoint(73, 20));
        QCOMPARE(view->originX, 2);
        mouse.move(QPoint(105, 20)); // 32 px: not more than half a cell
        QCOMPARE(view->originX, 2);
        mouse.move(QPoint(145, 60)); // both axes: horizontal only
        QCOMPARE(view->originX, 3);
        QCOMPARE(view->originY, 0);
        mouse.move(QPoint(145, 100));
        QCOMPARE(view->originY, 1);
        mouse.move(QPoint(100, 100));
        QCOMPARE(view->originX, 2);
        mouse.release(QPoint(100, 100), Qt::MiddleButton);
        QCOMPARE(view->panAnchor, QPoint(100, 100));
        QCOMPARE(wall->properties->button->pos(), QPoint(3 * 64, 2 * 64));
        QCOMPARE(wall->properties->mapX, 1);

        // The wheel neither pans nor zooms.
        QWheelEvent wheel(QPointF(50, 50), QPointF(view->mapWidget->mapToGlobal(QPoint(50, 50))), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view->mapWidget, &wheel);
        QCOMPARE(view->originX, 2);
        QCOMPARE(view->cellSize(), 64);
    }

    void rubberBandSelects()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        LayerController *layers = view->layerController;
        MapMouse mouse(window);
        for (QPoint cell : {QPoint(1, 1), QPoint(2, 1), QPoint(3, 1), QPoint(1, 2), QPoint(5, 5)})
            mouse.click(mouse.cellCentre(cell.x(), cell.y()), Qt::LeftButton);
        QTest::mouseClick(view->radioSelect, Qt::LeftButton);

        mouse.click(mouse.cellCentre(2, 1), Qt::LeftButton);
        QCOMPARE(cellsOf(layers->selectedSectors), std::vector<QPoint>({{2, 1}}));
        QVERIFY(!view->selectionBand->isVisible());

        // Dragging from bottom right to top left: the band follows the cursor.
        mouse.press(mouse.cellCentre(3, 2), Qt::LeftButton);
        QVERIFY(layers->selectedSectors.empty());
        mouse.move(mouse.cellCentre(1, 1));
        QVERIFY(view->selectionBand->isVisible());
        const QPoint bandCorner = view->mapWidget->mapToGlobal(mouse.cellCentre(1, 1));
        QCOMPARE(view->selectionBand->geometry(), QRect(bandCorner, QSize(64 * 2 + 2, 64 + 2)));
        mouse.release(mouse.cellCentre(1, 1), Qt::LeftButton);
        QVERIFY(!view->selectionBand->isVisible());
        QCOMPARE(cellsOf(layers->selectedSectors), std::vector<QPoint>({{1, 1}, {2, 1}, {3, 1}, {1, 2}}));
        QCOMPARE(tintOf(layers->selectedSectors[0]), QColor(0, 155, 0));
        QCOMPARE(view->selStartX, -1);

        // Back and forth between the modes: select keeps, edit clears.
        QTest::mouseClick(view->radioPaint, Qt::LeftButton);
        QVERIFY(layers->selectedSectors.empty());
        QTest::mouseClick(view->radioSelect, Qt::LeftButton);
        mouse.drag({mouse.cellCentre(1, 1), mouse.cellCentre(2, 1)}, Qt::LeftButton);
        QCOMPARE(layers->selectedSectors.size(), size_t(2));

        // A right press deletes the selection.
        mouse.click(mouse.cellCentre(8, 0), Qt::RightButton);
        QVERIFY(layers->selectedSectors.empty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(cellsOf(layers->layerSectors), std::vector<QPoint>({{3, 1}, {1, 2}, {5, 5}}));

        // A layer change cancels a drag in progress.
        mouse.press(mouse.cellCentre(1, 1), Qt::LeftButton);
        mouse.move(mouse.cellCentre(2, 2));
        QVERIFY(view->selectionBand->isVisible());
        chooseLayer(window, "Floor");
        QVERIFY(!view->selectionBand->isVisible());
        QCOMPARE(view->selStartX, -1);
        mouse.release(mouse.cellCentre(2, 2), Qt::LeftButton);
        QVERIFY(layers->selectedSectors.empty());
    }

    void deletingASelectionSparesOtherLayers()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        LayerController *layers = view->layerController;
        MapMouse mouse(window);
        mouse.click(mouse.cellCentre(2, 2), Qt::LeftButton);
        chooseLayer(window, "Floor");
        // The wall's button takes a pencil press on its cell; a floor goes under
        // it by a stroke that starts beside it.
        mouse.drag({mouse.cellCentre(1, 2), mouse.cellCentre(2, 2)}, Qt::LeftButton);
        QCOMPARE(layers->layerSectors.size(), size_t(2));
        QTest::mouseClick(view->radioSelect, Qt::LeftButton);
        mouse.click(mouse.cellCentre(2, 2), Qt::LeftButton);
        QCOMPARE(layers->selectedSectors.size(), size_t(1));

        // With Shift holding the Wall layer, the selected floor is not the
        // object in that cell, and the unselected wall must survive.
        QTest::keyPress(&window, Qt::Key_Shift);
        mouse.click(mouse.cellCentre(2, 2), Qt::RightButton);
        QTest::keyRelease(&window, Qt::Key_Shift);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(layers->layerList("Wall").size(), size_t(1));
        QVERIFY(layers->selectedSectors.empty());

        // Without Shift the selected floor goes.
        mouse.click(mouse.cellCentre(2, 2), Qt::LeftButton);
        mouse.click(mouse.cellCentre(2, 2), Qt::RightButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(cellsOf(layers->layerList("Floor")), std::vector<QPoint>({{1, 2}}));
        QCOMPARE(layers->layerList("Wall").size(), size_t(1));
    }
};

QTEST_MAIN(MouseEditingTest)
#include "tst_mouseediting.moc"

// Zoom and navigation on the real map: Ctrl + wheel keeps the cell under the
// pointer under it, the wheel scrolls by whole cells, the zoom slider keeps
// the middle cell, Home brings the player to the middle.
#include "testsupport.h"

#include "app/gorseed.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QApplication>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

namespace {
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

class ZoomAtPointerTest : public QObject
{
    Q_OBJECT

private slots:
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
        QCOMPARE(s.layers->layerList("Wall").front()->properties->button->geometry().contains(pointer), true);
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

QTEST_MAIN(ZoomAtPointerTest)
#include "tst_zoomatpointer.moc"

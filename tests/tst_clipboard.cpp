// Cut, copy, paste, paste in place, arrow moves and the line and rectangle
// tools, with real mouse and keys on the real window, and the clipboard text
// read back by the level reader.
#include "testsupport.h"

#include "app/gorseed.h"
#include "mapfile/clipboardtext.h"
#include "mapview/clipboardcommands.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>
#include <QUndoStack>

namespace {
struct Editor : MapScene
{
    QPoint at(int column, int row) const { return mouse.cellCentre(column, row); }
    void paint(const QString &layer, const QVector<QPoint> &cells)
    {
        window.findChild<QRadioButton *>(QStringLiteral("radioPaint"))->click();
        chooseLayer(window, layer);
        for (const QPoint &cell : cells)
            mouse.click(at(cell.x(), cell.y()), Qt::LeftButton);
    }
    void select(QPoint from, QPoint to)
    {
        window.findChild<QRadioButton *>(QStringLiteral("radioSelect"))->click();
        mouse.drag({at(from.x(), from.y()), at(to.x(), to.y())}, Qt::LeftButton);
    }
    QStringList cells(const std::string &layer)
    {
        QStringList found;
        for (Sector *sector : layers->layerList(layer))
            found << QStringLiteral("%1,%2").arg(sector->properties->mapX).arg(sector->properties->mapY);
        found.sort();
        return found;
    }
    QStringList plainMap()
    {
        layers->clearSelection();
        return objectLines(*layers, false);
    }
    QString status() const { return view->statusText(); }
    int steps() const { return view->history()->index(); }
    int lastColumn() const { return (view->mapWidget()->width() - 1) / view->cellSize(); }
};
} // namespace

class ClipboardTest : public QObject
{
    Q_OBJECT

private slots:
    void cutAndPasteInPlaceAreOneStepEach()
    {
        Editor e;
        e.paint("Wall", {{1, 1}, {2, 1}, {3, 2}});
        e.paint("Floor", {{2, 3}});
        chooseLayer(e.window, "Wall");
        e.select({1, 1}, {3, 2});
        const QStringList before = e.plainMap();
        e.select({1, 1}, {3, 2});
        const int start = e.steps();
        typeKey(e.window, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(e.status(), QString("Copied 3 objects"));
        QCOMPARE(e.steps(), start);
        // A text editor sees a small level with the image's absolute path.
        const QString text = QApplication::clipboard()->text();
        QVERIFY2(text.startsWith("#Wall\r\n") && text.contains("#Definitions")
                     && text.contains(QDir::current().absoluteFilePath("textures/Wall/brick.png")),
                 qPrintable(text));

        typeKey(e.window, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(e.status(), QString("Cut 3 objects"));
        QCOMPARE(e.cells("Wall"), QStringList());
        QCOMPARE(e.steps(), start + 1);
        typeKey(e.window, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.status(), QString("Pasted 3 objects on the Wall layer"));
        QCOMPARE(e.layers->selection().size(), size_t(3));
        QCOMPARE(e.steps(), start + 2);
        QCOMPARE(e.plainMap(), before);

        typeKey(e.window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.cells("Wall"), QStringList());
        typeKey(e.window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.plainMap(), before);
        typeKey(e.window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        typeKey(e.window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.plainMap(), before);
        // Nothing selected: the clipboard stays as it was.
        e.layers->clearSelection();
        typeKey(e.window, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), text);
        QVERIFY(e.status().startsWith("Nothing is selected"));
    }

    void pasteFloatsUntilAClickAndCountsWhatIsSkipped()
    {
        Editor e;
        const int last = e.lastColumn();
        e.paint("Wall", {{1, 1}, {2, 1}, {3, 1}, {last, 4}});
        e.select({1, 1}, {3, 1});
        typeKey(e.window, Qt::Key_C, Qt::ControlModifier);
        const int start = e.steps();
        // Esc, a right click and a mode switch cancel without a step; the
        // Ctrl and Shift of the shortcuts do not.
        for (int cancel = 0; cancel < 3; ++cancel) {
            e.mouse.move(e.at(6, 6));
            typeKey(e.window, Qt::Key_V, Qt::ControlModifier);
            QVERIFY(e.view->clipboardCommands()->pasting());
            QTest::keyPress(&e.window, Qt::Key_Shift);
            QTest::keyRelease(&e.window, Qt::Key_Shift);
            QVERIFY(e.view->clipboardCommands()->pasting());
            if (cancel == 0)
                typeKey(e.window, Qt::Key_Escape, Qt::NoModifier);
            else if (cancel == 1)
                e.mouse.click(e.at(6, 6), Qt::RightButton);
            else
                e.window.findChild<QRadioButton *>(QStringLiteral("radioPaint"))->click();
            QVERIFY(!e.view->clipboardCommands()->pasting());
            QCOMPARE(e.steps(), start);
        }
        QCOMPARE(e.cells("Wall").size(), 4);

        // The objects follow the pointer; the click places them.
        e.mouse.move(e.at(0, 5));
        typeKey(e.window, Qt::Key_V, Qt::ControlModifier);
        e.mouse.move(e.at(last - 1, 4));
        e.mouse.click(e.at(last - 1, 4), Qt::LeftButton);
        QCOMPARE(e.status(), QString("Pasted 1 object on the Wall layer; 1 cell was occupied, 1 lay off the map"));
        QCOMPARE(e.steps(), start + 1);
        QVERIFY(e.cells("Wall").contains(QStringLiteral("%1,4").arg(last - 1)));
        typeKey(e.window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.cells("Wall").size(), 4);

        // Nothing to place: no step.
        typeKey(e.window, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.status(), QString("Nothing was pasted; 3 cells were occupied"));
        QCOMPARE(e.steps(), start);
    }

    void pasteTakesObjectsBackToTheirLayerWithTheirLight()
    {
        Editor e;
        e.paint("Lightmap", {{2, 2}});
        SectorLighting light;
        light.emission = 77;
        light.emissionMin = 5;
        light.emissionMax = 200;
        light.randomIntensity = true;
        light.blinkDelay = 0.25;
        e.layers->layerList("Lightmap").front()->setLighting(light);
        e.select({2, 2}, {2, 2});
        typeKey(e.window, Qt::Key_C, Qt::ControlModifier);
        e.window.findChild<QRadioButton *>(QStringLiteral("radioPaint"))->click();
        chooseLayer(e.window, "Floor");
        typeKey(e.window, Qt::Key_V, Qt::ControlModifier);
        e.mouse.click(e.at(4, 3), Qt::LeftButton);
        QCOMPARE(e.layers->currentLayer(), std::string("Lightmap"));
        QCOMPARE(e.status(), QString("Pasted 1 object on the Lightmap layer"));
        QCOMPARE(e.cells("Lightmap"), QStringList({"2,2", "4,3"}));
        const QStringList lines = e.plainMap();
        QCOMPARE(lines.at(0).section(' ', 6), lines.at(1).section(' ', 6));
    }

    void pastedTexturesGoIntoTheLevelsFolderAtTheNextSave()
    {
        Editor e;
        const WorkingDirectory &dir = e.fixture.workdir;
        dir.writeImage("one/one/stone.png", QSize(64, 64), Qt::blue);
        dir.writeImage("two/two/tiles.png");
        dir.writeFile("one/one.map", "#Wall\r\n0,5,\r\n\r\n#Definitions\r\n5,Wall,Solid,one/stone.png\r\n");
        dir.writeFile("two/two.map", "#Floor\r\n5,\r\n\r\n#Definitions\r\n5,Floor,,two/tiles.png\r\n");
        QVERIFY(e.view->loadMapFromFile(dir.path() + "/one/one.map"));
        e.select({1, 0}, {1, 0});
        typeKey(e.window, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(e.view->loadMapFromFile(dir.path() + "/two/two.map"));
        typeKey(e.window, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.cells("Wall"), QStringList({"1,0"}));
        e.view->BtnSaveMapEvent();
        QCOMPARE(bytesOf(dir.path() + "/two/two/stone.png"), bytesOf(dir.path() + "/one/one/stone.png"));
        QVERIFY(bytesOf(dir.path() + "/two/two.map").contains(",Wall,Solid,two/stone.png"));
    }

    void arrowKeysMoveTheSelectionAsOneStep()
    {
        Editor e;
        e.paint("Wall", {{1, 1}, {2, 1}, {5, 1}});
        e.select({1, 1}, {2, 1});
        const int start = e.steps();
        QWidget *map = e.view->mapWidget();
        QVERIFY(map->hasFocus());
        QTest::keyClick(map, Qt::Key_Right);
        QTest::keyClick(map, Qt::Key_Right);
        QCOMPARE(e.cells("Wall"), QStringList({"3,1", "4,1", "5,1"}));
        // Onto the wall at (5, 1): refused whole.
        QTest::keyClick(map, Qt::Key_Right);
        QVERIFY2(e.status().contains("(5, 1) of the Wall layer is taken"), qPrintable(e.status()));
        QTest::keyClick(map, Qt::Key_Down);
        QCOMPARE(e.cells("Wall"), QStringList({"3,2", "4,2", "5,1"}));
        QCOMPARE(e.steps(), start + 1);
        QCOMPARE(e.layers->selection().size(), size_t(2));
        typeKey(e.window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.cells("Wall"), QStringList({"1,1", "2,1", "5,1"}));
        typeKey(e.window, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(e.cells("Wall"), QStringList({"3,2", "4,2", "5,1"}));
        // After a click the next move is a step of its own; off the map is refused.
        e.select({3, 2}, {3, 2});
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(map, Qt::Key_Left);
        QVERIFY(e.status().contains("off the map"));
        QCOMPARE(e.cells("Wall"), QStringList({"0,2", "4,2", "5,1"}));
        QCOMPARE(e.steps(), start + 2);
    }

    void clipboardTextIsReadAsALevel_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("words") << QByteArray("a wall, please") << "no GorseED objects";
        QTest::newRow("relative image") << QByteArray("#Door\n7,\n\n#Definitions\n7,Door,RedKeyDoor,x/door.png\n")
                                        << "Door Door RedKeyDoor  0 0";
        QTest::newRow("link out of its folder")
            << QByteArray("#Wall\n0,7,\n\n#Definitions\n7,Wall,Solid,@/link.png\n") << "leads out of its folder";
        QTest::newRow("too large") << QByteArray(LevelLimits::fileBytes + 1, '0') << "larger than 256 MiB";
    }

    void clipboardTextIsReadAsALevel()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, outcome);
        WorkingDirectory dir;
        dir.writeImage("outside/real.png");
        dir.makeFolder("level");
        QFile::link(dir.path() + "/outside/real.png", dir.path() + "/level/link.png");
        QMimeData data;
        data.setText(QString::fromUtf8(text.replace("@", (dir.path() + "/level").toUtf8())));
        const ClipboardCommands::Copied copied = ClipboardCommands::readClipboard(&data);
        QString seen = copied.error + copied.refused.join(' ');
        for (const ObjectRecord &r : copied.objects)
            seen += QString::fromStdString(r.layer + ' ' + r.kind + ' ' + r.subtype + ' ' + r.texture.imagePath() + ' ')
                + QStringLiteral("%1 %2").arg(r.mapX).arg(r.mapY);
        QVERIFY2(seen.contains(outcome), qPrintable(seen));
    }

    void lineAndRectanglePlaceTheFreeCellsOfTheirShape_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("placed");
        QTest::newRow("line") << "radioLine"
                              << "release"
                              << "6 x 1" << 5;
        QTest::newRow("rectangle") << "radioRectangle"
                                   << "release"
                                   << "6 x 3" << 13;
        QTest::newRow("escape") << "radioRectangle"
                                << "escape"
                                << "6 x 3" << 0;
        QTest::newRow("right click") << "radioLine"
                                     << "right"
                                     << "6 x 1" << 0;
    }

    void lineAndRectanglePlaceTheFreeCellsOfTheirShape()
    {
        QFETCH(QString, tool);
        QFETCH(QString, end);
        QFETCH(QString, size);
        QFETCH(int, placed);
        Editor e;
        e.paint("Wall", {{3, 1}});
        const int start = e.steps();
        e.window.findChild<QRadioButton *>(tool)->click();
        const int bottom = tool == "radioLine" ? 1 : 3;
        e.mouse.press(e.at(1, 1), Qt::LeftButton);
        e.mouse.move(e.at(6, bottom));
        QCOMPARE(e.status(), size);
        if (end == "escape")
            typeKey(e.window, Qt::Key_Escape, Qt::NoModifier);
        else if (end == "right")
            e.mouse.click(e.at(6, bottom), Qt::RightButton);
        e.mouse.release(e.at(6, bottom), Qt::LeftButton);
        QCOMPARE(e.cells("Wall").size(), placed + 1);
        QCOMPARE(e.steps(), start + (placed ? 1 : 0));
        if (placed) {
            typeKey(e.window, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(e.cells("Wall"), QStringList({"3,1"}));
        }
    }
};

QTEST_MAIN(ClipboardTest)
#include "tst_clipboard.moc"

// Cut, copy, paste, paste in place, arrow moves and the line and rectangle
// tools, with real mouse and keys on the real window, and the clipboard text
// read back by the level reader.
#include "testsupport.h"

#include "mapfile/clipboardtext.h"
#include "mapview/clipboardcommands.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QUndoStack>

namespace {
struct Editor : MapScene
{
    void paint(const char *layer, const QVector<QPoint> &cells)
    {
        tool("radioPaint");
        chooseLayer(window, layer);
        for (const QPoint &cell : cells)
            click(cell.x(), cell.y());
    }
    void select(QPoint from, QPoint to)
    {
        tool("radioSelect");
        stroke({from, to});
    }
    QStringList plainMap()
    {
        layers->clearSelection();
        return objectLines(*layers, false);
    }
    void key(int key, Qt::KeyboardModifiers held = Qt::ControlModifier) { typeKey(window, key, held); }
    QString status() const { return view->statusText(); }
    int steps() const { return view->history()->stack()->index(); }
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
        const QStringList before = e.plainMap();
        e.select({1, 1}, {3, 2});
        e.key(Qt::Key_C);
        QCOMPARE(e.status(), QString("Copied 3 objects"));
        // A text editor sees a small level with the image's absolute path.
        const QString text = QApplication::clipboard()->text();
        QVERIFY2(text.startsWith("#Wall\r\n") && text.contains("#Definitions")
                     && text.contains(QDir::current().absoluteFilePath("textures/Wall/brick.png")),
                 qPrintable(text));

        e.key(Qt::Key_X);
        QCOMPARE(e.status(), QString("Cut 3 objects"));
        QCOMPARE(e.cells("Wall"), QStringList());
        e.key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.status(), QString("Pasted 3 objects on the Wall layer"));
        QCOMPARE(e.layers->selection().size(), size_t(3));
        QCOMPARE(e.plainMap(), before);
        // One step each: one undo takes the paste away, the next brings back what was cut.
        e.key(Qt::Key_Z);
        QCOMPARE(e.cells("Wall"), QStringList());
        e.key(Qt::Key_Z);
        QCOMPARE(e.plainMap(), before);
        e.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        e.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.plainMap(), before);
        // Nothing selected: the clipboard stays as it was.
        e.layers->clearSelection();
        e.key(Qt::Key_C);
        QCOMPARE(QApplication::clipboard()->text(), text);
        QVERIFY(e.status().startsWith("Nothing is selected"));
    }

    void pasteFloatsUntilAClickAndCountsWhatIsSkipped()
    {
        Editor e;
        // The last column in sight, which may show only in part: clicked where it shows.
        const int width = e.view->mapWidget()->width();
        const int last = (width - 1) / e.view->cellSize();
        e.paint("Wall", {{1, 1}, {2, 1}, {3, 1}});
        e.mouse.click(QPoint(std::min(e.at(last, 4).x(), width - 2), e.at(last, 4).y()), Qt::LeftButton);
        e.select({1, 1}, {3, 1});
        e.key(Qt::Key_C);
        const int start = e.steps();
        // Esc, a right click and a mode switch cancel without a step; the
        // Ctrl and Shift of the shortcuts do not.
        for (int cancel = 0; cancel < 3; ++cancel) {
            e.mouse.move(e.at(6, 6));
            e.key(Qt::Key_V);
            QTest::keyPress(&e.window, Qt::Key_Shift);
            QTest::keyRelease(&e.window, Qt::Key_Shift);
            QVERIFY(e.view->clipboardCommands()->pasting());
            if (cancel == 0)
                e.key(Qt::Key_Escape, Qt::NoModifier);
            else if (cancel == 1)
                e.mouse.click(e.at(6, 6), Qt::RightButton);
            else
                e.tool("radioPaint");
            QVERIFY(!e.view->clipboardCommands()->pasting());
            QCOMPARE(e.steps(), start);
        }
        QCOMPARE(e.cells("Wall").size(), 4);

        // The objects follow the pointer; the click places them.
        e.mouse.move(e.at(0, 5));
        e.key(Qt::Key_V);
        e.mouse.move(e.at(last - 1, 4));
        e.mouse.click(e.at(last - 1, 4), Qt::LeftButton);
        QCOMPARE(e.status(), QString("Pasted 1 object on the Wall layer; 1 cell was occupied, 1 lay off the map"));
        QCOMPARE(e.steps(), start + 1);
        QVERIFY(e.cells("Wall").contains(QStringLiteral("%1,4").arg(last - 1)));
        e.key(Qt::Key_Z);
        QCOMPARE(e.cells("Wall").size(), 4);

        // Nothing to place: no step.
        e.key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.status(), QString("Nothing was pasted; 3 cells were occupied"));
        QCOMPARE(e.steps(), start);
    }

    void pasteTakesObjectsBackToTheirLayerWithTheirLight()
    {
        Editor e;
        e.paint("Lightmap", {{2, 2}});
        // Emission 77 from 5 to 200, at random, blinking every 0.25 s.
        e.layers->layerList("Lightmap").front()->setLighting({0, 255, 0.25, 77, 5, 200, false, true});
        e.select({2, 2}, {2, 2});
        e.key(Qt::Key_C);
        e.paint("Floor", {});
        e.key(Qt::Key_V);
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
        QVERIFY(e.view->files()->loadMapFromFile(dir.path() + "/one/one.map"));
        e.select({1, 0}, {1, 0});
        e.key(Qt::Key_C);
        QVERIFY(e.view->files()->loadMapFromFile(dir.path() + "/two/two.map"));
        e.key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.cells("Wall"), QStringList({"1,0"}));
        e.view->files()->saveLevel();
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
        QTest::keyClick(map, Qt::Key_Right);
        QTest::keyClick(map, Qt::Key_Right);
        QCOMPARE(e.cells("Wall"), QStringList({"3,1", "4,1", "5,1"}));
        // Onto the wall at (5, 1): refused whole. One undo takes back all three moves.
        QTest::keyClick(map, Qt::Key_Right);
        QVERIFY2(e.status().contains("(5, 1) of the Wall layer is taken"), qPrintable(e.status()));
        QTest::keyClick(map, Qt::Key_Down);
        QCOMPARE(e.cells("Wall"), QStringList({"3,2", "4,2", "5,1"}));
        QCOMPARE(e.layers->selection().size(), size_t(2));
        e.key(Qt::Key_Z);
        QCOMPARE(e.cells("Wall"), QStringList({"1,1", "2,1", "5,1"}));
        e.key(Qt::Key_Y);
        QCOMPARE(e.cells("Wall"), QStringList({"3,2", "4,2", "5,1"}));
        // After a click the next move is a step of its own; off the map is refused.
        e.select({3, 2}, {3, 2});
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(map, Qt::Key_Left);
        QVERIFY(e.status().contains("off the map"));
        QCOMPARE(e.cells("Wall"), QStringList({"0,2", "4,2", "5,1"}));
        QCOMPARE(e.steps(), start + 2);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(map, Qt::Key_Up);
        QVERIFY(e.status().contains("off the map"));
        QCOMPARE(e.cells("Wall"), QStringList({"0,0", "4,2", "5,1"}));
        // Into the next block of cells, the wall shows in its new cell.
        zoomKeepingOrigin(*e.view, 1);
        e.select({4, 2}, {4, 2});
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(map, Qt::Key_Right);
        QCOMPARE(e.cells("Wall"), QStringList({"0,0", "16,2", "5,1"}));
        const QPushButton *moved = e.layers->sectorAt(16, 2)->properties->button;
        QCOMPARE(shownRect(moved), QRect((QPoint(16, 2) + e.view->origin()) * 16, QSize(16, 16)));
        QCOMPARE(moved->visibleRegion().boundingRect(), moved->rect());
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
        QTest::addColumn<bool>("line");
        QTest::addColumn<QString>("end"); // how the drag ends: "release", "escape" or a "right" click
        QTest::addColumn<int>("placed");
        QTest::newRow("line") << true << "release" << 5;
        QTest::newRow("rectangle") << false << "release" << 13;
        QTest::newRow("escape") << false << "escape" << 0;
        QTest::newRow("right click") << true << "right" << 0;
    }

    void lineAndRectanglePlaceTheFreeCellsOfTheirShape()
    {
        QFETCH(bool, line);
        QFETCH(QString, end);
        QFETCH(int, placed);
        Editor e;
        e.paint("Wall", {{3, 1}});
        const int start = e.steps();
        e.tool(line ? "radioLine" : "radioRectangle");
        const int bottom = line ? 1 : 3;
        e.mouse.press(e.at(1, 1), Qt::LeftButton);
        e.mouse.move(e.at(6, bottom));
        QCOMPARE(e.status(), QStringLiteral("6 x %1").arg(bottom));
        if (end == "escape")
            e.key(Qt::Key_Escape, Qt::NoModifier);
        else if (end == "right")
            e.mouse.click(e.at(6, bottom), Qt::RightButton);
        e.mouse.release(e.at(6, bottom), Qt::LeftButton);
        QCOMPARE(e.cells("Wall").size(), placed + 1);
        QCOMPARE(e.steps(), start + (placed ? 1 : 0));
        if (placed) {
            e.key(Qt::Key_Z);
            QCOMPARE(e.cells("Wall"), QStringList({"3,1"}));
        }
    }
};

QTEST_MAIN(ClipboardTest)
#include "tst_clipboard.moc"

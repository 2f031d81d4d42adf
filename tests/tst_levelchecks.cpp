// The level checks on small levels, through both callers: GorseED --check's
// file check and the editor after loading the same file. Then the "Level
// Problems" window: F7, the status after load and save, and going to a problem.
#include "testsupport.h"

#include "checks/levelfile.h"
#include "checks/levelrules.h"
#include "checks/problemtext.h"
#include "mapview/levelproblemswindow.h"

#include <QApplication>
#include <QClipboard>
#include <QShortcut>
#include <QTreeWidget>

namespace {
// One character per cell: what the cell holds, as "layer (= kind) subtype".
const std::vector<std::pair<QChar, QStringList>> glyphs = {
    {'#', {"Wall Solid"}},   {'d', {"Door Solid"}},   {'B', {"Door BlueKeyDoor"}}, {'R', {"Door RedKeyDoor"}},
    {'P', {"Actor Player"}}, {'S', {"Actor Soldier"}}, {'E', {"Item LevelEnd"}},    {'b', {"Item BlueKey"}},
    {'r', {"Item RedKey"}},  {'&', {"Wall Solid", "Actor Soldier"}}, {'%', {"Wall Solid", "Item Healthpack"}},
    {'*', {"Wall Solid", "Sprite Solid"}}, {'+', {"Wall Solid", "Sprite No Collision"}}};

// A ".map" text drawn as a picture, one string per row.
QByteArray levelText(const QStringList &picture)
{
    QStringList objects; // numbered from 1 in the order of the table
    for (const auto &glyph : glyphs)
        for (const QString &object : glyph.second)
            if (!objects.contains(object))
                objects << object;
    QStringList lines;
    for (const QString layer : {"Wall", "Door", "Actor", "Item", "Sprite"}) {
        lines << "#" + layer;
        for (const QString &row : picture) {
            QString cells;
            for (QChar c : row) {
                int id = 0;
                for (const auto &[glyph, held] : glyphs)
                    for (const QString &object : held)
                        if (glyph == c && object.startsWith(layer + ' '))
                            id = objects.indexOf(object) + 1;
                cells += QString::number(id) + ',';
            }
            lines << cells;
        }
        lines << QString();
    }
    lines << QStringLiteral("#Definitions");
    for (int i = 0; i < objects.size(); ++i)
        lines << QStringLiteral("%1,%2,%3,lev/x.png").arg(i + 1).arg(objects[i].section(' ', 0, 0),
                                                                     objects[i].section(' ', 1));
    return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

// A real double-click on a row, through the window as the system delivers it.
void doubleClickRow(LevelProblemsWindow *window, int row)
{
    QTreeWidget *list = window->problemList;
    const QPoint centre = list->visualItemRect(list->topLevelItem(row)).center();
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, list->viewport()->mapTo(window, centre));
}

QStringList compilerLines(const LevelProblems &problems)
{
    QStringList lines;
    for (const LevelProblem &problem : problems)
        lines << QString::fromStdString(ProblemText::compilerLine("t.map", problem));
    return lines;
}
} // namespace

class LevelChecksTest : public QObject
{
    Q_OBJECT

    MapScene scene;

private slots:
    void initTestCase()
    {
        scene.fixture.workdir.writeImage(QStringLiteral("lev/x.png"));
        scene.fixture.workdir.writeFile(QStringLiteral("lev/text.png"), "not a picture");
    }

    void rules_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        const QString f = QStringLiteral("t.map: error: ");
        QTest::newRow("closed room, level end reachable")
            << levelText({"#####", "#P.E#", "#####"}) << QStringList();
        QTest::newRow("no player") << levelText({"#####", "#S.E#", "#####"})
                                   << QStringList {f + "the level has no player: place an Actor of subtype Player"};
        QTest::newRow("two players")
            << levelText({"######", "#P.EP#", "######"})
            << QStringList {f + "(4, 1) Actor: the level has 2 players; the game needs exactly one (the first is at (1, 1))"};
        QTest::newRow("no level end")
            << levelText({"#####", "#P..#", "#####"})
            << QStringList {f + "the level has no level end: place an Item of subtype LevelEnd"};
        QTest::newRow("key door without key, key without door")
            << levelText({"#######", "#PrB.E#", "#.B...#", "#######"})
            << QStringList {f + "(3, 1) Door: the blue key door cannot be opened: there is no blue key on the level "
                                "(nor for 1 more blue key doors)",
                            "t.map: warning: (2, 1) Item: the red key opens nothing: there is no red key door on "
                            "the level",
                            f + "(5, 1) Item: the level end cannot be reached from the player at (1, 1); the blue "
                                "key door at (3, 1) stays shut because its key cannot be reached"};
        QTest::newRow("stuck in walls; a sprite without collision is not")
            << levelText({"#&#*#+%#", "#P....E#", "########"})
            << QStringList {"t.map: warning: (1, 0) Actor: Soldier is stuck in a wall",
                            "t.map: warning: (3, 0) Sprite: Solid sprite is stuck in a wall",
                            "t.map: warning: (6, 0) Item: Healthpack is stuck in a wall"};
        QTest::newRow("open to the void; a door closes")
            << levelText({"######", "#P...E", "#.####", "d.#", "###"})
            << QStringList {f + "(5, 1) Wall: the player's area is open to the void here: the player at (1, 1) "
                                "can walk off the level; close it with walls"};
        QTest::newRow("plain door opens; a key opens its door")
            << levelText({"##########", "#PdbB.rRE#", "##########"}) << QStringList();
        QTest::newRow("key behind its own door")
            << levelText({"########", "#P.B.bE#", "########"})
            << QStringList {f + "(6, 1) Item: the level end cannot be reached from the player at (1, 1); the blue "
                                "key door at (3, 1) stays shut because its key cannot be reached"};
        // What the reader skips or mends, at its line; the level itself is sound.
        // Definition lines are read when a cell uses them, so the top wall uses
        // the odd ones.
        const QString w = QStringLiteral("t.map:%1: warning: ");
        QTest::newRow("file problems")
            << QByteArray("#Wall\n4,5,6,8,\n1,7,x,9,\n1,1,1,1,\n\n#Actor\n0,0,0,0,\n0,2,3,0,\n7,0,0,0,\n\n"
                          "#Definitions\n1,Wall,Solid,lev/x.png\n1,Wall,Solid,lev/x.png\n2,Actor,Player,lev/x.png\n"
                          "3,Item,LevelEnd,lev/missing.png\n4,Gate,Solid,lev/x.png\n5,Door,Purple,lev/x.png\n"
                          "6,Wall,Solid,lev/../../x.png\n8,Wall\n9,Wall,Solid,lev/text.png\n")
            << QStringList {w.arg(3) + "a cell names 7, which has no definition; the cell stays empty (1 more cell like it)",
                            w.arg(3) + "a cell holds \"x\", which is not a number and names no definition; the cell "
                                       "stays empty",
                            w.arg(13) + "a second definition of 1; the one on line 12 is used",
                            w.arg(15) + "the texture \"lev/missing.png\" of the definition of 3 does not exist; its "
                                        "objects show no image, and a save keeps the reference as it is",
                            w.arg(16) + "the definition of 4 has the kind \"Gate\", which is no layer of the editor",
                            w.arg(17) + "the definition of 5 gives Door the subtype \"Purple\", which Door does not have",
                            "t.map:18: error: the texture \"lev/../../x.png\" of the definition of 6 leads out of the "
                            "level's folder; it is not read, and a save keeps the reference as it is",
                            w.arg(19) + "the definition of 8 has 2 of the 4 fields it needs; the missing ones are taken "
                                        "as empty",
                            w.arg(20) + "the texture \"lev/text.png\" of the definition of 9 is not an image; its "
                                        "objects show no image, and a save keeps the reference as it is"};
    }

    void rules()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        scene.fixture.workdir.writeFile(QStringLiteral("t.map"), text);
        const LevelFileReport report = LevelFile::check(QStringLiteral("t.map"));
        QVERIFY(report.readable);
        QCOMPARE(compilerLines(report.problems), expected);
        // The image that is none is also named in the load's own warning.
        const bool warned = QByteArray(QTest::currentDataTag()) == "file problems";
        const auto box = warned ? answerNextMessageBox(QMessageBox::Ok) : nullptr;
        QVERIFY(scene.view->files()->loadMapFromFile(QStringLiteral("t.map")));
        if (box) {
            QVERIFY(box->seen && box->text.contains(QStringLiteral("text.png")));
            // The window takes the keys again, as a window manager gives them back.
            scene.window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&scene.window));
        }
        QCOMPARE(compilerLines(scene.view->problems()->checkCurrentLevel()), expected);
    }

    // Stuck objects by the thousand: the first 100 listed, the rest counted.
    void stuckObjectsListedBriefly()
    {
        std::vector<LevelObject> objects;
        for (int32_t x = 0; x < 150; ++x)
            objects.insert(objects.end(), {{"Wall", "Wall", "Solid", x, 0}, {"Actor", "Actor", "Soldier", x, 0}});
        const QStringList stuck = compilerLines(checkLevel(objects)).filter("stuck");
        QCOMPARE(stuck.size(), 101);
        QCOMPARE(stuck.last(), "t.map: warning: (100, 0) Actor: 50 more objects from here on are stuck in walls and not "
                               "listed");
    }

    // F7 lists the problems of the level loaded; a double-click goes to one;
    // loads, saves and Refresh keep the list and the status up to date.
    void problemsWindow()
    {
        MapView *view = scene.view;
        auto *combo = scene.window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"));
        scene.fixture.workdir.writeFile(QStringLiteral("open.map"), levelText({"######", "#P....", "######"}));
        QVERIFY(view->files()->loadMapFromFile(QStringLiteral("open.map")));
        QCOMPARE(statusText(scene.window), QStringLiteral("Loaded open.map: 2 errors (F7 lists them)"));

        QTest::keyClick(&scene.window, Qt::Key_F7);
        auto *window = scene.window.findChild<LevelProblemsWindow *>(QStringLiteral("levelProblems"));
        QVERIFY(window && window->isVisible());
        QTreeWidget *list = window->problemList;
        QCOMPARE(list->topLevelItemCount(), 2);
        QVERIFY(list->topLevelItem(0)->text(2).startsWith(QStringLiteral("the level has no level end")));
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("(5, 1) Wall"));
        // Its copy shortcut (Ctrl+C) copies the selected rows as the lines GorseED --check prints.
        list->selectAll();
        emit list->findChild<QShortcut *>()->activated();
        QCOMPARE(QApplication::clipboard()->text().count(QStringLiteral("open.map: error: ")), 2);

        // The open cell comes to the middle of the map, with the walls around it.
        chooseLayer(scene.window, QStringLiteral("Actor"));
        doubleClickRow(window, 1);
        QCOMPARE(combo->currentText(), QStringLiteral("Wall"));
        const int size = view->cellSize();
        const QPoint middle(view->mapWidget()->width() / 2, view->mapWidget()->height() / 2);
        QVERIFY(QRect((5 + view->origin().x()) * size, (1 + view->origin().y()) * size, size, size).contains(middle));
        QCOMPARE(shownRect(scene.layers->sectorAt(4, 0)->properties->button).topLeft(),
                 QPoint((4 + view->origin().x()) * size, view->origin().y() * size));
        QVERIFY(statusText(scene.window).startsWith(QStringLiteral("(5, 1) Wall: the player's area is open")));

        // A load while the window is open lists the new level; going to a
        // problem on an object selects it.
        scene.fixture.workdir.writeFile(QStringLiteral("two.map"), levelText({"######", "#PSEP#", "######"}));
        QVERIFY(view->files()->loadMapFromFile(QStringLiteral("two.map")));
        QCOMPARE(list->topLevelItemCount(), 1);
        doubleClickRow(window, 0);
        QCOMPARE(combo->currentText(), QStringLiteral("Actor"));
        QVERIFY(control<QRadioButton>(view, "radioSelect")->isChecked());
        QCOMPARE(scene.layers->selection(), std::vector<Sector *>({scene.layers->sectorAt(4, 1)}));

        // Problems never block a save; the status names them.
        view->files()->showEditedFile(scene.fixture.workdir.path() + QStringLiteral("/saved.map"));
        view->files()->saveLevel();
        QVERIFY(QFileInfo::exists(view->files()->editedFileName()));
        QCOMPARE(statusText(scene.window), QStringLiteral("Saved saved.map: 1 error (F7 lists them)"));

        // Refresh sees the edits made since.
        scene.layers->removeSectorAt(4, 1);
        window->refreshButton->click();
        QCOMPARE(list->topLevelItemCount(), 0);
        QCOMPARE(window->summaryLabel->text(), QStringLiteral("saved.map: no problems"));

        // A file problem shows its line.
        scene.fixture.workdir.writeFile(QStringLiteral("cells.map"),
                                         "#Ceil\r\n77,\r\n\r\n" + levelText({"#####", "#P.E#", "#####"}));
        QVERIFY(view->files()->loadMapFromFile(QStringLiteral("cells.map")));
        QCOMPARE(statusText(scene.window), QStringLiteral("Loaded cells.map: 1 warning (F7 lists them)"));
        doubleClickRow(window, 0);
        QCOMPARE(statusText(scene.window),
                 QStringLiteral("cells.map, line 2: a cell names 77, which has no definition; the cell stays empty"));
    }
};

QTEST_MAIN(LevelChecksTest)
#include "tst_levelchecks.moc"

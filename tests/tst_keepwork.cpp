// A designer's work is never thrown away without a word: the unsaved mark in
// the title, the question before a close or a load, the recovery copies, and
// the object limit that keeps every saved level loadable.
#include "testsupport.h"

#include "level/levellimits.h"
#include "mapview/recoverycopies.h"
#include "mapview/unsavedchangesguard.h"
#include "model/mapedits.h"
#include "model/placementcontext.h"
#include "properties/pointlight.h"

class KeepWorkTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void titleMarksUnsavedChangesAndAFailedCopyIsToldOnce()
    {
        MapScene scene;
        const auto key = [&](Qt::Key key) { QTest::keyClick(&scene.window, key, Qt::ControlModifier); };
        scene.click(1, 1);
        QCOMPARE(scene.window.windowTitle(), QStringLiteral("*GorseED"));
        key(Qt::Key_Z);
        QCOMPARE(scene.window.windowTitle(), QStringLiteral("GorseED"));
        key(Qt::Key_Y);
        QCOMPARE(scene.window.windowTitle(), QStringLiteral("*GorseED"));
        const QString title = "Editing: " + scene.fixture.workdir.path() + "/level.map - GorseED";
        scene.view->files()->showEditedFile(scene.fixture.workdir.path() + "/level.map");
        QVERIFY(scene.view->files()->saveLevel() && scene.window.windowTitle() == title);
        scene.click(2, 1);
        QCOMPARE(scene.window.windowTitle(), "*" + title);
        // Undone back to the saved level, the mark goes again.
        key(Qt::Key_Z);
        QCOMPARE(scene.window.windowTitle(), title);

        // A recovery copy that cannot be written is told of once.
        scene.fixture.workdir.writeFile("blocked", "a file where the folder should be");
        RecoveryCopies copies(*scene.view, scene.fixture.workdir.path() + "/blocked/recovery");
        scene.click(3, 1);
        QVERIFY(!copies.writeCopyIfDue());
        QVERIFY(scene.view->statusText().startsWith("The recovery copy could not be written"));
        scene.view->showStatus("painting on");
        QVERIFY(!copies.writeCopyIfDue());
        QCOMPARE(scene.view->statusText(), QStringLiteral("painting on"));
    }

    void questionBeforeWorkIsThrownAway_data()
    {
        QTest::addColumn<bool>("closing");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("levelName"); // "" never saved, "missing/..." a save that fails
        QTest::addColumn<bool>("goesOn");
        for (const bool closing : {true, false}) {
            const char *what = closing ? "close" : "load";
            const int save = QMessageBox::Save;
            QTest::addRow("%s, save", what) << closing << save << "level.map" << true;
            QTest::addRow("%s, failing save", what) << closing << save << "missing/level.map" << false;
            QTest::addRow("%s, save dialog cancelled", what) << closing << save << "" << false;
            QTest::addRow("%s, discard", what) << closing << int(QMessageBox::Discard) << "level.map" << true;
            QTest::addRow("%s, cancel", what) << closing << int(QMessageBox::Cancel) << "level.map" << false;
        }
    }

    void questionBeforeWorkIsThrownAway()
    {
        QFETCH(bool, closing);
        QFETCH(int, answer);
        QFETCH(QString, levelName);
        QFETCH(bool, goesOn);
        MapScene scene;
        const QString level = levelName.isEmpty() ? QString() : scene.fixture.workdir.path() + "/" + levelName;
        const QString other = scene.fixture.workdir.path() + "/other.map";
        scene.fixture.workdir.writeImage("other/a.png");
        scene.fixture.workdir.writeFile("other.map", "#Floor\r\n5,\r\n\r\n#Definitions\r\n5,Floor,,other/a.png\r\n");
        // Whether the window closed, or the level other.map (a floor) was loaded in place of the walls.
        const auto replace = [&] {
            if (closing)
                return scene.window.close();
            control<QPushButton>(scene.view, "btnLoadMap")->click();
            return scene.layers->layerList("Wall").empty() && scene.layers->layerList("Floor").size() == 1;
        };
        // Unchanged, nothing is asked.
        if (!closing)
            answerNextFileDialog(other);
        QVERIFY(replace());
        scene.window.show();
        scene.view->files()->showEditedFile(level);

        chooseLayer(scene.window, "Wall");
        scene.click(1, 1);
        const auto question = answerNextMessageBox(QMessageBox::StandardButton(answer));
        const bool failing = levelName.startsWith("missing");
        const auto warning = failing ? answerNextMessageBox(QMessageBox::Ok) : nullptr;
        if (levelName.isEmpty() || (!closing && goesOn))
            answerNextFileDialog(levelName.isEmpty() ? QString() : other);
        QCOMPARE(replace(), goesOn);
        QVERIFY(question->seen && question->text.contains("unsaved changes"));
        QVERIFY(!failing || warning->seen);
        QCOMPARE(QFile::exists(level), answer == QMessageBox::Save && goesOn);
        // Whatever the answer, the walls stay until another level really replaces them.
        QCOMPARE(scene.layers->layerList("Wall").size(), size_t(closing || !goesOn));
    }

    void recoveryCopies()
    {
        MapScene first;
        const QString folder = first.fixture.workdir.path() + "/recovery";
        const QString level = first.fixture.workdir.path() + "/level.map";
        first.view->files()->showEditedFile(level);
        RecoveryCopies copies(*first.view, folder);
        QVERIFY(copies.writeCopyIfDue() && !QFile::exists(copies.copyFile()));

        // Never in the middle of a stroke.
        first.mouse.press(first.mouse.cellCentre(1, 1), Qt::LeftButton);
        QVERIFY(!copies.writeCopyIfDue() && !QFile::exists(copies.copyFile()));
        first.mouse.release(first.mouse.cellCentre(1, 1), Qt::LeftButton);
        copies.setInterval(10);
        QTRY_VERIFY(QFile::exists(copies.copyFile()));
        const QString brick = QFileInfo("textures/Wall/brick.png").absoluteFilePath();
        QVERIFY(bytesOf(copies.copyFile()).contains(",Wall,Solid," + brick.toUtf8() + "\r\n"));
        QVERIFY(!QFile::exists(level));

        // An editor that was killed, and one still running: only the first is offered.
        QFile::copy(copies.copyFile(), folder + "/copy-killed.map");
        QFile::copy(QString(copies.copyFile()).replace(".map", ".level"), folder + "/copy-killed.level");
        MapScene second;
        RecoveryCopies secondCopies(*second.view, folder);
        const auto offer = answerNextMessageBox(QMessageBox::Ok);
        secondCopies.offerCopiesLeftBehind();
        QVERIFY(offer->seen && offer->text.contains("level.map"));
        QCOMPARE(second.window.windowTitle(), "*Editing: " + level + " - GorseED");
        QCOMPARE(second.layers->layerList("Wall").at(0)->properties->textureDir + "brick.png",
                 QFileInfo(brick).absolutePath().toStdString() + "/brick.png");
        // The restoring editor keeps a copy of its own in place of the killed one's.
        QVERIFY(QFile::exists(secondCopies.copyFile()) && QFile::exists(copies.copyFile()));
        QVERIFY(!QFile::exists(folder + "/copy-killed.map"));
        // Ctrl+S writes the restored level to its own file and removes the copy.
        QVERIFY(second.view->files()->saveLevel() && bytesOf(level).contains("#Wall\r\n0,0,\r\n0,"));
        QVERIFY(bytesOf(level).contains(",Wall,Solid,level/brick.png\r\n"));
        QVERIFY(!QFile::exists(secondCopies.copyFile()));

        // Discarded at start, or after a question: the copy goes.
        QFile::copy(copies.copyFile(), folder + "/copy-killed.map");
        answerNextMessageBox(QMessageBox::Discard);
        secondCopies.offerCopiesLeftBehind();
        QVERIFY(!QFile::exists(folder + "/copy-killed.map"));
        answerNextMessageBox(QMessageBox::Discard);
        QVERIFY(first.view->unsavedChanges()->mayReplaceLevel(UnsavedChangesGuard::Closing));
        QVERIFY(!QFile::exists(copies.copyFile()));

        // A copy that cannot be read is told of and kept aside.
        first.fixture.workdir.writeFile("recovery/copy-broken.map", "\x01\x02 not a level");
        answerNextMessageBox(QMessageBox::Ok);
        const auto told = answerNextMessageBox(QMessageBox::Ok);
        secondCopies.offerCopiesLeftBehind();
        QVERIFY(told->text.contains("could not be read") && !QFile::exists(folder + "/copy-broken.map"));
        QVERIFY(QFile::exists(folder + "/copy-broken.map.unreadable"));
    }

    void objectLimitAtEveryTool_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<int>("placed"); // objects placed with room for 3 more
        QTest::newRow("pencil") << "pencil" << 3;
        QTest::newRow("fill") << "fill" << 0;
        QTest::newRow("point light") << "point light" << 0;
    }

    void objectLimitAtEveryTool()
    {
        QFETCH(QString, tool);
        QFETCH(int, placed);
        MapScene scene;
        chooseLayer(scene.window, "Wall");
        // Walls round a room of 2 x 2 cells at (1, 1).
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                if (x == 0 || y == 0 || x == 3 || y == 3)
                    scene.view->mapEdits()->placeNew(QPoint(x, y));
        MapEdits *edits = scene.view->mapEdits();
        const size_t limit = edits->objectLimit() - edits->roomForObjects() + 3;
        edits->setObjectLimit(limit);
        chooseLayer(scene.window, "Floor");
        if (tool == "pencil") {
            scene.stroke({{5, 0}, {5, 5}});
        } else if (tool == "fill") {
            scene.tool("radioFloodFill");
            scene.click(1, 1);
        } else {
            chooseLayer(scene.window, "Lightmap");
            const PointLightOutcome light =
                generatePointLight(scene.view->placementContext(), {0.5, 0, false, false, 7, 7, 100, 1});
            QVERIFY(!light.made());
            scene.view->adoptPointLight(light);
        }
        QCOMPARE(scene.layers->layerList(tool == "point light" ? "Lightmap" : "Floor").size(), size_t(placed));
        QCOMPARE(edits->roomForObjects(), size_t(3 - placed));
        QCOMPARE(scene.view->statusText(), LevelLimits::objectLimitMessage(limit));
    }
};

QTEST_MAIN(KeepWorkTest)
#include "tst_keepwork.moc"

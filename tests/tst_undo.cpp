// Undo and redo of every kind of edit, with real mouse and keys on the real
// window: the whole map, and the bytes a save writes, come back exactly.
#include "testsupport.h"

#include "level/subtypetable.h"
#include "mapview/mapchangecommand.h"

#include <QUndoStack>

namespace {
struct Editor : MapScene
{
    // Ctrl+key typed as the window manager gives the keys back after a
    // properties window or message closes.
    void keys(int key, Qt::KeyboardModifiers held = Qt::ControlModifier) { typeKey(window, key, held); }
    QString status() const { return view->statusText(); }
    QByteArray save()
    {
        view->files()->saveLevel();
        return bytesOf(view->files()->editedFileName());
    }
    // Every object with all it is and how it shows, with no selection tint.
    QStringList map() { layers->clearSelection(); return objectLines(*layers); }
};

// A walled room (2..4 x 2..4) with a row of floors and a light in it, and a
// floor outside; saved and loaded again, so the history starts with the load.
void buildLevel(Editor &e)
{
    e.stroke({{1, 1}, {5, 1}, {5, 5}, {1, 5}, {1, 2}});
    chooseLayer(e.window, "Floor");
    e.stroke({{2, 3}, {4, 3}});
    e.stroke({{7, 7}});
    chooseLayer(e.window, "Lightmap");
    e.stroke({{4, 4}});
    chooseLayer(e.window, "Wall");
    e.view->files()->showEditedFile(e.fixture.workdir.path() + QStringLiteral("/level.map"));
    e.save();
    QVERIFY(e.view->files()->loadMapFromFile(e.view->files()->editedFileName()));
    QCOMPARE(e.view->history()->stack()->count(), 0);
}

void perform(Editor &e, const QString &gesture)
{
    if (gesture == "pencil stroke") {
        e.stroke({{0, 7}, {3, 7}, {6, 8}});
    } else if (gesture == "pencil stroke, Shift held") {
        QTest::keyPress(&e.window, Qt::Key_Shift, Qt::ShiftModifier);
        e.mouse.heldKeys = Qt::ShiftModifier;
        e.stroke({{0, 7}, {2, 7}});
        e.mouse.heldKeys = Qt::NoModifier;
        QTest::keyRelease(&e.window, Qt::Key_Shift);
    } else if (gesture == "eraser stroke") {
        e.stroke({{0, 1}, {6, 1}, {6, 2}}, Qt::RightButton);
    } else if (gesture.startsWith("flood fill")) {
        const bool retexture = gesture.endsWith("retexture");
        control<QListWidget>(e.view, "listViewTextures")->setCurrentRow(retexture ? 1 : 0);
        QTest::mouseClick(control<QRadioButton>(e.view, "radioFloodFill"), Qt::LeftButton);
        e.mouse.click(retexture ? e.at(3, 3) : e.at(2, 4), Qt::LeftButton);
    } else if (gesture.endsWith("of the selection")) {
        QTest::mouseClick(control<QRadioButton>(e.view, "radioSelect"), Qt::LeftButton);
        e.stroke({{1, 1}, {5, 2}});
        QListWidget *list = control<QListWidget>(e.view, "listViewTextures");
        if (gesture.startsWith("retexture"))
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        else
            e.mouse.click(e.at(3, 3), Qt::RightButton);
    } else if (gesture == "object properties") {
        e.mouse.click(e.at(4, 4), Qt::LeftButton);
        ObjectPropertiesForm *form = e.view->propertiesWindow();
        form->comboSubtype->setCurrentText("Dynamic");
        form->chkIsLightEmitter->click();
        form->sliderEmissionRadius->setValue(2);
        QTest::mouseClick(form->buttonOK, Qt::LeftButton);
    } else if (gesture == "Clear") {
        const auto answer = answerNextMessageBox(QMessageBox::Yes);
        QTest::mouseClick(e.window.findChild<QPushButton *>("btnMapLayerClear"), Qt::LeftButton);
        QVERIFY(answer->seen);
    }
    flushDeletions();
}
} // namespace

class UndoTest : public QObject
{
    Q_OBJECT

private slots:
    void everyGestureIsOneExactStep_data()
    {
        QTest::addColumn<QString>("layer");
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("step");
        const auto row = [](const char *name, const char *layer, const char *gesture, const char *step) {
            QTest::newRow(name) << QString(layer) << QString(gesture) << QString(step);
        };
        row("pencil", "Wall", "pencil stroke", "pencil stroke (7 objects)");
        row("Shift layer", "Item", "pencil stroke, Shift held", "pencil stroke (3 objects)");
        row("eraser", "Wall", "eraser stroke", "eraser stroke (5 objects)");
        row("fill", "Floor", "flood fill", "flood fill (3 objects)");
        // The loaded row of floors shares the number of its definition line.
        row("fill retexture", "Floor", "flood fill retexture", "flood fill (3 objects)");
        row("gallery", "Wall", "retexture of the selection", "retexture of the selection (7 objects)");
        row("deletion", "Wall", "deletion of the selection", "deletion of the selection (7 objects)");
        // The light changed, 24 light cells made around it.
        row("properties", "Lightmap", "object properties", "object properties (25 objects)");
        row("Clear", "Floor", "Clear", "clear of the Floor layer (4 objects)");
    }

    void everyGestureIsOneExactStep()
    {
        QFETCH(QString, layer);
        QFETCH(QString, gesture);
        QFETCH(QString, step);
        Editor e;
        buildLevel(e);
        chooseLayer(e.window, layer);
        const QStringList before = e.map();
        const QByteArray savedBefore = e.save();
        QVERIFY(e.view->history()->stack()->isClean());

        perform(e, gesture);
        QCOMPARE(e.view->history()->stack()->count(), 1);
        const auto *command = static_cast<const MapChangeCommand *>(e.view->history()->stack()->command(0));
        // A step keeps small records of what it changed, never the level.
        QVERIFY(command->change().byteSize() < command->change().objectCount() * 512 + 256);
        const QStringList after = e.map();
        QVERIFY(after != before);
        const QByteArray savedAfter = e.save();

        e.keys(Qt::Key_Z);
        QCOMPARE(e.status(), "Undo: " + step);
        QCOMPARE(e.map(), before);
        QCOMPARE(e.save(), savedBefore);
        e.keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.status(), "Redo: " + step);
        QCOMPARE(e.map(), after);
        QCOMPARE(e.save(), savedAfter);
        e.keys(Qt::Key_Z);
        e.keys(Qt::Key_Y);
        QCOMPARE(e.map(), after);
        QCOMPARE(e.view->history()->stack()->count(), 1);
    }

    void emptyFullAndInterruptedHistory()
    {
        Editor e;
        e.keys(Qt::Key_Z);
        QCOMPARE(e.status(), QStringLiteral("Nothing to undo"));
        e.keys(Qt::Key_Y);
        QCOMPARE(e.status(), QStringLiteral("Nothing to redo"));

        // 120 one-click strokes; held-down Ctrl+Z undoes the last 100 of them.
        zoomKeepingOrigin(*e.view, 1);
        for (int i = 0; i < 120; ++i)
            e.mouse.click(e.at(i % 20, i / 20), Qt::LeftButton);
        for (int i = 0; i < 130; ++i)
            e.keys(Qt::Key_Z);
        QCOMPARE(e.status(), QStringLiteral("Nothing to undo"));
        QCOMPARE(e.layers->layerList("Wall").size(), size_t(20));

        // Ctrl+Z in mid-stroke undoes the stroke so far; the rest of the drag
        // paints nothing, and Ctrl+Y brings back what was painted.
        e.mouse.press(e.at(0, 10), Qt::LeftButton);
        e.mouse.move(e.at(3, 10));
        e.keys(Qt::Key_Z);
        e.mouse.move(e.at(8, 10));
        e.mouse.release(e.at(8, 10), Qt::LeftButton);
        QCOMPARE(e.layers->layerList("Wall").size(), size_t(20));
        e.keys(Qt::Key_Y);
        QCOMPARE(e.status(), QStringLiteral("Redo: pencil stroke (4 objects)"));
        QCOMPARE(e.layers->layerList("Wall").size(), size_t(24));

        // A new edit drops what could have been redone; an undo in the middle
        // of a rubber band ends the band, which then selects nothing.
        e.keys(Qt::Key_Z);
        e.mouse.click(e.at(0, 12), Qt::LeftButton);
        QVERIFY(!e.view->history()->stack()->canRedo());
        QTest::mouseClick(control<QRadioButton>(e.view, "radioSelect"), Qt::LeftButton);
        e.mouse.press(e.at(0, 0), Qt::LeftButton);
        e.mouse.move(e.at(5, 5));
        e.keys(Qt::Key_Z);
        QVERIFY(!e.view->tools()->selectionBand()->isVisible());
        e.mouse.release(e.at(5, 5), Qt::LeftButton);
        QVERIFY(e.layers->selection().empty());
    }

    void propertiesWindowAndHistory()
    {
        Editor e;
        // A subtype chosen and the window closed without OK is a step too.
        e.mouse.click(e.at(2, 2), Qt::LeftButton);
        e.mouse.click(e.at(2, 2), Qt::LeftButton);
        QPointer<ObjectPropertiesForm> form = e.view->propertiesWindow();
        form->comboSubtype->setCurrentIndex(1);
        const std::string chosen = e.layers->sectorAt(2, 2)->properties->subtype;
        form->close();
        e.keys(Qt::Key_Z);
        QCOMPARE(e.status(), QStringLiteral("Undo: object subtype (1 object)"));
        QCOMPARE(e.layers->sectorAt(2, 2)->properties->subtype, SubtypeTable().wallSubtypes.front());
        e.keys(Qt::Key_Y);
        QCOMPARE(e.layers->sectorAt(2, 2)->properties->subtype, chosen);

        // The window closes when an undo takes its object away; the object
        // that redo makes again is a new one no window knows.
        e.mouse.click(e.at(2, 2), Qt::LeftButton);
        form = e.view->propertiesWindow();
        QVERIFY(form && form->isVisible());
        e.keys(Qt::Key_Z);
        // The open window shows the subtype the undo gave back.
        QCOMPARE(form->comboSubtype->currentText().toStdString(), SubtypeTable().wallSubtypes.front());
        e.keys(Qt::Key_Z);
        QVERIFY(e.layers->layerList("Wall").empty());
        QTRY_VERIFY(!form);
        e.keys(Qt::Key_Y);
        QCOMPARE(e.layers->layerList("Wall").size(), size_t(1));
        QVERIFY(!e.view->propertiesWindow());
        // It takes clicks like any other.
        e.mouse.click(e.at(2, 2), Qt::LeftButton);
        QVERIFY(e.view->propertiesWindow());

        // Held Ctrl undoes and redoes without drawing on the Door layer it makes current.
        chooseLayer(e.window, "Floor");
        e.stroke({{1, 1}, {3, 1}});
        QTest::keyPress(&e.window, Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(e.layers->currentLayer(), std::string("Door"));
        e.keys(Qt::Key_Z);
        e.keys(Qt::Key_Y);
        e.keys(Qt::Key_Z);
        QTest::keyRelease(&e.window, Qt::Key_Control);
        QCOMPARE(e.layers->currentLayer(), std::string("Floor"));
        QCOMPARE(e.status(), QStringLiteral("Undo: pencil stroke (3 objects)"));
        QVERIFY(e.layers->layerList("Floor").empty() && e.layers->layerList("Door").empty());
        e.keys(Qt::Key_Y);
        QCOMPARE(e.layers->currentSectors().size(), size_t(3));
        QVERIFY(e.layers->layerList("Door").empty());
    }
};

QTEST_MAIN(UndoTest)
#include "tst_undo.moc"

// The Layers panel: eyes and locks clicked on the real window, the edits a
// hidden or locked layer refuses, the temporary Wall and Door layers, the
// keys, and eyes and locks surviving a save and a load without reaching the file.
#include "testsupport.h"

#include "mapview/layerspanel.h"

#include <QTimer>
#include <QToolButton>

namespace {
struct Panel : MapScene
{
    QToolButton *button(const char *what, const char *layer) const
    {
        return window.findChild<QToolButton *>(QString::fromLatin1(what) + QLatin1String(layer));
    }
    bool shown(const char *layer) const
    {
        for (const Sector *sector : layers->layerList(layer))
            if (!sector->properties->button->isVisible())
                return false;
        return true;
    }
};
} // namespace

class LayersPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void hiddenOrLockedLayerRefusesEveryEdit_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<bool>("hide");
        for (const char *tool : {"pencil", "eraser", "fill", "deletion", "retexture", "properties", "clear"}) {
            QTest::addRow("%s, locked", tool) << tool << false;
            QTest::addRow("%s, hidden", tool) << tool << true;
        }
    }

    void hiddenOrLockedLayerRefusesEveryEdit()
    {
        QFETCH(QString, tool);
        QFETCH(bool, hide);
        Panel p;
        p.stroke({{1, 1}, {2, 1}});
        const bool selects = tool == "deletion" || tool == "retexture";
        if (selects) {
            p.tool("radioSelect");
            p.stroke({{1, 1}, {2, 1}});
        }
        QTest::mouseClick(p.button(hide ? "layerEye" : "layerLock", "Wall"), Qt::LeftButton);
        QCOMPARE(p.shown("Wall"), !hide);
        // Hiding or locking the selection's layer clears the selection.
        QVERIFY(p.layers->selection().empty());
        const QStringList before = objectLines(*p.layers);
        if (selects) {
            p.stroke({{1, 1}, {2, 1}});
            // A locked layer's objects may be selected (to be copied); a hidden layer takes no clicks.
            QCOMPARE(p.layers->selection().size(), size_t(hide ? 0 : 2));
        }
        // A refused Clear or fill shows no dialog; one shown by mistake is closed.
        bool dialogShown = false;
        QObject watch;
        QTimer::singleShot(300, &watch, [&dialogShown] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                dialogShown = true;
                box->close();
            }
        });
        if (tool == "pencil") {
            p.stroke({{3, 1}, {4, 1}});
        } else if (tool == "eraser") {
            p.stroke({{1, 1}, {2, 1}}, Qt::RightButton);
        } else if (tool == "fill") {
            p.tool("radioFloodFill");
            p.click(3, 3);
        } else if (tool == "deletion") {
            p.click(1, 1, Qt::RightButton);
        } else if (tool == "retexture") {
            control<QListWidget>(p.view, "listViewTextures")->setCurrentRow(1);
            p.view->SelObjectsChangeTexEvent();
        } else if (tool == "properties") {
            p.view->openPropertiesForm(p.layers->layerList("Wall"));
            QVERIFY(!p.view->propertiesWindow());
        } else {
            p.view->BtnMapLayerClearEvent();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        p.layers->clearSelection();
        QCOMPARE(objectLines(*p.layers), before);
        QVERIFY(!dialogShown);
        QVERIFY2(statusText(p.window).contains(hide ? "Wall layer is hidden" : "Wall layer is locked"),
                 qPrintable(statusText(p.window)));
    }

    void eyesLocksKeysAndTemporaryLayers()
    {
        Panel p;
        p.stroke({{1, 1}, {2, 1}});
        chooseLayer(p.window, "Floor");
        p.tool("radioSelect");
        p.stroke({{0, 0}, {3, 3}});
        p.tool("radioPaint");
        // A hidden wall takes no click: the pencil paints the floor under it.
        QTest::mouseClick(p.button("layerEye", "Wall"), Qt::LeftButton);
        p.stroke({{1, 1}});
        QCOMPARE(p.cells("Floor").size(), 1);

        // Ctrl+H, Ctrl+L and Ctrl+Shift+H act on the layer box's Floor,
        // never on the Door layer that the held Ctrl made current.
        typeKey(p.window, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(p.layers->layerStates().isHidden("Floor"));
        QVERIFY(!p.layers->layerStates().isHidden("Door"));
        typeKey(p.window, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(p.layers->layerStates().isLocked("Floor"));
        QVERIFY(p.button("layerLock", "Floor")->isChecked());
        typeKey(p.window, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        for (const char *layer : {"Ceil", "Wall", "Door", "Actor", "Sprite", "Item", "Lightmap"})
            QVERIFY(p.layers->layerStates().isHidden(layer));
        QVERIFY(!p.layers->layerStates().isHidden("Floor"));
        typeKey(p.window, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!p.layers->layerStates().isHidden("Wall"));
        QVERIFY(p.shown("Wall"));

        // The temporary Wall layer obeys the Wall lock.
        QTest::mouseClick(p.button("layerLock", "Wall"), Qt::LeftButton);
        QTest::keyPress(&p.window, Qt::Key_Shift);
        p.mouse.heldKeys = Qt::ShiftModifier;
        p.stroke({{4, 4}});
        QCOMPARE(p.cells("Wall").size(), 2);
        QVERIFY(statusText(p.window).contains("Wall layer is locked"));
        QTest::keyRelease(&p.window, Qt::Key_Shift);

        // A name clicked becomes the layer box's layer.
        QTest::mouseClick(p.button("layerName", "Item"), Qt::LeftButton);
        QCOMPARE(p.layers->currentLayer(), std::string("Item"));
        QVERIFY(p.button("layerName", "Item")->isChecked());
        QVERIFY(!p.button("layerName", "Floor")->isChecked());
    }

    void statesSurviveSaveAndLoadAndStayOutOfTheFile()
    {
        Panel p;
        p.stroke({{1, 1}, {2, 1}});
        const QString file = p.fixture.workdir.path() + "/level.map";
        p.view->showEditedFile(file);
        p.view->BtnSaveMapEvent();
        const QByteArray plain = bytesOf(file);
        QTest::mouseClick(p.button("layerEye", "Wall"), Qt::LeftButton);
        QTest::mouseClick(p.button("layerLock", "Floor"), Qt::LeftButton);
        p.view->BtnSaveMapEvent();
        QCOMPARE(bytesOf(file), plain);
        QVERIFY(p.view->loadMapFromFile(file));
        QCOMPARE(p.cells("Wall").size(), 2);
        QVERIFY(!p.shown("Wall"));
        QVERIFY(p.layers->layerStates().isLocked("Floor"));
        QVERIFY(!p.button("layerEye", "Wall")->isChecked());
    }
};

QTEST_MAIN(LayersPanelTest)
#include "tst_layerspanel.moc"

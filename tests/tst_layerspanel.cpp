// The Layers panel: eyes and locks clicked on the real window, the edits a
// hidden or locked layer refuses, the temporary Wall and Door layers, the
// keys, and eyes and locks surviving a save and a load without reaching the file.
#include "testsupport.h"

#include "app/gorseed.h"
#include "mapview/layerspanel.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"
#include "properties/objectpropertiesform.h"

#include <QFile>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {
struct Panel : MapScene
{
    QToolButton *button(const char *what, const char *layer) const
    {
        return window.findChild<QToolButton *>(QString::fromLatin1(what) + QLatin1String(layer));
    }
    void stroke(std::initializer_list<QPoint> cells, Qt::MouseButton button = Qt::LeftButton)
    {
        QVector<QPoint> path;
        for (const QPoint &cell : cells)
            path << mouse.cellCentre(cell.x(), cell.y());
        mouse.drag(path, button);
    }
    // Each object of the layer: where it is and its image.
    QStringList objects(const char *layer) const
    {
        QStringList found;
        for (const Sector *sector : layers->layerList(layer))
            found << QStringLiteral("%1,%2 %3")
                         .arg(sector->properties->mapX)
                         .arg(sector->properties->mapY)
                         .arg(QString::fromStdString(sector->properties->textureName));
        return found;
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
        const QStringList walls = p.objects("Wall");
        const bool selects = tool == "deletion" || tool == "retexture";
        if (selects) {
            control<QRadioButton>(p.view, "radioSelect")->click();
            p.stroke({{1, 1}, {2, 1}});
        }
        QTest::mouseClick(p.button(hide ? "layerEye" : "layerLock", "Wall"), Qt::LeftButton);
        QCOMPARE(p.shown("Wall"), !hide);
        // Hiding or locking the selection's layer clears the selection.
        QVERIFY(p.layers->selection().empty());
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
            control<QRadioButton>(p.view, "radioFloodFill")->click();
            p.mouse.click(p.mouse.cellCentre(3, 3), Qt::LeftButton);
        } else if (tool == "deletion") {
            p.mouse.click(p.mouse.cellCentre(1, 1), Qt::RightButton);
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
        QCOMPARE(p.objects("Wall"), walls);
        QVERIFY(!dialogShown);
        QVERIFY2(statusText(p.window).contains(hide ? "Wall layer is hidden" : "Wall layer is locked"),
                 qPrintable(statusText(p.window)));
    }

    void eyesLocksKeysAndTemporaryLayers()
    {
        Panel p;
        p.stroke({{1, 1}, {2, 1}});
        chooseLayer(p.window, "Floor");
        control<QRadioButton>(p.view, "radioSelect")->click();
        p.stroke({{0, 0}, {3, 3}});
        control<QRadioButton>(p.view, "radioPaint")->click();
        // A hidden wall takes no click: the pencil paints the floor under it.
        QTest::mouseClick(p.button("layerEye", "Wall"), Qt::LeftButton);
        p.stroke({{1, 1}});
        QCOMPARE(p.objects("Floor").size(), 1);
        QVERIFY(!p.shown("Wall"));

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
        QVERIFY(p.shown("Floor"));
        typeKey(p.window, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!p.layers->layerStates().isHidden("Wall"));
        QVERIFY(p.shown("Wall"));

        // The temporary Wall layer obeys the Wall lock.
        QTest::mouseClick(p.button("layerLock", "Wall"), Qt::LeftButton);
        QTest::keyPress(&p.window, Qt::Key_Shift);
        p.mouse.heldKeys = Qt::ShiftModifier;
        p.stroke({{4, 4}});
        QCOMPARE(p.objects("Wall").size(), 2);
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
        QCOMPARE(p.objects("Wall").size(), 2);
        QVERIFY(!p.shown("Wall"));
        QVERIFY(p.layers->layerStates().isLocked("Floor"));
        QVERIFY(!p.button("layerEye", "Wall")->isChecked());
    }
};

QTEST_MAIN(LayersPanelTest)
#include "tst_layerspanel.moc"

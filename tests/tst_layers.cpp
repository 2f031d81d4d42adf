// New objects of every kind, the layer registry and its display rules, and
// the Layers panel: eyes and locks clicked on the real window, the edits a
// hidden or locked layer refuses, the temporary Wall and Door layers, the
// keys, and eyes and locks surviving a save and a load without reaching the
// file.
#include "testsupport.h"

#include "mapview/layerspanel.h"
#include "model/layerpane.h"

#include <QTimer>
#include <QToolButton>

namespace {
const char *const layerNames[] = {"Ceil", "Wall", "Floor", "Door", "Actor", "Sprite", "Item", "Lightmap"};

Sector *place(MapView *view, int x, int y)
{
    view->layers()->addSector(view->placeSectorAt(QPoint(x, y)));
    return view->layers()->sectorAt(x, y);
}

// One object on every layer, in view row 7 from column 3 on; ends on the Wall layer.
std::vector<Sector *> populateAllLayers(GorseED &window)
{
    std::vector<Sector *> placed;
    for (const char *layer : layerNames) {
        chooseLayer(window, layer);
        placed.push_back(window.mapView->placeSectorAt(QPoint(3 + int(placed.size()), 7)));
        window.mapView->layers()->addSector(placed.back());
    }
    chooseLayer(window, "Wall");
    return placed;
}

// The buttons of objects: those the panes keep for later objects are not.
int buttonsOnMap(MapView *view)
{
    int spares = 0;
    for (const LayerPane *pane : view->mapWidget()->findChildren<LayerPane *>())
        spares += int(pane->spareCount());
    return view->mapWidget()->findChildren<QPushButton *>().size() - spares;
}

struct Panel : MapScene
{
    QToolButton *button(const char *what, const char *layer) const
    {
        return window.findChild<QToolButton *>(QString::fromLatin1(what) + QLatin1String(layer));
    }
    bool shown(const char *layer) const
    {
        for (const Sector *sector : layers->layerList(layer))
            if (!LayerPane::showsObject(sector->properties->button))
                return false;
        return true;
    }
};
} // namespace

class LayersTest : public QObject
{
    Q_OBJECT

private slots:
    void newObjectsAndDisplayRules()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        control<QSlider>(view, "mapViewZoomSlider")->setValue(2);
        view->setOrigin(QPoint(3, 2));
        const std::vector<Sector *> placed = populateAllLayers(*editor.window);
        const char *subtypes[] = {"", "Solid", "", "Solid", "Soldier", "No Collision", "Healthpack", "Static"};
        for (int i = 0; i < 8; ++i) {
            const SectorProperties &p = *placed[i]->properties;
            QCOMPARE(QString::fromStdString(p.kind), QLatin1String(layerNames[i]));
            QCOMPARE(QString::fromStdString(p.subtype), QLatin1String(subtypes[i]));
            QCOMPARE(QPoint(p.mapX, p.mapY), QPoint(i, 5));
            QCOMPARE(shownRect(p.button), QRect((3 + i) * 32, 7 * 32, 32, 32));
            QCOMPARE(worldPosition(p), QPointF((3 + i) * 32, 7 * 32));
            QCOMPARE(p.button->iconSize(), QSize(32, 32));
            QVERIFY(p.button->isFlat() && p.button->text().isEmpty());
            const SectorLighting &l = p.lighting;
            QCOMPARE(QString::asprintf("emission %d %d-%d, blink %g, radius %d, intensity %d, flags %d%d%d", l.emission,
                                       l.emissionMin, l.emissionMax, l.blinkDelay, l.emissionRadius,
                                       l.emissionIntensity, l.isDynamic, l.randomIntensity, l.isLightEmitter),
                     QStringLiteral("emission 10 0-255, blink 0.5, radius 0, intensity 255, flags 000"));
            // The layer's first texture; each light cell takes a number of its own after the lamp's.
            const TextureRef first = view->gallery()->texturesByLayer[layerNames[i]].front();
            QCOMPARE(p.textureName, first.textureName);
            QVERIFY(i == 7 ? p.textureId > first.textureId : p.textureId == first.textureId);
        }

        // Per current layer, one letter per layer in combo order: "-" hidden
        // (and tinted blue), "u" seen untinted, "b" seen blue, "g" seen grey by level.
        const char *rules[]
            = {"ub------", "-u-bbbb-", "-bu-----", "-b-ubbb-", "-b-bubb-", "-b-bbub-", "-b-bbbu-", "-b-----g"};
        placed.back()->properties->lighting.emission = 200;
        auto *combo = control<QComboBox>(view, "comboBoxMapLayer");
        QCOMPARE(combo->count(), 8);
        QCoreApplication::sendPostedEvents();
        const QSize mapSize = view->mapWidget()->size();
        for (int current = 0; current < 8; ++current) {
            QCOMPARE(combo->itemText(current), QLatin1String(layerNames[current]));
            chooseLayer(*editor.window, layerNames[current]);
            // The layer panel marks the chosen layer without taking room from the map.
            QCoreApplication::sendPostedEvents();
            QCOMPARE(view->mapWidget()->size(), mapSize);
            QString seen;
            for (const Sector *sector : placed) {
                const QColor tint = tintOf(sector);
                const char look = !tint.isValid()   ? 'u'
                    : tint == QColor(0, 0, 155)     ? 'b'
                    : tint == QColor(200, 200, 200) ? 'g'
                                                    : '?';
                seen += LayerPane::showsObject(sector->properties->button) ? look : look == 'b' ? '-' : '?';
            }
            QCOMPARE(seen, QLatin1String(rules[current]));
        }
    }

    void addRemoveAndSelect()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        LayerController *layers = view->layers();
        for (int x = 1; x <= 3; ++x)
            for (int y = 1; y <= 3; ++y)
                place(view, x, y);
        Sector *centre = layers->sectorAt(2, 2);
        // A second object for an occupied cell is refused and left to the caller.
        std::unique_ptr<Sector> second(view->placeSectorAt(QPoint(2, 2)));
        layers->addSector(second.get());
        layers->addSector(nullptr);
        QCOMPARE(layers->currentSectors().size(), size_t(9));
        QCOMPARE(layers->sectorAt(2, 2), centre);
        QCOMPARE(layers->layerList("Wall"), layers->currentSectors());
        QVERIFY(!layers->hasSectorAt(4, 2));

        // The same cell selected twice is in the selection twice.
        layers->selectRect(2, 2, 2, 2);
        layers->selectRect(2, 2, 2, 2);
        QCOMPARE(layers->selection(), std::vector<Sector *>({centre, centre}));
        QCOMPARE(tintOf(centre), QColor(0, 155, 0));
        layers->clearSelection();
        QVERIFY(layers->selection().empty() && !tintOf(centre).isValid());
        layers->selectRect(1, 2, 3, 3);
        QCOMPARE(layers->selection().size(), size_t(6));
        // A layer change drops the selection.
        chooseLayer(*editor.window, "Floor");
        QVERIFY(layers->selection().empty());
        QCOMPARE(tintOf(centre), QColor(0, 0, 155));

        chooseLayer(*editor.window, "Wall");
        layers->removeSectorAt(-2, 2);
        layers->removeSectorAt(5, 5);
        QPointer<Sector> doomed = centre;
        layers->removeSectorAt(2, 2);
        QVERIFY(!layers->hasSectorAt(2, 2));
        QCOMPARE(layers->layerList("Wall").size(), size_t(8));
        QVERIFY(doomed); // deferred: it may still be sending its click
        flushDeletions();
        QVERIFY(!doomed);
        QCOMPARE(buttonsOnMap(view), 9); // eight walls and the refused one
    }

    void clearAsksFirstAndReplaceTakesAPartialRegistry()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        LayerController *layers = view->layers();
        populateAllLayers(window);
        chooseLayer(window, "Item");
        place(view, 5, 5);
        layers->selectRect(0, 0, 9, 9);
        auto *clear = window.findChild<QPushButton *>(QStringLiteral("btnMapLayerClear"));
        auto answer = answerNextMessageBox(QMessageBox::No);
        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(answer->seen);
        QCOMPARE(answer->title, QStringLiteral("Warning!"));
        QCOMPARE(answer->text,
                 QStringLiteral("All sectors in the currentlyselected layer will be destroyed!\n"
                                "Are you sure you want to continue?"));
        QCOMPARE(layers->layerList("Item").size(), size_t(2));

        answer = answerNextMessageBox(QMessageBox::Yes);
        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(answer->seen);
        QVERIFY(layers->currentSectors().empty() && layers->selection().empty() && !layers->hasSectorAt(5, 5));
        for (const char *other : layerNames)
            QCOMPARE(layers->layerList(other).size(), size_t(qstrcmp(other, "Item") ? 1 : 0));
        // Buttons of the cleared items are gone from the map at once.
        QCOMPARE(buttonsOnMap(view), 7);

        // A loaded registry with doors and walls only, made on the Door layer.
        chooseLayer(window, "Door");
        layers->selectRect(0, 0, 9, 9);
        SectorRegistry loaded;
        for (int x = 0; x < 3; ++x)
            loaded["Door"].push_back(view->placeSectorAt(QPoint(x, 4)));
        layers->switchToLayer("Wall");
        loaded["Wall"].push_back(view->placeSectorAt(QPoint(0, 6)));
        layers->switchToLayer("Door");
        layers->replaceAllLayers(loaded);
        layers->adoptComboLayer();
        QCOMPARE(layers->currentLayer(), std::string("Wall"));
        QVERIFY(layers->selection().empty() && layers->layerList("Ceil").empty());
        QCOMPARE(layers->layerList("Door").size(), size_t(3));
        QCOMPARE(layers->currentSectors().size(), size_t(1));
        QVERIFY(layers->hasSectorAt(0, 6));
        QCOMPARE(buttonsOnMap(view), 4);
    }

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
            p.view->tools()->retextureSelection();
        } else if (tool == "properties") {
            p.view->openPropertiesForm(p.layers->layerList("Wall"));
            QVERIFY(!p.view->propertiesWindow());
        } else {
            p.view->history()->clearLayer();
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
        p.view->files()->showEditedFile(file);
        p.view->files()->saveLevel();
        const QByteArray plain = bytesOf(file);
        QTest::mouseClick(p.button("layerEye", "Wall"), Qt::LeftButton);
        QTest::mouseClick(p.button("layerLock", "Floor"), Qt::LeftButton);
        p.view->files()->saveLevel();
        QCOMPARE(bytesOf(file), plain);
        QVERIFY(p.view->files()->loadMapFromFile(file));
        QCOMPARE(p.cells("Wall").size(), 2);
        QVERIFY(!p.shown("Wall"));
        QVERIFY(p.layers->layerStates().isLocked("Floor"));
        QVERIFY(!p.button("layerEye", "Wall")->isChecked());
    }
};

QTEST_MAIN(LayersTest)
#include "tst_layers.moc"

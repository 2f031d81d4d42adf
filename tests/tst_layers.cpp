// The layer registry and its display rules, driven through the real window.
#include "testsupport.h"

#include "app/gorseed.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"
#include "model/subtypetable.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

class LayersTest : public QObject
{
    Q_OBJECT

private:
    // One object on every layer, each in its own column.
    static std::map<std::string, Sector *> populateAllLayers(GorseED &window)
    {
        std::map<std::string, Sector *> placed;
        auto *combo = window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"));
        int column = 0;
        for (const std::string &layer : Kinds::comboOrder()) {
            combo->setCurrentText(QString::fromStdString(layer));
            Sector *sector = window.mapView->placeSectorAt(QPoint(column++, 0));
            window.mapView->layerController->addSector(sector);
            placed[layer] = sector;
        }
        combo->setCurrentText(QStringLiteral("Wall"));
        return placed;
    }

    static Sector *place(LayerController *layers, MapView *view, int x, int y)
    {
        Sector *sector = view->placeSectorAt(QPoint(x, y));
        layers->addSector(sector);
        return sector;
    }

private slots:
    void comboListsLayersInOrder()
    {
        EditorFixture editor;
        auto *combo = editor.window->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"));
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, QStringList({"Ceil", "Wall", "Floor", "Door", "Actor", "Sprite", "Item", "Lightmap"}));
        QCOMPARE(combo->currentText(), QStringLiteral("Wall"));
    }

    // For every current layer: which layers are seen, and how each is tinted.
    // Expectation strings hold one letter per layer in combo order
    // (Ceil Wall Floor Door Actor Sprite Item Lightmap):
    // "-" not seen, "u" seen untinted, "b" seen blue, "g" seen grey by level.
    void displayRules_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Ceil") << "Ceil"
                              << "ub------";
        QTest::newRow("Wall") << "Wall"
                              << "-u-bbbb-";
        QTest::newRow("Floor") << "Floor"
                               << "-bu-----";
        QTest::newRow("Door") << "Door"
                              << "-b-ubbb-";
        QTest::newRow("Actor") << "Actor"
                               << "-b-bubb-";
        QTest::newRow("Sprite") << "Sprite"
                                << "-b-bbub-";
        QTest::newRow("Item") << "Item"
                              << "-b-bbbu-";
        QTest::newRow("Lightmap") << "Lightmap"
                                  << "-b-----g";
    }

    void displayRules()
    {
        QFETCH(QString, current);
        QFETCH(QString, expected);
        EditorFixture editor;
        auto placed = populateAllLayers(*editor.window);
        placed["Lightmap"]->properties->lighting.emission = 200;
        editor.window->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(current);

        const auto &order = Kinds::comboOrder();
        for (size_t i = 0; i < order.size(); ++i) {
            Sector *sector = placed[order[i]];
            const QChar want = expected.at(int(i));
            const QByteArray where = QByteArray::fromStdString(order[i]);
            QVERIFY2(sector->properties->button->isVisible() == (want != '-'), where);
            const QColor tint = tintOf(sector);
            if (want == 'u')
                QVERIFY2(!tint.isValid(), where);
            if (want == 'b')
                QVERIFY2(tint == QColor(0, 0, 155), where);
            if (want == 'g')
                QVERIFY2(tint == QColor(200, 200, 200), where);
            // Hidden layers of other names carry the blue tint too.
            if (want == '-' && order[i] != current.toStdString())
                QVERIFY2(tint == QColor(0, 0, 155), where);
        }
    }

    void addFindRemove()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        LayerController *layers = view->layerController;
        Sector *first = place(layers, view, 2, 3);
        // A second object for an occupied cell is refused and left to the caller.
        Sector *second = view->placeSectorAt(QPoint(2, 3));
        layers->addSector(second);
        QCOMPARE(layers->layerSectors.size(), size_t(1));
        QCOMPARE(layers->sectorAt(2, 3), first);
        delete second;
        layers->addSector(nullptr);

        QVERIFY(layers->hasSectorAt(2, 3) && !layers->hasSectorAt(3, 2));
        QCOMPARE(layers->layerList("Wall"), layers->layerSectors);
        layers->removeSectorAt(-2, 3);
        layers->removeSectorAt(5, 5);
        QVERIFY(layers->hasSectorAt(2, 3));

        QPointer<Sector> doomed = first;
        layers->removeSectorAt(2, 3);
        QVERIFY(!layers->hasSectorAt(2, 3));
        QVERIFY(layers->layerList("Wall").empty());
        QVERIFY(doomed); // deferred: it may still be sending its click
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!doomed);
        QCOMPARE(view->mapWidget->findChildren<QPushButton *>().size(), 0);
    }

    void selection()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        LayerController *layers = view->layerController;
        for (int x = 1; x <= 3; ++x)
            for (int y = 1; y <= 3; ++y)
                place(layers, view, x, y);

        layers->selectRect(2, 2, 2, 2);
        QCOMPARE(layers->selectedSectors.size(), size_t(1));
        QCOMPARE(layers->selectedSectors[0]->properties->mapX, 2);
        layers->selectRect(2, 2, 2, 2);
        QCOMPARE(layers->selectedSectors.size(), size_t(2));
        QCOMPARE(tintOf(layers->selectedSectors[0]), QColor(0, 155, 0));
        Sector *selected = layers->selectedSectors[0];
        layers->clearSelection();
        QVERIFY(layers->selectedSectors.empty());
        QVERIFY(!tintOf(selected).isValid());

        layers->selectRect(1, 2, 3, 3);
        QCOMPARE(layers->selectedSectors.size(), size_t(6));
        // A layer change drops the selection.
        editor.window->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText("Floor");
        QVERIFY(layers->selectedSectors.empty());
        QCOMPARE(tintOf(selected), QColor(0, 0, 155));
    }

    void clearLayerAsksFirst()
    {
        EditorFixture editor;
        auto placed = populateAllLayers(*editor.window);
        LayerController *layers = editor.window->mapView->layerController;
        auto *combo = editor.window->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"));
        auto *clear = editor.window->findChild<QPushButton *>(QStringLiteral("btnMapLayerClear"));
        combo->setCurrentText(QStringLiteral("Item"));
        place(layers, editor.window->mapView, 5, 5);
        layers->selectRect(0, 0, 9, 9);

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
        QVERIFY(layers->layerList("Item").empty());
        QVERIFY(layers->layerSectors.empty());
        QVERIFY(layers->selectedSectors.empty());
        QVERIFY(!layers->hasSectorAt(5, 5));
        for (const std::string &other : {"Ceil", "Wall", "Floor", "Door", "Actor", "Sprite", "Lightmap"})
            QCOMPARE(layers->layerList(other).size(), size_t(1));
        // Buttons of the cleared items are gone from the map at once.
        QCOMPARE(editor.window->mapView->mapWidget->findChildren<QPushButton *>().size(), 7);
    }

    void replaceAllLayersTakesPartialRegistry()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        LayerController *layers = window.mapView->layerController;
        populateAllLayers(window);
        window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText("Door");
        layers->selectRect(0, 0, 9, 9);

        // A loaded registry with doors and walls only, made on the Door layer.
        SectorRegistry loaded;
        for (int x = 0; x < 3; ++x)
            loaded["Door"].push_back(window.mapView->placeSectorAt(QPoint(x, 4)));
        layers->switchToLayer("Wall");
        loaded["Wall"].push_back(window.mapView->placeSectorAt(QPoint(0, 6)));
        layers->switchToLayer("Door");

        layers->replaceAllLayers(loaded);
        layers->adoptComboLayer();
        QCOMPARE(layers->currentLayer, std::string("Wall"));
        QVERIFY(layers->selectedSectors.empty());
        QCOMPARE(layers->layerList("Door").size(), size_t(3));
        QCOMPARE(layers->layerSectors.size(), size_t(1));
        QVERIFY(layers->layerList("Item").empty());
        QCOMPARE(window.mapView->mapWidget->findChildren<QPushButton *>().size(), 4);
        QVERIFY(layers->hasSectorAt(0, 6));
    }
};

QTEST_MAIN(LayersTest)
#include "tst_layers.moc"

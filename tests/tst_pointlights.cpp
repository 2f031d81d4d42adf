// Point lights: the levels of the square around a light, and the light cells
// that OK in the properties window makes and relights on the real map.
#include "testsupport.h"

#include "app/gorseed.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"
#include "properties/objectpropertiesform.h"
#include "properties/pointlight.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

class PointLightsTest : public QObject
{
    Q_OBJECT

private:
    static void chooseLayer(GorseED &window, const QString &layer)
    {
        window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
    }

    // Draws a light in the view cell and opens its window with a click.
    static ObjectPropertiesForm *openLight(GorseED &window, MapMouse &mouse, int column, int row)
    {
        mouse.click(mouse.cellCentre(column, row), Qt::LeftButton);
        mouse.click(mouse.cellCentre(column, row), Qt::LeftButton);
        return window.mapView->propertiesForm.data();
    }

    static void setField(ObjectPropertiesForm *form, const char *name, const QString &text)
    {
        form->findChild<QLineEdit *>(name)->setText(text);
    }

    static void generate(ObjectPropertiesForm *form, int radius)
    {
        form->chkIsLightEmitter->click();
        form->sliderEmissionRadius->setValue(radius);
        QTest::mouseClick(form->buttonOK, Qt::LeftButton);
    }

    static int levelAt(LayerController *layers, int x, int y)
    {
        const Sector *light = layers->sectorAt(x, y);
        return light ? light->properties->lighting.emission : -1;
    }

private slots:
    // Levels by ring: the centre's level first, then each ring outwards.
    void cellsAroundTheCentre_data()
    {
        QTest::addColumn<int>("radius");
        QTest::addColumn<int>("intensity");
        QTest::addColumn<QPoint>("centre");
        QTest::addColumn<int>("count");
        QTest::addColumn<QPoint>("first");
        QTest::addColumn<QVector<int>>("rings");
        QTest::newRow("radius 2, intensity 200")
            << 2 << 200 << QPoint(5, 5) << 25 << QPoint(3, 3) << QVector<int> {200, 100, 40};
        QTest::newRow("step truncated") << 3 << 100 << QPoint(5, 5) << 49 << QPoint(2, 2)
                                        << QVector<int> {100, 67, 40, 40};
        QTest::newRow("intensity 5, radius 10")
            << 10 << 5 << QPoint(20, 20) << 441 << QPoint(10, 10) << QVector<int>(11, 40);
        QTest::newRow("clamped to 255") << 2 << 400 << QPoint(5, 5) << 25 << QPoint(3, 3)
                                        << QVector<int> {255, 200, 40};
        QTest::newRow("negative intensity")
            << 2 << -90 << QPoint(5, 5) << 25 << QPoint(3, 3) << QVector<int> {40, 40, 40};
        QTest::newRow("top-left edge") << 2 << 200 << QPoint(0, 1) << 12 << QPoint(0, 0) << QVector<int> {200, 100, 40};
        QTest::newRow("radius 0") << 0 << 120 << QPoint(1, 1) << 1 << QPoint(1, 1) << QVector<int> {120};
    }

    void cellsAroundTheCentre()
    {
        QFETCH(int, radius);
        QFETCH(int, intensity);
        QFETCH(QPoint, centre);
        QFETCH(int, count);
        QFETCH(QPoint, first);
        QFETCH(QVector<int>, rings);
        PointLightParams params;
        params.radius = radius;
        params.intensity = intensity;
        params.centreX = centre.x();
        params.centreY = centre.y();
        const std::vector<LightCell> cells = pointLightCells(params);

        QCOMPARE(int(cells.size()), count);
        QCOMPARE(QPoint(cells.front().x, cells.front().y), first);
        for (size_t i = 0; i < cells.size(); ++i) {
            const LightCell &cell = cells[i];
            QVERIFY(cell.x >= 0 && cell.y >= 0);
            if (i > 0) // row order, top to bottom, left to right
                QVERIFY(std::make_pair(cells[i - 1].y, cells[i - 1].x) < std::make_pair(cell.y, cell.x));
            const int ring = std::max(std::abs(cell.x - centre.x()), std::abs(cell.y - centre.y()));
            QCOMPARE(cell.level, rings.at(ring));
        }
    }

    void okFillsTheSquareWithLight()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        LayerController *layers = window.mapView->layerController;
        MapMouse mouse(window);
        chooseLayer(window, "Lightmap");
        // Two lights already stand in the square, one brighter than the new level.
        mouse.click(mouse.cellCentre(6, 5), Qt::LeftButton);
        mouse.click(mouse.cellCentre(4, 5), Qt::LeftButton);
        layers->sectorAt(6, 5)->setLighting(SectorLighting {0, 255, 0.5, 150});
        layers->sectorAt(4, 5)->setLighting(SectorLighting {0, 255, 0.5, 50});
        ObjectPropertiesForm *form = openLight(window, mouse, 5, 5);
        setField(form, "editLightingEmission", "200");
        setField(form, "edintLightingBlinkDelay", "0.75");
        generate(form, 2);

        QCOMPARE(layers->layerList("Lightmap").size(), size_t(25));
        const SectorLighting &centre = layers->sectorAt(5, 5)->properties->lighting;
        QCOMPARE(centre.emission, 200);
        QCOMPARE(centre.emissionRadius, 2);
        QVERIFY(centre.isLightEmitter);
        // The delay typed into the centre is the one every cell gets.
        QCOMPARE(centre.blinkDelay, 0.75);
        QCOMPARE(levelAt(layers, 4, 6), 100);
        QCOMPARE(levelAt(layers, 4, 5), 100);
        QCOMPARE(levelAt(layers, 3, 7), 40);
        QCOMPARE(levelAt(layers, 7, 4), 40);
        const SectorLighting &kept = layers->sectorAt(6, 5)->properties->lighting;
        QCOMPARE(kept.emission, 150);
        QCOMPARE(kept.emissionMax, 150);
        QCOMPARE(kept.emissionIntensity, 150);
        for (Sector *light : layers->layerList("Lightmap")) {
            const SectorProperties *p = light->properties;
            QCOMPARE(p->kind, std::string("Lightmap"));
            QCOMPARE(p->subtype, std::string("Static"));
            QCOMPARE(p->textureName, std::string("lamp.png"));
            QCOMPARE(p->lighting.blinkDelay, 0.75);
            QVERIFY(p->lighting.isLightEmitter);
            QCOMPARE(tintOf(light), QColor(p->lighting.emission, p->lighting.emission, p->lighting.emission));
            QCOMPARE(p->button->geometry(), QRect(p->mapX * 64, p->mapY * 64, 64, 64));
        }
        QVERIFY(pendingNewSectors.empty());

        // A new light cell opens its own window when clicked.
        mouse.click(mouse.cellCentre(3, 3), Qt::LeftButton);
        QVERIFY(window.mapView->propertiesForm);
        QCOMPARE(window.mapView->propertiesForm->primarySector.data(), layers->sectorAt(3, 3));
    }

    void dynamicCentrePassesItsValuesOn()
    {
        EditorFixture editor;
        LayerController *layers = editor.window->mapView->layerController;
        MapMouse mouse(*editor.window);
        chooseLayer(*editor.window, "Lightmap");
        ObjectPropertiesForm *form = openLight(*editor.window, mouse, 4, 4);
        form->comboSubtype->setCurrentText(QStringLiteral("Dynamic"));
        setField(form, "editLightingEmissionMin", "30");
        setField(form, "editLightingEmissionMax", "180");
        setField(form, "edintLightingBlinkDelay", "1.25");
        form->findChild<QCheckBox *>("checkLightingRandIntensity")->click();
        generate(form, 3);

        QCOMPARE(layers->layerList("Lightmap").size(), size_t(49));
        for (Sector *light : layers->layerList("Lightmap")) {
            const SectorProperties *p = light->properties;
            QCOMPARE(p->subtype, std::string("Dynamic"));
            QVERIFY(p->lighting.isDynamic && p->lighting.randomIntensity);
            QCOMPARE(p->lighting.emissionMin, 30);
            QCOMPARE(p->lighting.blinkDelay, 1.25);
            QCOMPARE(p->lighting.emissionMax, p->lighting.emission);
        }
        // A dynamic light spreads its maximum.
        QCOMPARE(levelAt(layers, 4, 4), 180);
        QCOMPARE(levelAt(layers, 5, 3), 120);
        QCOMPARE(levelAt(layers, 2, 6), 60);
        QCOMPARE(levelAt(layers, 1, 1), 40);
    }

    // The new cells sit where the view shows their map cells, also when the
    // view was panned before the window opened and zoomed while it was open.
    void pannedAndZoomedView()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        MapMouse mouse(*editor.window);
        chooseLayer(*editor.window, "Lightmap");
        // The pan anchor starts at (0, 0): one middle press far right pans one column.
        mouse.click(mouse.cellCentre(6, 0), Qt::MiddleButton);
        QCOMPARE(view->originX, 1);
        ObjectPropertiesForm *form = openLight(*editor.window, mouse, 4, 3);
        QCOMPARE(form->findChild<QLineEdit *>("textMapX")->text(), QStringLiteral("3"));
        view->mapViewZoomSlider->setValue(2);
        generate(form, 2);

        const std::vector<Sector *> &lights = view->layerController->layerList("Lightmap");
        QCOMPARE(lights.size(), size_t(25));
        QVERIFY(view->layerController->hasSectorAt(1, 1) && view->layerController->hasSectorAt(5, 5));
        for (Sector *light : lights) {
            const SectorProperties *p = light->properties;
            QCOMPARE(p->button->geometry(), QRect((p->mapX + 1) * 32, p->mapY * 32, 32, 32));
        }
    }

    // The light layer left for another one while the window is open: the
    // light still spreads over light cells only.
    void anotherLayerCurrentAtOk()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        LayerController *layers = window.mapView->layerController;
        MapMouse mouse(window);
        mouse.click(mouse.cellCentre(6, 5), Qt::LeftButton);
        chooseLayer(window, "Lightmap");
        ObjectPropertiesForm *form = openLight(window, mouse, 5, 5);
        chooseLayer(window, "Wall");
        generate(form, 2);

        QCOMPARE(layers->currentLayer, std::string("Wall"));
        QCOMPARE(layers->layerSectors.size(), size_t(1));
        const SectorProperties *wall = layers->layerSectors.front()->properties;
        QCOMPARE(wall->subtype, std::string("Solid"));
        QVERIFY(!wall->lighting.isLightEmitter);
        QCOMPARE(layers->layerList("Lightmap").size(), size_t(25));
        for (Sector *light : layers->layerList("Lightmap")) {
            QCOMPARE(light->properties->kind, std::string("Lightmap"));
            QCOMPARE(light->properties->textureName, std::string("lamp.png"));
            QVERIFY(!light->properties->button->isVisible());
        }
    }

    // Light cells that die before the map view takes them over are skipped.
    void deadPendingCellsAreSkipped()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        chooseLayer(*editor.window, "Lightmap");
        PointLightParams params;
        params.centreX = 2;
        params.centreY = 2;
        params.intensity = 100;
        generatePointLight(view->placementContext(), params);
        QCOMPARE(pendingNewSectors.size(), size_t(25));
        auto answer = answerNextMessageBox(QMessageBox::Yes);
        QTest::mouseClick(editor.window->findChild<QPushButton *>(QStringLiteral("btnMapLayerClear")), Qt::LeftButton);
        QVERIFY(answer->seen);
        view->SectorPropertiesClosedEvent();
        QVERIFY(pendingNewSectors.empty());
        QVERIFY(view->layerController->layerList("Lightmap").empty());
    }
};

QTEST_MAIN(PointLightsTest)
#include "tst_pointlights.moc"

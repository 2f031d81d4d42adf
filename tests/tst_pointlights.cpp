// Point lights: the levels of the square around a light, and the light cells
// that OK in the properties window makes and relights on the real map.
#include "testsupport.h"

#include "properties/pointlight.h"

namespace {
// Types into the fields, then OK with a point light of the radius.
void generate(ObjectPropertiesForm *form, int radius, const std::map<const char *, const char *> &fields = {})
{
    for (const auto &[name, text] : fields)
        form->findChild<QLineEdit *>(name)->setText(text);
    form->chkIsLightEmitter->click();
    form->sliderEmissionRadius->setValue(radius);
    QTest::mouseClick(form->buttonOK, Qt::LeftButton);
}

int levelAt(LayerController *layers, int x, int y)
{
    const Sector *light = layers->sectorAt(x, y);
    return light ? light->properties->lighting.emission : -1;
}
} // namespace

class PointLightsTest : public QObject
{
    Q_OBJECT

private slots:
    // rings: the centre's level, then each ring's outwards.
    void cellsAroundTheCentre_data()
    {
        QTest::addColumn<int>("radius");
        QTest::addColumn<int>("intensity");
        QTest::addColumn<QPoint>("centre");
        QTest::addColumn<int>("count");
        QTest::addColumn<QVector<int>>("rings");
        QTest::newRow("radius 2, intensity 200") << 2 << 200 << QPoint(5, 5) << 25 << QVector<int> {200, 100, 40};
        QTest::newRow("step truncated") << 3 << 100 << QPoint(5, 5) << 49 << QVector<int> {100, 67, 40, 40};
        QTest::newRow("intensity 5, radius 10") << 10 << 5 << QPoint(20, 20) << 441 << QVector<int>(11, 40);
        QTest::newRow("clamped to 255") << 2 << 400 << QPoint(5, 5) << 25 << QVector<int> {255, 200, 40};
        QTest::newRow("negative cells skipped") << 2 << 200 << QPoint(0, 1) << 12 << QVector<int> {200, 100, 40};
        QTest::newRow("radius 0") << 0 << 120 << QPoint(1, 1) << 1 << QVector<int> {120};
    }

    void cellsAroundTheCentre()
    {
        QFETCH(int, radius);
        QFETCH(int, intensity);
        QFETCH(QPoint, centre);
        QFETCH(int, count);
        QFETCH(QVector<int>, rings);
        const std::vector<LightCell> cells
            = pointLightCells({0.5, 0, false, false, centre.x(), centre.y(), intensity, radius});
        QCOMPARE(int(cells.size()), count);
        for (const LightCell &cell : cells) {
            QVERIFY(cell.x >= 0 && cell.y >= 0);
            QCOMPARE(cell.level, rings.at(std::max(std::abs(cell.x - centre.x()), std::abs(cell.y - centre.y()))));
        }
    }

    // A static light over cells of which one is brighter, and a dynamic one
    // beside it: every new cell takes the centre's values.
    void okFillsTheSquareWithLight()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        LayerController *layers = window.mapView->layers();
        MapMouse mouse(window);
        layers->chooseLayer("Lightmap");
        mouse.click(mouse.cellCentre(3, 2), Qt::LeftButton);
        mouse.click(mouse.cellCentre(1, 2), Qt::LeftButton);
        layers->sectorAt(3, 2)->setLighting(SectorLighting {0, 255, 0.5, 150});
        layers->sectorAt(1, 2)->setLighting(SectorLighting {0, 255, 0.5, 50});
        ObjectPropertiesForm *form = placeAndOpen(window, mouse, 2, 2);
        generate(form, 2, {{"editLightingEmission", "200"}, {"edintLightingBlinkDelay", "0.75"}});

        form = placeAndOpen(window, mouse, 8, 3);
        form->comboSubtype->setCurrentText(QStringLiteral("Dynamic"));
        form->findChild<QCheckBox *>("checkLightingRandIntensity")->click();
        generate(form, 3,
                 {{"editLightingEmissionMin", "30"},
                  {"editLightingEmissionMax", "180"},
                  {"edintLightingBlinkDelay", "1.25"}});
        QCOMPARE(layers->layerList("Lightmap").size(), size_t(25 + 49));
        // The existing cells keep the higher level; a dynamic light spreads its maximum.
        QCOMPARE(QVector<int>({levelAt(layers, 2, 2), layers->sectorAt(2, 2)->properties->lighting.emissionRadius,
                               levelAt(layers, 1, 2), levelAt(layers, 1, 3), levelAt(layers, 0, 4),
                               levelAt(layers, 3, 2), layers->sectorAt(3, 2)->properties->lighting.emissionMax,
                               levelAt(layers, 8, 3), levelAt(layers, 9, 2), levelAt(layers, 6, 5)}),
                 QVector<int>({200, 2, 100, 100, 40, 150, 150, 180, 120, 60}));
        for (Sector *light : layers->layerList("Lightmap")) {
            const SectorProperties *p = light->properties;
            const SectorLighting &l = p->lighting;
            const bool dynamic = p->mapX > 4;
            QCOMPARE(p->subtype, std::string(dynamic ? "Dynamic" : "Static"));
            QCOMPARE(l.isDynamic && l.randomIntensity && l.emissionMin == 30, dynamic);
            QCOMPARE(l.blinkDelay, dynamic ? 1.25 : 0.75);
            QVERIFY(l.isLightEmitter && l.emissionMax == l.emission);
            QCOMPARE(tintOf(light), QColor(l.emission, l.emission, l.emission));
            QCOMPARE(p->button->geometry(), QRect(p->mapX * 64, p->mapY * 64, 64, 64));
        }
        // A new light cell opens its own window when clicked.
        mouse.click(mouse.cellCentre(1, 1), Qt::LeftButton);
        QCOMPARE(window.mapView->propertiesWindow()->primarySector.data(), layers->sectorAt(1, 1));
    }

    // The new cells sit where the view shows their map cells, also when the
    // view was panned before the window opened and zoomed while it was open;
    // and they go to the light layer even if another one became current.
    void pannedZoomedViewAndAnotherLayer()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        LayerController *layers = view->layers();
        MapMouse mouse(window);
        mouse.click(mouse.cellCentre(5, 3), Qt::LeftButton); // a wall in the square
        layers->chooseLayer("Lightmap");
        // The pan anchor starts at (0, 0): one middle press far right pans one column.
        mouse.click(mouse.cellCentre(6, 0), Qt::MiddleButton);
        QCOMPARE(view->origin().x(), 1);
        ObjectPropertiesForm *form = placeAndOpen(window, mouse, 4, 3);
        zoomKeepingOrigin(*view, 2);
        layers->chooseLayer("Wall");
        generate(form, 2);
        QCOMPARE(layers->currentSectors().size(), size_t(1));
        QVERIFY(!layers->currentSectors().front()->properties->lighting.isLightEmitter);
        QCOMPARE(layers->layerList("Lightmap").size(), size_t(25));
        for (Sector *light : layers->layerList("Lightmap")) {
            const SectorProperties *p = light->properties;
            QCOMPARE(p->kind + " " + p->textureName, std::string("Lightmap lamp.png"));
            QCOMPARE(p->button->geometry(), QRect((p->mapX + 1) * 32, p->mapY * 32, 32, 32));
        }

        // Light cells that die before the view takes them over are skipped.
        layers->chooseLayer("Lightmap");
        const PointLightOutcome light
            = generatePointLight(view->placementContext(), {0.5, 0, false, false, 20, 20, 100, 2});
        QCOMPARE(light.newCells.size(), size_t(25));
        answerNextMessageBox(QMessageBox::Yes);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("btnMapLayerClear")), Qt::LeftButton);
        view->adoptPointLight(light);
        QVERIFY(layers->layerList("Lightmap").empty());
    }
};

QTEST_MAIN(PointLightsTest)
#include "tst_pointlights.moc"

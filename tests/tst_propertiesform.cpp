// The "Object Properties" window, opened by clicks on objects of the real
// window and by "Edit selection", and its survival of the objects it edits;
// point lights: the levels of the square around a light, and the light cells
// that OK makes and relights on the real map.
#include "testsupport.h"

#include "properties/pointlight.h"

namespace {
QLineEdit *field(QWidget *form, const char *name)
{
    return form->findChild<QLineEdit *>(name);
}

const char *const lightingFields[] {"editLightingEmission", "editLightingEmissionMin", "editLightingEmissionMax",
                                    "edintLightingBlinkDelay"};

// "1" or "0" for each lighting field, then for the random intensity box.
QString enabledLightingFields(ObjectPropertiesForm *form)
{
    QString enabled;
    for (const char *name : lightingFields)
        enabled += field(form, name)->isEnabled() ? '1' : '0';
    return enabled + (form->ui.checkLightingRandIntensity->isEnabled() ? '1' : '0');
}

// Types into the fields, then OK with a point light of the radius.
void generate(ObjectPropertiesForm *form, int radius, const std::map<const char *, const char *> &fields = {})
{
    for (const auto &[name, text] : fields)
        field(form, name)->setText(text);
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

class PropertiesFormTest : public QObject
{
    Q_OBJECT

private slots:
    // Every text shows whole at the desktop's usual font and at 125%, and no
    // two controls of a group cover each other.
    void labelsShowTheirWholeText_data()
    {
        QTest::addColumn<qreal>("pointSize");
        QTest::newRow("9 pt") << 9.0;
        QTest::newRow("125%") << 11.25;
    }

    void labelsShowTheirWholeText()
    {
        QFETCH(qreal, pointSize);
        const QFont previous = QApplication::font();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(pointSize);
        QApplication::setFont(font);
        {
            ObjectPropertiesForm form;
            QCOMPARE(form.size(), QSize(340, 500));
            for (const QWidget *control : form.findChildren<QWidget *>()) {
                const QString name = control->objectName();
                if (qobject_cast<const QLabel *>(control) || qobject_cast<const QAbstractButton *>(control)) {
                    const bool fits = control->hasHeightForWidth()
                                          ? control->heightForWidth(control->width()) <= control->height()
                                          : control->sizeHint().width() <= control->width();
                    QVERIFY2(fits, qPrintable(name));
                }
                if (name.isEmpty() || name.startsWith("qt_") || control->parentWidget() == &form)
                    continue;
                for (const QWidget *other : control->parentWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
                    if (other != control && !other->objectName().startsWith("qt_"))
                        QVERIFY2(!control->geometry().intersects(other->geometry()), qPrintable(name + " " + other->objectName()));
            }
            QVERIFY(form.ui.groupLighting->geometry().bottom() < form.buttonOK->geometry().top());
        }
        QApplication::setFont(previous);
    }

    // A wall's place and subtype, then a light's lighting fields; a click on
    // another object, or the same one, replaces the window without applying it.
    void oneObjectAtATime()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        LayerController *layers = window.mapView->layers();
        MapMouse mouse(window);
        mouse.click(mouse.cellCentre(4, 1), Qt::LeftButton);
        layers->sectorAt(4, 1)->setSubtype("SolidBounding");
        QPointer<ObjectPropertiesForm> form = placeAndOpen(window, mouse, 3, 2);
        QVERIFY(form->isVisible() && form->isWindow() && !form->ui.groupLighting->isVisible());
        QCOMPARE(QStringList({field(form, "textMapX")->text(), field(form, "textMapY")->text(),
                              field(form, "textWorldX")->text(), field(form, "textWorldY")->text()}),
                 QStringList({"3", "2", "192", "128"}));
        // The subtype takes effect at once, without OK.
        form->comboSubtype->setCurrentText(QStringLiteral("PiercedWall"));
        QCOMPARE(layers->sectorAt(3, 2)->properties->subtype, std::string("PiercedWall"));
        mouse.click(mouse.cellCentre(4, 1), Qt::LeftButton);
        flushDeletions();
        QVERIFY(form.isNull());
        QCOMPARE(window.mapView->propertiesWindow()->comboSubtype->currentText(), QStringLiteral("SolidBounding"));

        layers->chooseLayer("Lightmap");
        form = placeAndOpen(window, mouse, 2, 2);
        Sector *light = layers->sectorAt(2, 2);
        QVERIFY(form->ui.groupLighting->isVisible());
        QCOMPARE(field(form, "editLightingEmission")->text(), QStringLiteral("10"));
        QCOMPARE(enabledLightingFields(form), QStringLiteral("10000"));
        form->comboSubtype->setCurrentText(QStringLiteral("Dynamic"));
        QCOMPARE(light->properties->subtype, std::string("Dynamic"));
        QCOMPARE(enabledLightingFields(form), QStringLiteral("01111"));
        // The radius is open to input only while the emitter box is checked.
        QVERIFY(!form->sliderEmissionRadius->isEnabled() && !form->editEmissionRadius->isEnabled());
        form->chkIsLightEmitter->click();
        QVERIFY(form->sliderEmissionRadius->isEnabled() && form->editEmissionRadius->isEnabled());
        form->sliderEmissionRadius->setValue(7);
        QCOMPARE(form->editEmissionRadius->text(), QStringLiteral("7"));
        field(form, "editLightingEmissionMax")->setText(QStringLiteral("99"));
        placeAndOpen(window, mouse, 2, 2);
        flushDeletions();
        QVERIFY(form.isNull());
        QCOMPARE(layers->layerList("Lightmap").size(), size_t(1));
        QCOMPARE(light->properties->lighting.emissionMax, 255);
        QVERIFY(!light->properties->lighting.isDynamic && !light->properties->lighting.isLightEmitter);
    }

    // The four lighting fields as typed and as stored; the tint is clamped.
    void okStoresLighting_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("grey");
        QTest::newRow("numbers") << QString("77|5|200|0.25") << QString("77,5,200,0.25") << 77;
        QTest::newRow("not numbers") << QString("abc|x1||nan") << QString("0,0,0,0") << 0;
        QTest::newRow("out of range") << QString("300|-20|1000|1e999") << QString("300,-20,1000,0") << 255;
        QTest::newRow("negative, beyond int, very long")
            << "-20|99999999999999999999|" + QString(5000, '7') + "|abc" << QString("-20,0,0,0") << 0;
    }

    void okStoresLighting()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(int, grey);
        EditorFixture editor;
        editor.window->mapView->layers()->chooseLayer("Lightmap");
        MapMouse mouse(*editor.window);
        mouse.click(mouse.cellCentre(1, 1), Qt::LeftButton);
        Sector *light = editor.window->mapView->layers()->sectorAt(1, 1);
        // The radius, intensity and emitter flag of a past point light go on OK.
        light->setLighting({5, 99, 0.5, 10, 0, 255, false, false, true});
        ObjectPropertiesForm *form = placeAndOpen(*editor.window, mouse, 1, 1);
        const QStringList texts = typed.split('|');
        for (int i = 0; i < 4; ++i)
            field(form, lightingFields[i])->setText(texts[i]);
        QTest::mouseClick(form->buttonOK, Qt::LeftButton);
        const SectorLighting &l = light->properties->lighting;
        QCOMPARE(QString("%1,%2,%3,%4").arg(l.emission).arg(l.emissionMin).arg(l.emissionMax).arg(l.blinkDelay),
                 stored);
        QVERIFY(l.emissionRadius == 0 && l.emissionIntensity == 255 && !l.isLightEmitter);
        QCOMPARE(tintOf(light), QColor(grey, grey, grey));
    }

    // A selection is edited together, and objects die while its window is
    // open: the window skips them, and closes when the shown one is gone.
    // A subtype chosen for a mixed selection goes only to the objects whose
    // kind has it; the others keep their own.
    void subtypeOnlyForKindsThatHaveIt()
    {
        MapScene scene;
        std::vector<Sector *> objects;
        for (const char *layer : {"Wall", "Door", "Lightmap"}) {
            chooseLayer(scene.window, layer);
            scene.mouse.click(scene.mouse.cellCentre(int(objects.size()), 1), Qt::LeftButton);
            objects.push_back(scene.layers->currentSectors().back());
        }
        scene.view->openPropertiesForm(objects);
        ObjectPropertiesForm *form = scene.view->propertiesWindow();
        form->comboSubtype->setCurrentText(QStringLiteral("PiercedWall"));
        QTest::mouseClick(form->buttonOK, Qt::LeftButton);
        QStringList subtypes;
        for (const Sector *object : objects)
            subtypes << QString::fromStdString(object->properties->subtype);
        QCOMPARE(subtypes, QStringList({"PiercedWall", "Solid", "Static"}));
    }

    void selectionEditedAndOutlived()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        MapMouse mouse(window);
        view->layers()->chooseLayer("Lightmap");
        mouse.drag({mouse.cellCentre(1, 1), mouse.cellCentre(2, 1), mouse.cellCentre(3, 1)}, Qt::LeftButton);
        const std::vector<Sector *> lights = view->layers()->currentSectors();
        QTest::mouseClick(control<QRadioButton>(view, "radioSelect"), Qt::LeftButton);
        mouse.drag({mouse.cellCentre(1, 1), mouse.cellCentre(3, 1)}, Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(view, "btnEditSelection"), Qt::LeftButton);
        QPointer<ObjectPropertiesForm> form = view->propertiesWindow();
        QVERIFY(form->isMultiEdit);
        for (const char *name : {"textMapX", "textMapY", "textWorldX", "textWorldY"})
            QCOMPARE(field(form, name)->text(), QStringLiteral("-/-"));

        // The middle light is erased with the pencil's right button.
        QTest::mouseClick(control<QRadioButton>(view, "radioPaint"), Qt::LeftButton);
        mouse.click(mouse.cellCentre(2, 1), Qt::RightButton);
        flushDeletions();
        QVERIFY(form && form->isVisible());
        form->comboSubtype->setCurrentText(QStringLiteral("Dynamic"));
        field(form, "editLightingEmissionMax")->setText(QStringLiteral("90"));
        field(form, "editLightingEmission")->setText(QStringLiteral("60"));
        QTest::mouseClick(form->buttonOK, Qt::LeftButton);
        for (Sector *light : {lights[0], lights[2]}) {
            const SectorLighting &l = light->properties->lighting;
            QVERIFY(light->properties->subtype == "Dynamic" && l.isDynamic && l.emissionMax == 90);
            QCOMPARE(tintOf(light), QColor(60, 60, 60));
        }

        // The shown object erased, then its layer cleared: the window goes,
        // and the next click opens a fresh one.
        form = placeAndOpen(window, mouse, 3, 1);
        mouse.click(mouse.cellCentre(3, 1), Qt::RightButton);
        flushDeletions();
        QVERIFY(form.isNull() && view->propertiesWindow() == nullptr);
        form = placeAndOpen(window, mouse, 1, 1);
        answerNextMessageBox(QMessageBox::Yes);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("btnMapLayerClear")), Qt::LeftButton);
        flushDeletions();
        QVERIFY(form.isNull());
        QVERIFY(placeAndOpen(window, mouse, 5, 5)->isVisible());
    }

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
            QCOMPARE(shownRect(p->button), QRect(p->mapX * 64, p->mapY * 64, 64, 64));
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
            QCOMPARE(shownRect(p->button), QRect((p->mapX + 1) * 32, p->mapY * 32, 32, 32));
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

QTEST_MAIN(PropertiesFormTest)
#include "tst_propertiesform.moc"

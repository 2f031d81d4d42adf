// The "Object Properties" window, opened by clicks on objects of the real
// window and by "Edit selection", and its survival of the objects it edits.
#include "testsupport.h"

#include "app/gorseed.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"
#include "properties/objectpropertiesform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

class PropertiesFormTest : public QObject
{
    Q_OBJECT

private:
    static void chooseLayer(GorseED &window, const QString &layer)
    {
        window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
    }

    // Clicks the object in the cell, drawing it first with the pencil if the
    // cell is empty; the click opens its window.
    static ObjectPropertiesForm *placeAndOpen(GorseED &window, MapMouse &mouse, int column, int row)
    {
        if (!window.mapView->layerController->hasSectorAt(column, row))
            mouse.click(mouse.cellCentre(column, row), Qt::LeftButton);
        mouse.click(mouse.cellCentre(column, row), Qt::LeftButton);
        return window.mapView->propertiesForm.data();
    }

    static QLineEdit *field(QWidget *form, const char *name) { return form->findChild<QLineEdit *>(name); }

    static QStringList comboItems(const QComboBox *combo)
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }

    static void deleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The widgets of the form that change with the light's subtype.
    static QStringList enabledLightingWidgets(const ObjectPropertiesForm *form)
    {
        QStringList enabled;
        for (const char *name : {"editLightingEmission", "labelLightingMin", "labelLightingMax", "labelLightBlinkDelay",
                                 "editLightingEmissionMin", "editLightingEmissionMax", "edintLightingBlinkDelay",
                                 "checkLightingRandIntensity"})
            if (form->findChild<QWidget *>(name)->isEnabled())
                enabled << name;
        return enabled;
    }

private slots:
    // Other parts find the window and its widgets by these object names.
    void widgetNames()
    {
        ObjectPropertiesForm form;
        QCOMPARE(form.objectName(), QStringLiteral("objectProperties"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Object Properties"));
        QCOMPARE(form.size(), QSize(340, 500));
        QStringList named;
        for (const QWidget *child : form.findChildren<QWidget *>())
            if (!child->objectName().isEmpty() && !child->objectName().startsWith("qt_"))
                named << child->objectName() + ':' + child->metaObject()->className();
        named.sort();
        const QString expected
            = "buttonOK:QPushButton checkLightingRandIntensity:QCheckBox chkIsLightEmitter:QCheckBox "
              "comboSubtype:QComboBox editEmissionRadius:QLineEdit editLightingEmission:QLineEdit "
              "editLightingEmissionMax:QLineEdit editLightingEmissionMin:QLineEdit "
              "edintLightingBlinkDelay:QLineEdit groupBox:QGroupBox groupBox_2:QGroupBox "
              "groupLighting:QGroupBox label:QLabel labelLightBlinkDelay:QLabel "
              "labelLightingMax:QLabel labelLightingMin:QLabel label_2:QLabel label_3:QLabel "
              "label_4:QLabel label_5:QLabel label_6:QLabel sliderEmissionRadius:QSlider "
              "textMapX:QLineEdit textMapY:QLineEdit textWorldX:QLineEdit textWorldY:QLineEdit";
        QStringList wanted = expected.split(' ');
        wanted.sort();
        QCOMPARE(named, wanted);
    }

    void wallShowsPlaceAndSubtypes()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapMouse mouse(window);
        mouse.click(mouse.cellCentre(4, 1), Qt::LeftButton);
        window.mapView->layerController->sectorAt(4, 1)->setSubtype("SolidBounding");
        ObjectPropertiesForm *first = placeAndOpen(window, mouse, 3, 2);
        QVERIFY(first && first->isVisible() && first->isWindow());
        QCOMPARE(field(first, "textMapX")->text(), QStringLiteral("3"));
        QCOMPARE(field(first, "textWorldY")->text(), QStringLiteral("128"));
        QCOMPARE(comboItems(first->comboSubtype), QStringList({"Solid", "PiercedWall", "SolidBounding"}));
        QVERIFY(!first->ui.groupLighting->isVisible());

        // A click on another wall replaces the window, showing that wall's subtype.
        QPointer<ObjectPropertiesForm> replaced = first;
        mouse.click(mouse.cellCentre(4, 1), Qt::LeftButton);
        ObjectPropertiesForm *form = window.mapView->propertiesForm.data();
        QVERIFY(form != first);
        QVERIFY(replaced.isNull() || !replaced->isVisible());
        deleteClosedWindows();
        QVERIFY(replaced.isNull());
        QCOMPARE(field(form, "textWorldX")->text(), QStringLiteral("256"));
        QCOMPARE(form->comboSubtype->currentText(), QStringLiteral("SolidBounding"));

        // A subtype choice takes effect at once, also if the window is then closed.
        Sector *wall = window.mapView->layerController->sectorAt(4, 1);
        form->comboSubtype->setCurrentText(QStringLiteral("PiercedWall"));
        QCOMPARE(wall->properties->subtype, std::string("PiercedWall"));
        form->close();
        deleteClosedWindows();
        QVERIFY(window.mapView->propertiesForm.isNull());
        QCOMPARE(wall->properties->subtype, std::string("PiercedWall"));
        QCOMPARE(window.mapView->layerController->sectorAt(3, 2)->properties->subtype, std::string("Solid"));
    }

    void staticLightSwitchedToDynamic()
    {
        EditorFixture editor;
        chooseLayer(*editor.window, "Lightmap");
        MapMouse mouse(*editor.window);
        ObjectPropertiesForm *form = placeAndOpen(*editor.window, mouse, 2, 2);
        Sector *light = editor.window->mapView->layerController->sectorAt(2, 2);
        QVERIFY(form->ui.groupLighting->isVisible());
        QCOMPARE(field(form, "editLightingEmission")->text(), QStringLiteral("10"));
        QCOMPARE(enabledLightingWidgets(form), QStringList({"editLightingEmission"}));

        form->comboSubtype->setCurrentText(QStringLiteral("Dynamic"));
        QCOMPARE(light->properties->subtype, std::string("Dynamic"));
        QCOMPARE(enabledLightingWidgets(form),
                 QStringList({"labelLightingMin", "labelLightingMax", "labelLightBlinkDelay", "editLightingEmissionMin",
                              "editLightingEmissionMax", "edintLightingBlinkDelay", "checkLightingRandIntensity"}));
        // Closed without OK: the subtype stays, the lighting is not written.
        field(form, "editLightingEmission")->setText(QStringLiteral("99"));
        form->close();
        QCOMPARE(light->properties->subtype, std::string("Dynamic"));
        QCOMPARE(light->properties->lighting.emission, 10);
        QVERIFY(!light->properties->lighting.isDynamic);
    }

    void okWritesLightingAndResetsEmitter()
    {
        EditorFixture editor;
        chooseLayer(*editor.window, "Lightmap");
        MapMouse mouse(*editor.window);
        mouse.click(mouse.cellCentre(2, 2), Qt::LeftButton);
        Sector *light = editor.window->mapView->layerController->sectorAt(2, 2);
        SectorLighting emitter;
        emitter.emissionRadius = 5;
        emitter.emissionIntensity = 99;
        emitter.isLightEmitter = true;
        light->setLighting(emitter);

        ObjectPropertiesForm *form = placeAndOpen(*editor.window, mouse, 2, 2);
        QPointer<ObjectPropertiesForm> guard = form;
        // The radius and the emitter flag are never taken from the object.
        QVERIFY(!form->chkIsLightEmitter->isChecked());
        QVERIFY(!form->sliderEmissionRadius->isEnabled() && !form->editEmissionRadius->isEnabled());
        form->chkIsLightEmitter->click();
        QVERIFY(form->sliderEmissionRadius->isEnabled() && form->editEmissionRadius->isEnabled());
        form->sliderEmissionRadius->setValue(7);
        QCOMPARE(form->editEmissionRadius->text(), QStringLiteral("7"));
        form->chkIsLightEmitter->click();
        QVERIFY(!form->sliderEmissionRadius->isEnabled() && !form->editEmissionRadius->isEnabled());
        QCOMPARE(form->editEmissionRadius->text(), QStringLiteral("7"));

        field(form, "editLightingEmission")->setText(QStringLiteral("77"));
        field(form, "edintLightingBlinkDelay")->setText(QStringLiteral("2.5"));
        QTest::mouseClick(form->buttonOK, Qt::LeftButton);
        const SectorLighting &stored = light->properties->lighting;
        QCOMPARE(stored.emission, 77);
        QCOMPARE(stored.blinkDelay, 2.5);
        QCOMPARE(stored.emissionRadius, 0);
        QCOMPARE(stored.emissionIntensity, 255);
        QVERIFY(!stored.isLightEmitter);
        QCOMPARE(tintOf(light), QColor(77, 77, 77));
        QVERIFY(guard.isNull() || !guard->isVisible());
        deleteClosedWindows();
        QVERIFY(guard.isNull());
    }

    void badInputIsStoredSafely_data()
    {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("grey");
        QTest::newRow("not a number") << "editLightingEmission"
                                      << "abc" << 0.0 << 0;
        QTest::newRow("above 255") << "editLightingEmission"
                                   << "300" << 300.0 << 255;
        QTest::newRow("negative") << "editLightingEmission"
                                  << "-20" << -20.0 << 0;
        QTest::newRow("beyond int") << "editLightingEmission"
                                    << "99999999999999999999" << 0.0 << 0;
        QTest::newRow("very long") << "editLightingEmission" << QString(5000, '7') << 0.0 << 0;
        QTest::newRow("min not a number") << "editLightingEmissionMin"
                                          << "x1" << 0.0 << -1;
        QTest::newRow("max above 255") << "editLightingEmissionMax"
                                       << "1000" << 1000.0 << -1;
        QTest::newRow("delay not a number") << "edintLightingBlinkDelay"
                                            << "abc" << 0.0 << -1;
        QTest::newRow("delay nan") << "edintLightingBlinkDelay"
                                   << "nan" << 0.0 << -1;
        QTest::newRow("delay overflowing") << "edintLightingBlinkDelay"
                                           << "1e999" << 0.0 << -1;
        QTest::newRow("delay") << "edintLightingBlinkDelay"
                               << "0.25" << 0.25 << -1;
    }

    void badInputIsStoredSafely()
    {
        QFETCH(QString, fieldName);
        QFETCH(QString, text);
        QFETCH(double, stored);
        QFETCH(int, grey);
        EditorFixture editor;
        chooseLayer(*editor.window, "Lightmap");
        MapMouse mouse(*editor.window);
        ObjectPropertiesForm *form = placeAndOpen(*editor.window, mouse, 1, 1);
        Sector *light = editor.window->mapView->layerController->sectorAt(1, 1);
        field(form, fieldName.toLatin1())->setText(text);
        QTest::mouseClick(form->buttonOK, Qt::LeftButton);

        const SectorLighting &lighting = light->properties->lighting;
        const std::map<QString, double> read {{"editLightingEmission", lighting.emission},
                                              {"editLightingEmissionMin", lighting.emissionMin},
                                              {"editLightingEmissionMax", lighting.emissionMax},
                                              {"edintLightingBlinkDelay", lighting.blinkDelay}};
        QCOMPARE(read.at(fieldName), stored);
        if (grey >= 0)
            QCOMPARE(tintOf(light), QColor(grey, grey, grey));
    }

    void selectionIsEditedTogether()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        MapMouse mouse(window);
        chooseLayer(window, "Lightmap");
        mouse.drag({mouse.cellCentre(1, 1), mouse.cellCentre(2, 1), mouse.cellCentre(3, 1)}, Qt::LeftButton);
        std::vector<Sector *> lights = view->layerController->layerSectors;
        QTest::mouseClick(view->radioSelect, Qt::LeftButton);
        mouse.drag({mouse.cellCentre(1, 1), mouse.cellCentre(3, 1)}, Qt::LeftButton);
        QTest::mouseClick(view->btnEditSelection, Qt::LeftButton);
        ObjectPropertiesForm *form = view->propertiesForm.data();
        QVERIFY(form && form->isMultiEdit);
        for (const char *name : {"textMapX", "textMapY", "textWorldX", "textWorldY"})
            QCOMPARE(field(form, name)->text(), QStringLiteral("-/-"));

        form->comboSubtype->setCurrentText(QStringLiteral("Dynamic"));
        for (Sector *light : lights)
            QCOMPARE(light->properties->subtype, std::string("Dynamic"));
        field(form, "editLightingEmissionMax")->setText(QStringLiteral("90"));
        field(form, "editLightingEmission")->setText(QStringLiteral("60"));
        QTest::mouseClick(form->buttonOK, Qt::LeftButton);
        for (Sector *light : lights) {
            QCOMPARE(light->properties->lighting.emissionMax, 90);
            QVERIFY(light->properties->lighting.isDynamic);
            QCOMPARE(tintOf(light), QColor(60, 60, 60));
        }
    }

    // Objects die while the window is open: the window never touches them.
    void windowSurvivesItsObjects()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        MapMouse mouse(window);
        mouse.drag({mouse.cellCentre(1, 1), mouse.cellCentre(2, 1), mouse.cellCentre(3, 1)}, Qt::LeftButton);
        std::vector<Sector *> walls = view->layerController->layerSectors;
        QTest::mouseClick(view->radioSelect, Qt::LeftButton);
        mouse.drag({mouse.cellCentre(1, 1), mouse.cellCentre(3, 1)}, Qt::LeftButton);
        QTest::mouseClick(view->btnEditSelection, Qt::LeftButton);
        QPointer<ObjectPropertiesForm> form = view->propertiesForm;

        // The middle wall is erased with the pencil's right button.
        QTest::mouseClick(view->radioPaint, Qt::LeftButton);
        mouse.click(mouse.cellCentre(2, 1), Qt::RightButton);
        deleteClosedWindows();
        QVERIFY(form && form->isVisible());
        form->comboSubtype->setCurrentText(QStringLiteral("SolidBounding"));
        QTest::mouseClick(form->buttonOK, Qt::LeftButton);
        QCOMPARE(walls[0]->properties->subtype, std::string("SolidBounding"));
        QCOMPARE(walls[2]->properties->subtype, std::string("SolidBounding"));

        // The shown object erased: its window closes and goes.
        form = placeAndOpen(window, mouse, 3, 1);
        mouse.click(mouse.cellCentre(3, 1), Qt::RightButton);
        deleteClosedWindows();
        QVERIFY(form.isNull());
        QVERIFY(view->propertiesForm.isNull());

        // Its layer cleared: the same.
        form = placeAndOpen(window, mouse, 1, 1);
        auto answer = answerNextMessageBox(QMessageBox::Yes);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("btnMapLayerClear")), Qt::LeftButton);
        QVERIFY(answer->seen);
        QVERIFY(!form || !form->isVisible());
        deleteClosedWindows();
        QVERIFY(form.isNull());

        // And the next click opens a fresh window.
        form = placeAndOpen(window, mouse, 5, 5);
        QVERIFY(form && form->isVisible());
    }
};

QTEST_MAIN(PropertiesFormTest)
#include "tst_propertiesform.moc"

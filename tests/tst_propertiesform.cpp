// The "Object Properties" window, opened by clicks on objects of the real
// window and by "Edit selection", and its survival of the objects it edits.
#include "testsupport.h"

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
};

QTEST_MAIN(PropertiesFormTest)
#include "tst_propertiesform.moc"

// The tint of an object's button must look exactly as Qt's own colourise
// effect would draw it, in every state the button can be in.
#include "testsupport.h"

#include "app/gorseed.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"
#include "model/tinteffect.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

class TintEffectTest : public QObject
{
    Q_OBJECT

private slots:
    void looksLikeQtsColourise_data()
    {
        QTest::addColumn<QString>("layer");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("zoom");
        QTest::newRow("blue wall, 64 px") << "Wall" << QColor(0, 0, 155) << 4;
        QTest::newRow("green item, 32 px") << "Item" << QColor(0, 155, 0) << 2;
        QTest::newRow("grey light, 16 px") << "Lightmap" << QColor(200, 200, 200) << 1;
    }

    void looksLikeQtsColourise()
    {
        QFETCH(QString, layer);
        QFETCH(QColor, colour);
        QFETCH(int, zoom);
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        editor.window->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
        view->mapViewZoomSlider->setValue(zoom);
        Sector *sector = view->placeSectorAt(QPoint(1, 1));
        view->layerController->addSector(sector);
        QPushButton *button = sector->properties->button;

        auto *reference = new QGraphicsColorizeEffect(button);
        reference->setColor(colour);
        button->setGraphicsEffect(reference);
        const QImage expected = view->mapWidget->grab(button->geometry()).toImage();

        button->setGraphicsEffect(new TintEffect(colour, button));
        const QImage cold = view->mapWidget->grab(button->geometry()).toImage();
        const QImage cached = view->mapWidget->grab(button->geometry()).toImage();
        QCOMPARE(cold, expected);
        QCOMPARE(cached, expected);

        // Pressed, the button looks different, and so must its tint.
        button->setDown(true);
        button->setGraphicsEffect(reference = new QGraphicsColorizeEffect(button));
        reference->setColor(colour);
        const QImage pressedExpected = view->mapWidget->grab(button->geometry()).toImage();
        button->setGraphicsEffect(new TintEffect(colour, button));
        QCOMPARE(view->mapWidget->grab(button->geometry()).toImage(), pressedExpected);
    }
};

QTEST_MAIN(TintEffectTest)
#include "tst_tinteffect.moc"

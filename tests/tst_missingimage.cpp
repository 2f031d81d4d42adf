// Objects whose image is missing, unreadable or not an image show the
// missing-image mark, tinted like any object, compared pixel by pixel with
// tests/pictures/MissingImage-*.png; their tool tips and the gallery name the
// image. GORSEED_WRITE_PICTURES=1 writes the pictures afresh.
#include "testsupport.h"

#include "app/gorseed.h"
#include "gallery/texturegallery.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

class MissingImageTest : public QObject
{
    Q_OBJECT

private slots:
    void markInsteadOfNothing_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addRow("MissingImage-4") << 4;
        QTest::addRow("MissingImage-1") << 1;
    }

    void markInsteadOfNothing()
    {
        QFETCH(int, zoom);
        QCursor::setPos(-500, -500);
        MapScene s;
        const WorkingDirectory &dir = s.fixture.workdir;
        // Walls without an image, with a file that is no image and with a
        // good image, a door without an image (another layer: tinted blue).
        dir.writeFile("lvl/garbage.png", "no picture here");
        dir.writeImage("lvl/good.png", QSize(64, 64), QColor(200, 120, 40));
        dir.writeFile("lvl.map", "#Wall\r\n1,2,0,3,\r\n\r\n#Door\r\n0,0,4,0,\r\n\r\n#Definitions\r\n"
                                 "1,Wall,Solid,lvl/missing.png\r\n2,Wall,Solid,lvl/garbage.png\r\n"
                                 "3,Wall,Solid,lvl/good.png\r\n4,Door,Solid,lvl/gone.png\r\n");
        // The load says which images it could not read.
        const auto answer = answerNextMessageBox(QMessageBox::Ok);
        QVERIFY(s.view->loadMapFromFile(dir.path() + "/lvl.map"));
        zoomKeepingOrigin(*s.view, zoom);
        const int size = s.view->cellSize();
        const QImage picture = s.view->mapWidget()->grab(QRect(0, 0, 4 * size, size)).toImage();
        const QString difference = differenceFromReference(picture, QTest::currentDataTag());
        QVERIFY2(difference.isEmpty(), qPrintable(difference));

        QVERIFY(s.layers->sectorAt(0, 0)->properties->button->toolTip().contains("lvl/missing.png"));
        QVERIFY(s.layers->sectorAt(1, 0)->properties->button->toolTip().contains("lvl/garbage.png"));
        QVERIFY(s.layers->sectorAt(3, 0)->properties->button->toolTip().isEmpty());
    }

    void galleryMarksAndNamesWholly()
    {
        MapScene s;
        s.fixture.workdir.writeFile("textures/Wall/a-very-long-texture-name-broken.png", "not an image");
        s.view->gallery()->reload();
        s.view->gallery()->setLayer("Wall");
        const QList<QListWidgetItem *> found
            = control<QListWidget>(s.view, "listViewTextures")->findItems("a-very-long-texture-name-broken.png", Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QVERIFY(!found.front()->icon().isNull());
        QVERIFY(found.front()->toolTip().startsWith("a-very-long-texture-name-broken.png\nMissing image"));
        QCOMPARE(control<QListWidget>(s.view, "listViewTextures")->textElideMode(), Qt::ElideNone);
    }
};

QTEST_MAIN(MissingImageTest)
#include "tst_missingimage.moc"

// What the designer sees on the map, pixel for pixel: a small level with
// see-through and opaque objects on several layers and a selection, with
// Wall, Sprite and Lightmap current, at every zoom; and objects whose image is
// missing, unreadable or not an image, which show the missing-image mark
// tinted like any object, named in their tool tips and in the gallery. All
// compared with the pictures in tests/pictures/. GORSEED_WRITE_PICTURES=1
// writes them afresh.
#include "testsupport.h"

#include <QImage>
#include <QPainter>
#include <QScreen>

namespace {
const QSize pictureSize(400, 330);

// Images whose every pixel row and column differ, so that a tile or icon one
// pixel off shows; see-through textures have holes and soft edges.
void writePattern(const QString &path, int size, QColor base, bool seeThrough)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(seeThrough ? Qt::transparent : base);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (seeThrough) {
        painter.setBrush(base);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(size * 0.2, size * 0.15, size * 0.6, size * 0.7));
    } else {
        painter.setPen(base.darker(180));
        for (int i = 0; i < size; i += 5)
            painter.drawLine(0, i, i, 0);
    }
    painter.setPen(base.lighter(150));
    painter.drawLine(0, 0, size - 1, 0);
    painter.end();
    QDir().mkpath(QFileInfo(path).path());
    image.save(path);
}

void writeLevelImages()
{
    QDir().mkpath(QStringLiteral("assets"));
    for (int size : {16, 32, 48, 64}) {
        QImage tile(size, size, QImage::Format_RGB32);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                tile.setPixel(x, y, qRgb(40 + x / 8 * 12, 50 + y / 8 * 12, (x == 0 || y == 0) ? 200 : 60));
        tile.save(QStringLiteral("assets/bg%1x%1.jpg").arg(size), nullptr, 100);
    }
    writePattern("assets/lamp.png", 64, QColor(250, 230, 120), true);
    writePattern("textures/Wall/brick.png", 64, QColor(170, 60, 40), false);
    writePattern("textures/Floor/tiles.png", 64, QColor(90, 140, 90), false);
    writePattern("textures/Ceil/panel.png", 64, QColor(120, 120, 160), false);
    writePattern("textures/Door/door.png", 48, QColor(140, 100, 50), false);
    writePattern("textures/Actor/soldier.png", 64, QColor(60, 90, 200), true);
    writePattern("textures/Sprite/barrel.png", 64, QColor(200, 160, 40), true);
    writePattern("textures/Item/health.png", 32, QColor(230, 40, 40), true);
}

void place(GorseED &window, const char *layer, std::initializer_list<QPoint> cells, int emission = -1)
{
    chooseLayer(window, layer);
    for (const QPoint &cell : cells) {
        Sector *sector = window.mapView->placeSectorAt(cell);
        window.mapView->layers()->addSector(sector);
        if (emission >= 0) {
            SectorLighting lighting;
            lighting.emission = emission;
            sector->setLighting(lighting);
        }
    }
}

// Six by five cells: walls along the top and the sides, a door, a row of
// floor under sprites, ceilings, an actor, an item and light cells of three levels.
void buildLevel(GorseED &window)
{
    place(window, "Wall", {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {0, 1}, {5, 1}, {0, 2}});
    place(window, "Door", {{3, 1}});
    place(window, "Floor", {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}});
    place(window, "Ceil", {{0, 4}, {1, 4}, {3, 1}});
    place(window, "Sprite", {{1, 1}, {1, 3}, {4, 1}});
    place(window, "Actor", {{2, 2}, {3, 3}});
    place(window, "Item", {{4, 2}, {5, 4}});
    place(window, "Lightmap", {{1, 2}, {2, 3}}, 200);
    place(window, "Lightmap", {{4, 4}, {4, 3}}, 90);
    place(window, "Lightmap", {{2, 1}});
    chooseLayer(window, "Wall");
}

QImage mapPicture(GorseED &window)
{
    QCoreApplication::processEvents();
    window.repaint();
    QWidget *map = window.mapView->mapWidget();
    const QPoint topLeft = map->mapTo(&window, QPoint(0, 0));
    return window.screen()
        ->grabWindow(window.winId(), topLeft.x(), topLeft.y(), pictureSize.width(), pictureSize.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}
} // namespace

class MapPictureTest : public QObject
{
    Q_OBJECT

private slots:
    void looksAsBefore_data()
    {
        QTest::addColumn<QString>("layer");
        QTest::addColumn<QRect>("selection");
        QTest::addColumn<bool>("tiles");
        for (const char *zoom : {"1", "2", "3", "4"}) {
            QTest::addRow("Wall-%s", zoom) << "Wall" << QRect(QPoint(1, 0), QPoint(5, 1)) << true;
            QTest::addRow("Sprite-%s", zoom) << "Sprite" << QRect(QPoint(1, 1), QPoint(1, 3)) << true;
            QTest::addRow("Lightmap-%s", zoom) << "Lightmap" << QRect(QPoint(1, 2), QPoint(2, 2)) << true;
        }
        // Without its tile image the map is plain black, under objects too.
        QTest::addRow("Sprite-2-untiled") << "Sprite" << QRect(QPoint(1, 1), QPoint(1, 3)) << false;
    }

    void looksAsBefore()
    {
        QFETCH(QString, layer);
        QFETCH(QRect, selection);
        QFETCH(bool, tiles);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        // No hover highlight anywhere.
        QCursor::setPos(-500, -500);
        WorkingDirectory workdir;
        writeLevelImages();
        if (!tiles)
            QVERIFY(QFile::remove("assets/bg32x32.jpg"));
        GorseED window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        buildLevel(window);

        chooseLayer(window, layer);
        control<QRadioButton>(window.mapView, "radioSelect")->click();
        window.mapView->layers()->selectRect(selection.left(), selection.top(), selection.right(),
                                                    selection.bottom());
        zoomKeepingOrigin(*window.mapView, name.section('-', 1, 1).toInt());
        const QImage picture = mapPicture(window);

        const QString difference = differenceFromReference(picture, name);
        if (qEnvironmentVariableIsSet("GORSEED_WRITE_PICTURES"))
            return;
        // Nothing from the map up is styled, and object buttons still say they are plain buttons.
        for (QWidget *widget = window.mapView->mapWidget(); widget; widget = widget->parentWidget())
            QVERIFY(widget->styleSheet().isEmpty());
        QCOMPARE(window.mapView->layers()->layerList("Wall").front()->properties->button->metaObject()->className(),
                 "QPushButton");
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

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
        QVERIFY(s.view->files()->loadMapFromFile(dir.path() + "/lvl.map"));
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

QTEST_MAIN(MapPictureTest)
#include "tst_mappicture.moc"

// Making objects: defaults, subtypes per kind, positions on a panned view.
#include "testsupport.h"

#include "app/gorseed.h"
#include "gallery/texturegallery.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/sectorfactory.h"
#include "model/subtypetable.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

class SectorsTest : public QObject
{
    Q_OBJECT

private slots:
    void newObjectsPerKind_data()
    {
        QTest::addColumn<QString>("layer");
        QTest::addColumn<QString>("subtype");
        QTest::newRow("Ceil") << "Ceil"
                              << "";
        QTest::newRow("Floor") << "Floor"
                               << "";
        QTest::newRow("Wall") << "Wall"
                              << "Solid";
        QTest::newRow("Door") << "Door"
                              << "Solid";
        QTest::newRow("Actor") << "Actor"
                               << "Soldier";
        QTest::newRow("Sprite") << "Sprite"
                                << "No Collision";
        QTest::newRow("Item") << "Item"
                              << "Healthpack";
        QTest::newRow("Lightmap") << "Lightmap"
                                  << "Static";
    }

    void newObjectsPerKind()
    {
        QFETCH(QString, layer);
        QFETCH(QString, subtype);
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        editor.window->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
        view->mapViewZoomSlider->setValue(2);
        view->originX = 3;
        view->originY = 2;
        PlacementContext context = view->placementContext();
        std::unique_ptr<Sector> sector(createSector(QPoint(5, 7), context));
        const SectorProperties &p = *sector->properties;

        QCOMPARE(QString::fromStdString(p.kind), layer);
        QCOMPARE(QString::fromStdString(p.subtype), subtype);
        QCOMPARE(p.mapX, 2);
        QCOMPARE(p.mapY, 5);
        QCOMPARE(p.button->geometry(), QRect(160, 224, 32, 32));
        QCOMPARE(p.button->parentWidget(), view->mapWidget);
        QVERIFY(p.button->isFlat() && p.button->isVisible() && p.button->text().isEmpty());
        QCOMPARE(p.button->iconSize(), QSize(32, 32));
        QCOMPARE(p.worldX, 160.0);
        QCOMPARE(p.lighting.emission, 10);
        QCOMPARE(p.lighting.emissionMin, 0);
        QCOMPARE(p.lighting.emissionMax, 255);
        QCOMPARE(p.lighting.blinkDelay, 0.5);
        QCOMPARE(p.lighting.emissionRadius, 0);
        QCOMPARE(p.lighting.emissionIntensity, 255);
        QVERIFY(!p.lighting.isDynamic && !p.lighting.randomIntensity && !p.lighting.isLightEmitter);
        const TextureRef current = view->textureGallery->currentTexture;
        QCOMPARE(p.textureName, current.textureName);
        if (layer == "Lightmap")
            QVERIFY(p.textureId > current.textureId);
        else
            QCOMPARE(p.textureId, current.textureId);
    }

    void subtypeTable()
    {
        const SubtypeTable table;
        QCOMPARE(table.subtypesByKind.size(), size_t(8));
        QCOMPARE(table.itemSubtypes.size(), size_t(14));
        QCOMPARE(table.itemSubtypes.back(), std::string("LevelEnd"));
        QCOMPARE(table.subtypesByKind.at("Door").at(4), std::string("YellowKeyDoor"));
        QCOMPARE(table.subtypesByKind.at("Actor").back(), std::string("Player"));
        QVERIFY_EXCEPTION_THROWN(table.subtypesByKind.at("Roof"), std::out_of_range);
    }

    void worldPositionAndLifetime()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        Sector *sector = view->placeSectorAt(QPoint(1, 1));
        sector->setWorldPosition(10.9, -0.5);
        QCOMPARE(sector->properties->button->pos(), QPoint(10, 0));
        QCOMPARE(sector->properties->worldY, -0.5);
        sector->setTexture(TextureRef {"x.png", "textures/Wall/", 123});
        QCOMPARE(sector->properties->textureId, 123);
        QPointer<QPushButton> button = sector->properties->button;
        delete sector;
        QVERIFY(!button);
    }
};

QTEST_MAIN(SectorsTest)
#include "tst_sectors.moc"

// The texture gallery: what each layer offers, running numbers, the current
// texture, and a working directory without assets or textures.
#include "testsupport.h"

#include "app/gorseed.h"
#include "gallery/texturegallery.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

class GalleryTest : public QObject
{
    Q_OBJECT

private:
    static QStringList shownNames(GorseED &window)
    {
        auto *list = window.findChild<QListWidget *>(QStringLiteral("listViewTextures"));
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    static void chooseLayer(GorseED &window, const QString &layer)
    {
        window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
    }

private slots:
    void folderFiltersAndSorting()
    {
        WorkingDirectory workdir;
        workdir.writeAssets();
        workdir.writeTextures("Wall", {"b.JPG", "a.png", "c.gif"});
        workdir.writeFile("textures/Wall/d.txt", "not an image");
        workdir.writeFile("textures/Wall/broken.png", "not a png either");
        workdir.makeFolder("textures/Wall/e.png");
        workdir.writeTextures("Lightmap", {"ignored.png"});
        GorseED window;
        QCOMPARE(shownNames(window), QStringList({"a.png", "b.JPG", "broken.png"}));
        const TextureRef first = window.mapView->textureGallery->shownTextures.front();
        QCOMPARE(first.textureDir, std::string("textures/Wall/"));
        QCOMPARE(first.textureId, 100);

        chooseLayer(window, "Lightmap");
        QCOMPARE(shownNames(window), QStringList({"lamp.png"}));
        const TextureRef lamp = window.mapView->textureGallery->currentTexture;
        QCOMPARE(lamp.textureDir, std::string("assets/"));
        QCOMPARE(lamp.textureId, 103);

        // An unreadable image still places a flat, empty object.
        chooseLayer(window, "Wall");
        window.findChild<QListWidget *>(QStringLiteral("listViewTextures"))->setCurrentRow(2);
        Sector *sector = window.mapView->placeSectorAt(QPoint(0, 0));
        QVERIFY(sector->properties->button->icon().isNull());
        QCOMPARE(sector->properties->textureName, std::string("broken.png"));
        delete sector;
    }

    void numbersRunAcrossLayers()
    {
        WorkingDirectory workdir;
        workdir.writeAssets();
        workdir.writeTextures("Ceil", {"c.png"});
        workdir.writeTextures("Wall", {"w.png"});
        GorseED window;
        TextureGallery *gallery = window.mapView->textureGallery;
        QCOMPARE(gallery->texturesByLayer["Ceil"].front().textureId, 100);
        QCOMPARE(gallery->texturesByLayer["Wall"].front().textureId, 101);
        QCOMPARE(gallery->texturesByLayer["Lightmap"].front().textureId, 102);

        chooseLayer(window, "Lightmap");
        Sector *first = window.mapView->placeSectorAt(QPoint(0, 0));
        Sector *second = window.mapView->placeSectorAt(QPoint(1, 0));
        QCOMPARE(first->properties->textureId, 104);
        QCOMPARE(second->properties->textureId, 105);
        delete first;
        delete second;
    }

    void bareWorkingDirectoryStarts()
    {
        WorkingDirectory workdir; // no assets, no textures
        GorseED window;
        window.show();
        MapView *view = window.mapView;
        QVERIFY(shownNames(window).isEmpty());
        QCOMPARE(view->textureGallery->currentTexture.textureId, -1);
        QCOMPARE(view->textureGallery->texturesByLayer["Lightmap"].front().textureId, 100);
        QCOMPARE(view->toolCursor.shape(), Qt::ArrowCursor);
        Sector *wall = view->placeSectorAt(QPoint(1, 1));
        view->layerController->addSector(wall);
        QVERIFY(wall->properties->button->icon().isNull());
        QCOMPARE(wall->properties->textureId, -1);
        chooseLayer(window, "Lightmap");
        Sector *light = view->placeSectorAt(QPoint(2, 2));
        QCOMPARE(light->properties->textureId, 102);
        view->layerController->addSector(light);
        view->mapViewZoomSlider->setValue(1);
        QCOMPARE(wall->properties->button->pos(), QPoint(16, 16));
    }

    void currentTextureFollowsTheList()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        TextureGallery *gallery = window.mapView->textureGallery;
        auto *list = window.findChild<QListWidget *>(QStringLiteral("listViewTextures"));
        // Selecting an item makes it current at once, before any click handler.
        list->setCurrentRow(1);
        QCOMPARE(gallery->currentTexture.textureName, std::string("stone.png"));
        chooseLayer(window, "Floor");
        QCOMPARE(gallery->currentTexture.textureName, std::string("tiles.png"));
        QCOMPARE(gallery->currentTexture.textureDir, std::string("textures/Floor/"));

        // A layer without textures keeps the previous texture current.
        QDir("textures/Sprite").removeRecursively();
        gallery->reload();
        gallery->setLayer("Floor");
        chooseLayer(window, "Sprite");
        QVERIFY(shownNames(window).isEmpty());
        QCOMPARE(gallery->currentTexture.textureName, std::string("tiles.png"));
    }

    void reloadOffersNewImages()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        TextureGallery *gallery = window.mapView->textureGallery;
        chooseLayer(window, "Lightmap");
        const int lightNumber = gallery->nextLightmapId();
        chooseLayer(window, "Wall");
        editor.workdir.writeTextures("Wall", {"added.png"});
        QCOMPARE(shownNames(window), QStringList({"brick.png", "stone.png"}));
        gallery->reload();
        gallery->setLayer("Wall");
        QCOMPARE(shownNames(window), QStringList({"added.png", "brick.png", "stone.png"}));
        // Every image found again takes a fresh number, none that an object
        // already carries: one Ceil and two Floor images come first.
        QCOMPARE(gallery->shownTextures.front().textureId, lightNumber + 4);
        QCOMPARE(gallery->texturesByLayer["Ceil"].front().textureId, lightNumber + 1);
        QCOMPARE(gallery->currentTexture.textureName, std::string("added.png"));
    }
};

QTEST_MAIN(GalleryTest)
#include "tst_gallery.moc"

// The texture gallery: what each layer offers, running numbers, the current
// texture, and a working directory without assets or textures.
#include "testsupport.h"

namespace {
QStringList shownNames(GorseED &window)
{
    QStringList names;
    for (int i = 0; i < control<QListWidget>(window.mapView, "listViewTextures")->count(); ++i)
        names << control<QListWidget>(window.mapView, "listViewTextures")->item(i)->text();
    return names;
}
} // namespace

class GalleryTest : public QObject
{
    Q_OBJECT

private slots:
    void filtersSortsAndNumbersAcrossLayers()
    {
        WorkingDirectory workdir;
        workdir.writeAssets();
        workdir.writeTextures("Ceil", {"c.png"});
        workdir.writeTextures("Wall", {"b.JPG", "a.png", "c.gif"});
        workdir.writeFile("textures/Wall/d.txt", "not an image");
        workdir.writeFile("textures/Wall/broken.png", "not a png either");
        workdir.makeFolder("textures/Wall/e.png");
        workdir.writeTextures("Lightmap", {"ignored.png"});
        GorseED window;
        TextureGallery *gallery = window.mapView->gallery();
        QCOMPARE(shownNames(window), QStringList({"a.png", "b.JPG", "broken.png"}));
        QCOMPARE(gallery->shownTextures.front().textureDir, std::string("textures/Wall/"));
        QCOMPARE(gallery->shownTextures.front().textureId, 101);

        // An unreadable image still places a flat, empty object.
        control<QListWidget>(window.mapView, "listViewTextures")->setCurrentRow(2);
        std::unique_ptr<Sector> broken(window.mapView->placeSectorAt(QPoint(0, 0)));
        QVERIFY(broken->properties->button->icon().isNull());
        QCOMPARE(broken->properties->textureName, std::string("broken.png"));

        // Light cells show the lamp and number each new cell after it.
        chooseLayer(window, "Lightmap");
        QCOMPARE(shownNames(window), QStringList({"lamp.png"}));
        QCOMPARE(gallery->currentTexture.textureDir, std::string("assets/"));
        QCOMPARE(gallery->currentTexture.textureId, 104);
        std::unique_ptr<Sector> first(window.mapView->placeSectorAt(QPoint(0, 0)));
        std::unique_ptr<Sector> second(window.mapView->placeSectorAt(QPoint(1, 0)));
        QCOMPARE(first->properties->textureId, 106);
        QCOMPARE(second->properties->textureId, 107);
    }

    void bareWorkingDirectoryStarts()
    {
        WorkingDirectory workdir; // no assets, no textures
        GorseED window;
        window.show();
        MapView *view = window.mapView;
        QVERIFY(shownNames(window).isEmpty());
        QCOMPARE(view->gallery()->currentTexture.textureId, -1);
        QCOMPARE(view->toolCursor().shape(), Qt::ArrowCursor);
        view->layers()->addSector(view->placeSectorAt(QPoint(1, 1)));
        Sector *wall = view->layers()->sectorAt(1, 1);
        QVERIFY(wall->properties->button->icon().isNull());
        QCOMPARE(wall->properties->textureId, -1);
        chooseLayer(window, "Lightmap");
        view->layers()->addSector(view->placeSectorAt(QPoint(2, 2)));
        QCOMPARE(view->layers()->sectorAt(2, 2)->properties->textureId, 102); // after the lamp's 100
        zoomKeepingOrigin(*view, 1);
        QCOMPARE(shownRect(wall->properties->button).topLeft(), QPoint(16, 16));
    }

    void currentTextureAndReload()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        TextureGallery *gallery = window.mapView->gallery();
        // Selecting an item makes it current at once, before any click handler.
        control<QListWidget>(window.mapView, "listViewTextures")->setCurrentRow(1);
        QCOMPARE(gallery->currentTexture.textureName, std::string("stone.png"));
        chooseLayer(window, "Floor");
        QCOMPARE(gallery->currentTexture.textureName, std::string("tiles.png"));
        chooseLayer(window, "Lightmap");
        const int lightNumber = gallery->nextLightmapId();

        chooseLayer(window, "Wall");
        editor.workdir.writeTextures("Wall", {"added.png"});
        QDir("textures/Sprite").removeRecursively();
        QCOMPARE(shownNames(window), QStringList({"brick.png", "stone.png"}));
        gallery->reload();
        gallery->setLayer("Wall");
        QCOMPARE(shownNames(window), QStringList({"added.png", "brick.png", "stone.png"}));
        QCOMPARE(gallery->currentTexture.textureName, std::string("added.png"));
        // Every image found again takes a fresh number, none that an object
        // already carries: one Ceil and two Floor images come first.
        QCOMPARE(gallery->texturesByLayer["Ceil"].front().textureId, lightNumber + 1);
        QCOMPARE(gallery->shownTextures.front().textureId, lightNumber + 4);

        // A layer without textures keeps the previous texture current.
        chooseLayer(window, "Sprite");
        QVERIFY(shownNames(window).isEmpty());
        QCOMPARE(gallery->currentTexture.textureName, std::string("added.png"));
    }
};

QTEST_MAIN(GalleryTest)
#include "tst_gallery.moc"

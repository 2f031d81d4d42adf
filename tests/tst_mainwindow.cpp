// The main window as a designer sees it: widget tree, texts and shortcuts,
// zoom and the look of tints, the mode/tool states and the Shift/Ctrl
// temporary layers.
#include "testsupport.h"

#include "model/maptile.h"
#include "model/objectbutton.h"

#include <QGraphicsEffect>

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void zoomLaysOutAndTintsEveryLayer()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        LayerController *layers = view->layers();
        zoomKeepingOrigin(*view, 2);
        view->setOrigin(QPoint(1, view->origin().y()));
        layers->addSector(view->placeSectorAt(QPoint(3, 3)));
        Sector *wall = layers->sectorAt(2, 3); // map cell (2, 3)
        chooseLayer(*editor.window, "Floor");
        layers->addSector(view->placeSectorAt(QPoint(1, 0)));
        Sector *floor = layers->sectorAt(0, 0);
        QPushButton *button = wall->properties->button;
        const QColor blue(0, 0, 155);
        QCOMPARE(tintOf(wall), blue);
        auto drawn = [&] { return view->mapWidget()->grab(button->geometry()).toImage(); };
        for (int value : {1, 2, 3, 4}) {
            zoomKeepingOrigin(*view, value);
            const int size = 16 * value;
            QCOMPARE(MapTile::current(view->mapWidget()).size(), QSize(size, size));
            // The wall layer, not current, moves just like the current floor layer.
            QCOMPARE(button->geometry(), QRect(3 * size, 3 * size, size, size));
            QCOMPARE(button->iconSize(), QSize(size, size));
            QCOMPARE(wall->properties->worldX, 3.0 * size);
            QCOMPARE(floor->properties->button->pos(), QPoint(size, 0));
            // Its tint, drawn afresh and then from the cache, looks exactly as
            // Qt's own colourise effect draws it, and no object carries one.
            QVERIFY(!button->graphicsEffect());
            const QImage tinted = drawn();
            QCOMPARE(drawn(), tinted);
            ObjectButton::of(button)->setTint(QColor());
            QVERIFY(drawn() != tinted);
            auto *reference = new QGraphicsColorizeEffect(button);
            reference->setColor(blue);
            button->setGraphicsEffect(reference);
            QCOMPARE(drawn(), tinted);
            button->setGraphicsEffect(nullptr);
            ObjectButton::of(button)->setTint(blue);
        }
    }

    void startStateModesAndTemporaryLayers()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        LayerController *layers = view->layers();
        layers->addSector(view->placeSectorAt(QPoint(1, 1)));
        Sector *wall = layers->sectorAt(1, 1);
        auto state = [view, wall] {
            const std::pair<bool, const char *> flags[]
                = {{control<QRadioButton>(view, "radioPaint")->isChecked(), "edit"},
                   {control<QRadioButton>(view, "radioSelect")->isChecked(), "select"},
                   {control<QRadioButton>(view, "radioPencil")->isChecked(), "pencil"},
                   {control<QRadioButton>(view, "radioFloodFill")->isChecked(), "fill"},
                   {control<QRadioButton>(view, "radioPencil")->isEnabled(), "pencil-enabled"},
                   {control<QRadioButton>(view, "radioFloodFill")->isEnabled(), "fill-enabled"},
                   {control<QPushButton>(view, "btnEditSelection")->isEnabled(), "edit-selection"},
                   {view->toolCursor().shape() == Qt::CrossCursor, "cross"},
                   {wall->properties->button->testAttribute(Qt::WA_TransparentForMouseEvents), "click-through"},
                   {tintOf(wall).isValid(), "tinted"}};
            QStringList on;
            for (auto [set, word] : flags)
                if (set)
                    on << word;
            return on.join(' ');
        };
        QCOMPARE(window.size(), QSize(1124, 768));
        QCOMPARE(layers->currentLayer(), std::string("Wall"));
        QVERIFY(control<QListWidget>(view, "listViewTextures")->item(0)->isSelected());
        QCOMPARE(view->gallery()->currentTexture.textureName, std::string("brick.png"));
        QCOMPARE(view->cellSize(), 64);
        QCOMPARE(MapTile::current(view->mapWidget()).size(), QSize(64, 64));
        QCOMPARE(state(), QStringLiteral("edit pencil pencil-enabled fill-enabled"));
        QCOMPARE(view->toolCursor().pixmap().toImage().pixelColor(5, 5), QColor(Qt::yellow));
        QTest::mouseClick(control<QRadioButton>(view, "radioFloodFill"), Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("edit fill pencil-enabled fill-enabled click-through"));
        QCOMPARE(view->toolCursor().pixmap().toImage().pixelColor(5, 5), QColor(Qt::cyan));
        // Select mode keeps the selection; edit mode drops it. A button
        // shortcut clicks its button after a short press animation.
        layers->selectRect(1, 1, 1, 1);
        QTest::keyClick(&window, Qt::Key_S);
        QTRY_COMPARE(state(), QStringLiteral("select fill edit-selection cross click-through tinted"));
        QTest::keyClick(&window, Qt::Key_E);
        QTRY_COMPARE(state(), QStringLiteral("edit pencil pencil-enabled fill-enabled"));
        QVERIFY(layers->selection().empty());

        // Shift on the Wall layer changes nothing, but its release empties the status line.
        QTest::keyPress(&window, Qt::Key_Shift);
        QCOMPARE(view->statusText(), QStringLiteral("--"));
        QTest::keyRelease(&window, Qt::Key_Shift);
        QCOMPARE(view->statusText(), QString());
        chooseLayer(window, "Floor");
        QTest::keyPress(&window, Qt::Key_Shift);
        QCOMPARE(layers->currentLayer(), std::string("Wall"));
        QCOMPARE(view->statusText(), QStringLiteral("Temporary editing Walls layer"));
        layers->addSector(view->placeSectorAt(QPoint(2, 2)));
        // A wall, with the Floor gallery's texture.
        QCOMPARE(layers->sectorAt(2, 2)->properties->textureName, std::string("tiles.png"));
        QTest::keyPress(&window, Qt::Key_Control);
        QCOMPARE(layers->currentLayer(), std::string("Door"));
        QCOMPARE(view->statusText(), QStringLiteral("Temporary editing Doors layer"));
        QTest::keyRelease(&window, Qt::Key_Control);
        QCOMPARE(layers->currentLayer(), std::string("Floor"));
        QCOMPARE(layers->comboLayer(), std::string("Floor"));
        QCOMPARE(view->statusText(), QString());
        QCOMPARE(layers->layerList("Wall").size(), size_t(2));
        QVERIFY(layers->currentSectors().empty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

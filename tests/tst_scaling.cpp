// How the work of the heavy operations grows with the map: each image is
// decoded once, a load paints nothing until its objects are all made, a pan
// step moves no object, a zoom lays out only what is in sight, and a layer
// switch leaves alone the objects whose look does not change.
#include "testsupport.h"

#include "model/layerpane.h"
#include "model/mapedits.h"
#include "model/tintcache.h"

#include <QMouseEvent>
#include <QPointer>
#include <QSet>

namespace {
// Whether `object` is the button of an object on `map`: on one of its layer panes.
bool onMap(const QObject *object, const QWidget *map)
{
    const auto *button = qobject_cast<const QPushButton *>(object);
    return button && LayerPane::paneOf(button) && LayerPane::mapOf(button) == map;
}

// Counts the events of these types: through the application's filter those
// of every button on `map`, made before or after, or else those of the
// objects it is installed on.
struct EventCounter : QObject
{
    explicit EventCounter(std::initializer_list<QEvent::Type> types, const QWidget *map = nullptr)
        : types(types), map(map)
    {
        if (map)
            qApp->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (types.contains(event->type()) && (!map || onMap(watched, map)))
            ++counts[watched];
        return false;
    }
    QList<QEvent::Type> types;
    const QWidget *map;
    QHash<QObject *, int> counts;
};

// A block of objects on each of the given layers, then `current` is made current.
std::vector<Sector *> fill(GorseED &window, std::initializer_list<const char *> layers, QSize block,
                           const char *current)
{
    std::vector<Sector *> all;
    for (const char *layer : layers) {
        chooseLayer(window, layer);
        for (int y = 0; y < block.height(); ++y)
            for (int x = 0; x < block.width(); ++x) {
                all.push_back(window.mapView->placeSectorAt(QPoint(x, y)));
                window.mapView->layers()->addSector(all.back());
            }
    }
    chooseLayer(window, current);
    return all;
}
} // namespace

class ScalingTest : public QObject
{
    Q_OBJECT

private slots:
    void loadSharesOneIconPerImage()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        fill(*editor.window, {"Wall", "Floor"}, QSize(20, 10), "Floor");
        const QString file = editor.workdir.path() + "/level.map";
        QVERIFY(MapFile().writeMapFile(file, view->layers()->registry()));
        QVERIFY(view->files()->loadMapFromFile(file));
        QSet<qint64> icons;
        for (const auto &layer : view->layers()->registry())
            for (const Sector *sector : layer.second)
                icons.insert(sector->properties->button->icon().cacheKey());
        QCOMPARE(view->layers()->layerList("Floor").size(), size_t(200));
        QCOMPARE(icons.size(), 2);
    }

    void loadOverLevelDestroysTheOldAndPaintsAtTheEnd()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        std::vector<Sector *> made = fill(*editor.window, {"Wall", "Floor", "Actor"}, QSize(20, 10), "Wall");
        made.push_back(view->placeSectorAt(QPoint(300, 200)));
        view->layers()->addSector(made.back());
        const QString file = editor.workdir.path() + "/level.map";
        QVERIFY(MapFile().writeMapFile(file, view->layers()->registry()));
        std::vector<QPointer<Sector>> old(made.begin(), made.end());
        // Loaded while far from where the load puts the view.
        view->centreOnCell(QPoint(300, 200));
        EventCounter counter({QEvent::Paint}, view->mapWidget());
        QVERIFY(view->files()->loadMapFromFile(file));
        // Nothing is painted while the objects are made; the map in sight is painted afterwards.
        QVERIFY(counter.counts.isEmpty());
        QCoreApplication::processEvents();
        QVERIFY(counter.counts.size() > 50);
        QVERIFY(std::all_of(old.begin(), old.end(), [](const QPointer<Sector> &s) { return s.isNull(); }));
        // The objects in sight have buttons, the far wall none, and every
        // other button is one its pane keeps for later objects.
        size_t buttons = 0;
        for (const auto &layer : view->layers()->registry()) {
            buttons += LayerPane::of(view->mapWidget(), layer.first)->spareCount();
            for (const Sector *sector : layer.second) {
                const QPoint cell(sector->properties->mapX, sector->properties->mapY);
                QVERIFY(sector->properties->button || !view->shownMapCells().contains(cell));
                buttons += sector->properties->button != nullptr;
            }
        }
        QCOMPARE(size_t(view->mapWidget()->findChildren<QPushButton *>().size()), buttons);
        QVERIFY(!view->layers()->sectorOn("Wall", 300, 200)->properties->button);
    }

    void loadShowsEachSeenObjectOnce()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        fill(*editor.window, {"Wall", "Floor", "Actor"}, QSize(20, 10), "Wall");
        const QString file = editor.workdir.path() + "/level.map";
        QVERIFY(MapFile().writeMapFile(file, view->layers()->registry()));
        EventCounter counter({QEvent::ShowToParent}, view->mapWidget());
        QVERIFY(view->files()->loadMapFromFile(file));
        // With walls current, floors are never shown; walls and actors once each.
        QCOMPARE(counter.counts.size(), 400);
        for (const auto &layer : view->layers()->registry())
            for (const Sector *sector : layer.second) {
                QCOMPARE(counter.counts.value(sector->properties->button), layer.first == "Floor" ? 0 : 1);
                QCOMPARE(LayerPane::showsObject(sector->properties->button), layer.first != "Floor");
            }
    }

    void tintsOfLikeObjectsShareOnePicture()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        fill(*editor.window, {"Wall", "Door", "Floor"}, QSize(12, 8), "Floor");
        TintCache::clear();
        view->mapWidget()->grab();
        // One picture for all 96 blue walls, one for the plain floors; doors are hidden.
        QCOMPARE(TintCache::size(), 2);
        chooseLayer(*editor.window, "Wall");
        view->mapWidget()->grab();
        // Plain walls and blue doors: one more each.
        QCOMPARE(TintCache::size(), 4);
    }

    void strokeHoldsTheMouseAndObjectsStillOpenOnClick()
    {
        MapScene scene;
        scene.mouse.press(scene.mouse.cellCentre(0, 0), Qt::LeftButton);
        // Held, Qt does not search the map's objects for the pointer per new object.
        QCOMPARE(QWidget::mouseGrabber(), scene.view->mapWidget());
        scene.mouse.move(scene.mouse.cellCentre(3, 0));
        scene.mouse.release(scene.mouse.cellCentre(3, 0), Qt::LeftButton);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QCOMPARE(scene.layers->layerList("Wall").size(), size_t(4));
        scene.mouse.click(scene.mouse.cellCentre(2, 0), Qt::LeftButton);
        QVERIFY(scene.view->propertiesWindow());
        QCOMPARE(scene.view->propertiesWindow()->primarySector.data(), scene.layers->sectorAt(2, 0));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void panStepMovesThePanesAndNoObject()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        QWidget *map = view->mapWidget();
        EventCounter counter({QEvent::Move});
        const std::vector<Sector *> placed = fill(*editor.window, {"Wall", "Floor"}, QSize(12, 8), "Wall"); // floors hidden
        for (Sector *sector : placed)
            sector->properties->button->installEventFilter(&counter);
        const QRect before = shownRect(placed.back()->properties->button);
        QMouseEvent step(QEvent::MouseMove, QPoint(40, 5), map->mapToGlobal(QPoint(40, 5)), Qt::NoButton,
                         Qt::MiddleButton, Qt::NoModifier);
        QCoreApplication::sendEvent(map, &step);
        QCOMPARE(view->origin().x(), 1);
        QCOMPARE(counter.counts.size(), 0);
        QCOMPARE(shownRect(placed.back()->properties->button), before.translated(view->cellSize(), 0));
        // A pane on show reaches from map cell (0, 0) to the map's edges; one
        // off show is there at no size.
        const QRect pane(view->cellSize(), 0, map->width() - view->cellSize(), map->height());
        QCOMPARE(LayerPane::of(map, "Wall")->geometry(), pane);
        QCOMPARE(LayerPane::of(map, "Floor")->geometry(), QRect(pane.topLeft(), QSize(0, 0)));
    }

    void onlyObjectsNearTheViewHaveButtons()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        QWidget *map = view->mapWidget();
        std::vector<Sector *> placed = fill(*editor.window, {"Wall", "Floor"}, QSize(6, 4), "Wall"); // floors off show
        Sector *far = view->placeSectorAt(QPoint(200, 100));
        view->layers()->addSector(far);
        // Out of sight an object is its record alone; where it shows still follows from the view.
        QVERIFY(!far->properties->button);
        QCOMPARE(worldPosition(*far->properties, map), QPointF(200 * view->cellSize(), 100 * view->cellSize()));
        EventCounter counter({QEvent::Resize});
        for (Sector *sector : placed)
            sector->properties->button->installEventFilter(&counter);
        const auto laidOut = [&](const Sector *sector) {
            const SectorProperties &p = *sector->properties;
            return p.button && shownRect(p.button) == QRect(worldPosition(p).toPoint(), QSize(32, 32))
                && worldPosition(p).toPoint() == (QPoint(p.mapX, p.mapY) + view->origin()) * 32;
        };
        // A zoom lays out the walls in sight, once each, and not the floors off show.
        zoomKeepingOrigin(*view, 2);
        QCOMPARE(counter.counts.size(), 24);
        // Selected, then brought in sight: a button laid out for the view, green.
        view->layers()->selectRect(190, 90, 210, 110);
        view->centreOnCell(QPoint(200, 100));
        QVERIFY(laidOut(far) && LayerPane::showsObject(far->properties->button));
        QCOMPARE(tintOf(far), QColor(0, 155, 0));
        view->layers()->clearSelection();
        chooseLayer(*editor.window, "Floor");
        QCOMPARE(counter.counts.size(), 24);
        // Each end gave its buttons up at the other, beyond a view's width and
        // height from it; back at the origin every object has one again.
        view->moveViewTo(QPoint(0, 0));
        QVERIFY(std::all_of(placed.begin(), placed.end(), laidOut));
        QVERIFY(!far->properties->button);
        // A move takes objects out of sight and back, each with or without a button.
        chooseLayer(*editor.window, "Wall");
        std::vector<Sector *> walls(view->layers()->layerList("Wall").begin(), view->layers()->layerList("Wall").end());
        walls.pop_back();
        view->mapEdits()->move("Wall", walls, 300, 0, 1);
        QVERIFY(std::all_of(walls.begin(), walls.end(), [](const Sector *s) { return !s->properties->button; }));
        view->history()->undo();
        QVERIFY(std::all_of(walls.begin(), walls.end(), laidOut));
        // A Clear and its undo of objects out of sight keep them buttonless;
        // those in sight get theirs back.
        view->mapEdits()->clearLayer();
        view->history()->undo();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const Sector *wall : view->layers()->layerList("Wall"))
            QVERIFY(wall->properties->mapX == 200 ? !wall->properties->button : laidOut(wall));
    }

    void viewLooksTheSameHoweverItWasReached()
    {
        // Walls and actors over several blocks of cells, in a pattern that
        // does not repeat.
        const auto build = [](GorseED &window) {
            for (uint32_t layer : {1u, 2u}) {
                chooseLayer(window, layer == 1 ? "Actor" : "Wall");
                for (uint32_t y = 0; y < 40; ++y)
                    for (uint32_t x = 0; x < 40; ++x)
                        if (((x * 73856093u) ^ (y * 19349663u) ^ (layer * 83492791u)) % 3 == 0)
                            window.mapView->layers()->addSector(window.mapView->placeSectorAt(QPoint(int(x), int(y))));
            }
        };
        EditorFixture wandering;
        EditorFixture straight;
        build(*wandering.window);
        build(*straight.window);
        MapView *view = wandering.window->mapView;
        // Each object shows whole in its cell where that is in sight, and
        // nothing of it shows anywhere else.
        const auto showsEachInItsCell = [view] {
            const int size = view->cellSize();
            int whole = 0;
            for (const char *layer : {"Actor", "Wall"})
                for (const Sector *sector : view->layers()->layerList(layer)) {
                    const QPushButton *button = sector->properties->button;
                    const QPoint at = QPoint(sector->properties->mapX, sector->properties->mapY) + view->origin();
                    const QRect cell(at * size, QSize(size, size));
                    // Only an object out of sight may be without a button.
                    if (!button) {
                        if (view->mapWidget()->rect().intersects(cell))
                            return false;
                        continue;
                    }
                    const QRect shown = button->visibleRegion().boundingRect().translated(shownRect(button).topLeft());
                    if (!(shown.isEmpty() || cell.contains(shown)) || (view->mapWidget()->rect().contains(cell) && shown != cell))
                        return false;
                    whole += shown == cell;
                }
            return whole > 50;
        };
        // Blocks laid out at the smallest zoom, then, larger, seen from
        // where their old places lie in sight.
        zoomKeepingOrigin(*view, 1);
        zoomKeepingOrigin(*view, 4);
        view->moveViewTo(QPoint(-8, -2));
        QVERIFY(showsEachInItsCell());
        chooseLayer(*wandering.window, "Floor");
        view->moveViewTo(QPoint(-3, -30));
        zoomKeepingOrigin(*view, 3);
        chooseLayer(*wandering.window, "Wall");
        view->moveViewTo(QPoint(-9, -14));
        QVERIFY(showsEachInItsCell());
        // A larger window brings more blocks in sight.
        const QSize before = view->mapWidget()->size();
        wandering.window->resize(wandering.window->size() + QSize(400, 300));
        QCoreApplication::sendPostedEvents();
        QVERIFY(view->mapWidget()->width() > before.width() + 200);
        QVERIFY(showsEachInItsCell());
        wandering.window->resize(wandering.window->size() - QSize(400, 300));
        QCoreApplication::sendPostedEvents();
        zoomKeepingOrigin(*straight.window->mapView, 3);
        straight.window->mapView->moveViewTo(QPoint(-9, -14));
        QCOMPARE(view->mapWidget()->grab().toImage(), straight.window->mapView->mapWidget()->grab().toImage());
    }

    void windowActivationPassesObjectsByUnlessTheyLookDifferent()
    {
        EditorFixture editor;
        const std::vector<Sector *> placed = fill(*editor.window, {"Wall"}, QSize(4, 4), "Wall");
        EventCounter counter({QEvent::WindowDeactivate});
        for (Sector *sector : placed)
            sector->properties->button->installEventFilter(&counter);
        QEvent deactivate(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(editor.window.get(), &deactivate);
        QVERIFY(counter.counts.isEmpty());
        // With an inactive look of their own, the objects are told.
        QPalette palette = editor.window->palette();
        palette.setColor(QPalette::Inactive, QPalette::Button, Qt::red);
        editor.window->setPalette(palette);
        QCoreApplication::sendEvent(editor.window.get(), &deactivate);
        QCOMPARE(counter.counts.size(), 16);
    }

    void layerSwitchTouchesOnlyWhatChanges()
    {
        EditorFixture editor;
        const std::vector<Sector *> all = fill(*editor.window, {"Actor", "Floor"}, QSize(10, 10), "Door");
        EventCounter counter({QEvent::ShowToParent, QEvent::HideToParent, QEvent::Resize});
        for (const Sector *sector : all)
            sector->properties->button->installEventFilter(&counter);
        QWidget *map = editor.window->mapView->mapWidget();
        for (const char *layer : {"Actor", "Floor"})
            LayerPane::of(map, layer)->installEventFilter(&counter);
        const QColor blue(0, 0, 155);
        // Actors stay shown and blue, floors hidden and blue: nothing happens to them.
        chooseLayer(*editor.window, "Wall");
        QVERIFY(counter.counts.isEmpty());
        // Both layers change: actors go, floors come untinted, each layer's pane
        // once and no object on its own.
        chooseLayer(*editor.window, "Floor");
        QCOMPARE(counter.counts.size(), 2);
        for (const char *layer : {"Actor", "Floor"})
            QCOMPARE(counter.counts.value(LayerPane::of(map, layer)), 1);
        for (const Sector *sector : all) {
            const bool floor = sector->properties->kind == "Floor";
            QCOMPARE(LayerPane::showsObject(sector->properties->button), floor);
            QCOMPARE(tintOf(sector), floor ? QColor() : blue);
        }
        // An actor off show, found by Tab, passes the keyboard on to the map.
        QApplication::setActiveWindow(editor.window.get());
        editor.window->mapView->layers()->layerList("Actor").front()->properties->button->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), map);
    }

    void undoOfAClearTakesUpTheClearedButtons()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        const std::vector<Sector *> ceil = fill(*editor.window, {"Ceil"}, QSize(10, 10), "Ceil");
        QSet<QPushButton *> buttons;
        for (const Sector *sector : ceil)
            buttons.insert(sector->properties->button);
        const int widgets = view->mapWidget()->findChildren<QPushButton *>().size();
        const LayerPane *pane = LayerPane::of(view->mapWidget(), "Ceil");
        view->mapEdits()->clearLayer();
        QCOMPARE(pane->spareCount(), size_t(100));
        for (QPushButton *button : buttons)
            QVERIFY(button->isHidden());
        // A placed object takes up one kept button, shown, in its own cell.
        const Sector *placed = view->mapEdits()->placeNew(QPoint(12, 3));
        QVERIFY(buttons.contains(placed->properties->button) && placed->properties->button->isVisible());
        QCOMPARE(shownRect(placed->properties->button).topLeft(), QPoint(12, 3) * view->cellSize());
        for (int step = 0; step < 2; ++step) {
            view->history()->undo();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        // Every object is back on a kept button, and no widget was made.
        QCOMPARE(view->layers()->layerList("Ceil").size(), size_t(100));
        for (const Sector *sector : view->layers()->layerList("Ceil")) {
            QVERIFY(buttons.contains(sector->properties->button));
            QVERIFY(sector->properties->button->isVisible());
            QCOMPARE(shownRect(sector->properties->button).topLeft(),
                     QPoint(sector->properties->mapX, sector->properties->mapY) * view->cellSize());
        }
        QCOMPARE(view->mapWidget()->findChildren<QPushButton *>().size(), widgets);
        // A bulk destroy (a load, the map closing) takes the kept buttons along.
        view->mapEdits()->clearLayer();
        view->mapEdits()->placeNew(QPoint(12, 3));
        view->layers()->replaceAllLayers({});
        QCOMPARE(pane->spareCount(), size_t(0));
        QCOMPARE(view->mapWidget()->findChildren<QPushButton *>().size(), widgets - 100);
    }
};

QTEST_MAIN(ScalingTest)
#include "tst_scaling.moc"

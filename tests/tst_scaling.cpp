// How the work of the heavy operations grows with the map: each image is
// decoded once, a pan step moves each shown button once, and a layer switch
// leaves alone the objects whose look does not change.
#include "testsupport.h"

#include "app/gorseed.h"
#include "mapfile/mapfile.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QComboBox>
#include <QGraphicsEffect>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QTest>

namespace {
// Counts the move events that buttons on the map receive.
class MoveCounter : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Move && qobject_cast<QPushButton *>(watched))
            ++moves[watched];
        return false;
    }
    QHash<QObject *, int> moves;
};

void chooseLayer(GorseED &window, const QString &layer)
{
    window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
}

void fill(MapView *view, int columns, int rows)
{
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            view->layerController->addSector(view->placeSectorAt(QPoint(x, y)));
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
        fill(view, 20, 10);
        chooseLayer(*editor.window, "Floor");
        fill(view, 20, 10);
        MapFile writer;
        QVERIFY(writer.writeMapFile(editor.workdir.path() + "/level.map", view->layerController->sectorsByLayer));
        QVERIFY(view->loadMapFromFile(editor.workdir.path() + "/level.map"));

        QSet<qint64> icons;
        for (const auto &layer : view->layerController->sectorsByLayer)
            for (const Sector *sector : layer.second)
                icons.insert(sector->properties->button->icon().cacheKey());
        QCOMPARE(view->layerController->layerList("Floor").size(), size_t(200));
        QCOMPARE(icons.size(), 2);
    }

    void panStepMovesEachShownButtonOnce()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        fill(view, 12, 8);
        chooseLayer(*editor.window, "Floor");
        fill(view, 12, 8);
        chooseLayer(*editor.window, "Wall"); // floors hidden
        MoveCounter counter;
        for (const auto &layer : view->layerController->sectorsByLayer)
            for (const Sector *sector : layer.second)
                sector->properties->button->installEventFilter(&counter);

        QMouseEvent step(QEvent::MouseMove, QPoint(40, 5), view->mapWidget->mapToGlobal(QPoint(40, 5)), Qt::NoButton,
                         Qt::MiddleButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->mapWidget, &step);
        QCOMPARE(view->originX, 1);
        QCOMPARE(counter.moves.size(), 96);
        for (const Sector *wall : view->layerController->layerList("Wall"))
            QCOMPARE(counter.moves.value(wall->properties->button), 1);
    }

    void layerSwitchKeepsUnchangedTints()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        chooseLayer(window, "Actor");
        fill(view, 10, 10);
        chooseLayer(window, "Door");
        fill(view, 10, 1);
        chooseLayer(window, "Wall");
        std::vector<QGraphicsEffect *> before;
        for (const Sector *actor : view->layerController->layerList("Actor"))
            before.push_back(actor->properties->button->graphicsEffect());

        chooseLayer(window, "Door");
        for (size_t i = 0; i < before.size(); ++i)
            QCOMPARE(view->layerController->layerList("Actor")[i]->properties->button->graphicsEffect(), before[i]);
        QVERIFY(!tintOf(view->layerController->layerList("Door").front()).isValid());
    }
};

QTEST_MAIN(ScalingTest)
#include "tst_scaling.moc"

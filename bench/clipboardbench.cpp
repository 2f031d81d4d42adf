// Times the paste of 4,096 objects, one pointer step of the paste's floating
// preview and an arrow move of 1,024 selected objects on the level of 32,768
// objects (eight full layers of 4,096) in the real, offscreen window, next to
// what each is measured against: the undo and the redo of a Clear of 4,096
// objects, and the floor's move of 4,096 and of 1,024 plain flat buttons.
// Prints a Markdown table; docs/performance.md explains.
#include "levelbuilder.h"

#include "app/gorseed.h"
#include "mapview/clipboardcommands.h"
#include "mapview/historycommands.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QUndoStack>
#include <algorithm>
#include <functional>
#include <memory>

namespace {
// What the screen shows after a change: Qt paints the regions it made dirty.
void paintChanges()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

double timed(const std::function<void()> &operation)
{
    QElapsedTimer timer;
    timer.start();
    operation();
    paintChanges();
    return timer.nsecsElapsed() / 1e6;
}

// The floor: N flat buttons sharing one icon on a plain widget of the map's
// size, in rows 64 cells wide at the map's cell size, all moved by one cell.
struct Floor
{
    Floor(int count, int cellSize, QSize area)
    {
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::darkRed);
        const QIcon icon(pixmap);
        host = std::make_unique<QWidget>();
        host->resize(area);
        host->show();
        for (int i = 0; i < count; ++i) {
            auto *button = new QPushButton(host.get());
            button->setFlat(true);
            button->setIcon(icon);
            button->setIconSize(QSize(cellSize, cellSize));
            button->setGeometry(i % LevelBuilder::rowWidth * cellSize, i / LevelBuilder::rowWidth * cellSize, cellSize,
                                cellSize);
            button->show();
            buttons.push_back(button);
            if (i % 256 == 255)
                QCoreApplication::processEvents();
        }
        paintChanges();
    }
    double moveAll()
    {
        const int step = (shifted = !shifted) ? buttons.front()->width() : -buttons.front()->width();
        return timed([&] {
            for (QPushButton *button : buttons)
                button->move(button->x() + step, button->y());
        });
    }
    std::unique_ptr<QWidget> host;
    std::vector<QPushButton *> buttons;
    bool shifted = false;
};

struct Row
{
    QString operation;
    double ms;
    QString against;
    double againstMs;
};
} // namespace

int main(int argc, char *argv[])
{
    BenchProgram bench(argc, argv, QStringLiteral("GorseED paste and move benchmark"), 5);
    if (!bench.ready)
        return 2;
    const int reps = bench.reps;
    const int perLayer = 4096;

    // A window large enough to show the whole 64 x 64 level at 16-pixel
    // cells, with room beside it: pastes and moves stay on the shown map.
    GorseED window;
    window.resize(2600, 1700);
    window.show();
    LevelBuilder::settle(window);
    MapView *view = window.mapView;
    window.findChild<QSlider *>(QStringLiteral("mapViewZoomSlider"))->setValue(1);
    LevelBuilder::fillAllLayers(window, perLayer);
    ClipboardCommands &clipboard = *view->clipboardCommands();
    LayerController &layers = *view->layers();
    const int cell = view->cellSize();
    std::vector<Row> rows;

    // Paste against the Clear: the Ceil layer copied, cleared, and pasted
    // back in place, each paste undone again.
    LevelBuilder::chooseLayer(window, QStringLiteral("Ceil"));
    window.findChild<QRadioButton *>(QStringLiteral("radioSelect"))->click();
    layers.selectRect(0, 0, LevelBuilder::rowWidth - 1, LevelBuilder::rowsFor(perLayer) - 1);
    clipboard.copy();
    std::vector<double> clear, undoClear, redoClear, paste;
    for (int i = 0; i < reps; ++i) {
        timed([&] { view->mapEdits()->clearLayer(); });
        undoClear.push_back(timed([&] { view->history()->undo(); }));
        redoClear.push_back(timed([&] { view->history()->redo(); }));
        paste.push_back(timed([&] { clipboard.pasteInPlace(); }));
        fprintf(stderr, "paste: %s\n", qPrintable(view->statusText()));
        timed([&] { view->history()->undo(); });
        timed([&] { view->history()->undo(); });
    }
    rows.push_back({QStringLiteral("paste in place of 4,096 objects"), median(paste),
                    QStringLiteral("redo of a Clear of 4,096 (removes them)"), median(redoClear)});
    rows.push_back({QStringLiteral("paste in place of 4,096 objects"), median(paste),
                    QStringLiteral("undo of a Clear of 4,096 (makes them)"), median(undoClear)});

    // One pointer step of the floating preview of the 4,096 copied objects.
    LevelBuilder::chooseLayer(window, QStringLiteral("Wall"));
    clipboard.paste();
    std::vector<double> step;
    for (int i = 0; i < reps * 4; ++i)
        step.push_back(timed([&] { clipboard.movePreviewTo(QPoint(66 + i % 2, 2)); }));
    clipboard.cancelPaste();
    const QSize mapSize = view->mapWidget()->size();
    {
        Floor floor(perLayer, cell, mapSize);
        std::vector<double> floorMove;
        for (int i = 0; i < reps * 4; ++i)
            floorMove.push_back(floor.moveAll());
        rows.push_back({QStringLiteral("paste preview: one pointer step (4,096 objects)"), median(step),
                        QStringLiteral("floor: move all of 4,096 buttons"), median(floorMove)});
    }

    // An arrow move of 1,024 selected walls (16 rows of 64), right and back.
    LevelBuilder::chooseLayer(window, QStringLiteral("Wall"));
    window.findChild<QRadioButton *>(QStringLiteral("radioSelect"))->click();
    layers.selectRect(0, 0, LevelBuilder::rowWidth - 1, 1024 / LevelBuilder::rowWidth - 1);
    std::vector<double> arrow;
    for (int i = 0; i < reps * 4; ++i)
        arrow.push_back(timed([&] { clipboard.moveSelection(i % 2 ? -1 : 1, 0); }));
    fprintf(stderr, "move: %s; history %d steps\n", qPrintable(view->statusText()), view->history()->stack()->count());
    {
        Floor floor(1024, cell, mapSize);
        std::vector<double> floorMove;
        for (int i = 0; i < reps * 4; ++i)
            floorMove.push_back(floor.moveAll());
        rows.push_back({QStringLiteral("arrow move of 1,024 selected objects"), median(arrow),
                        QStringLiteral("floor: move all of 1,024 buttons"), median(floorMove)});
    }

    printf("| operation on 32,768 objects (median ms) | ms | against | ms | ratio |\n|---|---|---|---|---|\n");
    for (const Row &row : rows)
        printf("| %s | %.1f | %s | %.1f | %.2f |\n", qPrintable(row.operation), row.ms, qPrintable(row.against),
               row.againstMs, row.ms / row.againstMs);
    return 0;
}

// Times undo and redo of the big edits on a level of 32,768 objects (eight
// full layers of 4,096) in the real, offscreen window, next to the edit each
// one reverses, and measures the heap the history of those edits holds.
// Prints a Markdown table; docs/performance.md explains.
#include "levelbuilder.h"

#include "app/gorseed.h"
#include "mapview/mapchangecommand.h"
#include "mapview/historycommands.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSlider>
#include <QUndoStack>
#include <algorithm>
#include <functional>
#include <malloc.h>

namespace {
double timed(const std::function<void()> &operation, GorseED &window)
{
    QElapsedTimer timer;
    timer.start();
    operation();
    // What the step left for the event loop (deferred deletions, paint) counts.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    LevelBuilder::settle(window);
    return timer.nsecsElapsed() / 1e6;
}

// A mouse event on the map at the centre of a map cell.
void sendMouse(MapView *view, QEvent::Type type, QPoint cell, Qt::MouseButton button, Qt::MouseButtons held)
{
    QWidget *map = view->mapWidget();
    const int size = view->cellSize();
    const QPoint position((cell.x() + view->origin().x()) * size + size / 2, (cell.y() + view->origin().y()) * size + size / 2);
    QCursor::setPos(map->mapToGlobal(position));
    QMouseEvent event(type, position, map->mapToGlobal(position), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(map, &event);
}

struct Row
{
    QString edit;
    double edit_ms, undo_ms, redo_ms;
};
} // namespace

int main(int argc, char *argv[])
{
    BenchProgram bench(argc, argv, QStringLiteral("GorseED undo and redo benchmark"), 5, 4096);
    if (!bench.ready)
        return 2;
    const int perLayer = bench.perLayer;
    const int reps = bench.reps;

    GorseED window;
    window.show();
    LevelBuilder::settle(window);
    LevelBuilder::fillAllLayers(window, perLayer);
    MapView *view = window.mapView;
    // Small cells, with the free rows below the level at the top of the view,
    // so that the stroke and the fill's start are on screen.
    const int freeRow = LevelBuilder::rowsFor(perLayer) + 1;
    view->setOrigin(QPoint(view->origin().x(), -freeRow));
    control<QSlider>(view, "mapViewZoomSlider")->setValue(1);
    LevelBuilder::wallRing(window, 1, freeRow + 4, 27, freeRow + 40); // 27 x 37 = 999 free cells
    view->history()->stack()->clear();

    auto fill = [&] {
        control<QRadioButton>(view, "radioFloodFill")->click();
        sendMouse(view, QEvent::MouseButtonPress, {10, freeRow + 20}, Qt::LeftButton, Qt::LeftButton);
        sendMouse(view, QEvent::MouseButtonRelease, {10, freeRow + 20}, Qt::LeftButton, Qt::NoButton);
    };
    // 100 cells in four rows of 25, one cell per mouse move.
    auto stroke = [&] {
        control<QRadioButton>(view, "radioPencil")->click();
        sendMouse(view, QEvent::MouseButtonPress, {0, freeRow}, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i < 100; ++i) {
            const int row = i / 25, column = row % 2 ? 24 - i % 25 : i % 25;
            sendMouse(view, QEvent::MouseMove, {column, freeRow + row}, Qt::NoButton, Qt::LeftButton);
        }
        sendMouse(view, QEvent::MouseButtonRelease, {0, freeRow + 3}, Qt::LeftButton, Qt::NoButton);
    };
    // What the Clear button does once the warning is answered with Yes.
    auto clear = [&] { view->mapEdits()->clearLayer(); };

    struct Edit
    {
        QString name;
        QString layer;
        std::function<void()> run;
    };
    std::vector<Row> rows;
    const Edit edits[] = {{QStringLiteral("flood fill 999"), QStringLiteral("Floor"), fill},
                          {QStringLiteral("pencil stroke 100"), QStringLiteral("Floor"), stroke},
                          {QStringLiteral("Clear of a layer of %1").arg(perLayer), QStringLiteral("Ceil"), clear}};
    for (const auto &[name, layer, edit] : edits) {
        LevelBuilder::chooseLayer(window, layer);
        std::vector<double> editTimes, undoTimes, redoTimes;
        for (int i = 0; i < reps; ++i) {
            editTimes.push_back(timed(edit, window));
            undoTimes.push_back(timed([&] { view->history()->undo(); }, window));
            redoTimes.push_back(timed([&] { view->history()->redo(); }, window));
            timed([&] { view->history()->undo(); }, window);
        }
        rows.push_back(Row {name, median(editTimes), median(undoTimes), median(redoTimes)});
        fprintf(stderr, "%s: %s -> %s\n", qPrintable(name), qPrintable(view->history()->stack()->undoText()),
                qPrintable(view->statusText()));
    }

    // The history of one fill, one stroke and one Clear: the heap it frees.
    view->history()->stack()->clear();
    for (const auto &[name, layer, edit] : edits) {
        LevelBuilder::chooseLayer(window, layer);
        timed(edit, window);
    }
    size_t recorded = 0;
    for (int i = 0; i < view->history()->stack()->count(); ++i)
        recorded += static_cast<const MapChangeCommand *>(view->history()->stack()->command(i))->change().byteSize();
    const size_t heapWith = mallinfo2().uordblks;
    const int steps = view->history()->stack()->count();
    view->history()->stack()->clear();
    const size_t heapWithout = mallinfo2().uordblks;

    printf("| edit on %d objects (median of %d, ms) | edit | undo | redo | undo / edit | redo / edit |\n", perLayer * 8,
           reps);
    printf("|---|---|---|---|---|---|\n");
    for (const Row &row : rows)
        printf("| %s | %.1f | %.1f | %.1f | %.2f | %.2f |\n", qPrintable(row.edit), row.edit_ms, row.undo_ms,
               row.redo_ms, row.undo_ms / row.edit_ms, row.redo_ms / row.edit_ms);
    printf("\nHistory of those %d steps: %.2f MiB of heap freed when it is cleared (records: %.2f MiB)\n", steps,
           double(heapWith - heapWithout) / (1 << 20), double(recorded) / (1 << 20));
    return 0;
}

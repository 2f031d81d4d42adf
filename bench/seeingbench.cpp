// Times what seeing the whole level costs on a level of 32,768 objects (eight
// full layers of 4,096) in the real, offscreen window: hiding and showing a
// layer with its eye, and a full redraw of the overview, next to the floor
// plain Qt allows for the same number of buttons (hide and show them; move
// them all). Then the overview of a level at the grid's bound, 2,048 x 2,048
// cells with the largest number of objects, for time and memory. Prints a
// Markdown table; docs/performance.md explains.
#include "levelbuilder.h"

#include "app/gorseed.h"
#include "mapview/mapview.h"
#include "mapview/overviewpicture.h"
#include "mapview/overviewwindow.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <functional>
#include <malloc.h>
#include <memory>

namespace {
// N flat buttons sharing one icon on a plain widget, as in gorseedbench.
struct Floor
{
    explicit Floor(int objects)
    {
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::darkRed);
        const QIcon icon(pixmap);
        host.resize(1124, 768);
        host.show();
        for (int i = 0; i < objects; ++i) {
            auto *button = new QPushButton(&host);
            button->setFlat(true);
            button->setIcon(icon);
            button->setIconSize(QSize(64, 64));
            button->setGeometry(i % LevelBuilder::rowWidth * 64, i / LevelBuilder::rowWidth * 64, 64, 64);
            button->show();
            buttons.push_back(button);
            if (i % 256 == 255)
                QCoreApplication::processEvents();
        }
        paint();
    }
    void paint()
    {
        QCoreApplication::processEvents();
        host.repaint();
    }
    QWidget host;
    std::vector<QPushButton *> buttons;
};

// A level at the grid's bound without buttons: what the overview reads of
// each object is its cell, its image and its light.
SectorRegistry boundLevel(int objects, int side)
{
    SectorRegistry level;
    const char *const layers[] = {"Floor", "Wall", "Item", "Lightmap"};
    const char *const images[] = {"textures/Floor/tiles.png", "textures/Wall/brick.png", "textures/Item/health.png",
                                  "assets/lamp.png"};
    for (int i = 0; i < objects; ++i) {
        auto *p = new SectorProperties;
        const int layer = i % 4;
        // Spread over the whole grid, the far corner included.
        const int64_t cell = int64_t(i) * (int64_t(side) * side - 1) / (objects - 1);
        p->mapX = int32_t(cell % side);
        p->mapY = int32_t(cell / side);
        const std::string path = images[layer];
        p->textureDir = path.substr(0, path.rfind('/') + 1);
        p->textureName = path.substr(path.rfind('/') + 1);
        p->lighting.emission = i % 256;
        level[layers[layer]].push_back(new Sector(p));
    }
    return level;
}
} // namespace

int main(int argc, char *argv[])
{
    BenchProgram bench(argc, argv, QStringLiteral("GorseED layer eye and overview benchmark"), 7, 4096);
    if (!bench.ready)
        return 2;
    const int perLayer = bench.perLayer;
    const int objects = perLayer * 8;
    const int reps = bench.reps;

    double eyeMs = 0, overviewMs = 0;
    {
        GorseED window;
        window.show();
        LevelBuilder::settle(window);
        LevelBuilder::fillAllLayers(window, perLayer);
        MapView *view = window.mapView;
        LayerController *layers = view->layers();
        // The eye of a layer on show: the walls, while the walls are current.
        eyeMs = medianMs(reps, [&] {
            layers->setLayerHidden("Wall", true);
            LevelBuilder::settle(window);
            layers->setLayerHidden("Wall", false);
            LevelBuilder::settle(window);
        });
        view->ShowOverviewEvent();
        OverviewWindow *overview = view->overviewWindow();
        overviewMs = medianMs(reps, [&] {
            overview->redraw();
            overview->repaint();
        });
    }
    double floorHideShowMs = 0, floorMoveAllMs = 0;
    {
        Floor floor(objects);
        floorHideShowMs = medianMs(reps, [&] {
            for (int i = 0; i < perLayer; ++i)
                floor.buttons[size_t(i)]->hide();
            floor.paint();
            for (int i = 0; i < perLayer; ++i)
                floor.buttons[size_t(i)]->show();
            floor.paint();
        });
        int step = 0;
        floorMoveAllMs = medianMs(reps, [&] {
            step = 1 - step;
            for (size_t i = 0; i < floor.buttons.size(); ++i)
                floor.buttons[i]->move(int(i) % LevelBuilder::rowWidth * 64 + step * 64,
                                       int(i) / LevelBuilder::rowWidth * 64);
            floor.paint();
        });
    }

    // The bound: 2,048 x 2,048 cells, 262,144 objects.
    const int side = 2048, boundObjects = 262144;
    SectorRegistry bound = boundLevel(boundObjects, side);
    const LayerStates states;
    OverviewPicture picture;
    const size_t heapBefore = mallinfo2().uordblks;
    size_t heapPeak = 0;
    const double boundMs = medianMs(reps, [&] {
        const QImage image = picture.draw(bound, states);
        heapPeak = std::max(heapPeak, size_t(mallinfo2().uordblks));
        // What the window paints: the picture scaled into its 360 x 300 pixels.
        QImage window(360, 300, QImage::Format_RGB32);
        QPainter painter(&window);
        painter.drawImage(QRectF(0, 0, 360, 360.0 * image.height() / image.width()), image);
    });
    for (auto &entry : bound)
        qDeleteAll(entry.second);

    printf("| on %d objects (median of %d, ms) | editor | floor | editor / floor | target |\n", objects, reps);
    printf("|---|---|---|---|---|\n");
    printf("| hide and show a layer of %d (eye) vs hide and show %d buttons | %.1f | %.1f | %.2f | <= 1.5 |\n",
           perLayer, perLayer, eyeMs, floorHideShowMs, eyeMs / floorHideShowMs);
    printf("| overview full redraw vs move all %d buttons | %.1f | %.1f | %.2f | <= 2 |\n", objects, overviewMs,
           floorMoveAllMs, overviewMs / floorMoveAllMs);
    printf("\nOverview at the bound, %d x %d cells, %d objects: %.1f ms a full redraw (target < 300 ms), "
           "%.1f MiB of heap while drawing (target < 64 MiB)\n",
           side, side, boundObjects, boundMs, double(heapPeak - heapBefore) / (1 << 20));
    return 0;
}

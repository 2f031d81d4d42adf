#pragma once

#include "mapview/mapview.h"

#include <QApplication>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class GorseED;

// Builds benchmark levels in a real editor window: every layer filled with
// the same number of objects in rows 64 cells wide, starting at map cell (0, 0).
namespace LevelBuilder {
constexpr int rowWidth = 64;

// Fills all eight layers with perLayer objects each; returns with "Wall" current.
void fillAllLayers(GorseED &window, int perLayer);
// Rows used by a layer of perLayer objects.
int rowsFor(int perLayer);
// Makes `layer` current through the layer combo box.
void chooseLayer(GorseED &window, const QString &layer);
// Walls around the free rectangle [left, right] x [top, bottom], one cell out.
void wallRing(GorseED &window, int left, int top, int right, int bottom);
// Lets Qt deliver what is queued and paints the window once.
void settle(GorseED &window);
} // namespace LevelBuilder

// The middle one of the samples (the upper of the two middle ones), 0 for none.
double median(std::vector<double> samples);
// The median time in milliseconds of `reps` runs of `operation`.
double medianMs(int reps, const std::function<void()> &operation);

// The start every benchmark program shares: the editor's start-up
// environment (offscreen unless QT_QPA_PLATFORM says otherwise), the
// application, and the options --reps, --data (the working directory with
// assets/ and textures/, entered here) and, when `perLayerDefault` is not 0,
// --per-layer (objects on each of the eight layers).
class BenchProgram
{
    struct Environment
    {
        Environment();
    } environment;
    QApplication application;

public:
    BenchProgram(int &argc, char **argv, const QString &description, int repsDefault, int perLayerDefault = 0);
    // Whether the working directory could be entered.
    bool ready = false;
    int perLayer = 0;
    int reps = 1;
};

// A control of the main window that `view` works in, by object name.
template<typename Widget> Widget *control(const MapView *view, const char *name)
{
    return view->mapWidget()->window()->findChild<Widget *>(QLatin1String(name));
}

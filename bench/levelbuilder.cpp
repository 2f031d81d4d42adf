#include "levelbuilder.h"

#include "app/gorseed.h"
#include "app/startupenvironment.h"
#include "level/subtypetable.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>

void LevelBuilder::chooseLayer(GorseED &window, const QString &layer)
{
    window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
}

int LevelBuilder::rowsFor(int perLayer)
{
    return (perLayer + rowWidth - 1) / rowWidth;
}

void LevelBuilder::fillAllLayers(GorseED &window, int perLayer)
{
    MapView *view = window.mapView;
    for (const std::string &layer : Kinds::comboOrder()) {
        chooseLayer(window, QString::fromStdString(layer));
        for (int i = 0; i < perLayer; ++i) {
            const QPoint cell(i % rowWidth + view->origin().x(), i / rowWidth + view->origin().y());
            view->layers()->addSector(view->placeSectorAt(cell));
            if (i % 256 == 255)
                QCoreApplication::processEvents();
        }
    }
    chooseLayer(window, QStringLiteral("Wall"));
    settle(window);
}

void LevelBuilder::wallRing(GorseED &window, int left, int top, int right, int bottom)
{
    MapView *view = window.mapView;
    LayerController *layers = view->layers();
    const std::string previous = layers->currentLayer();
    layers->switchToLayer("Wall");
    auto place = [&](int x, int y) {
        if (!layers->hasSectorAt(x, y))
            layers->addSector(view->placeSectorAt(QPoint(x + view->origin().x(), y + view->origin().y())));
    };
    for (int x = left - 1; x <= right + 1; ++x) {
        place(x, top - 1);
        place(x, bottom + 1);
    }
    for (int y = top; y <= bottom; ++y) {
        place(left - 1, y);
        place(right + 1, y);
    }
    layers->switchToLayer(previous);
}

void LevelBuilder::settle(GorseED &window)
{
    QCoreApplication::processEvents();
    window.repaint();
}

BenchProgram::Environment::Environment()
{
    prepareStartupEnvironment();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

BenchProgram::BenchProgram(int &argc, char **argv, const QString &description, int repsDefault, int perLayerDefault)
    : application(argc, argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    if (perLayerDefault > 0)
        parser.addOption({"per-layer", "Objects on each of the eight layers.", "count", QString::number(perLayerDefault)});
    parser.addOption({"reps", "Repetitions per operation.", "count", QString::number(repsDefault)});
    parser.addOption({"data", "Working directory with assets/ and textures/.", "dir", GORSEED_DATA_DIR});
    parser.process(application);
    perLayer = parser.value("per-layer").toInt();
    reps = std::max(1, parser.value("reps").toInt());
    ready = QDir::setCurrent(parser.value("data"));
    if (!ready)
        fprintf(stderr, "cannot enter %s\n", qPrintable(parser.value("data")));
}

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? 0 : samples[samples.size() / 2];
}

double medianMs(int reps, const std::function<void()> &operation)
{
    std::vector<double> samples;
    for (int i = 0; i < reps; ++i) {
        QElapsedTimer timer;
        timer.start();
        operation();
        samples.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(samples);
}

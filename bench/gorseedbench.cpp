// Times the editor's heavy operations on levels of N objects in the real,
// offscreen window, next to the floor that plain Qt allows for N flat
// buttons. Writes the medians as CSV and JSON; docs/performance.md explains.
#include "levelbuilder.h"

#include "app/gorseed.h"
#include "app/startupenvironment.h"
#include "mapview/historycommands.h"
#include "mapview/levelfilecommands.h"
#include "mapview/mapfile.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/sector.h"
#include "properties/objectpropertiesform.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <map>

namespace {
struct Measurement
{
    QString operation;
    int objects = 0;
    std::vector<double> samples; // milliseconds
    double median() const
    {
        std::vector<double> sorted = samples;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
};

// Operations to time, by name prefixes separated by '|' (--only); empty for all.
QString onlyOperation;

bool selected(const QString &name)
{
    const QStringList prefixes = onlyOperation.split(QLatin1Char('|'));
    return std::any_of(prefixes.begin(), prefixes.end(), [&](const QString &prefix) { return name.startsWith(prefix); });
}

// Whether any of these operations is selected.
bool anySelected(std::initializer_list<const char *> names)
{
    return std::any_of(names.begin(), names.end(), [](const char *name) { return selected(QLatin1String(name)); });
}

// Runs one timed operation; kept out of line so that a profiler can collect
// exactly the timed work (valgrind --toggle-collect='*runTimed*').
__attribute__((noinline)) void runTimed(const std::function<void()> &operation)
{
    operation();
}

// Runs `prepare` untimed, then times `operation`, `reps` times. With
// `warmUp`, one untimed round goes first: the first edit of a process fills
// caches (pictures, glyphs, icons) that every later one finds ready. An
// operation that goes there and back (`steps` 2) is timed per step.
Measurement measure(const QString &name, int objects, int reps, const std::function<void()> &operation,
                    const std::function<void()> &prepare = {}, bool warmUp = false, int steps = 1)
{
    Measurement m {name, objects, {}};
    if (!selected(name))
        return m;
    for (int i = warmUp ? -1 : 0; i < reps; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        runTimed(operation);
        if (i >= 0)
            m.samples.push_back(timer.nsecsElapsed() / 1e6 / steps);
    }
    fprintf(stderr, "%-22s N=%6d median %9.2f ms\n", qPrintable(name), objects, m.median());
    return m;
}

// Times a step that alternates between two states (zoom out and in, hide and
// show): each sample is a round trip, both ways, timed per step. A sample of
// one step would be of one direction or the other, and the median of five
// that of whichever direction came up three times.
Measurement measureBothWays(const QString &name, int objects, int reps, const std::function<void()> &step)
{
    return measure(
        name, objects, reps,
        [&step] {
            step();
            step();
        },
        {}, false, 2);
}

long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint position, Qt::MouseButton button, Qt::MouseButtons held)
{
    QCursor::setPos(target->mapToGlobal(position));
    QMouseEvent event(type, position, target->mapToGlobal(position), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

QPoint cellCentre(MapView *view, int column, int row)
{
    const int size = view->cellSize();
    return QPoint((column + view->origin().x()) * size + size / 2, (row + view->origin().y()) * size + size / 2);
}

// Removes the current layer's objects in the cells [left, right] x [top, bottom].
void clearCells(GorseED &window, int left, int top, int right, int bottom)
{
    LayerController *layers = window.mapView->layers();
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            layers->removeSectorAt(x, y);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The 100-cell pencil stroke and the 999-cell fill, on the Floor layer, in
// rows below those a level of perLayer objects uses. The map edits only
// cells in sight, so the view shows these rows, at the smallest zoom.
struct EditingOperations
{
    GorseED &window;
    int firstFreeRow;

    void showEditingRows()
    {
        MapView *view = window.mapView;
        control<QSlider>(view, "mapViewZoomSlider")->setValue(1);
        view->setOrigin(QPoint(0, -firstFreeRow));
        view->ZoomSliderChangedEvent();
        LevelBuilder::settle(window);
    }

    void pencilStroke()
    {
        QWidget *map = window.mapView->mapWidget();
        const int row = firstFreeRow + 1;
        sendMouse(map, QEvent::MouseButtonPress, cellCentre(window.mapView, 0, row), Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i < 100; ++i)
            sendMouse(map, QEvent::MouseMove, cellCentre(window.mapView, i % 25, row + i / 25), Qt::NoButton,
                      Qt::LeftButton);
        sendMouse(map, QEvent::MouseButtonRelease, cellCentre(window.mapView, 24, row + 3), Qt::LeftButton,
                  Qt::NoButton);
        LevelBuilder::settle(window);
    }

    void floodFill()
    {
        QWidget *map = window.mapView->mapWidget();
        const QPoint centre = cellCentre(window.mapView, 10, firstFreeRow + 20);
        sendMouse(map, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
        sendMouse(map, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
        LevelBuilder::settle(window);
    }

    // A closed room of 27 x 37 = 999 free cells.
    void buildRoom() { LevelBuilder::wallRing(window, 1, firstFreeRow + 6, 27, firstFreeRow + 42); }
    // Each also delivers what the set-up queued (a layer switch's events), so
    // that the timed edit pays only for itself.
    void clearStroke()
    {
        clearCells(window, 0, firstFreeRow + 1, 24, firstFreeRow + 4);
        LevelBuilder::settle(window);
    }
    void clearRoom()
    {
        clearCells(window, 1, firstFreeRow + 6, 27, firstFreeRow + 42);
        LevelBuilder::settle(window);
    }
};

// Times one step and its undo, `reps` times each, with the history's own Undo.
void measureWithUndo(std::vector<Measurement> &results, const QString &name, const QString &undoName, int objects,
                     int reps, GorseED &window, const std::function<void()> &step)
{
    Measurement done {name, objects, {}};
    Measurement undone {undoName, objects, {}};
    if (!selected(name) && !selected(undoName))
        return;
    for (int i = 0; i < reps; ++i) {
        QElapsedTimer timer;
        timer.start();
        runTimed([&] {
            step();
            LevelBuilder::settle(window);
        });
        done.samples.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        runTimed([&] {
            window.mapView->history()->undo();
            LevelBuilder::settle(window);
        });
        undone.samples.push_back(timer.nsecsElapsed() / 1e6);
    }
    for (const Measurement &m : {done, undone}) {
        fprintf(stderr, "%-22s N=%6d median %9.2f ms\n", qPrintable(m.operation), objects, m.median());
        results.push_back(m);
    }
}

// Writes the level of `objects` objects that the loads read, unless it is there.
QString levelFile(const QString &scratch, int objects)
{
    return scratch + QStringLiteral("/level%1.map").arg(objects);
}

const char *const editorOperations[]
    = {"save", "load", "zoom change", "pan step", "pan a block", "layer switch", "point light r10", "clear layer",
       "undo of clear layer", "pencil stroke 100", "flood fill 999"};

std::vector<Measurement> measureEditor(int objects, int reps, const QString &scratch)
{
    std::vector<Measurement> results;
    // Each selection runs on its own: the level is built only for what is timed,
    // or to write the file that the load's peak is measured with.
    const bool editingSelected = anySelected({"pencil stroke 100", "flood fill 999"});
    const bool timed = objects == 0 ? editingSelected
                                    : std::any_of(std::begin(editorOperations), std::end(editorOperations),
                                                  [](const char *name) { return selected(QLatin1String(name)); });
    const bool levelNeeded = objects > 0 && selected(QStringLiteral("load peak bytes/object"))
                             && !QFile::exists(levelFile(scratch, objects));
    if (!timed && !levelNeeded)
        return results;
    const int perLayer = objects / 8;
    GorseED window;
    window.show();
    LevelBuilder::settle(window);
    LevelBuilder::fillAllLayers(window, perLayer);
    MapView *view = window.mapView;
    const QString label = objects ? QString() : QStringLiteral(" (empty)");

    if (objects > 0) {
        const QString file = levelFile(scratch, objects);
        auto save = [&] {
            MapFile mapFile;
            mapFile.writeMapFile(file, view->layers()->registry());
        };
        results.push_back(measure(QStringLiteral("save"), objects, reps, save));
        // The loads read what the save wrote, timed or not.
        if (!QFile::exists(file))
            save();
        results.push_back(measure(QStringLiteral("load"), objects, std::max(1, reps / 2), [&] {
            view->files()->loadMapFromFile(file);
            LevelBuilder::settle(window);
        }));

        bool zoomedOut = false;
        results.push_back(measureBothWays(QStringLiteral("zoom change"), objects, reps, [&] {
            zoomedOut = !zoomedOut;
            control<QSlider>(view, "mapViewZoomSlider")->setValue(zoomedOut ? 3 : 4);
            LevelBuilder::settle(window);
        }));
        control<QSlider>(view, "mapViewZoomSlider")->setValue(4);

        // The anchor is set by a middle release; each move 33 px away pans a cell.
        QWidget *map = view->mapWidget();
        sendMouse(map, QEvent::MouseButtonRelease, QPoint(300, 200), Qt::MiddleButton, Qt::NoButton);
        int direction = 1;
        results.push_back(measureBothWays(QStringLiteral("pan step"), objects, reps, [&] {
            direction = -direction;
            sendMouse(map, QEvent::MouseMove, view->panAnchor() + QPoint(33 * direction, 0), Qt::NoButton,
                      Qt::MiddleButton);
            LevelBuilder::settle(window);
        }));
        sendMouse(map, QEvent::MouseButtonRelease, view->panAnchor(), Qt::MiddleButton, Qt::NoButton);

        // A pan of one block (16 cells) down the level, from the top again
        // after the last row: each step brings a row of blocks in sight whose
        // objects get buttons, and takes them from blocks gone out of reach.
        // Timed only on levels of four block rows or more: on fewer, the
        // blocks stay within reach and the step brings nothing new.
        const int blockRows = LevelBuilder::rowsFor(perLayer) / 16;
        int blockRow = 0;
        if (blockRows >= 4)
            results.push_back(measure(QStringLiteral("pan a block"), objects, reps, [&] {
                blockRow = (blockRow + 1) % blockRows;
                view->moveViewTo(QPoint(0, -16 * blockRow));
                LevelBuilder::settle(window);
            }));
        view->moveViewTo(QPoint(0, 0));
        LevelBuilder::settle(window);

        bool onDoors = false;
        results.push_back(measureBothWays(QStringLiteral("layer switch"), objects, reps, [&] {
            onDoors = !onDoors;
            LevelBuilder::chooseLayer(window, onDoors ? QStringLiteral("Floor") : QStringLiteral("Wall"));
            LevelBuilder::settle(window);
        }));
        LevelBuilder::chooseLayer(window, QStringLiteral("Wall"));

        // A radius-10 point light from a light cell in the middle of a full
        // light layer, through the properties window and its OK button.
        LevelBuilder::chooseLayer(window, QStringLiteral("Lightmap"));
        control<QRadioButton>(view, "radioSelect")->click();
        const int centreRow = LevelBuilder::rowsFor(perLayer) / 2;
        results.push_back(measure(QStringLiteral("point light r10"), objects, reps, [&] {
            view->layers()->clearSelection();
            view->layers()->selectRect(32, centreRow, 32, centreRow);
            view->BtnEditSelectionEvent();
            // The view's own window: a search of Qt's top-level widgets
            // passes every widget of the map, which the designer never pays for.
            QWidget *form = view->propertiesWindow();
            form->findChild<QCheckBox *>(QStringLiteral("chkIsLightEmitter"))->setChecked(true);
            form->findChild<QSlider *>(QStringLiteral("sliderEmissionRadius"))->setValue(10);
            form->findChild<QPushButton *>(QStringLiteral("buttonOK"))->click();
            LevelBuilder::settle(window);
        }));
        // The light's square edge must have been reached, or nothing was measured.
        const Sector *edge = view->layers()->sectorAt(32 - 10, centreRow);
        if (selected(QStringLiteral("point light r10")) && (!edge || !edge->properties->lighting.isLightEmitter))
            fprintf(stderr, "point light r10: the square was not lit; the timing is void\n");
        control<QRadioButton>(view, "radioPaint")->click();

        // A Clear of the Ceil layer (N/8 objects) as the Clear button does
        // it once answered, and its undo, which makes them all again.
        // The layer switch is painted first: until then every object it
        // retinted waits in Qt's list of widgets to repaint, which each
        // button the Clear hides is looked for in.
        LevelBuilder::chooseLayer(window, QStringLiteral("Ceil"));
        LevelBuilder::settle(window);
        measureWithUndo(results, QStringLiteral("clear layer"), QStringLiteral("undo of clear layer"), objects, reps,
                        window, [&] { view->mapEdits()->clearLayer(); });
        if (selected(QStringLiteral("undo of clear layer")) && view->layers()->layerList("Ceil").size() != size_t(perLayer))
            fprintf(stderr, "undo of clear layer: the layer was not made again; the timing is void\n");
        LevelBuilder::chooseLayer(window, QStringLiteral("Wall"));
    }
    if (!editingSelected)
        return results;

    EditingOperations editing {window, LevelBuilder::rowsFor(perLayer) + 1};
    editing.showEditingRows();
    LevelBuilder::chooseLayer(window, QStringLiteral("Floor"));
    control<QRadioButton>(view, "radioPencil")->click();
    results.push_back(measure(
        QStringLiteral("pencil stroke 100") + label, objects, reps, [&] { editing.pencilStroke(); },
        [&] { editing.clearStroke(); }, true));
    if (selected(QStringLiteral("flood fill 999")))
        editing.buildRoom();
    LevelBuilder::chooseLayer(window, QStringLiteral("Floor"));
    control<QRadioButton>(view, "radioFloodFill")->click();
    results.push_back(measure(
        QStringLiteral("flood fill 999") + label, objects, reps, [&] { editing.floodFill(); },
        [&] { editing.clearRoom(); }, true));
    // Both must have painted their last cells, or nothing was measured.
    const LayerController *layers = view->layers();
    if (selected(QStringLiteral("pencil stroke 100")) && !layers->sectorOn("Floor", 24, editing.firstFreeRow + 4))
        fprintf(stderr, "pencil stroke: the last cell was not painted; the timing is void\n");
    if (selected(QStringLiteral("flood fill 999")) && !layers->sectorOn("Floor", 27, editing.firstFreeRow + 42))
        fprintf(stderr, "flood fill: the room's far corner was not filled; the timing is void\n");
    return results;
}
} // namespace

namespace {
// The floor: N flat buttons sharing one icon on a plain widget, as fast as
// plain Qt allows, for each editor operation the same kind of work: create
// and paint, move all (pan), resize and move all (zoom), hide or show half
// (layer switch), destroy all and create again (a load over a level).
struct Floor
{
    explicit Floor(int objects) : objects(objects)
    {
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::darkRed);
        icon = QIcon(pixmap);
    }

    void createAndPaint()
    {
        if (!host) {
            host = std::make_unique<QWidget>();
            host->resize(1124, 768);
            host->show();
        }
        for (int i = 0; i < objects; ++i) {
            auto *button = new QPushButton(host.get());
            button->setFlat(true);
            button->setIcon(icon);
            button->setIconSize(QSize(size, size));
            button->setGeometry(i % LevelBuilder::rowWidth * size, i / LevelBuilder::rowWidth * size, size, size);
            button->show();
            buttons.push_back(button);
            if (i % 256 == 255)
                QCoreApplication::processEvents();
        }
        paint();
    }
    void destroyAll()
    {
        // In creation order, which is the host's child order.
        qDeleteAll(buttons);
        buttons.clear();
    }
    void teardown()
    {
        buttons.clear();
        host.reset();
        QCoreApplication::processEvents();
    }
    void paint()
    {
        QCoreApplication::processEvents();
        host->repaint();
    }

    int objects;
    int size = 64;
    QIcon icon;
    std::unique_ptr<QWidget> host;
    std::vector<QPushButton *> buttons;
};

std::vector<Measurement> measureFloor(int objects, int reps)
{
    std::vector<Measurement> results;
    if (!anySelected({"floor: create+paint", "floor: move all", "floor: resize+move all", "floor: hide+show half",
                      "floor: destroy+create+paint"}))
        return results;
    Floor floor(objects);
    results.push_back(measure(
        QStringLiteral("floor: create+paint"), objects, reps, [&] { floor.createAndPaint(); },
        [&] { floor.teardown(); }));
    // The other steps work on the buttons made there, timed or not.
    if (floor.buttons.empty())
        floor.createAndPaint();
    int direction = 1;
    results.push_back(measureBothWays(QStringLiteral("floor: move all"), objects, reps, [&] {
        direction = -direction;
        for (QPushButton *button : floor.buttons)
            button->move(button->pos() + QPoint(64 * direction, 0));
        floor.paint();
    }));
    results.push_back(measureBothWays(QStringLiteral("floor: resize+move all"), objects, reps, [&] {
        floor.size = floor.size == 64 ? 48 : 64;
        for (size_t i = 0; i < floor.buttons.size(); ++i) {
            QPushButton *button = floor.buttons[i];
            button->setIconSize(QSize(floor.size, floor.size));
            button->setGeometry(int(i) % LevelBuilder::rowWidth * floor.size,
                                int(i) / LevelBuilder::rowWidth * floor.size, floor.size, floor.size);
        }
        floor.paint();
    }));
    bool hidden = false;
    results.push_back(measureBothWays(QStringLiteral("floor: hide+show half"), objects, reps, [&] {
        hidden = !hidden;
        for (size_t i = 0; i < floor.buttons.size(); i += 2)
            floor.buttons[i]->setVisible(!hidden);
        floor.paint();
    }));
    results.push_back(measure(QStringLiteral("floor: destroy+create+paint"), objects, std::max(1, reps / 2), [&] {
        floor.destroyAll();
        floor.createAndPaint();
    }));
    floor.teardown();
    return results;
}

// Makes the floor's N buttons in a fresh process and reports the peak
// resident size before and after, in KiB, on stdout: "<before> <after>".
int reportFloorPeak(int objects)
{
    Floor floor(objects);
    floor.host = std::make_unique<QWidget>();
    floor.host->resize(1124, 768);
    floor.host->show();
    QCoreApplication::processEvents();
    const long before = peakResidentKiB();
    floor.createAndPaint();
    printf("%ld %ld\n", before, peakResidentKiB());
    return 0;
}

// Runs this program again with `arguments` and returns the bytes per object
// of the peak it reports, or -1.
double peakBytesPerObject(const QStringList &arguments, int objects, const QString &label)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    const QStringList kib = QString::fromLatin1(child.readAllStandardOutput()).split(' ');
    if (kib.size() != 2)
        return -1;
    const double perObject = (kib[1].toDouble() - kib[0].toDouble()) * 1024.0 / objects;
    fprintf(stderr, "%s peak: %s KiB -> %s KiB, %.0f bytes per object\n", qPrintable(label), qPrintable(kib[0]),
            qPrintable(kib[1].trimmed()), perObject);
    return perObject;
}

// Loads a level in a fresh editor and reports the peak resident size before
// and after, in KiB, on stdout: "<before> <after>".
int reportLoadPeak(const QString &file)
{
    GorseED window;
    window.show();
    LevelBuilder::settle(window);
    const long before = peakResidentKiB();
    window.mapView->files()->loadMapFromFile(file);
    LevelBuilder::settle(window);
    printf("%ld %ld\n", before, peakResidentKiB());
    return 0;
}

void writeResults(const std::vector<Measurement> &results, const QString &csvPath, const QString &jsonPath)
{
    QFile csv(csvPath);
    if (csv.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QTextStream out(&csv);
        out << "operation,objects,median_ms,min_ms,max_ms,reps\n";
        for (const Measurement &m : results) {
            if (m.samples.empty())
                continue;
            const auto [lo, hi] = std::minmax_element(m.samples.begin(), m.samples.end());
            out << m.operation << ',' << m.objects << ',' << m.median() << ',' << *lo << ',' << *hi << ','
                << m.samples.size() << '\n';
        }
    }
    QJsonArray array;
    for (const Measurement &m : results) {
        if (m.samples.empty())
            continue;
        QJsonArray samples;
        for (double sample : m.samples)
            samples.append(sample);
        array.append(QJsonObject {
            {"operation", m.operation}, {"objects", m.objects}, {"median_ms", m.median()}, {"samples_ms", samples}});
    }
    QFile json(jsonPath);
    if (json.open(QIODevice::WriteOnly | QIODevice::Truncate))
        json.write(QJsonDocument(QJsonObject {{"results", array}}).toJson());
}

// Runs this program again with `arguments` (one size, results into `out`)
// and returns what it measured, read back from the results.json it writes.
std::vector<Measurement> runSizeInChild(QStringList arguments, const QString &out)
{
    arguments << "--out" << out;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    QFile json(out + "/results.json");
    std::vector<Measurement> results;
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0 || !json.open(QIODevice::ReadOnly)) {
        fprintf(stderr, "the run of %s failed; its figures are missing\n", qPrintable(arguments.join(' ')));
        return results;
    }
    for (const QJsonValue &entry : QJsonDocument::fromJson(json.readAll()).object().value("results").toArray()) {
        const QJsonObject object = entry.toObject();
        Measurement m {object.value("operation").toString(), object.value("objects").toInt(), {}};
        for (const QJsonValue &sample : object.value("samples_ms").toArray())
            m.samples.push_back(sample.toDouble());
        results.push_back(m);
    }
    return results;
}
} // namespace

namespace {
// The offscreen platform warns about every mouse grab (it keeps none of its
// own; Qt's grab still holds) and about size hints it cannot pass on; the
// benchmark's log keeps only its figures.
QtMessageHandler previousHandler = nullptr;

void quietGrabWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support grabbing the mouse"))
        || message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        fprintf(stderr, "%s\n", qPrintable(message));
}
} // namespace

int main(int argc, char *argv[])
{
    // The editor starts this way; the floor runs in the same process.
    prepareStartupEnvironment();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    previousHandler = qInstallMessageHandler(quietGrabWarnings);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("GorseED benchmarks"));
    parser.addHelpOption();
    parser.addOption({"sizes", "Comma-separated object counts.", "list", "4096,16384,32768,65536"});
    parser.addOption({"reps", "Repetitions per operation.", "count", "9"});
    parser.addOption({"data", "Working directory with assets/ and textures/.", "dir", GORSEED_DATA_DIR});
    parser.addOption({"out", "Folder for results.csv and results.json.", "dir", "."});
    parser.addOption({"only", "Time only the operations whose name starts with this, or with one of several separated by '|' (for profiling).", "name"});
    parser.addOption({"levels", "Folder for the levels written by the save step (kept).", "dir"});
    parser.addOption({"load-peak", "Internal: load a level and print the peak resident size.", "file"});
    parser.addOption({"floor-peak", "Internal: make N floor buttons and print the peak resident size.", "count"});
    parser.addOption({"one-size", "Internal: time the one size given, in this process."});
    parser.process(application);

    const QString outDir = QDir(parser.value("out")).absolutePath();
    QDir().mkpath(outDir);
    if (!QDir::setCurrent(parser.value("data"))) {
        fprintf(stderr, "cannot enter %s\n", qPrintable(parser.value("data")));
        return 2;
    }
    if (parser.isSet("load-peak"))
        return reportLoadPeak(parser.value("load-peak"));
    if (parser.isSet("floor-peak"))
        return reportFloorPeak(parser.value("floor-peak").toInt());

    const int reps = std::max(1, parser.value("reps").toInt());
    onlyOperation = parser.value("only");
    QTemporaryDir temporary;
    const QString levels = parser.isSet("levels") ? QDir(parser.value("levels")).absolutePath() : temporary.path();
    QDir().mkpath(levels);
    std::vector<Measurement> results;
    auto append
        = [&results](std::vector<Measurement> more) { results.insert(results.end(), more.begin(), more.end()); };
    const bool oneSize = parser.isSet("one-size");
    if (!oneSize)
        append(measureEditor(0, reps, levels));
    for (const QString &size : parser.value("sizes").split(',')) {
        // Each size runs in a process of its own: what an operation costs on
        // a level should not depend on the levels and floors timed before it
        // in the same process (their freed memory, their caches).
        if (!oneSize) {
            QStringList arguments {"--one-size", "--sizes", size,   "--reps", QString::number(reps),
                                   "--data",     QDir::currentPath(), "--levels", levels};
            if (!onlyOperation.isEmpty())
                arguments << "--only" << onlyOperation;
            append(runSizeInChild(arguments, temporary.path() + "/" + size));
            writeResults(results, outDir + "/results.csv", outDir + "/results.json");
            continue;
        }
        const int objects = size.toInt();
        append(measureFloor(objects, reps));
        append(measureEditor(objects, reps, levels));

        // Peak memory of a load, and of the floor's buttons, each in a process of its own.
        const QString level = levelFile(levels, objects);
        if (selected(QStringLiteral("load peak bytes/object")) && QFile::exists(level)) {
            const double perObject
                = peakBytesPerObject({"--data", QDir::currentPath(), "--load-peak", level}, objects, "load");
            if (perObject >= 0)
                results.push_back(Measurement {QStringLiteral("load peak bytes/object"), objects, {perObject}});
        }
        if (selected(QStringLiteral("floor: peak bytes/button"))) {
            const double perButton
                = peakBytesPerObject({"--data", QDir::currentPath(), "--floor-peak", size}, objects, "floor");
            if (perButton >= 0)
                results.push_back(Measurement {QStringLiteral("floor: peak bytes/button"), objects, {perButton}});
        }
        writeResults(results, outDir + "/results.csv", outDir + "/results.json");
    }
    writeResults(results, outDir + "/results.csv", outDir + "/results.json");
    return 0;
}

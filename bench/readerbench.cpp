// Reads hostile level files of two sizes the way the editor reads them (the
// text, the reader, the file problems, the texture look-ups; no objects are
// made, as these files place at most one) and the way GorseED --check does,
// next to a file of the same size holding only empty cells. Prints the median
// time, the peak of heap bytes allocated during the read and the bytes of
// problem text, as a Markdown table; docs/performance.md has the figures.
#include "checks/levelfile.h"
#include "checks/problemtext.h"
#include "mapview/mapfile.h"
#include "mapfile/mapreader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <new>

// Heap bytes in use and their peak, kept by the global allocation functions.
namespace {
std::atomic<size_t> liveBytes {0};
std::atomic<size_t> peakBytes {0};

void *allocate(size_t size)
{
    void *pointer = std::malloc(size == 0 ? 1 : size);
    if (!pointer)
        throw std::bad_alloc();
    const size_t now = liveBytes += malloc_usable_size(pointer);
    size_t peak = peakBytes;
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) { }
    return pointer;
}

void release(void *pointer) noexcept
{
    if (!pointer)
        return;
    liveBytes -= malloc_usable_size(pointer);
    std::free(pointer);
}
} // namespace

void *operator new(size_t size) { return allocate(size); }
void *operator new[](size_t size) { return allocate(size); }
void operator delete(void *pointer) noexcept { release(pointer); }
void operator delete[](void *pointer) noexcept { release(pointer); }
void operator delete(void *pointer, size_t) noexcept { release(pointer); }
void operator delete[](void *pointer, size_t) noexcept { release(pointer); }

namespace {
using Maker = std::function<std::string(size_t)>;

// Sections of 2,048 x 2,048 empty cells, as many as the size takes.
std::string emptyCells(size_t size)
{
    const std::string row = [] {
        std::string r;
        for (int i = 0; i < 2048; ++i)
            r += "0,";
        return r + "\n";
    }();
    std::string text;
    for (int section = 0; text.size() + row.size() < size; ++section) {
        text += "#Layer" + std::to_string(section) + "\n";
        for (int r = 0; r < 2048 && text.size() + row.size() < size; ++r)
            text += row;
        text += "\n";
    }
    return text;
}

const std::string oneWall = "#Wall\n1,\n\n#Definitions\n1,Wall,Solid,a.png\n";

struct Case
{
    const char *name;
    Maker make;
};

const std::vector<Case> cases = {
    {"only empty cells (the yardstick)", emptyCells},
    {"a run of lone CRs", [](size_t size) { return oneWall + std::string(size - oneWall.size(), '\r'); }},
    {"a long section name, then blank lines",
     [](size_t size) { return "#" + std::string(size / 2, 'N') + "\n" + std::string(size / 2, '\n'); }},
    {"262,144 definitions of long ids, each id twice",
     [](size_t size) {
         const size_t lines = std::min<size_t>(262144, size / 64);
         const std::string prefix(size / lines - 24, '7');
         std::string text = "#Definitions\n";
         for (size_t i = 0; i < lines; ++i)
             text += prefix + std::to_string(i % (lines / 2)) + ",Wall,Solid,a.png\n";
         return text;
     }},
    {"one cell of the whole size", [](size_t size) { return "#Wall\n" + std::string(size, 'x') + ",\n"; }},
    {"one texture reference of the whole size",
     [](size_t size) { return "#Wall\n1,\n\n#Definitions\n1,Wall,Solid," + std::string(size, 'a') + "\n"; }},
};

struct Figures
{
    double ms = 0;
    size_t peak = 0;
    size_t problemBytes = 0;
};

Figures measure(int reps, const std::function<LevelProblems()> &read)
{
    std::vector<double> samples;
    Figures figures;
    for (int i = 0; i < reps; ++i) {
        peakBytes = liveBytes.load();
        const size_t before = liveBytes;
        QElapsedTimer timer;
        timer.start();
        const LevelProblems problems = read();
        samples.push_back(timer.nsecsElapsed() / 1e6);
        figures.peak = peakBytes - before;
        figures.problemBytes = 0;
        for (const LevelProblem &problem : problems)
            figures.problemBytes += problem.message.size();
    }
    std::sort(samples.begin(), samples.end());
    figures.ms = samples[samples.size() / 2];
    return figures;
}

// What the editor's load does before it makes objects.
LevelProblems editorRead(const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    LevelRead read = LevelFile::readLevel(file, folder);
    MapFile::checkTextures(read.contents, folder);
    return read.problems;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("GorseED hostile level reading benchmark"));
    parser.addHelpOption();
    parser.addOption({"reps", "Repetitions per read.", "count", "3"});
    parser.addOption({"mib", "The two sizes in MiB, comma-separated.", "sizes", "16,64"});
    parser.addOption({"only", "Only the files whose description holds this text.", "text"});
    parser.process(application);
    const int reps = std::max(1, parser.value("reps").toInt());
    QTemporaryDir scratch;
    printf("| file | MiB | editor ms | editor peak MiB | --check ms | --check peak MiB | problem text bytes |\n"
           "|---|---|---|---|---|---|---|\n");
    for (const QString &mib : parser.value("mib").split(',')) {
        const size_t size = size_t(mib.toULongLong()) << 20;
        for (const Case &c : cases) {
            if (!QString(c.name).contains(parser.value("only")))
                continue;
            const QString file = scratch.filePath(QStringLiteral("level.map"));
            {
                const std::string text = c.make(size);
                QFile out(file);
                if (!out.open(QIODevice::WriteOnly) || out.write(text.data(), qint64(text.size())) != qint64(text.size()))
                    return 2;
            }
            const Figures editor = measure(reps, [&] { return editorRead(file); });
            const Figures check = measure(reps, [&] { return LevelFile::check(file).problems; });
            printf("| %s | %s | %.0f | %.0f | %.0f | %.0f | %zu |\n", c.name, qPrintable(mib), editor.ms,
                   editor.peak / 1048576.0, check.ms, check.peak / 1048576.0, check.problemBytes);
            fflush(stdout);
        }
    }
    return 0;
}

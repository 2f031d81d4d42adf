#include "app/commandline.h"

#include "checks/levelfile.h"
#include "checks/problemtext.h"

#include <QSet>

namespace {
const char *const usage = "Usage: GorseED [--check FILE.map ...] [--help] [--version]\n";
const char *const help
    = "The level editor of Gorse. Without arguments it opens the editor window.\n"
      "\n"
      "  --check FILE.map ...  check levels without opening a window and print one\n"
      "                        line per problem, as compilers do:\n"
      "                          FILE:LINE: error: message         (what the file holds)\n"
      "                          FILE: error: (x, y) Layer: message (the level's rules)\n"
      "                        Exit status: 0 when no file has an error, 1 when one\n"
      "                        has, 2 when a file cannot be read.\n"
      "  -h, --help            show this help and exit\n"
      "  -v, --version         show the version and exit\n";

// Qt's own options of a window program, which the window keeps accepting.
const QSet<QString> qtOptionsWithValue = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                          "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                          "style", "stylesheet", "display", "geometry", "title"};
const QSet<QString> qtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

enum { noErrors = 0, someError = 1, unreadable = 2 };

int check(const QStringList &files, std::string &out, std::string &err)
{
    int status = noErrors;
    for (const QString &file : files) {
        const std::string name = file.toStdString();
        const LevelFileReport report = LevelFile::check(file);
        if (!report.readable) {
            err += name + ": error: cannot read the level: " + report.readError + "\n";
            status = unreadable;
            continue;
        }
        for (const LevelProblem &problem : report.problems)
            out += ProblemText::compilerLine(name, problem) + "\n";
        if (status == noErrors && ProblemText::hasError(report.problems))
            status = someError;
    }
    return status;
}

int usageError(const std::string &what, std::string &err)
{
    err += "GorseED: " + what + "\n" + usage + "Try 'GorseED --help' for more information.\n";
    return unreadable;
}
} // namespace

namespace CommandLine {
bool wantsWindow(const QStringList &arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        QString option = arguments[i];
        if (!option.startsWith('-'))
            return false;
        option.remove(0, option.startsWith(QLatin1String("--")) ? 2 : 1);
        const QString name = option.section('=', 0, 0);
        if (qtFlags.contains(name) && !option.contains('='))
            continue;
        if (!qtOptionsWithValue.contains(name))
            return false;
        if (!option.contains('='))
            ++i; // the value follows
    }
    return true;
}

int run(const QStringList &arguments, std::string &out, std::string &err)
{
    QStringList files;
    bool checking = false;
    bool optionsEnded = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || !argument.startsWith('-') || argument == QLatin1String("-")) {
            if (!checking)
                return usageError("'" + argument.toStdString() + "' is not an option; did you mean --check "
                                      + argument.toStdString() + "?",
                                  err);
            files << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            out += usage;
            out += help;
            return noErrors;
        } else if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            out += "GorseED " GORSEED_VERSION "\n";
            return noErrors;
        } else if (argument == QLatin1String("--check")) {
            checking = true;
        } else {
            return usageError("unknown option '" + argument.toStdString() + "'", err);
        }
    }
    if (files.isEmpty())
        return usageError("--check needs at least one level file", err);
    return check(files, out, err);
}
} // namespace CommandLine

#include "app/commandline.h"

#include "checks/levelfile.h"
#include "checks/problemtext.h"

#include <QFile>
#include <QSet>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

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

// A level file named by the bytes given on the command line. Qt names files
// by text, and a name that is not UTF-8 (names are bytes on Linux) does not
// survive the way there and back; such a file and its folder are opened by
// their bytes and reached through /proc/self/fd, which only this process sees.
class NamedFile
{
public:
    explicit NamedFile(const QByteArray &bytes)
    {
        const QString decoded = QFile::decodeName(bytes);
        if (QFile::encodeName(decoded) == bytes) {
            fileName = decoded;
            return;
        }
#ifdef Q_OS_LINUX
        // Not blocking: a FIFO is refused by the check, not waited for.
        file = ::open(bytes.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (file < 0) {
            error = errno == ENOENT ? LevelFile::missingText : std::strerror(errno);
            return;
        }
        const int slash = bytes.lastIndexOf('/');
        const QByteArray folderBytes = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : bytes.left(slash);
        folder = ::open(folderBytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        fileName = QStringLiteral("/proc/self/fd/%1").arg(file);
        if (folder >= 0)
            folderName = QStringLiteral("/proc/self/fd/%1").arg(folder);
#else
        fileName = decoded;
#endif
    }
    ~NamedFile()
    {
#ifdef Q_OS_LINUX
        for (const int fd : {file, folder})
            if (fd >= 0)
                ::close(fd);
#endif
    }
    NamedFile(const NamedFile &) = delete;
    NamedFile &operator=(const NamedFile &) = delete;

    LevelFileReport check() const
    {
        if (!error.empty()) {
            LevelFileReport report;
            report.readError = error;
            return report;
        }
        return folderName.isEmpty() ? LevelFile::check(fileName) : LevelFile::check(fileName, folderName);
    }

private:
    QString fileName;
    QString folderName;
    std::string error;
    int file = -1;
    int folder = -1;
};

int check(const QByteArrayList &files, std::string &out, std::string &err)
{
    int status = noErrors;
    for (const QByteArray &file : files) {
        // Printed as given, byte for byte.
        const std::string name = file.toStdString();
        const LevelFileReport report = NamedFile(file).check();
        if (!report.readable) {
            err += name + ": error: cannot read the level: " + ProblemText::clause(report.readError) + "\n";
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

int run(const QByteArrayList &arguments, std::string &out, std::string &err)
{
    QByteArrayList files;
    bool checking = false;
    bool optionsEnded = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        if (optionsEnded || !argument.startsWith('-') || argument == "-") {
            if (!checking)
                return usageError("'" + argument.toStdString() + "' is not an option; did you mean --check "
                                      + argument.toStdString() + "?",
                                  err);
            files << argument;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            out += usage;
            out += help;
            return noErrors;
        } else if (argument == "--version" || argument == "-v") {
            out += "GorseED " GORSEED_VERSION "\n";
            return noErrors;
        } else if (argument == "--check") {
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

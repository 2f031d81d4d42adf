#include "checks/levelfile.h"

#include "checks/levelrules.h"

#include "level/levellimits.h"
#include "level/subtypetable.h"
#include "mapfile/readproblems.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <unordered_map>
#include <algorithm>

namespace LevelFile {
const char *const missingText = "The file does not exist.";

bool readBytes(const QString &fileName, std::string &bytes, std::string &error)
{
    bytes.clear();
    error.clear();
    const QFileInfo info(fileName);
    const std::string tooLarge = LevelLimits::tooLargeText("The file");
    // Opening a FIFO would wait forever, and a device may never end.
    if (!info.exists())
        error = missingText;
    else if (info.isDir())
        error = "It is a folder, not a level file.";
    else if (!info.isFile())
        error = "It is not a regular file.";
    else if (info.size() > maxBytes)
        error = tooLarge;
    if (!error.empty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential()) {
        error = file.errorString().toStdString();
        return false;
    }
    // Read straight into the result, one copy of the level in memory; the size
    // is checked again while reading, as the file may grow meanwhile.
    size_t got = 0;
    bytes.resize(size_t(info.size()) + 1);
    for (;;) {
        const qint64 n = file.read(&bytes[got], qint64(bytes.size() - got));
        if (n < 0) {
            bytes.clear();
            error = file.errorString().toStdString();
            return false;
        }
        got += size_t(n);
        if (got > size_t(maxBytes)) {
            bytes.clear();
            error = tooLarge;
            return false;
        }
        if (n == 0 || got < bytes.size())
            break;
        bytes.resize(std::min(bytes.size() * 2, size_t(maxBytes) + 1));
    }
    bytes.resize(got);
    return true;
}

std::vector<LevelObject> objectsOf(const MapReader::Contents &contents)
{
    std::vector<LevelObject> objects;
    objects.reserve(contents.objectCount());
    for (const MapReader::Layer &layer : contents.layers) {
        for (const MapReader::Cell &cell : layer.cells) {
            const MapDefinition &definition = contents.definitions[cell.definition];
            objects.push_back(LevelObject {layer.name, definition.kind, definition.subtype, cell.column, cell.row});
        }
    }
    return objects;
}

QString canonicalFolder(const QString &mapFolder)
{
    return QFileInfo(mapFolder).canonicalFilePath() + QLatin1Char('/');
}

bool insideLevelFolder(const QFileInfo &image, const QString &folder)
{
    // A symbolic link, or a folder that is one, may lead anywhere.
    const QString canonical = image.canonicalFilePath();
    return !canonical.isEmpty() && canonical.startsWith(folder);
}

namespace {
// Why an image cannot be shown, or empty when it can. folder: the canonical
// folder of the level, ending in "/".
std::string imageFault(const std::string &path, const QString &folder)
{
    const QString file = QString::fromStdString(path);
    const QFileInfo info(file);
    if (!info.exists())
        return info.isSymLink() ? "leads nowhere" : "does not exist";
    if (!insideLevelFolder(info, folder))
        return "leads out of the level's folder and is not read";
    if (!info.isFile())
        return "is not a file";
    QImageReader reader(file);
    if (!reader.canRead())
        return info.isReadable() ? "is not an image" : "cannot be read";
    // As the editor refuses it: the header tells the size.
    const QSize size = reader.size();
    const int largest = LevelLimits::largestImage;
    if (size.width() > largest || size.height() > largest)
        return "is larger than " + std::to_string(largest) + " x " + std::to_string(largest) + " pixels";
    return std::string();
}
} // namespace

LevelProblems textureProblems(const MapReader::Contents &contents, const std::string &mapFolder)
{
    // The reader keeps only the definitions that cells use.
    const QString folder = canonicalFolder(QString::fromStdString(mapFolder));
    std::unordered_map<std::string, std::string> faults; // one look per image
    LevelProblems problems;
    ReadProblems::Listing listing(problems);
    for (const MapDefinition &definition : contents.definitions) {
        if (definition.kind == Kinds::Lightmap || definition.texturePath.empty())
            continue;
        const std::string id = std::to_string(definition.id);
        const std::string &path = definition.texturePath;
        auto fault = faults.find(path);
        if (fault == faults.end())
            fault = faults.emplace(path, imageFault(path, folder)).first;
        if (fault->second.empty())
            continue;
        const std::string reference = path.rfind(mapFolder + "/", 0) == 0 ? path.substr(mapFolder.size() + 1) : path;
        listing.add(ReadProblems::Kind::TextureFault,
                    LevelProblem::inFile(LevelProblem::Severity::Warning, definition.line,
                                         "the texture " + ReadProblems::quoted(reference) + " of the definition of "
                                             + id + " " + fault->second
                                             + "; its objects show no image, and a save keeps the reference as it "
                                               "is"));
    }
    listing.finish();
    return problems;
}

LevelProblems fileProblems(const MapReader::Contents &contents, const std::string &mapFolder)
{
    LevelProblems problems = contents.problems;
    const LevelProblems textures = textureProblems(contents, mapFolder);
    problems.insert(problems.end(), textures.begin(), textures.end());
    ReadProblems::sortByLine(problems);
    return problems;
}

namespace {
// A file that holds no level at all gets one problem and no level checks.
bool notALevel(const std::string &bytes, LevelProblems &problems)
{
    using Severity = LevelProblem::Severity;
    if (bytes.find_first_not_of(" \t\r\n") == std::string::npos) {
        problems.push_back(LevelProblem::inFile(Severity::Error, 1, "the file is empty; it holds no level"));
        return true;
    }
    if (const size_t zero = bytes.find('\0'); zero != std::string::npos) {
        const int line = 1 + int(std::count(bytes.begin(), bytes.begin() + long(zero), '\n'));
        problems.push_back(
            LevelProblem::inFile(Severity::Error, line, "this is not a level file: it holds binary data"));
        return true;
    }
    const bool hasHeader = bytes.front() == '#' || bytes.find("\n#") != std::string::npos
        || bytes.find("\r#") != std::string::npos;
    if (!hasHeader) {
        problems.push_back(LevelProblem::inFile(
            Severity::Error, 1, "this is not a level file: it has no section line such as #Wall or #Definitions"));
        return true;
    }
    return false;
}
} // namespace

LevelRead readLevel(const QString &fileName, const QString &mapFolder)
{
    LevelRead read;
    const std::string folder = mapFolder.toStdString();
    {
        std::string bytes;
        if (!readBytes(fileName, bytes, read.error))
            return read;
        notALevel(bytes, read.notALevel);
        read.contents = MapReader(folder).parseMapText(bytes);
    }
    if (!read.contents.error.empty()) {
        read.error = read.contents.error;
        return read;
    }
    read.problems = fileProblems(read.contents, folder);
    return read;
}

LevelFileReport check(const QString &fileName)
{
    return check(fileName, QFileInfo(fileName).absolutePath());
}

LevelFileReport check(const QString &fileName, const QString &mapFolder)
{
    LevelFileReport report;
    LevelRead read = readLevel(fileName, mapFolder);
    if (!read.notALevel.empty()) {
        report.readable = true;
        report.problems = std::move(read.notALevel);
        return report;
    }
    if (!read.error.empty()) {
        // Refused whole, as the editor refuses to load it.
        report.readError = std::move(read.error);
        return report;
    }
    report.readable = true;
    report.problems = std::move(read.problems);
    LevelProblems levelProblems = checkLevel(objectsOf(read.contents));
    report.problems.insert(report.problems.end(), levelProblems.begin(), levelProblems.end());
    return report;
}
} // namespace LevelFile

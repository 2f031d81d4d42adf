#include "checks/levelfile.h"

#include "checks/levelrules.h"

#include "mapfile/readproblems.h"
#include "model/subtypetable.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <unordered_map>
#include <unordered_set>
#include <algorithm>

namespace LevelFile {
bool read(const QString &fileName, std::string &bytes, std::string &error)
{
    bytes.clear();
    const QFileInfo info(fileName);
    if (!info.exists())
        error = "no such file";
    else if (info.isDir())
        error = "is a folder, not a level file";
    else if (!info.isFile())
        error = "is not a regular file";
    else if (info.size() > maxBytes)
        error = "is too large for a level (" + std::to_string(info.size() >> 20) + " MiB; levels are at most "
            + std::to_string(maxBytes >> 20) + " MiB)";
    if (!error.empty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    // The size is checked again while reading: the file may grow meanwhile.
    const QByteArray data = file.read(maxBytes + 1);
    if (data.size() > maxBytes) {
        error = "is too large for a level";
        return false;
    }
    bytes.assign(data.constData(), size_t(data.size()));
    return true;
}

std::vector<LevelObject> objectsOf(const MapReader::Contents &contents)
{
    std::vector<LevelObject> objects;
    for (const auto &[section, grid] : contents.grids) {
        for (size_t row = 0; row < grid.size(); ++row) {
            for (size_t column = 0; column < grid[row].size(); ++column) {
                const std::string &cell = grid[row][column];
                if (cell == "0")
                    continue;
                const auto found = contents.definitions.find(cell);
                if (found == contents.definitions.end())
                    continue;
                objects.push_back(LevelObject {section, found->second.kind, found->second.subtype, int32_t(column),
                                               int32_t(row)});
            }
        }
    }
    return objects;
}

namespace {
// Why an image cannot be shown, or empty when it can.
std::string imageFault(const std::string &path)
{
    const QString file = QString::fromStdString(path);
    const QFileInfo info(file);
    if (!info.exists())
        return "does not exist";
    if (!info.isFile())
        return "is not a file";
    QImageReader reader(file);
    if (!reader.canRead())
        return info.isReadable() ? "is not an image" : "cannot be read";
    return std::string();
}
} // namespace

LevelProblems textureProblems(const MapReader::Contents &contents, const std::string &mapFolder)
{
    std::unordered_set<std::string> used;
    for (const auto &grid : contents.grids)
        for (const auto &row : grid.second)
            for (const std::string &cell : row)
                if (cell != "0")
                    used.insert(cell);
    std::unordered_map<std::string, std::string> faults; // one look per image
    LevelProblems problems;
    for (const auto &[id, definition] : contents.definitions) {
        if (!used.count(id) || definition.kind == Kinds::Lightmap || definition.texturePath.empty())
            continue;
        const std::string &path = definition.texturePath;
        auto fault = faults.find(path);
        if (fault == faults.end())
            fault = faults.emplace(path, imageFault(path)).first;
        if (fault->second.empty())
            continue;
        const std::string reference = path.rfind(mapFolder + "/", 0) == 0 ? path.substr(mapFolder.size() + 1) : path;
        problems.push_back(LevelProblem::inFile(LevelProblem::Severity::Warning, definition.line,
                                                "the texture \"" + reference + "\" of the definition of " + id + " "
                                                    + fault->second + "; its objects show no image"));
    }
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

LevelFileReport check(const QString &fileName)
{
    LevelFileReport report;
    std::string bytes;
    if (!read(fileName, bytes, report.readError))
        return report;
    report.readable = true;
    if (notALevel(bytes, report.problems))
        return report;
    const std::string folder = QFileInfo(fileName).absolutePath().toStdString();
    const MapReader::Contents contents = MapReader(folder).parseMapText(bytes);
    report.problems = fileProblems(contents, folder);
    LevelProblems levelProblems = checkLevel(objectsOf(contents));
    report.problems.insert(report.problems.end(), levelProblems.begin(), levelProblems.end());
    return report;
}
} // namespace LevelFile

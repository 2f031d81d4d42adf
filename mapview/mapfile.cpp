#include "mapview/mapfile.h"

#include "checks/levelfile.h"
#include "level/levellimits.h"
#include "level/subtypetable.h"
#include "model/mousehold.h"
#include "model/savedlayers.h"
#include "model/sector.h"
#include "model/sectorfactory.h"
#include "model/textureicons.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <limits>
#include <new>

const QString MapFile::dialogTitle = QStringLiteral("Save Gorse Map");
const QString MapFile::dialogFilter = QStringLiteral("Gorse Map (*.map)");

namespace {
const QString mapExtension = QStringLiteral(".map");

// Qt words a failed buffered write as "Unknown error"; the system's reason
// ("No space left on device") is in errno right after the call that failed.
QString reasonOf(const QFileDevice &file, int systemError)
{
    return systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError)) : file.errorString();
}

// Copies a regular file (never a FIFO, a device or a folder) so that the
// target is either the whole picture or absent; `error` gets the system's reason.
bool copyRegularFile(const QString &source, const QString &target, QString *error)
{
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly) || in.isSequential()) {
        *error = in.error() != QFileDevice::NoError ? in.errorString() : QStringLiteral("not a regular file");
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = out.errorString();
        return false;
    }
    QByteArray chunk;
    errno = 0;
    while (!(chunk = in.read(1 << 16)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) {
            *error = reasonOf(out, errno);
            out.cancelWriting();
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError) {
        *error = in.errorString();
        out.cancelWriting();
        return false;
    }
    errno = 0;
    if (!out.flush() || out.error() != QFileDevice::NoError || !out.commit()) {
        *error = reasonOf(out, errno);
        return false;
    }
    return true;
}

QString withThousands(qint64 number)
{
    return QLocale(QLocale::English).toString(number);
}

bool sameBytes(const QString &first, const QString &second)
{
    QFile a(first);
    QFile b(second);
    if (a.size() != b.size() || !a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    return a.readAll() == b.readAll();
}

// An image may take a file name in the texture folder when nothing is there
// yet, or when the picture there is the same one; a different picture of that
// name is never overwritten and never referenced in this image's place.
bool imageFits(const QString &folder, const std::string &sourcePath, const std::string &fileName)
{
    const QFileInfo target(folder + QLatin1Char('/') + QString::fromStdString(fileName));
    if (!target.exists() && !target.isSymLink())
        return true;
    const QFileInfo source(QString::fromStdString(sourcePath));
    if (!source.isFile() || !target.isFile())
        return false;
    if (source.canonicalFilePath() == target.canonicalFilePath())
        return true;
    return sameBytes(source.filePath(), target.filePath());
}
} // namespace

QString MapFile::saveMap(QString fileName, const SectorRegistry &layers)
{
    errorString.clear();
    imageProblems.clear();
    if (fileName.isEmpty())
        fileName = askSaveFileName();
    if (fileName.isEmpty())
        return QString();
    fileName = withMapExtension(fileName);
    if (!writeMapFile(fileName, layers))
        return QString();
    return fileName;
}

QString MapFile::askSaveFileName()
{
    QFileDialog dialog(nullptr, dialogTitle, QString(), dialogFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Lets the dialog ask before replacing "level.map" when "level" is typed.
    dialog.setDefaultSuffix(QStringLiteral("map"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString MapFile::failureText(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc &) {
        return QStringLiteral("There is not enough memory.");
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("An unexpected error occurred.");
    }
}

QString MapFile::withMapExtension(const QString &fileName)
{
    return fileName.endsWith(mapExtension) ? fileName : fileName + mapExtension;
}

bool MapFile::writeMapFile(const QString &fileName, const SectorRegistry &layers)
{
    targetFileName = fileName;
    errorString.clear();
    imageProblems.clear();
    try {
        return writeMapText(fileName, layers);
    } catch (...) {
        // The temporary file went with the stack; the old level is untouched.
        errorString = failureText(std::current_exception());
        return false;
    }
}

QString MapFile::objectBeyondGrid(const SectorRegistry &layers)
{
    const SectorProperties *farthest = nullptr;
    std::string farthestLayer;
    int64_t farthestReach = 0;
    for (const MapWriter::Layer &layer : savedLayersOf(layers)) {
        for (const SectorProperties *object : layer.objects) {
            const int64_t reach = std::max<int64_t>(object->mapX, object->mapY);
            if (reach >= LevelLimits::gridCells && reach > farthestReach) {
                farthest = object;
                farthestLayer = layer.name;
                farthestReach = reach;
            }
        }
    }
    if (!farthest)
        return QString();
    return QStringLiteral("The object at cell (%1, %2) on the %3 layer lies beyond the %4 x %4 cells a level may "
                          "use. Erase it and save again.")
        .arg(farthest->mapX)
        .arg(farthest->mapY)
        .arg(QString::fromStdString(farthestLayer), withThousands(LevelLimits::gridCells));
}

bool MapFile::writeMapText(const QString &fileName, const SectorRegistry &layers)
{
    // A grid that reaches that far would take more memory and disk than any
    // level should; nothing is written.
    errorString = objectBeyondGrid(layers);
    if (!errorString.isEmpty())
        return false;

    // The text goes to a temporary file beside the map, which replaces the map
    // only when complete: a failed save leaves the old level as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        errorString = file.errorString();
        return false;
    }

    const QFileInfo info(fileName);
    const std::string mapName = MapWriter::mapNameOf(info.fileName().toStdString());
    const QString mapFolder = info.absolutePath();
    const QString textureFolder = mapFolder + QLatin1Char('/') + QString::fromStdString(mapName);
    MapWriter writer(mapName, [&textureFolder](const std::string &sourcePath, const std::string &name) {
        return imageFits(textureFolder, sourcePath, name);
    });
    const std::string text = writer.mapText(savedLayersOf(layers));

    // Writes are buffered: only the flush tells whether the text reached the
    // disk (a full disk says so there), and commit() must not rename a
    // temporary file that lacks part of it.
    errno = 0;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.flush()
        || file.error() != QFileDevice::NoError) {
        errorString = reasonOf(file, errno);
        file.cancelWriting();
        return false;
    }
    // The images go first, so that a level on disk never names a picture that
    // could have been copied but was not yet; if the level itself then cannot
    // be written, what this save added is taken away again.
    const QStringList added = copyTexturesBesideMap(mapFolder, mapName, writer.images());
    errno = 0;
    if (!file.commit()) {
        errorString = reasonOf(file, errno);
        for (const QString &path : added)
            QFileInfo(path).isDir() ? QDir().rmdir(path) : QFile::remove(path);
        return false;
    }
    return true;
}

QStringList MapFile::copyTexturesBesideMap(const QString &mapFolder, const std::string &mapName,
                                           const std::vector<MapWriter::Image> &images)
{
    const QString folderName = QString::fromStdString(mapName);
    const QString textureFolder = mapFolder + QLatin1Char('/') + folderName;
    QStringList added;
    if (QDir(mapFolder).mkdir(folderName))
        added << textureFolder;
    if (!images.empty() && !QFileInfo(textureFolder).isDir()) {
        imageProblems << QStringLiteral("the folder %1 could not be made").arg(QDir::toNativeSeparators(textureFolder));
        return added;
    }
    for (const MapWriter::Image &image : images) {
        const QString source = QString::fromStdString(image.sourcePath);
        const QString target = textureFolder + QLatin1Char('/') + QString::fromStdString(image.fileName);
        if (!QFileInfo::exists(source)) {
            imageProblems << QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(source));
            continue;
        }
        // A picture already there is the same one (see imageFits).
        if (QFileInfo::exists(target))
            continue;
        QString error;
        if (copyRegularFile(source, target, &error))
            added.prepend(target);
        else
            imageProblems << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(source), error);
    }
    return added;
}

void MapFile::loadMap(SectorRegistry &registry, QWidget *mapArea, PlacementContext context)
{
    const QString fileName = askLoadFileName();
    if (fileName.isEmpty())
        return;
    context.mapWidget = mapArea;
    loadMapFile(fileName, registry, context);
}

namespace {
QString &lastLoadFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString MapFile::loadFolder()
{
    // The first load looks where the working directory keeps its levels
    // (levels/ of data/ holds the sample level); later ones where the last
    // level came from.
    if (lastLoadFolder().isEmpty() && QFileInfo(QStringLiteral("levels")).isDir())
        return QFileInfo(QStringLiteral("levels")).absoluteFilePath();
    return lastLoadFolder();
}

QString MapFile::askLoadFileName()
{
    const QString fileName = QFileDialog::getOpenFileName(nullptr, dialogTitle, loadFolder(), dialogFilter);
    if (!fileName.isEmpty())
        lastLoadFolder() = QFileInfo(fileName).absolutePath();
    return fileName;
}

void MapFile::loadMapFile(const QString &fileName, SectorRegistry &registry, const PlacementContext &context)
{
    loadedFileName = fileName;
    errorString.clear();
    loadProblems.clear();
    readProblems.clear();
    try {
        const QString mapFolder = QFileInfo(fileName).absolutePath();
        LevelRead read = LevelFile::readLevel(fileName, mapFolder);
        if (!read.error.empty()) {
            errorString = QString::fromStdString(read.error);
            return;
        }
        MapReader::Contents &contents = read.contents;
        for (const std::string &warning : contents.warnings)
            loadProblems << QString::fromStdString(warning);
        readProblems = std::move(read.problems);
        loadProblems << checkTextures(contents, mapFolder);
        registry = buildSectors(contents, context);
    } catch (...) {
        // buildSectors has taken back what it made; the current map is untouched.
        registry.clear();
        readProblems.clear();
        errorString = failureText(std::current_exception());
    }
}

QStringList MapFile::checkTextures(MapReader::Contents &contents, const QString &mapFolder)
{
    QStringList problems;
    const QString folder = LevelFile::canonicalFolder(mapFolder);
    const std::string prefix = mapFolder.toStdString() + '/';
    // The image is not taken: the object shows none, and a save writes the
    // reference back as the file had it and copies nothing.
    auto keepReference = [&prefix](MapDefinition &definition) {
        const std::string &path = definition.texturePath;
        definition.keptReference = std::make_shared<const std::string>(
            path.rfind(prefix, 0) == 0 ? path.substr(prefix.size()) : path);
        definition.texturePath.clear();
    };
    for (MapDefinition &definition : contents.definitions) {
        if (definition.texturePath.empty() || definition.texturePath == MapReader::lampImage)
            continue;
        const QString path = QString::fromStdString(definition.texturePath);
        const QString shown = QDir::toNativeSeparators(QDir(mapFolder).relativeFilePath(path));
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink()) {
            keepReference(definition);
            continue;
        }
        // What leads out of the level's folder is neither shown nor copied.
        if (!LevelFile::insideLevelFolder(info, folder)) {
            keepReference(definition);
            problems << QStringLiteral("%1 leads out of the level's folder and was not read").arg(shown);
            continue;
        }
        const QString problem = TextureIcons::problem(definition.texturePath);
        if (!problem.isEmpty()) {
            keepReference(definition);
            problems << shown + QLatin1Char(' ') + problem;
        }
    }
    problems.removeDuplicates();
    return problems;
}

SectorRegistry MapFile::buildSectors(const MapReader::Contents &contents, PlacementContext context)
{
    SectorRegistry registry;
    const MouseHold hold(context.mapWidget ? context.mapWidget->window() : nullptr);
    try {
        // The objects of one definition line share one new texture number, so
        // that a fill retextures a loaded room as a painted one and a save
        // writes the line once; light cells keep one each, as each carries
        // values of its own. Numbers come from the running texture counter,
        // so none is a gallery texture's, and every load draws new ones.
        std::vector<int32_t> numbers(contents.definitions.size(), 0);
        for (const MapReader::Layer &layer : contents.layers) {
            if (layer.cells.empty())
                continue;
            // Reserved first, so that no object is made without a place to go.
            std::vector<Sector *> &sectors = registry[layer.name];
            sectors.reserve(layer.cells.size());
            const bool lights = layer.name == Kinds::Lightmap;
            context.layer = layer.name;
            for (const MapReader::Cell &cell : layer.cells) {
                MapDefinition definition = contents.definitions.at(cell.definition);
                int32_t &number = numbers[cell.definition];
                if (number == 0 || lights || definition.kind == Kinds::Lightmap)
                    number = context.textureNumbers->next();
                definition.id = number;
                // Made with its picture, which applyDefinition then finds in place.
                context.texture = textureOfPath(definition.texturePath, number);
                context.texture.keptReference = definition.keptReference;
                sectors.push_back(createSector(QPoint(cell.column, cell.row), context));
                applyDefinition(definition, sectors.back());
            }
        }
    } catch (...) {
        for (auto &entry : registry)
            qDeleteAll(entry.second);
        throw;
    }
    return registry;
}

void MapFile::applyDefinition(const MapDefinition &definition, Sector *sector)
{
    const std::string &path = definition.texturePath;
    TextureRef texture = textureOfPath(path, definition.id);
    texture.keptReference = definition.keptReference;
    sector->setTexture(texture);
    sector->setKind(definition.kind);
    sector->setSubtype(definition.subtype);
    sector->setLighting(definition.lighting);
    // Objects that show one image share one decoded icon.
    if (QPushButton *button = sector->properties->button) {
        const QIcon icon = path.empty() ? QIcon() : TextureIcons::icon(path);
        if (button->icon().cacheKey() != icon.cacheKey())
            button->setIcon(icon);
        const QString tip = TextureIcons::toolTip(path, definition.keptReference.get());
        if (button->toolTip() != tip)
            button->setToolTip(tip);
    }
}

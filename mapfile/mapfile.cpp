#include "mapfile/mapfile.h"

#include "checks/levelfile.h"
#include "gallery/texturegallery.h"
#include "model/mousehold.h"
#include "model/sector.h"
#include "model/sectorfactory.h"
#include "model/textureicons.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QSaveFile>
#include <algorithm>
#include <limits>

const QString MapFile::dialogTitle = QStringLiteral("Save Gorse Map");
const QString MapFile::dialogFilter = QStringLiteral("Gorse Map (*.map)");

namespace {
const QString mapExtension = QStringLiteral(".map");

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

QString MapFile::withMapExtension(const QString &fileName)
{
    return fileName.endsWith(mapExtension) ? fileName : fileName + mapExtension;
}

bool MapFile::writeMapFile(const QString &fileName, const SectorRegistry &layers)
{
    targetFileName = fileName;
    errorString.clear();
    imageProblems.clear();

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
    const std::string text = writer.mapText(MapWriter::layersOf(layers));

    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        errorString = file.errorString();
        file.cancelWriting();
        return false;
    }
    // The images go first, so that a level on disk never names a picture that
    // could have been copied but was not yet; if the level itself then cannot
    // be written, what this save added is taken away again.
    const QStringList added = copyTexturesBesideMap(mapFolder, mapName, writer.images());
    if (!file.commit()) {
        errorString = file.errorString();
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
        if (!QFileInfo(source).isFile()) {
            imageProblems << QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(source));
            continue;
        }
        // A picture already there is the same one (see imageFits).
        if (QFileInfo::exists(target))
            continue;
        QFile copy(source);
        if (copy.copy(target))
            added.prepend(target);
        else
            imageProblems << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(source), copy.errorString());
    }
    return added;
}

void MapFile::loadMap(SectorRegistry &registry, QWidget *mapWidget, PlacementContext context)
{
    const QString fileName = askLoadFileName();
    if (fileName.isEmpty())
        return;
    context.mapWidget = mapWidget;
    loadMapFile(fileName, registry, context);
}

QString MapFile::askLoadFileName()
{
    return QFileDialog::getOpenFileName(nullptr, dialogTitle, QString(), dialogFilter);
}

void MapFile::loadMapFile(const QString &fileName, SectorRegistry &registry, const PlacementContext &context)
{
    loadedFileName = fileName;
    const std::string folder = QFileInfo(fileName).absolutePath().toStdString();
    const MapReader::Contents contents = MapReader(folder).parseMapText(readMapText(fileName));
    readProblems = LevelFile::fileProblems(contents, folder);
    registry = buildSectors(contents, context);
}

std::string MapFile::readMapText(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::string();
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

SectorRegistry MapFile::buildSectors(const MapReader::Contents &contents, const PlacementContext &context)
{
    // Cells whose pixel position would not fit an int are left out.
    const size_t lastCell = size_t(std::numeric_limits<int32_t>::max() / std::max(1, context.cellSize));
    SectorRegistry registry;
    const MouseHold hold(context.mapWidget ? context.mapWidget->window() : nullptr);
    for (const auto &[section, grid] : contents.grids) {
        for (size_t row = 0; row < grid.size() && row <= lastCell; ++row) {
            const std::vector<std::string> &cells = grid[row];
            for (size_t column = 0; column < cells.size() && column <= lastCell; ++column) {
                if (cells[column] == "0")
                    continue;
                // A cell without a definition stays empty.
                const auto found = contents.definitions.find(cells[column]);
                if (found == contents.definitions.end())
                    continue;
                MapDefinition definition = found->second;
                definition.id = context.gallery->nextLightmapId();
                Sector *sector = createSector(QPoint(int(column), int(row)), context);
                applyDefinition(definition, sector);
                registry[section].push_back(sector);
            }
        }
    }
    return registry;
}

void MapFile::applyDefinition(const MapDefinition &definition, Sector *sector)
{
    const std::string &path = definition.texturePath;
    const size_t slash = path.rfind('/');
    TextureRef texture;
    if (slash == std::string::npos) {
        texture.textureName = path;
    } else {
        texture.textureName = path.substr(slash + 1);
        texture.textureDir = path.substr(0, slash + 1);
    }
    texture.textureId = definition.id;
    sector->setTexture(texture);
    sector->properties->kind = definition.kind;
    sector->setSubtype(definition.subtype);
    sector->setLighting(definition.lighting);
    // Objects that show one image share one decoded icon.
    if (QPushButton *button = sector->properties->button)
        button->setIcon(path.empty() ? QIcon() : TextureIcons::icon(path));
}

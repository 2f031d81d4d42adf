#include "mapview/recoveryfile.h"

#include "checks/levelfile.h"
#include "mapview/mapfile.h"
#include "model/savedlayers.h"
#include "mapfile/mapwriter.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

bool RecoveryFile::write(const QString &fileName, const SectorRegistry &layers, QString &error)
{
    try {
        error = MapFile::objectBeyondGrid(layers);
        if (!error.isEmpty())
            return false;
        MapWriter writer(MapWriter::mapNameOf(QFileInfo(fileName).fileName().toStdString()));
        writer.nameImagesByAbsolutePath();
        const std::string text = writer.mapText(savedLayersOf(layers));
        QSaveFile file(fileName);
        errno = 0;
        if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size())
            || !file.flush() || !file.commit()) {
            error = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
            file.cancelWriting();
            return false;
        }
        return true;
    } catch (...) {
        error = MapFile::failureText(std::current_exception());
        return false;
    }
}

bool RecoveryFile::read(const QString &fileName, SectorRegistry &registry, const PlacementContext &context,
                        QString &error)
{
    registry.clear();
    try {
        std::string text;
        std::string why;
        if (!LevelFile::readBytes(fileName, text, why)) {
            error = QString::fromStdString(why);
            return false;
        }
        // Every copy ends with its definitions table, even that of an empty map.
        if (text.find("#Definitions") == std::string::npos) {
            error = QStringLiteral("It holds no level.");
            return false;
        }
        MapReader reader(QFileInfo(fileName).absolutePath().toStdString());
        reader.acceptAbsoluteReferences();
        const MapReader::Contents contents = reader.parseMapText(text);
        if (!contents.error.empty()) {
            error = QString::fromStdString(contents.error);
            return false;
        }
        registry = MapFile::buildSectors(contents, context);
        return true;
    } catch (...) {
        // buildSectors has taken back what it made.
        registry.clear();
        error = MapFile::failureText(std::current_exception());
        return false;
    }
}

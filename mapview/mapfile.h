#pragma once

#include "mapfile/mapreader.h"
#include "mapfile/mapwriter.h"
#include "model/layercontroller.h"
#include "model/placementcontext.h"

#include <QString>
#include <QStringList>
#include <exception>
#include <string>

class QWidget;
class Sector;

// The save and load commands of a level: asks for the file name, writes the
// ".map" file safely with the images beside it in the level's texture folder,
// and reads a level back into new objects made as the editing tools make
// theirs. The text of the file is made and read by MapWriter and MapReader.
// Lives for one command. Nothing it does lets an exception out: a failure
// becomes errorString.
class MapFile
{
public:
    static const QString dialogTitle;
    static const QString dialogFilter;

    // Writes the map to fileName, asking for a name first when it is empty.
    // Returns the name written, or an empty name when the dialog was
    // cancelled or the file could not be written (see errorString).
    QString saveMap(QString fileName, const SectorRegistry &layers);
    // The .map file is replaced only once the whole text is on disk; on
    // failure the old file stays as it was. A level with an object beyond the
    // grid a level may use is not written at all. Returns whether it was written.
    bool writeMapFile(const QString &fileName, const SectorRegistry &layers);
    // Why the objects cannot be saved: the object farthest beyond the grid a
    // level may use, with its cell and layer; empty when all lie inside.
    static QString objectBeyondGrid(const SectorRegistry &layers);
    // What went wrong, in the designer's words ("There is not enough memory.").
    static QString failureText(const std::exception_ptr &failure);
    // A level's texture folder is named after the file without ".map", so the
    // file must carry the extension or the folder cannot sit beside it.
    static QString withMapExtension(const QString &fileName);

    // The file the last save wrote or tried to write.
    QString targetFileName;
    // Why the last save or load failed; empty when it did not.
    QString errorString;
    // Images that the last save could not put into the texture folder.
    QStringList imageProblems;

    // Asks for a level and fills `registry` (empty on entry) with its objects;
    // it stays empty when the dialog is cancelled, the level holds none or it
    // cannot be read (see errorString).
    void loadMap(SectorRegistry &registry, QWidget *mapWidget, PlacementContext context);
    // Asks for the level to load; empty when the dialog was cancelled.
    static QString askLoadFileName();
    // The folder the load dialog opens in.
    static QString loadFolder();
    void loadMapFile(const QString &fileName, SectorRegistry &registry, const PlacementContext &context);
    // Texture images that are missing, lead out of the level's folder
    // (through a symbolic link) or cannot be shown are not taken: their
    // references are kept as text, like unsafe ones. Returns what was refused
    // or cannot be shown, one line per texture.
    static QStringList checkTextures(MapReader::Contents &contents, const QString &mapFolder);
    // One new object per occupied cell; the objects of one definition share a
    // new texture number, light cells take one each. Registry entries only
    // for layers with objects.
    static SectorRegistry buildSectors(const MapReader::Contents &contents, PlacementContext context);
    static void applyDefinition(const MapDefinition &definition, Sector *sector);

    // The level read last; texture references are resolved against its folder.
    QString loadedFileName;
    // What the last load read only in part: refused textures, cells beyond the grid.
    QStringList loadProblems;
    // What the last load skipped or mended in the file, by line.
    LevelProblems readProblems;

private:
    static QString askSaveFileName();
    bool writeMapText(const QString &fileName, const SectorRegistry &layers);
    // Makes the texture folder and copies the images into it; returns what it
    // added, newest first.
    QStringList copyTexturesBesideMap(const QString &mapFolder, const std::string &mapName,
                                      const std::vector<MapWriter::Image> &images);
};

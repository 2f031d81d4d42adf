#pragma once

#include "level/levellimits.h"
#include "level/levelobject.h"
#include "level/levelproblem.h"
#include "mapfile/mapreader.h"

#include <QFileInfo>
#include <QString>
#include <string>
#include <vector>

// A level file as read from disk: what the reader made of it, or why it
// could not be read at all.
struct LevelRead
{
    // Why the file could not be read or the reader refused it whole, as a
    // sentence ("The file does not exist."); empty when it was read.
    std::string error;
    MapReader::Contents contents;
    // What the reader skipped or mended and what is wrong with the textures, by line.
    LevelProblems problems;
    // The one problem of a file that holds no level at all (empty, binary
    // data, no section line); empty otherwise. The reader still read it.
    LevelProblems notALevel;
};

// Checks a ".map" file without any window: what the reader skipped or mended
// in it (file problems, by line) and the rules of the level it holds.
struct LevelFileReport
{
    // False when the file could not be read at all; readError says why, as a sentence.
    bool readable = false;
    std::string readError;
    LevelProblems problems;
};

namespace LevelFile {
// Files larger than this are not levels and are not read.
constexpr qint64 maxBytes = LevelLimits::fileBytes;
// Why a file that is not there cannot be read.
extern const char *const missingText;

// Reads a level file for the editor and for the check of a level file alike.
// mapFolder: where the level's texture references lead from, when it is not
// the file's own folder as named (a file reached through /proc/self/fd).
LevelRead readLevel(const QString &fileName, const QString &mapFolder);
LevelFileReport check(const QString &fileName);
LevelFileReport check(const QString &fileName, const QString &mapFolder);
// The canonical path of a level's folder, ending in "/".
QString canonicalFolder(const QString &mapFolder);
// Whether an existing image lies inside the level's folder (its canonical
// path) once every symbolic link on the way is followed. The editor and the
// checks read no image that leads out of it.
bool insideLevelFolder(const QFileInfo &image, const QString &folder);
// The bytes of a regular file (never a FIFO, which would keep the reader
// waiting, nor a device, which may never end) of at most maxBytes; false with
// the reason in `error`, a sentence, otherwise.
bool readBytes(const QString &fileName, std::string &bytes, std::string &error);
// One record per cell that names a definition, as the editor would make it.
std::vector<LevelObject> objectsOf(const MapReader::Contents &contents);
// The textures of the definitions that cells use which are missing, cannot be
// read or are no images, at the lines of their definitions. mapFolder: the
// folder the references are relative to.
LevelProblems textureProblems(const MapReader::Contents &contents, const std::string &mapFolder);
// What the reader skipped or mended and what is wrong with the textures, by line.
LevelProblems fileProblems(const MapReader::Contents &contents, const std::string &mapFolder);
} // namespace LevelFile

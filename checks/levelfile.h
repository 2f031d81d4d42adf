#pragma once

#include "level/levellimits.h"
#include "level/levelobject.h"
#include "level/levelproblem.h"
#include "mapfile/mapreader.h"

#include <QString>
#include <string>
#include <vector>

// Checks a ".map" file without any window: what the reader skipped or mended
// in it (file problems, by line) and the rules of the level it holds.
struct LevelFileReport
{
    // False when the file could not be read at all; readError says why.
    bool readable = false;
    std::string readError;
    LevelProblems problems;
};

namespace LevelFile {
// Files larger than this are not levels and are not read; the editor refuses them too.
constexpr qint64 maxBytes = LevelLimits::fileBytes;

LevelFileReport check(const QString &fileName);
// mapFolder: where the level's texture references lead from, when it is not
// the file's own folder as named (a file reached through /proc/self/fd).
LevelFileReport check(const QString &fileName, const QString &mapFolder);
// The bytes of a level file, or an empty result and the reason in `error`.
bool read(const QString &fileName, std::string &bytes, std::string &error);
// One record per cell that names a definition, as the editor would make it.
std::vector<LevelObject> objectsOf(const MapReader::Contents &contents);
// The textures of the definitions that cells use which are missing, cannot be
// read or are no images, at the lines of their definitions. mapFolder: the
// folder the references are relative to.
LevelProblems textureProblems(const MapReader::Contents &contents, const std::string &mapFolder);
// What the reader skipped or mended and what is wrong with the textures, by line.
LevelProblems fileProblems(const MapReader::Contents &contents, const std::string &mapFolder);
} // namespace LevelFile

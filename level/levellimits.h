#pragma once

#include <QLocale>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

// How large a level may be. Every object is a button on the map, so the object
// limit keeps a level within what the editor can show (8 layers of 256 x 256
// cells); the grid limit keeps a saved file within a few tens of megabytes (8
// layers of 2,048 x 2,048 cells of "0," are 64 MiB) and its reading within a
// few hundred; the file limit follows from both, with room for the
// definitions and for more than eight sections.
namespace LevelLimits {
// Columns and rows: cells 0 to gridCells - 1 in both directions.
constexpr int32_t gridCells = 2048;
constexpr size_t objects = 262144;
constexpr int64_t fileBytes = int64_t(256) << 20;
// Texture images larger than this in either direction are never decoded.
constexpr int largestImage = 4096;

inline bool insideGrid(int64_t column, int64_t row)
{
    return column >= 0 && row >= 0 && column < gridCells && row < gridCells;
}
// Why a text larger than any level is not read; `what` names it ("The file").
inline std::string tooLargeText(const std::string &what)
{
    return what + " is larger than " + std::to_string(fileBytes >> 20) + " MiB, more than any level can be.";
}
// The status shown when an edit would place objects beyond the grid.
inline QString beyondGridMessage()
{
    const QLocale english(QLocale::English);
    return QStringLiteral("A level has at most %1 x %1 cells and %2 objects: nothing is placed beyond them")
        .arg(english.toString(gridCells), english.toString(qulonglong(objects)));
}
// The status shown when an edit would take a level past its object limit.
inline QString objectLimitMessage(size_t limit = objects)
{
    return QStringLiteral("A level holds at most %1 objects: nothing more is placed")
        .arg(QLocale(QLocale::English).toString(qulonglong(limit)));
}
} // namespace LevelLimits

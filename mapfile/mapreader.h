#pragma once

#include "level/levellimits.h"
#include "level/levelproblem.h"
#include "mapfile/mapdefinition.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Turns the text of a ".map" file into the objects it places: per layer the
// occupied cells, each tied to a definition. A section starts at a line
// beginning with "#" (its name is the line without any "#", trimmed) and its
// lines run to the next blank line; the section "Definitions" holds the table,
// every other section a grid of cell texts. Only cells that hold an object are
// kept, and a definition line is read only when a cell uses it, so reading
// costs little beyond the text and the objects. Pure text work: it reads no
// file and makes no object.
class MapReader
{
public:
    struct Limits
    {
        int32_t gridCells = LevelLimits::gridCells;
        size_t objects = LevelLimits::objects;
    };

    // An occupied cell; `definition` indexes Contents::definitions.
    struct Cell
    {
        int32_t column = 0;
        int32_t row = 0;
        uint32_t definition = 0;
    };

    struct Layer
    {
        std::string name;
        std::vector<Cell> cells;
    };

    struct Contents
    {
        // The first grid of every section name, in the order the names first
        // appear; cells in row order.
        std::vector<Layer> layers;
        // The definitions the cells use, each once.
        std::vector<MapDefinition> definitions;
        // Why the level was refused; `layers` is then empty.
        std::string error;
        // What was read only in part.
        std::vector<std::string> warnings;
        // What was skipped or mended, by line: cells without a definition or
        // not a number, second definitions of an id, and what is wrong with
        // the definition lines the cells use.
        LevelProblems problems;

        size_t objectCount() const;
    };

    // The image of every light cell.
    static const char *const lampImage;
    // Section, kind and subtype names are cut after this many bytes: every
    // object carries its names, and none of the editor's is half as long.
    static constexpr size_t nameBytes = 64;
    // No file name is longer; a longer texture reference is neither followed
    // nor kept.
    static constexpr size_t referenceBytes = 4096;

    // mapFolder: the folder of the map file, without a trailing "/"; texture
    // references are resolved against it. Without one (the clipboard's text)
    // no relative reference is followed.
    explicit MapReader(std::string mapFolder);
    MapReader(std::string mapFolder, Limits limits);

    // Texture references that are absolute image paths (the recovery copies'
    // and the clipboard's), still without a ".." component, are followed only
    // when this is set.
    void acceptAbsoluteReferences() { absoluteReferences = true; }

    Contents parseMapText(std::string_view text) const;
    MapDefinition parseDefinitionLine(std::string_view line) const;

    // A texture reference stays inside the map's folder: not empty, not
    // absolute, and without a ".." component.
    static bool isSafeReference(std::string_view reference);
    static int32_t toInt(std::string_view text);
    static double toDouble(std::string_view text);

private:
    std::string texturePathOf(std::string_view reference) const;

    std::string mapFolder;
    Limits limits;
    bool absoluteReferences = false;
};

#pragma once

#include "checks/levelproblem.h"
#include "mapfile/mapdefinition.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Turns the text of a ".map" file into its layer grids and its definition
// table. A section starts at a line beginning with "#" (its name is the line
// without any "#") and its lines run to the next empty line; the section
// "Definitions" holds the table, every other section a grid of cell texts.
// Pure text work: it reads no file and makes no object.
class MapReader
{
public:
    // Rows of cell texts, empty cells left out.
    using Grid = std::vector<std::vector<std::string>>;
    // Id text, exactly as written in the first field of a definition line ->
    // the definition.
    using DefinitionTable = std::unordered_map<std::string, MapDefinition>;

    struct Contents
    {
        // Section name -> grid, in the order in which the sections first
        // appear; the first grid of a name is the one kept.
        std::vector<std::pair<std::string, Grid>> grids;
        DefinitionTable definitions;
        // What was skipped or mended, by line.
        LevelProblems problems;
    };

    // The image of every light cell.
    static const char *const lampImage;

    // mapFolder: the folder of the map file, without a trailing "/"; texture
    // references are resolved against it.
    explicit MapReader(std::string mapFolder);

    Contents parseMapText(std::string_view text) const;
    static Grid parseGridBlock(std::string_view block);
    // Adds the definitions of a block to the table; an id text already there
    // keeps its first definition.
    void parseDefinitionsBlock(std::string_view block, DefinitionTable &table) const;
    MapDefinition parseDefinitionLine(std::string_view line) const;

    // A texture reference stays inside the map's folder: not empty, not
    // absolute, and without a ".." component.
    static bool isSafeReference(std::string_view reference);
    static int32_t toInt(std::string_view text);
    static double toDouble(std::string_view text);

private:
    // parseDefinitionsBlock for a block whose lines are at `lines` of the file,
    // telling what it skips or mends.
    void readDefinitions(std::string_view block, const std::vector<int> &lines, DefinitionTable &table,
                         LevelProblems &problems) const;
    std::string texturePathOf(std::string_view reference) const;

    std::string mapFolder;
};

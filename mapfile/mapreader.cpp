#include "mapfile/mapreader.h"

#include "mapfile/readproblems.h"
#include "model/subtypetable.h"

#include <QByteArray>
#include <cctype>
#include <cmath>
#include <unordered_set>

const char *const MapReader::lampImage = "assets/lamp.png";

namespace {
const std::string definitionsSection = "Definitions";

// Calls f for every part of text between separators, empty parts included.
template<typename F> void forEachPart(std::string_view text, char separator, F f)
{
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            f(text.substr(start));
            return;
        }
        f(text.substr(start, end - start));
        start = end + 1;
    }
}

// The first `count` comma-separated fields of a line; fields the line does
// not have stay empty, and nothing past the line's end is read.
std::vector<std::string_view> leadingFields(std::string_view line, size_t count)
{
    std::vector<std::string_view> fields(count);
    size_t start = 0;
    for (size_t i = 0; i < count && start <= line.size(); ++i) {
        const size_t end = line.find(',', start);
        if (end == std::string_view::npos) {
            fields[i] = line.substr(start);
            break;
        }
        fields[i] = line.substr(start, end - start);
        start = end + 1;
    }
    return fields;
}
} // namespace

MapReader::MapReader(std::string mapFolder) : mapFolder(std::move(mapFolder))
{
}

MapReader::Contents MapReader::parseMapText(std::string_view text) const
{
    Contents contents;
    std::unordered_set<std::string> gridNames;
    std::string section;
    std::string block;
    // The file line of every line of the block, and of every row of each grid.
    std::vector<int> blockLines;
    std::vector<std::vector<int>> rowLines;
    int lineNumber = 0;

    auto closeBlock = [&] {
        if (section == definitionsSection) {
            readDefinitions(block, blockLines, contents.definitions, contents.problems);
        } else if (gridNames.insert(section).second) {
            contents.grids.emplace_back(section, parseGridBlock(block));
            rowLines.push_back(blockLines);
        }
        block.clear();
        blockLines.clear();
    };

    // Lines end at LF, at CR LF or at a lone CR; a last line without an end
    // counts like the others.
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find_first_of("\r\n", position);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(position, end - position);
        if (end == text.size())
            position = end;
        else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            position = end + 2;
        else
            position = end + 1;
        ++lineNumber;

        if (line.empty()) {
            closeBlock();
        } else if (line.front() == '#') {
            // A header names the section; it does not end the lines gathered so far.
            section.clear();
            for (char c : line)
                if (c != '#')
                    section += c;
        } else {
            block += line;
            block += '\n';
            blockLines.push_back(lineNumber);
        }
    }
    // The end of the text closes the last section.
    closeBlock();

    ReadProblems::CellTexts cellTexts;
    for (size_t g = 0; g < contents.grids.size(); ++g) {
        const Grid &grid = contents.grids[g].second;
        for (size_t row = 0; row < grid.size(); ++row)
            for (const std::string &cell : grid[row])
                if (cell != "0")
                    cellTexts.add(cell, rowLines[g][row], contents.definitions.count(cell) > 0);
    }
    cellTexts.report(contents.problems);
    ReadProblems::sortByLine(contents.problems);
    return contents;
}

MapReader::Grid MapReader::parseGridBlock(std::string_view block)
{
    Grid grid;
    forEachPart(block, '\n', [&grid](std::string_view row) {
        if (row.empty())
            return;
        // An empty cell between two commas is dropped, as is the part after
        // the trailing comma, so the cells after it move one column left.
        std::vector<std::string> cells;
        forEachPart(row, ',', [&cells](std::string_view cell) {
            if (!cell.empty())
                cells.emplace_back(cell);
        });
        grid.push_back(std::move(cells));
    });
    return grid;
}

void MapReader::parseDefinitionsBlock(std::string_view block, DefinitionTable &table) const
{
    forEachPart(block, '\n', [this, &table](std::string_view line) {
        if (line.empty())
            return;
        const std::string idText(line.substr(0, line.find(',')));
        if (table.count(idText))
            return;
        table.emplace(idText, parseDefinitionLine(line));
    });
}

void MapReader::readDefinitions(std::string_view block, const std::vector<int> &lines, DefinitionTable &table,
                                LevelProblems &problems) const
{
    size_t index = 0;
    forEachPart(block, '\n', [&](std::string_view line) {
        if (line.empty())
            return;
        const int number = index < lines.size() ? lines[index] : 0;
        ++index;
        const std::string idText(line.substr(0, line.find(',')));
        if (const auto first = table.find(idText); first != table.end()) {
            ReadProblems::duplicateDefinition(idText, number, first->second.line, problems);
            return;
        }
        MapDefinition definition = parseDefinitionLine(line);
        definition.line = number;
        ReadProblems::checkDefinitionLine(line, definition, number, problems);
        table.emplace(idText, std::move(definition));
    });
}

MapDefinition MapReader::parseDefinitionLine(std::string_view line) const
{
    const std::vector<std::string_view> field = leadingFields(line, 8);
    MapDefinition definition;
    definition.id = toInt(field[0]);
    definition.kind = std::string(field[1]);
    if (definition.kind == Kinds::Ceil || definition.kind == Kinds::Floor) {
        definition.texturePath = texturePathOf(field[3]);
    } else if (definition.kind == Kinds::Lightmap) {
        definition.subtype = std::string(field[2]);
        definition.texturePath = lampImage;
        definition.lighting.emission = toInt(field[3]);
        definition.lighting.emissionMin = toInt(field[4]);
        definition.lighting.emissionMax = toInt(field[5]);
        definition.lighting.randomIntensity = field[6] == "true";
        definition.lighting.blinkDelay = toDouble(field[7]);
    } else {
        definition.subtype = std::string(field[2]);
        definition.texturePath = texturePathOf(field[3]);
    }
    return definition;
}

std::string MapReader::texturePathOf(std::string_view reference) const
{
    // A reference that would lead out of the level's folder is not followed:
    // the object keeps no image.
    if (!isSafeReference(reference))
        return std::string();
    std::string path = mapFolder;
    path += '/';
    path += reference;
    return path;
}

bool MapReader::isSafeReference(std::string_view reference)
{
    if (reference.empty() || reference.find('\0') != std::string_view::npos)
        return false;
    if (reference.front() == '/' || reference.front() == '\\')
        return false;
    // A drive letter ("C:") names a place outside the folder on Windows.
    if (reference.size() >= 2 && std::isalpha(static_cast<unsigned char>(reference[0])) && reference[1] == ':')
        return false;
    size_t start = 0;
    while (start <= reference.size()) {
        size_t end = reference.find_first_of("/\\", start);
        if (end == std::string_view::npos)
            end = reference.size();
        if (reference.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

int32_t MapReader::toInt(std::string_view text)
{
    // Not a number, or out of range: 0.
    bool ok = false;
    const int value = QByteArray(text.data(), int(text.size())).toInt(&ok, 10);
    return ok ? value : 0;
}

double MapReader::toDouble(std::string_view text)
{
    bool ok = false;
    const double value = QByteArray(text.data(), int(text.size())).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

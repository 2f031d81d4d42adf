#include "mapfile/mapreader.h"

#include "level/subtypetable.h"
#include "mapfile/readproblems.h"

#include <QByteArray>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <unordered_map>

const char *const MapReader::lampImage = "assets/lamp.png";

namespace {
const std::string definitionsSection = "Definitions";
const std::string_view byteOrderMark = "\xEF\xBB\xBF";
const char *const spaces = " \t\v\f";
// Longer fields are no numbers (the longest double written has 13 characters).
constexpr size_t numberBytes = 64;
// Sections that are no layer of the editor still become layers of their own;
// a level needs a handful, and each costs memory however short its text.
constexpr size_t sectionLimit = 256;

// The first of two bytes from `from` on, or npos. A plain loop: the library's
// find_first_of calls memchr once per byte, which makes long lines slow.
size_t findEither(std::string_view text, size_t from, char a, char b)
{
    for (size_t at = from; at < text.size(); ++at)
        if (text[at] == a || text[at] == b)
            return at;
    return std::string_view::npos;
}

// The lines of a text, each with its number (from 1) and where it starts and
// ends. A line ends at LF, at a lone CR, or at CRs followed by an LF (CR CR LF
// is one line end, as some tools write it); the text's end ends the last line.
class Lines
{
public:
    Lines(std::string_view text, size_t from = 0, size_t firstNumber = 1)
        : text(text), position(from), lineNumber(firstNumber - 1)
    {
    }

    bool next(std::string_view &line)
    {
        if (position >= text.size())
            return false;
        start = position;
        end = findEither(text, position, '\r', '\n');
        if (end == std::string_view::npos) {
            end = text.size();
            position = end;
        } else if (text[end] == '\n' || end < loneCrsEnd) {
            position = end + 1;
        } else {
            // CRs followed by an LF are one line end; otherwise every CR of the
            // run ends a line, which is remembered so that the run is looked
            // at once, not once per CR.
            const size_t afterCrs = std::min(text.find_first_not_of('\r', end), text.size());
            if (afterCrs < text.size() && text[afterCrs] == '\n') {
                position = afterCrs + 1;
            } else {
                loneCrsEnd = afterCrs;
                position = end + 1;
            }
        }
        ++lineNumber;
        line = text.substr(start, end - start);
        return true;
    }

    size_t number() const { return lineNumber; }
    size_t lineStart() const { return start; }
    size_t lineEnd() const { return end; }

private:
    std::string_view text;
    size_t position;
    size_t lineNumber;
    size_t start = 0;
    size_t end = 0;
    // CRs before this offset are lone ones, each a line end.
    size_t loneCrsEnd = 0;
};

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(spaces) == std::string_view::npos;
}

bool isHeader(std::string_view line)
{
    return !line.empty() && line.front() == '#';
}

// At most nameBytes of a name (never inside a UTF-8 character); a layer,
// kind or subtype name is copied into every object that carries it.
std::string cutName(std::string_view name)
{
    if (name.size() <= MapReader::nameBytes)
        return std::string(name);
    size_t end = MapReader::nameBytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return std::string(name.substr(0, end));
}

// "## Wall #" -> "Wall"; `cut` tells whether the name was longer than a name may be.
std::string sectionName(std::string_view header, bool &cut)
{
    // Without its "#"s and the white space round it; gathered only as far as
    // a name may go, however long the line.
    const std::string ends = std::string(spaces) + '#';
    const size_t first = header.find_first_not_of(ends);
    if (first == std::string_view::npos)
        return std::string();
    header = header.substr(first, header.find_last_not_of(ends) - first + 1);
    std::string name;
    for (char c : header) {
        if (c == '#')
            continue;
        if (name.size() == MapReader::nameBytes + 1)
            break;
        name += c;
    }
    cut = name.size() > MapReader::nameBytes;
    if (!cut)
        return name;
    // Cut, it must still read back as itself: no white space at its end.
    name = cutName(name);
    name.erase(name.find_last_not_of(spaces) + 1);
    return name;
}

// The lines gathered from a section's first line to the blank line that
// closes it; header lines among them rename the section but are no rows.
struct Block
{
    std::string section;
    size_t begin = 0;
    size_t end = 0;
    size_t firstLine = 0;
    // The line of the header that named the section; 0 before any.
    size_t headerLine = 0;
};

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

// Calls f with every row of a block and its line number in the file, header
// lines left out.
template<typename F> void forEachRow(std::string_view text, const Block &block, F f)
{
    Lines lines(text.substr(0, block.end), block.begin, block.firstLine);
    std::string_view line;
    while (lines.next(line))
        if (!isHeader(line))
            f(line, lines.number());
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

// 262144 -> "262,144"
std::string withThousands(size_t number)
{
    std::string digits = std::to_string(number);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(size_t(at), 1, ',');
    return digits;
}

// The definition lines of a level, found by the text of their id: the offset
// and the line number of each line in the text, the first line of an id only.
// Each id is hashed once, and a line is read only when a cell asks for it.
class DefinitionIndex
{
public:
    explicit DefinitionIndex(std::string_view text) : text(text) { }

    size_t size() const { return entries.size() + seconds; }

    // Every line of an id after its first is a problem.
    void add(std::string_view line, size_t lineNumber, ReadProblems::Listing &problems)
    {
        const std::string_view id = line.substr(0, line.find(','));
        const auto [found, added] = positions.try_emplace(id, uint32_t(entries.size()));
        if (!added) {
            ++seconds;
            ReadProblems::duplicateDefinition(id, int(lineNumber), int(entries[found->second].line), problems);
            return;
        }
        entries.push_back({uint32_t(line.data() - text.data()), uint32_t(lineNumber)});
        readDefinition.push_back(-1);
    }

    // The position of the line with this id, or -1.
    int64_t find(std::string_view id) const
    {
        const auto found = positions.find(id);
        return found == positions.end() ? -1 : int64_t(found->second);
    }

    std::string_view lineAt(size_t position) const
    {
        const size_t start = entries[position].offset;
        const size_t end = findEither(text, start, '\r', '\n');
        return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    }

    int lineNumberAt(size_t position) const { return int(entries[position].line); }

    // Where the line's definition is in the read definitions, or -1 while unread.
    std::vector<int32_t> readDefinition;

private:
    struct Entry
    {
        uint32_t offset;
        uint32_t line;
    };

    std::string_view text;
    std::vector<Entry> entries;
    std::unordered_map<std::string_view, uint32_t> positions;
    size_t seconds = 0;
};
} // namespace

size_t MapReader::Contents::objectCount() const
{
    size_t count = 0;
    for (const Layer &layer : layers)
        count += layer.cells.size();
    return count;
}

MapReader::MapReader(std::string mapFolder) : MapReader(std::move(mapFolder), Limits())
{
}

MapReader::MapReader(std::string mapFolder, Limits limits) : mapFolder(std::move(mapFolder)), limits(limits)
{
}

MapReader::Contents MapReader::parseMapText(std::string_view text) const
{
    Contents contents;
    if (text.size() >= std::numeric_limits<uint32_t>::max()) {
        contents.error = "The level's file is too large.";
        return contents;
    }
    // A text editor may have put a byte-order mark in front of the first header.
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark)
        text.remove_prefix(byteOrderMark.size());

    // First the sections: where each grid lies, and the lines of the table,
    // indexed as soon as their section is known.
    using ReadProblems::Kind;
    using Severity = LevelProblem::Severity;
    ReadProblems::Listing problems(contents.problems);
    std::vector<Block> grids;
    // Section name -> the line of the header of its first section.
    std::unordered_map<std::string, size_t> gridNames;
    DefinitionIndex index(text);
    Block block;
    bool blockOpen = false;
    // Whether a header was read since the last block was closed: blank lines
    // after a closed block close nothing new.
    bool named = false;
    auto closeBlock = [&] {
        if (!blockOpen && !named)
            return;
        if (!blockOpen)
            block.begin = block.end = block.firstLine = 0;
        if (block.section.empty()) {
            // Rows no header has named would form a layer without a name,
            // which no message and no window can show: left out.
            if (blockOpen)
                problems.add(Kind::RowsOutsideSection,
                             LevelProblem::inFile(Severity::Warning, int(block.firstLine),
                                                  block.headerLine == 0
                                                      ? "rows before the first section line (such as #Wall) are "
                                                        "outside any section; they are left out"
                                                      : "rows under a section line without a name are outside "
                                                        "any section; they are left out"));
        } else if (block.section == definitionsSection) {
            forEachRow(text, block, [&](std::string_view line, size_t lineNumber) {
                // One past the limit is enough to refuse the level.
                if (index.size() <= limits.objects)
                    index.add(line, lineNumber, problems);
            });
        } else if (const auto [first, added] = gridNames.try_emplace(block.section, block.headerLine); added) {
            grids.push_back(block);
        } else if (named) {
            // The first section of a name is the layer; a second one is told.
            problems.add(Kind::SecondSection,
                         LevelProblem::inFile(Severity::Warning, int(block.headerLine),
                                              "a second section " + ReadProblems::quoted(block.section)
                                                  + " is left out; the one on line "
                                                  + std::to_string(first->second) + " is read"));
        } else if (blockOpen) {
            problems.add(Kind::RowsAfterSection,
                         LevelProblem::inFile(Severity::Warning, int(block.firstLine),
                                              "rows after the empty line that ends the section "
                                                  + ReadProblems::quoted(block.section) + " (line "
                                                  + std::to_string(first->second) + ") are left out"));
        }
        blockOpen = false;
        named = false;
    };
    Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (isBlank(line)) {
            closeBlock();
        } else if (isHeader(line)) {
            // A header names the section; it does not end the lines gathered so far.
            bool cut = false;
            block.section = sectionName(line, cut);
            block.headerLine = lines.number();
            named = true;
            if (cut)
                problems.add(Kind::LongName,
                             LevelProblem::inFile(Severity::Warning, int(lines.number()),
                                                  "the section name is longer than "
                                                      + std::to_string(nameBytes) + " characters; it is cut to "
                                                      + ReadProblems::quoted(block.section)));
        } else {
            if (!blockOpen) {
                block.begin = lines.lineStart();
                block.firstLine = lines.number();
                blockOpen = true;
            }
            block.end = lines.lineEnd();
        }
        if (grids.size() > sectionLimit) {
            contents.error = "The level has more than " + withThousands(sectionLimit) + " sections.";
            contents.problems.clear();
            return contents;
        }
    }
    // The end of the text closes the last section.
    closeBlock();
    if (index.size() > limits.objects) {
        contents.error = "The level has more than " + withThousands(limits.objects) + " definitions.";
        contents.problems.clear();
        return contents;
    }

    // Then the grids, keeping the cells that hold an object.
    size_t objects = 0;
    bool beyondGrid = false;
    size_t firstLineBeyond = 0;
    std::string_view lastText;
    int64_t lastDefinition = -1;
    // Whether cells of the last text are told as problems: not a number, or
    // naming no definition.
    bool lastIsProblem = false;
    ReadProblems::CellTexts cellTexts;
    for (const Block &grid : grids) {
        Layer layer {grid.section, {}};
        int64_t row = 0;
        forEachRow(text, grid, [&](std::string_view rowText, size_t lineNumber) {
            // An empty cell between two commas is dropped, as is the part after
            // the trailing comma, so the cells after it move one column left.
            int64_t column = 0;
            forEachPart(rowText, ',', [&](std::string_view cell) {
                if (cell.empty())
                    return;
                const int64_t at = column++;
                if (cell == "0" || !contents.error.empty())
                    return;
                if (at >= limits.gridCells || row >= limits.gridCells) {
                    if (!beyondGrid)
                        firstLineBeyond = lineNumber;
                    beyondGrid = true;
                    return;
                }
                // Neighbouring cells mostly repeat one id.
                if (cell != lastText) {
                    lastText = cell;
                    lastDefinition = -1;
                    const int64_t position = index.find(cell);
                    if (position >= 0) {
                        int32_t &slot = index.readDefinition[size_t(position)];
                        if (slot < 0) {
                            slot = int32_t(contents.definitions.size());
                            const std::string_view definitionLine = index.lineAt(size_t(position));
                            MapDefinition definition = parseDefinitionLine(definitionLine);
                            definition.line = index.lineNumberAt(size_t(position));
                            ReadProblems::checkDefinitionLine(definitionLine, definition, definition.line,
                                                              problems);
                            contents.definitions.push_back(std::move(definition));
                        }
                        lastDefinition = slot;
                    }
                    lastIsProblem = lastDefinition < 0 || !ReadProblems::isNumber(cell);
                }
                if (lastIsProblem)
                    cellTexts.add(cell, int(lineNumber), lastDefinition >= 0);
                // A cell without a definition stays empty.
                if (lastDefinition < 0)
                    return;
                if (++objects > limits.objects) {
                    contents.error = "The level holds more than " + withThousands(limits.objects)
                        + " objects, more than the editor can show.";
                    return;
                }
                layer.cells.push_back(Cell {int32_t(at), int32_t(row), uint32_t(lastDefinition)});
            });
            ++row;
        });
        if (!contents.error.empty()) {
            contents.layers.clear();
            contents.definitions.clear();
            contents.problems.clear();
            return contents;
        }
        contents.layers.push_back(std::move(layer));
    }
    if (beyondGrid) {
        const std::string cells = withThousands(size_t(limits.gridCells));
        contents.warnings.push_back("The level is larger than " + cells + " x " + cells
                                    + " cells; the objects beyond were left out.");
        contents.problems.push_back(
            LevelProblem::inFile(Severity::Warning, int(firstLineBeyond),
                                 "the level is larger than " + cells + " x " + cells
                                     + " cells; the objects beyond, from this line on, were left out"));
    }
    problems.finish();
    cellTexts.report(contents.problems);
    ReadProblems::sortByLine(contents.problems);
    return contents;
}

MapDefinition MapReader::parseDefinitionLine(std::string_view line) const
{
    const std::vector<std::string_view> field = leadingFields(line, 8);
    MapDefinition definition;
    definition.id = toInt(field[0]);
    definition.kind = cutName(field[1]);
    if (definition.kind == Kinds::Ceil || definition.kind == Kinds::Floor) {
        definition.texturePath = texturePathOf(field[3]);
    } else if (definition.kind == Kinds::Lightmap) {
        definition.subtype = cutName(field[2]);
        definition.texturePath = lampImage;
        definition.lighting.emission = toInt(field[3]);
        definition.lighting.emissionMin = toInt(field[4]);
        definition.lighting.emissionMax = toInt(field[5]);
        definition.lighting.randomIntensity = field[6] == "true";
        definition.lighting.blinkDelay = toDouble(field[7]);
    } else {
        definition.subtype = cutName(field[2]);
        definition.texturePath = texturePathOf(field[3]);
    }
    // A reference that is not followed is kept as text, so that a save gives
    // it back; one longer than any file name is not.
    if (definition.kind != Kinds::Lightmap && definition.texturePath.empty() && !field[3].empty()
        && field[3].size() <= referenceBytes)
        definition.keptReference = std::make_shared<const std::string>(field[3]);
    return definition;
}

std::string MapReader::texturePathOf(std::string_view reference) const
{
    if (reference.size() > referenceBytes)
        return std::string();
    // Only "/" starts an absolute path here; the rest must be as safe as a
    // reference inside a level's folder.
    if (absoluteReferences && reference.size() >= 2 && reference.front() == '/')
        return isSafeReference(reference.substr(1)) ? std::string(reference) : std::string();
    // A reference that would lead out of the level's folder is not followed:
    // the object keeps no image. Without a folder no relative one is followed.
    if (mapFolder.empty() || !isSafeReference(reference))
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
        size_t end = findEither(reference, start, '/', '\\');
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
    // Not a number, or out of range: 0. A field longer than any number the
    // game writes is not copied to find that out.
    if (text.size() > numberBytes)
        return 0;
    bool ok = false;
    const int value = QByteArray(text.data(), int(text.size())).toInt(&ok, 10);
    return ok ? value : 0;
}

double MapReader::toDouble(std::string_view text)
{
    if (text.size() > numberBytes)
        return 0.0;
    bool ok = false;
    const double value = QByteArray(text.data(), int(text.size())).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

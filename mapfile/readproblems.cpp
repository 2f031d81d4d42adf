#include "mapfile/readproblems.h"

#include "level/subtypetable.h"
#include "mapfile/mapreader.h"

#include <algorithm>

namespace {
using Severity = LevelProblem::Severity;
// Distinct bad cell texts listed one by one; the rest are counted in one line.
constexpr size_t listedCellTexts = ReadProblems::listedPerKind;

// What the count line of each kind says after "N more ".
const char *const unlistedWords[] = {
    "definition lines with too few fields",
    "definitions whose kind is no layer",
    "definitions with a subtype their kind does not have",
    "texture references that lead out of the level's folder",
    "second definitions of an id",
    "second sections of a name",
    "rows after the end of a section",
    "rows outside any section",
    "names cut to 64 characters",
    "textures that cannot be shown",
};
static_assert(sizeof unlistedWords / sizeof *unlistedWords == size_t(ReadProblems::Kind::Count));

std::string plural(size_t count, const char *word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}
} // namespace

namespace ReadProblems {
std::string shortText(std::string_view text)
{
    if (text.size() <= quotedBytes)
        return std::string(text);
    size_t end = quotedBytes;
    // Never half a character: back to the start of the one cut.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end)) + "...";
}

std::string quoted(std::string_view text)
{
    return "\"" + shortText(text) + "\"";
}

void Listing::add(Kind kind, LevelProblem problem)
{
    const size_t k = size_t(kind);
    if (listed[k] < listedPerKind) {
        ++listed[k];
        problems.push_back(std::move(problem));
        return;
    }
    if (unlisted[k]++ == 0)
        firstUnlistedLine[k] = problem.line;
}

void Listing::finish()
{
    for (size_t k = 0; k < size_t(Kind::Count); ++k) {
        if (unlisted[k] == 0)
            continue;
        problems.push_back(LevelProblem::inFile(Severity::Warning, firstUnlistedLine[k],
                                                std::to_string(unlisted[k]) + " more " + unlistedWords[k]
                                                    + " from here on are not listed"));
        unlisted[k] = 0;
    }
}

bool isNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void checkDefinitionLine(std::string_view text, const MapDefinition &definition, int line, Listing &problems)
{
    const std::string id = shortText(text.substr(0, text.find(',')));
    const size_t fields = size_t(std::count(text.begin(), text.end(), ',')) + 1;
    const size_t needed = definition.kind == Kinds::Lightmap ? 8 : 4;
    if (fields < needed)
        problems.add(Kind::FewFields, LevelProblem::inFile(Severity::Warning, line,
                                                "the definition of " + id + " has " + std::to_string(fields) + " of the "
                                                    + std::to_string(needed)
                                                    + " fields it needs; the missing ones are taken as empty"));
    static const SubtypeTable table;
    const auto kind = table.subtypesByKind.find(definition.kind);
    if (kind == table.subtypesByKind.end()) {
        problems.add(Kind::UnknownKind, LevelProblem::inFile(Severity::Warning, line,
                                                "the definition of " + id + " has the kind " + quoted(definition.kind)
                                                    + ", which is no layer of the editor"));
    } else if (definition.kind != Kinds::Ceil && definition.kind != Kinds::Floor && fields >= 3
               && std::find(kind->second.begin(), kind->second.end(), definition.subtype) == kind->second.end()) {
        problems.add(Kind::UnknownSubtype, LevelProblem::inFile(Severity::Warning, line,
                                                "the definition of " + id + " gives " + shortText(definition.kind)
                                                    + " the subtype " + quoted(definition.subtype)
                                                    + ", which " + shortText(definition.kind) + " does not have"));
    }
    if (definition.kind != Kinds::Lightmap && fields >= 4) {
        size_t start = 0;
        for (int comma = 0; comma < 3; ++comma)
            start = text.find(',', start) + 1;
        const std::string_view reference = text.substr(start, text.find(',', start) - start);
        if (reference.size() > MapReader::referenceBytes)
            problems.add(Kind::UnsafeTexture,
                         LevelProblem::inFile(Severity::Error, line,
                                              "the texture reference of the definition of " + id + " is longer than "
                                                  + std::to_string(MapReader::referenceBytes)
                                                  + " characters, more than any file name; it is left out"));
        else if (!reference.empty() && !MapReader::isSafeReference(reference))
            problems.add(Kind::UnsafeTexture,
                         LevelProblem::inFile(Severity::Error, line,
                                              "the texture " + quoted(reference) + " of the definition of " + id
                                                  + " leads out of the level's folder; it is not read, and a save "
                                                    "keeps the reference as it is"));
    }
}

void duplicateDefinition(std::string_view id, int line, int firstLine, Listing &problems)
{
    problems.add(Kind::SecondDefinition,
                 LevelProblem::inFile(Severity::Warning, line,
                                            "a second definition of " + shortText(id) + "; the one on line "
                                                + std::to_string(firstLine) + " is used"));
}

void CellTexts::add(std::string_view text, int line, bool defined)
{
    if (defined && isNumber(text))
        return;
    // Past the listed texts only the cells are counted, so that a hostile
    // level costs no memory here.
    const auto found = index.find(text);
    if (found != index.end()) {
        ++texts[found->second].second.cells;
    } else if (texts.size() < listedCellTexts) {
        index.emplace(text, texts.size());
        texts.push_back({text, Seen {line, 1, defined}});
    } else {
        if (unlistedCells == 0)
            firstUnlistedLine = line;
        ++unlistedCells;
    }
}

void CellTexts::report(LevelProblems &problems) const
{
    for (const auto &[text, seen] : texts) {
        std::string message = isNumber(text) ? "a cell names " + shortText(text) + ", which has no definition"
                                             : "a cell holds " + quoted(text) + ", which is not a number";
        if (!isNumber(text))
            message += seen.defined ? ", but a definition has that id" : " and names no definition";
        message += seen.defined ? "; the cell is read" : "; the cell stays empty";
        if (seen.cells > 1)
            message += " (" + plural(seen.cells - 1, "more cell") + " like it)";
        problems.push_back(LevelProblem::inFile(Severity::Warning, seen.line, message));
    }
    if (unlistedCells > 0)
        problems.push_back(LevelProblem::inFile(Severity::Warning, firstUnlistedLine,
                                                plural(unlistedCells, "more cell")
                                                    + " from here on hold other texts that are no number or have "
                                                      "no definition"));
}

void sortByLine(LevelProblems &problems)
{
    std::stable_sort(problems.begin(), problems.end(),
                     [](const LevelProblem &a, const LevelProblem &b) { return a.line < b.line; });
}
} // namespace ReadProblems

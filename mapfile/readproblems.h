#pragma once

#include "level/levelproblem.h"
#include "mapfile/mapdefinition.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What the reader skips or mends in a level's text, put as file problems with
// their lines. The reader keeps reading as before; these only tell. A problem
// quotes at most a short piece of a text, and each kind of problem is listed
// at most `listedPerKind` times, then counted, so that a hostile level gives a
// readable list at a bounded cost.
namespace ReadProblems {
constexpr size_t listedPerKind = 100;
// Texts quoted in a problem are cut after this many bytes and get "...".
constexpr size_t quotedBytes = 80;

// At most quotedBytes of text (never inside a UTF-8 character), then "...".
std::string shortText(std::string_view text);
// shortText in double quotes.
std::string quoted(std::string_view text);

// The kinds of problem that are listed and counted apart.
enum class Kind {
    FewFields,
    UnknownKind,
    UnknownSubtype,
    UnsafeTexture,
    SecondDefinition,
    SecondSection,
    RowsAfterSection,
    RowsOutsideSection,
    LongName,
    TextureFault,
    Count
};

// Lists the first problems of each kind and counts the rest; `finish` adds
// one line per kind with the count of those not listed, at the line of the
// first of them.
class Listing
{
public:
    explicit Listing(LevelProblems &problems) : problems(problems) { }
    void add(Kind kind, LevelProblem problem);
    void finish();

private:
    LevelProblems &problems;
    size_t listed[size_t(Kind::Count)] = {};
    size_t unlisted[size_t(Kind::Count)] = {};
    int firstUnlistedLine[size_t(Kind::Count)] = {};
};

// An optional minus and digits only.
bool isNumber(std::string_view text);
// A definition line `text`, read as `definition`: too few fields, a kind that
// is no layer, a subtype its kind does not have, a texture reference refused.
void checkDefinitionLine(std::string_view text, const MapDefinition &definition, int line, Listing &problems);
// A second definition line of an id; the first one stays.
void duplicateDefinition(std::string_view id, int line, int firstLine, Listing &problems);

// Cell texts that are not numbers or name no definition, one problem per text
// at its first line with the count of its cells, so that a level full of them
// gives a readable list and costs bounded memory. The texts are views into the
// level's text, which must outlive this.
class CellTexts
{
public:
    void add(std::string_view text, int line, bool defined);
    void report(LevelProblems &problems) const;

private:
    struct Seen
    {
        int line = 0;
        size_t cells = 0;
        bool defined = false;
    };
    // The first texts met, each once; at most the number listed.
    std::unordered_map<std::string_view, size_t> index;
    std::vector<std::pair<std::string_view, Seen>> texts;
    size_t unlistedCells = 0;
    int firstUnlistedLine = 0;
};

// File problems in the order of their lines.
void sortByLine(LevelProblems &problems);
} // namespace ReadProblems

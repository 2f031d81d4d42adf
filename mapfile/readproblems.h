#pragma once

#include "level/levelproblem.h"
#include "mapfile/mapdefinition.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What the reader skips or mends in a level's text, put as file problems with
// their lines. The reader keeps reading as before; these only tell.
namespace ReadProblems {
// An optional minus and digits only.
bool isNumber(std::string_view text);
// A definition line `text`, read as `definition`: too few fields, a kind that
// is no layer, a subtype its kind does not have, a texture reference refused.
void checkDefinitionLine(std::string_view text, const MapDefinition &definition, int line, LevelProblems &problems);
// A second definition line of an id; the first one stays.
void duplicateDefinition(std::string_view id, int line, int firstLine, LevelProblems &problems);

// Cell texts that are not numbers or name no definition, one problem per text
// at its first line with the count of its cells, so that a level full of them
// gives a readable list and costs bounded memory.
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
    std::unordered_map<std::string, size_t> index;
    std::vector<std::pair<std::string, Seen>> texts;
    size_t unlistedCells = 0;
    int firstUnlistedLine = 0;
};

// File problems in the order of their lines.
void sortByLine(LevelProblems &problems);
} // namespace ReadProblems

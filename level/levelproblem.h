#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One thing wrong with a level, in the designer's words. A file problem was
// found while reading a ".map" file and names its line; a level problem comes
// from the objects themselves and names a cell and its layer, or nothing when
// it concerns the whole level ("no player").
struct LevelProblem
{
    enum class Severity { Warning, Error };

    Severity severity = Severity::Error;
    std::string message;
    // 1-based line of the file; 0 for a level problem.
    int line = 0;
    bool hasCell = false;
    int32_t x = 0;
    int32_t y = 0;
    std::string layer;

    bool isFileProblem() const { return line > 0; }
    bool isError() const { return severity == Severity::Error; }

    static LevelProblem inFile(Severity severity, int line, std::string message);
    static LevelProblem atCell(Severity severity, std::string layer, int32_t x, int32_t y, std::string message);
    static LevelProblem onLevel(Severity severity, std::string message);
};

using LevelProblems = std::vector<LevelProblem>;

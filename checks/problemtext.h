#pragma once

#include "level/levelproblem.h"

#include <string>

namespace ProblemText {
// "warning" or "error".
const char *severityName(LevelProblem::Severity severity);
// Where the problem is: "line 12", "(3, 4) Wall", or empty for the whole level.
std::string place(const LevelProblem &problem);
// One line in the format compilers use, which editors and CI systems parse:
// "FILE:LINE: error: message" for a file problem, "FILE: error: (x, y) Layer:
// message" for a level problem.
std::string compilerLine(const std::string &fileName, const LevelProblem &problem);
// A sentence as the end of a compiler line: first letter small, no full stop
// ("The file does not exist." -> "the file does not exist").
std::string clause(std::string sentence);
// "2 errors, 1 warning", or "no problems".
std::string counts(const LevelProblems &problems);
bool hasError(const LevelProblems &problems);
} // namespace ProblemText

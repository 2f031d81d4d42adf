#include "checks/problemtext.h"

#include <algorithm>
#include <cctype>

namespace ProblemText {
const char *severityName(LevelProblem::Severity severity)
{
    return severity == LevelProblem::Severity::Error ? "error" : "warning";
}

std::string place(const LevelProblem &problem)
{
    if (problem.isFileProblem())
        return "line " + std::to_string(problem.line);
    if (!problem.hasCell)
        return std::string();
    return "(" + std::to_string(problem.x) + ", " + std::to_string(problem.y) + ") " + problem.layer;
}

std::string clause(std::string sentence)
{
    if (!sentence.empty() && sentence.back() == '.')
        sentence.pop_back();
    if (!sentence.empty())
        sentence[0] = char(std::tolower(static_cast<unsigned char>(sentence[0])));
    return sentence;
}

std::string compilerLine(const std::string &fileName, const LevelProblem &problem)
{
    std::string text = fileName;
    if (problem.isFileProblem())
        text += ":" + std::to_string(problem.line);
    text += ": ";
    text += severityName(problem.severity);
    text += ": ";
    if (problem.hasCell)
        text += place(problem) + ": ";
    return text + problem.message;
}

std::string counts(const LevelProblems &problems)
{
    const auto errors = std::count_if(problems.begin(), problems.end(), [](const auto &p) { return p.isError(); });
    const auto warnings = long(problems.size()) - errors;
    if (problems.empty())
        return "no problems";
    auto counted = [](long count, const char *word) {
        return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
    };
    if (warnings == 0)
        return counted(errors, "error");
    if (errors == 0)
        return counted(warnings, "warning");
    return counted(errors, "error") + ", " + counted(warnings, "warning");
}

bool hasError(const LevelProblems &problems)
{
    return std::any_of(problems.begin(), problems.end(), [](const LevelProblem &p) { return p.isError(); });
}
} // namespace ProblemText

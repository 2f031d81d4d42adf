#include "level/levelproblem.h"

#include <algorithm>

LevelProblem LevelProblem::inFile(Severity severity, int line, std::string message)
{
    LevelProblem problem;
    problem.severity = severity;
    problem.line = std::max(1, line);
    problem.message = std::move(message);
    return problem;
}

LevelProblem LevelProblem::atCell(Severity severity, std::string layer, int32_t x, int32_t y, std::string message)
{
    LevelProblem problem;
    problem.severity = severity;
    problem.hasCell = true;
    problem.x = x;
    problem.y = y;
    problem.layer = std::move(layer);
    problem.message = std::move(message);
    return problem;
}

LevelProblem LevelProblem::onLevel(Severity severity, std::string message)
{
    LevelProblem problem;
    problem.severity = severity;
    problem.message = std::move(message);
    return problem;
}

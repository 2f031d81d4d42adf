#include "checks/levelrules.h"

#include "checks/levelwalks.h"
#include "level/cellkey.h"
#include "level/subtypetable.h"

#include <algorithm>
#include <unordered_set>

namespace {
using Severity = LevelProblem::Severity;

bool rowThenColumn(const LevelObject *a, const LevelObject *b)
{
    return a->y != b->y ? a->y < b->y : a->x < b->x;
}

std::string cellText(int32_t x, int32_t y)
{
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// Objects that cannot share a cell with a wall: actors, items, solid sprites.
std::string stuckName(const LevelObject &object)
{
    if (object.kind == Kinds::Actor || object.kind == Kinds::Item)
        return object.subtype.empty() ? object.kind : object.subtype;
    if (object.kind == Kinds::Sprite && object.subtype == "Solid")
        return "Solid sprite";
    return std::string();
}

struct Gathered
{
    std::vector<const LevelObject *> players;
    std::vector<const LevelObject *> levelEnds;
    std::vector<const LevelObject *> keyDoors[LevelWalks::colourCount];
    std::vector<const LevelObject *> keys[LevelWalks::colourCount];
    std::unordered_set<uint64_t> walls;
};

Gathered gather(const std::vector<LevelObject> &objects)
{
    Gathered found;
    for (const LevelObject &object : objects) {
        if (object.kind == Kinds::Actor && object.subtype == "Player")
            found.players.push_back(&object);
        if (object.kind == Kinds::Item && object.subtype == "LevelEnd")
            found.levelEnds.push_back(&object);
        if (const int colour = LevelWalks::keyDoorColour(object); colour >= 0)
            found.keyDoors[colour].push_back(&object);
        if (const int colour = LevelWalks::keyColour(object); colour >= 0)
            found.keys[colour].push_back(&object);
        if (object.layer == Kinds::Wall)
            found.walls.insert(cellKey(object.x, object.y));
    }
    for (auto *list : {&found.players, &found.levelEnds})
        std::sort(list->begin(), list->end(), rowThenColumn);
    for (int colour = 0; colour < LevelWalks::colourCount; ++colour) {
        std::sort(found.keyDoors[colour].begin(), found.keyDoors[colour].end(), rowThenColumn);
        std::sort(found.keys[colour].begin(), found.keys[colour].end(), rowThenColumn);
    }
    return found;
}

LevelProblem atObject(Severity severity, const LevelObject &object, std::string message)
{
    return LevelProblem::atCell(severity, object.layer, object.x, object.y, std::move(message));
}

void checkKeys(const Gathered &found, LevelProblems &problems)
{
    for (int colour = 0; colour < LevelWalks::colourCount; ++colour) {
        const std::string name = LevelWalks::colourNames[colour];
        const auto &doors = found.keyDoors[colour];
        const auto &keys = found.keys[colour];
        if (!doors.empty() && keys.empty()) {
            std::string message = "the " + name + " key door cannot be opened: there is no " + name + " key on the level";
            if (doors.size() > 1)
                message += " (nor for " + std::to_string(doors.size() - 1) + " more " + name + " key doors)";
            problems.push_back(atObject(Severity::Error, *doors.front(), message));
        }
        if (!keys.empty() && doors.empty())
            problems.push_back(
                atObject(Severity::Warning, *keys.front(), "the " + name + " key opens nothing: there is no " + name
                                                               + " key door on the level"));
    }
}

void checkStuckInWalls(const std::vector<LevelObject> &objects, const Gathered &found, LevelProblems &problems)
{
    std::vector<const LevelObject *> stuck;
    for (const LevelObject &object : objects)
        if (found.walls.count(cellKey(object.x, object.y)) && !stuckName(object).empty())
            stuck.push_back(&object);
    std::sort(stuck.begin(), stuck.end(), [](const LevelObject *a, const LevelObject *b) {
        return a->y != b->y ? a->y < b->y : a->x != b->x ? a->x < b->x : a->layer < b->layer;
    });
    for (const LevelObject *object : stuck)
        problems.push_back(atObject(Severity::Warning, *object, stuckName(*object) + " is stuck in a wall"));
}

void checkWalks(const std::vector<LevelObject> &objects, const Gathered &found, LevelProblems &problems)
{
    const LevelObject &player = *found.players.front();
    const LevelWalks walks(objects, LevelWalks::Cell {player.x, player.y});
    if (!walks.walkable()) {
        problems.push_back(LevelProblem::onLevel(
            Severity::Warning, "the level is spread too far to check whether it is closed and can be finished"));
        return;
    }
    if (const auto leak = walks.leak()) {
        problems.push_back(LevelProblem::atCell(Severity::Error, Kinds::Wall, leak->x, leak->y,
                                                "the player's area is open to the void here: the player at "
                                                    + cellText(player.x, player.y)
                                                    + " can walk off the level; close it with walls"));
    }
    if (found.levelEnds.empty())
        return;
    const LevelWalks::Reach reach = walks.reachLevelEnd();
    if (reach.levelEndReached)
        return;
    std::string message = "the level end cannot be reached from the player at " + cellText(player.x, player.y);
    if (reach.shutDoor)
        message += "; the " + std::string(LevelWalks::colourNames[reach.shutDoorColour]) + " key door at "
            + cellText(reach.shutDoor->x, reach.shutDoor->y) + " stays shut because its key cannot be reached";
    problems.push_back(atObject(Severity::Error, *found.levelEnds.front(), message));
}
} // namespace

LevelProblems checkLevel(const std::vector<LevelObject> &objects)
{
    LevelProblems problems;
    const Gathered found = gather(objects);
    if (found.players.empty())
        problems.push_back(
            LevelProblem::onLevel(Severity::Error, "the level has no player: place an Actor of subtype Player"));
    else if (found.players.size() > 1)
        problems.push_back(atObject(Severity::Error, *found.players[1],
                                    "the level has " + std::to_string(found.players.size())
                                        + " players; the game needs exactly one (the first is at "
                                        + cellText(found.players[0]->x, found.players[0]->y) + ")"));
    if (found.levelEnds.empty())
        problems.push_back(
            LevelProblem::onLevel(Severity::Error, "the level has no level end: place an Item of subtype LevelEnd"));
    checkKeys(found, problems);
    checkStuckInWalls(objects, found, problems);
    if (!found.players.empty())
        checkWalks(objects, found, problems);
    return problems;
}

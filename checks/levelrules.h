#pragma once

#include "level/levelobject.h"
#include "level/levelproblem.h"

#include <vector>

// The rules a playable level must keep, checked on the objects alone: one
// player, a level end, a key for every key door, nothing stuck in a wall, the
// player's area closed, and the level end reachable from the player. Only
// rules that follow from the object kinds are checked.
//
// Problems come rule by rule; within a rule, by row and then column.
LevelProblems checkLevel(const std::vector<LevelObject> &objects);

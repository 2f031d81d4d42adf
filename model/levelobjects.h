#pragma once

#include "level/levelobject.h"
#include "model/layercontroller.h"

#include <vector>

// The editor's placed objects as the plain records that the level checks read.
std::vector<LevelObject> levelObjectsOf(const SectorRegistry &layers);

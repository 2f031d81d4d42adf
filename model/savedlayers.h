#pragma once

#include "mapfile/mapwriter.h"
#include "model/layercontroller.h"

#include <vector>

// The layers of a registry as the map writer takes them, in a fixed order: the
// eight layers in the order of the layer combo box, then any other names
// alphabetically.
std::vector<MapWriter::Layer> savedLayersOf(const SectorRegistry &registry);

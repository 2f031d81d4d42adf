#pragma once

#include "level/textureref.h"

#include <cstdint>
#include <string>

class QWidget;
class LayerController;
class MapEdits;

// What object creation needs from the map view: where buttons go, the current
// layer, the texture new objects get and the running texture numbers, the
// view's zoom and origin, and the edit operations that record what a gesture
// changes.
struct PlacementContext
{
    QWidget *mapWidget = nullptr;
    LayerController *layers = nullptr;
    // The layer new objects join; empty for the current layer.
    std::string layer;
    TextureRef texture;
    TextureNumbers *textureNumbers = nullptr;
    int32_t cellSize = 64;
    int32_t originX = 0;
    int32_t originY = 0;
    MapEdits *edits = nullptr;
    // Whether a new object's button is shown at once. Batches (a load, an
    // undo) leave them hidden for the layer display rules to show once.
    bool showNewObjects = true;
};

#pragma once

#include <cstdint>
#include <string>

// What the checks need to know of one placed object, the same whether it was
// read from a file or taken from the editor's layers.
struct LevelObject
{
    // The layer (file section) the object sits in; walls and doors are the
    // objects of the "Wall" and "Door" layers, as for the flood fill.
    std::string layer;
    std::string kind;
    std::string subtype;
    int32_t x = 0;
    int32_t y = 0;
};

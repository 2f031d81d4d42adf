#pragma once

#include "level/sectorlighting.h"
#include "level/textureref.h"

#include <cstdint>
#include <memory>
#include <string>

// One entry of a level's definition table, that is one line of the
// "#Definitions" section: the number that the layer grids use for an object,
// the object's kind and subtype, where its texture image is, the text after the
// third comma of the line, and (for a light cell read from a file) its lighting.
struct MapDefinition
{
    int32_t id = 0;
    std::string kind;
    std::string subtype;
    // Where the image is now: relative to the working directory for gallery
    // textures, inside the level's folder for objects read from a file.
    std::string texturePath;
    // Written after the third comma: the texture reference ("level1/brick.png")
    // or, for light cells, the five lighting values.
    std::string value;
    SectorLighting lighting;
    // For an object read from a file whose image is not taken: the texture
    // reference as the file had it (see TextureRef::keptReference).
    std::shared_ptr<const std::string> keptReference;
    // The line of the file that defines it, from 1; 0 when not read from a file.
    int line = 0;
};

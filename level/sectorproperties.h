#pragma once

#include "level/sectorlighting.h"
#include "level/textureref.h"

#include <cstdint>
#include <memory>
#include <string>

class QPushButton;

// Property record of one placed object. mapX/mapY are its identity within its
// layer; where it shows in the view (its world position) follows from them and
// the view's origin and zoom. The record carries the object's button for the
// editor; nothing at this level touches it.
struct SectorProperties
{
    SectorLighting lighting;
    int32_t mapX = 0;
    int32_t mapY = 0;
    QPushButton *button = nullptr;
    std::string textureName;
    std::string textureDir;
    int32_t textureId = -1;
    std::string kind;
    std::string subtype;
    // See TextureRef::keptReference.
    std::shared_ptr<const std::string> keptReference;
};

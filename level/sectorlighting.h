#pragma once

#include <cstdint>

// Lighting block of a placed object. Only light cells ("Lightmap") use it;
// every other kind keeps these defaults.
struct SectorLighting
{
    int32_t emissionRadius = 0;
    int32_t emissionIntensity = 255;
    double blinkDelay = 0.5;
    int32_t emission = 10;
    int32_t emissionMin = 0;
    int32_t emissionMax = 255;
    bool isDynamic = false;
    bool randomIntensity = false;
    bool isLightEmitter = false;
};

bool operator==(const SectorLighting &a, const SectorLighting &b);

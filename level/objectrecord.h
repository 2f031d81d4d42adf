#pragma once

#include "level/sectorlighting.h"
#include "level/sectorproperties.h"
#include "level/textureref.h"

#include <cstdint>
#include <string>
#include <vector>

// What a placed object is, apart from any live Sector: the layer it belongs
// to, its cell, texture, kind, subtype and lighting. The edit history keeps
// these, never pointers, since an erase or a Clear may destroy the object.
struct ObjectRecord
{
    std::string layer;
    std::string kind;
    int32_t mapX = 0;
    int32_t mapY = 0;
    TextureRef texture;
    std::string subtype;
    SectorLighting lighting;

    bool operator==(const ObjectRecord &other) const;
    bool operator!=(const ObjectRecord &other) const { return !(*this == other); }
    // Heap bytes held by this record beyond its own size (long strings).
    size_t extraBytes() const;
};

// Both without a kept reference, or both with the same text.
bool sameKeptReference(const TextureRef &a, const TextureRef &b);

ObjectRecord recordOf(const SectorProperties &properties, const std::string &layer);

// An object as it stood in its layer's list: the list order decides how a
// saved file numbers its definitions, so it is restored exactly.
struct ListedObject
{
    ObjectRecord record;
    uint32_t index = 0;
};

// An object that a step changed in place.
struct ChangedObject
{
    ObjectRecord before;
    ObjectRecord after;
};

// Everything one edit did to the map, in records. Replaying it forward
// removes `removed` (in order), appends `placed` (in order) and gives the
// `changed` objects their after-state; backward does the reverse in reverse.
// Each `removed` index is the object's position at the moment it was removed.
struct MapChange
{
    std::vector<ListedObject> removed;
    std::vector<ObjectRecord> placed;
    std::vector<ChangedObject> changed;

    bool empty() const { return removed.empty() && placed.empty() && changed.empty(); }
    size_t objectCount() const { return removed.size() + placed.size() + changed.size(); }
    // Bytes the change holds, for keeping the history's memory in view.
    size_t byteSize() const;
};

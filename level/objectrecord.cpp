#include "level/objectrecord.h"

namespace {
size_t stringHeap(const std::string &text)
{
    // Short strings live inside the string object itself.
    return text.capacity() > std::string().capacity() ? text.capacity() + 1 : 0;
}
} // namespace

bool operator==(const SectorLighting &a, const SectorLighting &b)
{
    return a.emissionRadius == b.emissionRadius && a.emissionIntensity == b.emissionIntensity
        && a.blinkDelay == b.blinkDelay && a.emission == b.emission && a.emissionMin == b.emissionMin
        && a.emissionMax == b.emissionMax && a.isDynamic == b.isDynamic && a.randomIntensity == b.randomIntensity
        && a.isLightEmitter == b.isLightEmitter;
}

bool sameKeptReference(const TextureRef &a, const TextureRef &b)
{
    if (!a.keptReference || !b.keptReference)
        return a.keptReference == b.keptReference;
    return *a.keptReference == *b.keptReference;
}

bool ObjectRecord::operator==(const ObjectRecord &other) const
{
    return layer == other.layer && kind == other.kind && mapX == other.mapX && mapY == other.mapY
        && texture.textureName == other.texture.textureName && texture.textureDir == other.texture.textureDir
        && texture.textureId == other.texture.textureId && sameKeptReference(texture, other.texture)
        && subtype == other.subtype && lighting == other.lighting;
}

size_t ObjectRecord::extraBytes() const
{
    return stringHeap(layer) + stringHeap(kind) + stringHeap(texture.textureName) + stringHeap(texture.textureDir)
        + stringHeap(subtype);
}

ObjectRecord recordOf(const SectorProperties &p, const std::string &layer)
{
    ObjectRecord record;
    record.layer = layer;
    record.kind = p.kind;
    record.mapX = p.mapX;
    record.mapY = p.mapY;
    record.texture = TextureRef {p.textureName, p.textureDir, p.textureId, p.keptReference};
    record.subtype = p.subtype;
    record.lighting = p.lighting;
    return record;
}

size_t MapChange::byteSize() const
{
    size_t bytes = sizeof(MapChange) + removed.capacity() * sizeof(ListedObject)
        + placed.capacity() * sizeof(ObjectRecord) + changed.capacity() * sizeof(ChangedObject);
    for (const ListedObject &object : removed)
        bytes += object.record.extraBytes();
    for (const ObjectRecord &record : placed)
        bytes += record.extraBytes();
    for (const ChangedObject &object : changed)
        bytes += object.before.extraBytes() + object.after.extraBytes();
    return bytes;
}

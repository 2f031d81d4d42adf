#include "model/levelobjects.h"

#include "model/sector.h"

std::vector<LevelObject> levelObjectsOf(const SectorRegistry &layers)
{
    size_t count = 0;
    for (const auto &entry : layers)
        count += entry.second.size();
    std::vector<LevelObject> objects;
    objects.reserve(count);
    for (const auto &[layer, sectors] : layers) {
        for (const Sector *sector : sectors) {
            const SectorProperties *p = sector->properties;
            objects.push_back(LevelObject {layer, p->kind, p->subtype, p->mapX, p->mapY});
        }
    }
    return objects;
}

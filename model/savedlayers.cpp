#include "model/savedlayers.h"

#include "level/subtypetable.h"
#include "model/sector.h"

#include <algorithm>

std::vector<MapWriter::Layer> savedLayersOf(const SectorRegistry &registry)
{
    std::vector<std::string> names;
    for (const std::string &name : Kinds::comboOrder())
        if (registry.count(name))
            names.push_back(name);
    std::vector<std::string> others;
    for (const auto &entry : registry)
        if (std::find(names.begin(), names.end(), entry.first) == names.end())
            others.push_back(entry.first);
    std::sort(others.begin(), others.end());
    names.insert(names.end(), others.begin(), others.end());

    std::vector<MapWriter::Layer> layers;
    layers.reserve(names.size());
    for (const std::string &name : names) {
        MapWriter::Layer layer {name, {}};
        const std::vector<Sector *> &sectors = registry.at(name);
        layer.objects.reserve(sectors.size());
        for (const Sector *sector : sectors)
            if (sector && sector->properties)
                layer.objects.push_back(sector->properties);
        layers.push_back(std::move(layer));
    }
    return layers;
}

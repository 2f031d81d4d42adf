// libFuzzer target for the text half of the level reader and writer: any bytes
// must parse without a crash, a hang or a sanitizer report; what comes back
// must stay well-formed and within the limits; and a level read, written and
// read again must be the same level, a fixed point after one such round.
#include "mapfile/mapreader.h"
#include "mapfile/mapwriter.h"
#include "model/sector.h"
#include "model/subtypetable.h"

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <map>
#include <string_view>
#include <tuple>

namespace {
// Small limits keep every input cheap; the real ones only scale them.
const MapReader::Limits limits {64, 4096};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The objects of a level as the load step makes them, without their buttons:
// one record per occupied cell, each with a texture number of its own.
struct Level
{
    std::deque<SectorProperties> records;
    std::vector<MapWriter::Layer> layers;
};

void build(const MapReader::Contents &contents, Level &level)
{
    int32_t nextId = 100;
    for (const MapReader::Layer &layer : contents.layers) {
        if (layer.cells.empty())
            continue;
        MapWriter::Layer out {layer.name, {}};
        for (const MapReader::Cell &cell : layer.cells) {
            const MapDefinition &definition = contents.definitions.at(cell.definition);
            SectorProperties &record = level.records.emplace_back();
            const TextureRef texture = textureOfPath(definition.texturePath, ++nextId);
            record.mapX = cell.column;
            record.mapY = cell.row;
            record.textureName = texture.textureName;
            record.textureDir = texture.textureDir;
            record.textureId = texture.textureId;
            record.kind = definition.kind;
            record.subtype = definition.subtype;
            record.lighting = definition.lighting;
            out.objects.push_back(&record);
        }
        level.layers.push_back(std::move(out));
    }
}

using Object = std::tuple<std::string, int32_t, int32_t, std::string, std::string, std::string, int32_t, int32_t,
                          int32_t, bool, double>;

// Everything the file keeps of a level, in a fixed order.
std::vector<Object> objectsOf(const MapReader::Contents &contents, bool positionsOnly)
{
    std::vector<Object> objects;
    for (const MapReader::Layer &layer : contents.layers) {
        for (const MapReader::Cell &cell : layer.cells) {
            if (positionsOnly) {
                objects.emplace_back(layer.name, cell.column, cell.row, "", "", "", 0, 0, 0, false, 0.0);
                continue;
            }
            const MapDefinition &d = contents.definitions.at(cell.definition);
            const SectorLighting &l = d.lighting;
            objects.emplace_back(layer.name, cell.column, cell.row, d.kind, d.subtype, d.texturePath, l.emission,
                                 l.emissionMin, l.emissionMax, l.randomIntensity, l.blinkDelay);
        }
    }
    std::sort(objects.begin(), objects.end());
    return objects;
}

MapReader::Contents roundTrip(const MapReader &reader, const MapReader::Contents &contents)
{
    Level level;
    build(contents, level);
    const std::string text = MapWriter("level").mapText(level.layers);
    MapReader::Contents again = reader.parseMapText(text);
    check(again.error.empty() && again.warnings.empty());
    return again;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const MapReader reader("/maps", limits);
    const MapReader::Contents contents
        = reader.parseMapText(std::string_view(reinterpret_cast<const char *>(data), size));
    check(contents.objectCount() <= limits.objects);
    for (const MapReader::Layer &layer : contents.layers)
        for (const MapReader::Cell &cell : layer.cells)
            check(cell.column >= 0 && cell.column < limits.gridCells && cell.row >= 0 && cell.row < limits.gridCells
                  && cell.definition < contents.definitions.size());
    for (const MapDefinition &definition : contents.definitions) {
        const std::string &path = definition.texturePath;
        const bool inLevel = path.rfind("/maps/", 0) == 0 && MapReader::isSafeReference(path.substr(6));
        check(path.empty() || path == MapReader::lampImage || inLevel);
    }
    if (!contents.error.empty())
        return 0;

    // Written and read again, every object is where it was; the kinds and
    // pictures take the form the writer gives them, and from then on nothing
    // changes.
    const MapReader::Contents written = roundTrip(reader, contents);
    check(objectsOf(written, true) == objectsOf(contents, true));
    check(objectsOf(roundTrip(reader, written), false) == objectsOf(written, false));
    return 0;
}

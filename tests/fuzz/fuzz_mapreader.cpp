// libFuzzer target for the text half of the level reader and writer: any bytes
// must parse without a crash, a hang or a sanitizer report, within the limits;
// read and written, a level keeps every object where it was; and after one
// such round, reading and writing again gives the same text.
#include "level/sectorproperties.h"
#include "level/textureref.h"
#include "mapfile/mapreader.h"
#include "mapfile/mapwriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string_view>
#include <tuple>

namespace {
// Small limits keep every input cheap; the real ones only scale them.
const MapReader reader("/maps", MapReader::Limits {64, 4096});

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Builds the objects as the load step does, without their buttons (one record
// per cell, one texture number per definition, one per light cell), and
// writes them.
std::string written(const MapReader::Contents &contents)
{
    std::deque<SectorProperties> records;
    std::vector<MapWriter::Layer> layers;
    int32_t nextId = 100;
    std::vector<int32_t> numbers(contents.definitions.size(), 0);
    for (const MapReader::Layer &layer : contents.layers) {
        if (!layer.cells.empty())
            layers.push_back({layer.name, {}});
        for (const MapReader::Cell &cell : layer.cells) {
            const MapDefinition &definition = contents.definitions.at(cell.definition);
            int32_t &number = numbers[cell.definition];
            if (number == 0 || layer.name == "Lightmap" || definition.kind == "Lightmap")
                number = ++nextId;
            const TextureRef texture = textureOfPath(definition.texturePath, number);
            records.push_back({definition.lighting, cell.column, cell.row, nullptr, texture.textureName,
                               texture.textureDir, texture.textureId, definition.kind, definition.subtype,
                               definition.keptReference});
            layers.back().objects.push_back(&records.back());
        }
    }
    return MapWriter("level").mapText(layers);
}

MapReader::Contents read(std::string_view text)
{
    MapReader::Contents contents = reader.parseMapText(text);
    check(contents.objectCount() <= 4096);
    for (const MapReader::Layer &layer : contents.layers)
        for (const MapReader::Cell &cell : layer.cells)
            check(cell.column >= 0 && cell.column < 64 && cell.row >= 0 && cell.row < 64
                  && cell.definition < contents.definitions.size());
    for (const MapDefinition &definition : contents.definitions) {
        const std::string &path = definition.texturePath;
        check(path.empty() || path == MapReader::lampImage
              || (path.rfind("/maps/", 0) == 0 && MapReader::isSafeReference(path.substr(6))));
    }
    return contents;
}

std::vector<std::tuple<std::string, int32_t, int32_t>> positions(const MapReader::Contents &contents)
{
    std::vector<std::tuple<std::string, int32_t, int32_t>> cells;
    for (const MapReader::Layer &layer : contents.layers)
        for (const MapReader::Cell &cell : layer.cells)
            cells.emplace_back(layer.name, cell.column, cell.row);
    std::sort(cells.begin(), cells.end());
    return cells;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const MapReader::Contents contents = read(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!contents.error.empty())
        return 0;
    const MapReader::Contents once = read(written(contents));
    check(once.error.empty() && once.warnings.empty() && positions(once) == positions(contents));
    const std::string twice = written(once);
    check(written(read(twice)) == twice);
    return 0;
}

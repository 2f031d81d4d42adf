// libFuzzer target for the text half of the level reader: any bytes must
// parse without a crash, a hang or a sanitizer report, and what comes back
// must stay well-formed.
#include "mapfile/mapreader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const MapReader reader("/maps");
    const MapReader::Contents contents
        = reader.parseMapText(std::string_view(reinterpret_cast<const char *>(data), size));
    for (const auto &[name, grid] : contents.grids)
        for (const auto &row : grid)
            for (const std::string &cell : row)
                if (cell.empty() || cell.find_first_of(",\r\n") != std::string::npos)
                    std::abort();
    for (const auto &[id, definition] : contents.definitions) {
        const std::string &path = definition.texturePath;
        const bool inLevel = path.rfind("/maps/", 0) == 0 && MapReader::isSafeReference(path.substr(6));
        if (id.find_first_of(",\r\n") != std::string::npos
            || !(path.empty() || path == MapReader::lampImage || inLevel))
            std::abort();
    }
    return 0;
}

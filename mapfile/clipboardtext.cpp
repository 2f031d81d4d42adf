#include "mapfile/clipboardtext.h"

#include "level/levellimits.h"

const char *const ClipboardText::mimeType = "application/x-gorseed-objects";
const char *const ClipboardText::originMimeType = "application/x-gorseed-origin";

std::string ClipboardText::write(const std::vector<MapWriter::Layer> &layers)
{
    MapWriter writer {std::string()};
    writer.nameImagesByAbsolutePath();
    return writer.mapText(layers);
}

MapReader::Contents ClipboardText::read(std::string_view text)
{
    if (int64_t(text.size()) > LevelLimits::fileBytes) {
        MapReader::Contents refused;
        refused.error = LevelLimits::tooLargeText("The clipboard text");
        return refused;
    }
    MapReader reader {std::string()};
    reader.acceptAbsoluteReferences();
    return reader.parseMapText(text);
}

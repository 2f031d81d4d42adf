#include "mapfile/mapwriter.h"

#include "level/subtypetable.h"

#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <charconv>
#include <limits>

namespace {
const char *const lineEnd = "\r\n";
// A texture used with a further subtype takes its number plus this step.
constexpr int64_t idStep = 5000;

void appendNumber(std::string &text, int64_t number)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    text.append(digits, result.ptr);
}

// The five lighting values of a light cell; the blink delay with at most six
// significant digits and always a "." as decimal point, whatever the locale.
std::string lightValue(const SectorLighting &lighting)
{
    std::string value;
    appendNumber(value, lighting.emission);
    value += ',';
    appendNumber(value, lighting.emissionMin);
    value += ',';
    appendNumber(value, lighting.emissionMax);
    value += lighting.randomIntensity ? ",true," : ",false,";
    value += QString::number(lighting.blinkDelay, 'g', 6).toStdString();
    return value;
}

// brick.png, 2 -> brick_2.png
std::string numberedName(const std::string &name, int number)
{
    const size_t dot = name.rfind('.');
    const std::string suffix = "_" + std::to_string(number);
    if (dot == std::string::npos || dot == 0)
        return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}
} // namespace

MapWriter::MapWriter(std::string mapName, NameCheck nameCheck)
    : mapName(std::move(mapName)), nameCheck(std::move(nameCheck))
{
    // 0 marks an empty cell in the grids and is never a definition's number.
    usedIds.insert(0);
}

std::string MapWriter::mapNameOf(const std::string &fileName)
{
    const size_t slash = fileName.find_last_of('/');
    std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    for (size_t at = name.find(".map"); at != std::string::npos; at = name.find(".map", at))
        name.erase(at, 4);
    name = safeName(std::move(name));
    // "", "." and ".." would make the texture folder the map's own folder or
    // its parent, and a reference starting with "/" or ".." is not followed
    // when the level is read.
    if (name.find_first_not_of('.') == std::string::npos)
        name.insert(name.begin(), '_');
    return name;
}

std::string MapWriter::safeName(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == ',' || c == '\r' || c == '\n'; }, '_');
    return text;
}

std::string MapWriter::mapText(const std::vector<Layer> &layers)
{
    const auto [maxColumn, maxRow] = mapExtent(layers);
    std::string text;
    for (const Layer &layer : layers) {
        // Commas are harmless in a header: kept, two layers never share a
        // sanitised name, of which the reader would keep only the first.
        std::string header = layer.name;
        std::replace_if(
            header.begin(), header.end(), [](char c) { return c == '\r' || c == '\n'; }, '_');
        text += '#';
        text += header;
        text += lineEnd;
        text += layerSectionText(layer, maxColumn, maxRow);
        text += lineEnd;
    }
    text += definitionsSectionText();
    return text;
}

std::pair<int32_t, int32_t> MapWriter::mapExtent(const std::vector<Layer> &layers)
{
    int32_t maxColumn = 0;
    int32_t maxRow = 0;
    for (const Layer &layer : layers) {
        for (const SectorProperties *object : layer.objects) {
            // An object that is not written does not widen the grids either.
            if (object->mapX < 0 || object->mapY < 0)
                continue;
            maxColumn = std::max(maxColumn, object->mapX);
            maxRow = std::max(maxRow, object->mapY);
        }
    }
    return {maxColumn, maxRow};
}

std::string MapWriter::layerSectionText(const Layer &layer, int32_t maxColumn, int32_t maxRow)
{
    const size_t width = size_t(int64_t(maxColumn) + 1);
    const size_t height = size_t(int64_t(maxRow) + 1);
    std::vector<int32_t> cells(width * height, 0);
    for (const SectorProperties *object : layer.objects) {
        // A cell left of or above the map's origin cannot be written.
        if (object->mapX < 0 || object->mapY < 0 || object->mapX > maxColumn || object->mapY > maxRow)
            continue;
        // Of two objects on one cell the later one owns it.
        cells[size_t(object->mapY) * width + size_t(object->mapX)] = registerDefinition(*object, layer.name);
    }

    std::string text;
    text.reserve(cells.size() * 5);
    for (size_t row = 0; row < height; ++row) {
        for (size_t column = 0; column < width; ++column) {
            appendNumber(text, cells[row * width + column]);
            text += ',';
        }
        text += lineEnd;
    }
    return text;
}

bool MapWriter::Recent::matches(const SectorProperties &object, const std::string &objectLayer) const
{
    const bool sameKept = keptReference == object.keptReference
                          || (keptReference && object.keptReference && *keptReference == *object.keptReference);
    return used && textureId == object.textureId && sameKept && textureName == object.textureName
           && textureDir == object.textureDir && subtype == object.subtype && layer == objectLayer;
}

int32_t MapWriter::registerDefinition(const SectorProperties &object, const std::string &layer)
{
    const bool light = layer == Kinds::Lightmap;
    // The same inputs always join to the same text, and so to the same number.
    Recent *slot = nullptr;
    if (!light) {
        const size_t hash = std::hash<std::string>()(object.textureName) ^ (size_t(uint32_t(object.textureId)) * 31);
        slot = &recent[hash % recent.size()];
        if (slot->matches(object, layer))
            return slot->id;
    }
    const int32_t id = definitionByContent(object, layer, light);
    if (slot)
        *slot = Recent {layer,
                        object.textureId,
                        object.subtype,
                        object.textureDir,
                        object.textureName,
                        object.keptReference,
                        id,
                        true};
    return id;
}

int32_t MapWriter::definitionByContent(const SectorProperties &object, const std::string &layer, bool light)
{
    const std::string kind = safeName(layer);
    const std::string subtype = safeName(object.subtype);
    const std::string texturePath = object.textureDir + object.textureName;
    std::string value = light ? lightValue(object.lighting) : std::string();

    // Objects with one texture number, kind and subtype share a definition.
    // A door drawn with a wall's texture (Ctrl held on the Wall layer) gets a
    // line of its own, or the game would be handed a wall. Light cells that
    // share a number still keep their own values, and two images that share a
    // number their own pictures.
    std::string content;
    appendNumber(content, object.textureId);
    content += '\n';
    content += kind;
    content += '\n';
    content += subtype;
    content += '\n';
    content += light ? value : texturePath;
    // A reference kept from the file is written as it was, and no image is
    // copied for it.
    const bool kept = !light && object.keptReference;
    if (kept) {
        content += '\n';
        content += *object.keptReference;
    }
    const auto known = idByContent.find(content);
    if (known != idByContent.end())
        return known->second;

    if (kept) {
        value = safeName(*object.keptReference);
    } else if (!light && absolutePaths) {
        value = texturePath.empty()
            ? texturePath
            : safeName(QFileInfo(QString::fromStdString(texturePath)).absoluteFilePath().toStdString());
    } else if (!light) {
        value = mapName + "/" + imageFileName(texturePath, object.textureName);
    }
    const int32_t id = freeId(object.textureId);
    definitionList.push_back(MapDefinition {id, kind, subtype, texturePath, value, SectorLighting(), nullptr});
    idByContent.emplace(std::move(content), id);
    return id;
}

int32_t MapWriter::freeId(int32_t textureId)
{
    // The texture's own number, else that number plus 5000, plus 10000 and so
    // on, passing over numbers this file uses already.
    // Each texture's search goes on where its last one stopped, so many
    // definitions of one texture stay linear.
    int64_t &id = nextTry.try_emplace(textureId, textureId).first->second;
    for (; id <= std::numeric_limits<int32_t>::max(); id += idStep) {
        if (usedIds.insert(id).second)
            return int32_t(id);
    }
    // Only numbers near the top of the range get here.
    while (!usedIds.insert(spareId).second)
        ++spareId;
    return int32_t(spareId);
}

std::string MapWriter::imageFileName(const std::string &sourcePath, const std::string &textureName)
{
    const std::string preferred = safeName(textureName);
    if (preferred.empty())
        return preferred;
    const auto known = imageNameBySource.find(sourcePath);
    if (known != imageNameBySource.end())
        return known->second;

    // Two different images with one file name must not end up as one picture.
    std::string name = preferred;
    for (int number = 2; takenImageNames.count(name) || (nameCheck && !nameCheck(sourcePath, name)); ++number)
        name = numberedName(preferred, number);
    takenImageNames.insert(name);
    imageNameBySource.emplace(sourcePath, name);
    imageList.push_back(Image {sourcePath, name});
    return name;
}

std::string MapWriter::definitionsSectionText() const
{
    std::string text = "#Definitions";
    text += lineEnd;
    for (const MapDefinition &definition : definitionList) {
        appendNumber(text, definition.id);
        text += ',';
        text += definition.kind;
        text += ',';
        text += definition.subtype;
        text += ',';
        text += definition.value;
        text += lineEnd;
    }
    return text;
}

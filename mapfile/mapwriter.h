#pragma once

#include "level/sectorproperties.h"
#include "mapfile/mapdefinition.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// Turns the objects of a map into the text of a ".map" file: one section per
// layer with a grid of definition numbers (0 for an empty cell), then the
// "#Definitions" table, every line ended by CR LF. It reads only the plain
// property records and touches no file and no widget; the caller decides
// whether an image may take a given file name in the level's texture folder.
class MapWriter
{
public:
    // The objects of one layer, in placement order.
    struct Layer
    {
        std::string name;
        std::vector<const SectorProperties *> objects;
    };

    // An image that the level's texture folder must hold under fileName.
    struct Image
    {
        std::string sourcePath;
        std::string fileName;
    };

    // Whether the image at sourcePath may be stored as fileName in the texture
    // folder (for example: no different picture of that name is there yet).
    using NameCheck = std::function<bool(const std::string &sourcePath, const std::string &fileName)>;

    explicit MapWriter(std::string mapName, NameCheck nameCheck = {});
    // Names each texture by the absolute path of its image (a relative one
    // taken from the current folder) instead of by a copy in the level's
    // texture folder, so that the text can be read from anywhere; no image is
    // then listed. A reference kept from the file is still written as it was.
    void nameImagesByAbsolutePath() { absolutePaths = true; }

    // The level's name from the map's file name (UTF-8): the name without its
    // folders and without every ".map" in it. It names both the texture folder
    // and the first part of every texture reference.
    static std::string mapNameOf(const std::string &fileName);
    // Commas and line breaks would break a line of the file apart.
    static std::string safeName(std::string text);

    // The whole file.
    std::string mapText(const std::vector<Layer> &layers);

    // Largest column and row over all objects that are written (those at no
    // negative cell); 0 and 0 without any.
    static std::pair<int32_t, int32_t> mapExtent(const std::vector<Layer> &layers);
    // The grid rows of one layer; registers the definitions of its objects.
    std::string layerSectionText(const Layer &layer, int32_t maxColumn, int32_t maxRow);
    // The definition number of an object written on the given layer.
    int32_t registerDefinition(const SectorProperties &object, const std::string &layer);
    std::string definitionsSectionText() const;

    const std::vector<MapDefinition> &definitions() const { return definitionList; }
    // Every image that the definitions reference, once each, in first use.
    const std::vector<Image> &images() const { return imageList; }

private:
    // The number of the definition the joined text of an object names, made
    // if there is none yet.
    int32_t definitionByContent(const SectorProperties &object, const std::string &layer, bool light);
    int32_t freeId(int32_t textureId);
    std::string imageFileName(const std::string &sourcePath, const std::string &textureName);

    std::string mapName;
    NameCheck nameCheck;
    bool absolutePaths = false;
    std::vector<MapDefinition> definitionList;
    // Texture number, subtype and image or light values, joined -> the
    // definition's number.
    std::unordered_map<std::string, int32_t> idByContent;
    // The definitions found last, by what decides them for an object that is
    // not a light cell, so that the many objects that repeat one texture skip
    // building the joined text above: a big level's save did little else.
    struct Recent
    {
        std::string layer;
        int32_t textureId = -1;
        std::string subtype;
        std::string textureDir;
        std::string textureName;
        std::shared_ptr<const std::string> keptReference;
        int32_t id = 0;
        bool used = false;
        bool matches(const SectorProperties &object, const std::string &layer) const;
    };
    std::vector<Recent> recent = std::vector<Recent>(64);
    std::unordered_set<int64_t> usedIds;
    // Texture number -> the next number its definitions may try.
    std::unordered_map<int32_t, int64_t> nextTry;
    int64_t spareId = 1;
    std::vector<Image> imageList;
    std::unordered_map<std::string, std::string> imageNameBySource;
    std::unordered_set<std::string> takenImageNames;
};

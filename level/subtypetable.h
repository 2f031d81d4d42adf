#pragma once

#include <string>
#include <unordered_map>
#include <vector>

// The eight object kinds, which are also the layer names.
namespace Kinds {
inline const std::string Ceil = "Ceil";
inline const std::string Floor = "Floor";
inline const std::string Wall = "Wall";
inline const std::string Door = "Door";
inline const std::string Actor = "Actor";
inline const std::string Sprite = "Sprite";
inline const std::string Item = "Item";
inline const std::string Lightmap = "Lightmap";

// The order in which the layer combo box lists the layers.
const std::vector<std::string> &comboOrder();
// The order in which the gallery numbers the layers' textures.
const std::vector<std::string> &galleryOrder();
} // namespace Kinds

// Ordered subtype list of every kind; the first entry is a new object's subtype.
struct SubtypeTable
{
    SubtypeTable();

    std::vector<std::string> wallSubtypes;
    std::vector<std::string> doorSubtypes;
    std::vector<std::string> actorSubtypes;
    std::vector<std::string> spriteSubtypes;
    std::vector<std::string> itemSubtypes;
    std::vector<std::string> lightmapSubtypes;
    std::unordered_map<std::string, std::vector<std::string>> subtypesByKind;

    // Whether objects of this kind may take this subtype.
    bool kindHasSubtype(const std::string &kind, const std::string &subtype) const;
};

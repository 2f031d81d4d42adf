#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A texture as the gallery hands it out: the image is textureDir + textureName,
// relative to the working directory.
struct TextureRef
{
    std::string textureName;
    std::string textureDir;
    int32_t textureId = -1;
    // The texture reference of a loaded object whose image the editor did not
    // take (missing, out of the level's folder, no image it shows), exactly as
    // the file had it: a save writes it back and copies no image. Shared by
    // the objects of one definition; null for every other texture.
    std::shared_ptr<const std::string> keptReference;

    std::string imagePath() const { return textureDir + textureName; }
};

// The running texture numbers: one per listed image, one per light cell and
// one per loaded object, counting up from 100. The gallery lists with it and
// object creation takes from it, so no two hand out the same number.
class TextureNumbers
{
public:
    // The number after the one handed out last.
    int32_t next() { return ++last; }
    // The number to hand out now, counting on from it afterwards.
    int32_t take() { return last++; }
    int32_t peek() const { return last; }

private:
    int32_t last = 100;
};

// The image of every light cell, with the number the light cell took.
inline TextureRef lampTexture(int32_t id)
{
    return TextureRef {"lamp.png", "assets/", id, nullptr};
}

// The texture of an object read from a file: its image path split into the
// folder (ending in "/") and the file name.
inline TextureRef textureOfPath(const std::string &path, int32_t id)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return TextureRef {path, std::string(), id, nullptr};
    return TextureRef {path.substr(slash + 1), path.substr(0, slash + 1), id, nullptr};
}

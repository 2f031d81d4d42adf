#include "mapview/overviewpicture.h"

#include "model/missingimagemark.h"
#include "model/sector.h"
#include "level/subtypetable.h"
#include "model/textureicons.h"

#include <QPixmap>
#include <algorithm>

namespace {
// A cell of a light layer shows this much of its light level.
constexpr int lightShare = 96;

QRgb blend(QRgb under, QRgb over, int share)
{
    auto mix = [share](int a, int b) { return (a * (255 - share) + b * share) / 255; };
    return qRgb(mix(qRed(under), qRed(over)), mix(qGreen(under), qGreen(over)), mix(qBlue(under), qBlue(over)));
}
} // namespace

QRgb OverviewPicture::averageColour(const std::string &imagePath)
{
    const auto found = colours.find(imagePath);
    if (found != colours.end())
        return found->second;
    const QIcon icon = TextureIcons::icon(imagePath);
    const QImage image = icon.isNull() ? MissingImageMark::picture(16).toImage()
                                       : icon.pixmap(TextureIcons::iconSize).toImage();
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    // Weighted by opacity, so the see-through part of a sprite adds nothing.
    uint64_t red = 0, green = 0, blue = 0, weight = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            red += uint64_t(qRed(line[x])) * alpha;
            green += uint64_t(qGreen(line[x])) * alpha;
            blue += uint64_t(qBlue(line[x])) * alpha;
            weight += alpha;
        }
    }
    const QRgb colour = weight == 0 ? emptyCell : qRgb(int(red / weight), int(green / weight), int(blue / weight));
    colours.emplace(imagePath, colour);
    return colour;
}

QImage OverviewPicture::draw(const SectorRegistry &layers, const LayerStates &states)
{
    int width = 1;
    int height = 1;
    for (const auto &entry : layers) {
        for (const Sector *sector : entry.second) {
            width = std::max(width, sector->properties->mapX + 1);
            height = std::max(height, sector->properties->mapY + 1);
        }
    }
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(emptyCell);

    std::string path;
    // From the bottom up, as the level is built: ceilings, floors, walls,
    // doors, actors, sprites, items, light cells.
    using namespace Kinds;
    for (const std::string &layer : {Ceil, Floor, Wall, Door, Actor, Sprite, Item, Lightmap}) {
        const auto found = layers.find(layer);
        if (found == layers.end() || states.isHidden(layer))
            continue;
        const bool light = layer == Kinds::Lightmap;
        // Objects of one layer mostly share a few images: the last colour is
        // kept without building the image's path again.
        const std::string *lastDir = nullptr;
        const std::string *lastName = nullptr;
        QRgb colour = emptyCell;
        for (const Sector *sector : found->second) {
            const SectorProperties &p = *sector->properties;
            if (p.mapX < 0 || p.mapY < 0)
                continue;
            QRgb *cell = reinterpret_cast<QRgb *>(picture.scanLine(p.mapY)) + p.mapX;
            if (light) {
                const int level = std::clamp<int32_t>(p.lighting.emission, 0, 255);
                *cell = blend(*cell, qRgb(level, level, level), lightShare);
                continue;
            }
            if (!lastDir || *lastDir != p.textureDir || *lastName != p.textureName) {
                path = p.textureDir + p.textureName;
                colour = averageColour(path);
                lastDir = &p.textureDir;
                lastName = &p.textureName;
            }
            *cell = colour;
        }
    }
    return picture;
}

#include "model/sectorfactory.h"

#include "gallery/texturegallery.h"
#include "model/layercontroller.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/subtypetable.h"
#include "model/textureicons.h"

#include <QPushButton>

Sector *createSector(const QPoint &viewCell, const PlacementContext &context)
{
    const int32_t cellSize = context.cellSize;
    const int32_t x = viewCell.x() * cellSize;
    const int32_t y = viewCell.y() * cellSize;

    auto *button = new QPushButton(QString(), context.mapWidget);
    button->move(x, y);
    button->resize(cellSize, cellSize);
    button->setFlat(true);
    button->setIconSize(QSize(cellSize, cellSize));

    const TextureRef texture = context.gallery->currentTexture;
    button->setIcon(TextureIcons::icon(texture.imagePath()));
    button->show();

    auto *properties = new SectorProperties;
    properties->button = button;
    properties->kind = context.layers->currentLayer;
    properties->textureName = texture.textureName;
    properties->textureDir = texture.textureDir;
    properties->textureId = texture.textureId;
    properties->worldX = x;
    properties->worldY = y;
    properties->mapX = viewCell.x() - context.originX;
    properties->mapY = viewCell.y() - context.originY;

    static const SubtypeTable subtypes;
    properties->subtype = subtypes.subtypesByKind.at(properties->kind).front();

    // Every light cell carries a number of its own, so that its light values
    // get a definition of their own when the map is saved.
    if (properties->kind == Kinds::Lightmap)
        properties->textureId = context.gallery->nextLightmapId();

    return new Sector(properties);
}

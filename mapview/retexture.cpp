#include "mapview/retexture.h"

#include "model/sector.h"
#include "model/subtypetable.h"
#include "model/textureicons.h"

#include <QPushButton>

void retextureSector(Sector *sector, const TextureRef &texture)
{
    SectorProperties *properties = sector->properties;
    if (properties->button)
        properties->button->setIcon(TextureIcons::icon(texture.imagePath()));
    TextureRef applied = texture;
    if (properties->kind == Kinds::Lightmap)
        applied.textureId = properties->textureId;
    sector->setTexture(applied);
}

#include "mapview/mapview.h"

#include "gallery/texturegallery.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/sector.h"

void MapView::SelObjectsChangeTexEvent()
{
    // A click in the gallery retextures a selection of two or more objects;
    // with one object or none it only picks the texture for new objects.
    const std::vector<Sector *> selected = layerController->selection();
    if (selected.size() < 2)
        return;
    const TextureRef texture = textureGallery->currentTexture;
    edits->beginGesture(QStringLiteral("retexture of the selection"));
    for (Sector *sector : selected)
        edits->retexture(sector, texture);
    edits->endGesture();
}

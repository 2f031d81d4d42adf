#include "mapview/fillarea.h"
#include "mapview/mapview.h"

#include "gallery/texturegallery.h"
#include "level/levellimits.h"
#include "level/subtypetable.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/mousehold.h"
#include "model/sector.h"

#include <QMessageBox>
#include <algorithm>

void MapView::floodFill()
{
    if (edits->refuses(layerController->currentLayer()))
        return;
    const QPoint start = cursorCell() - QPoint(originX, originY);
    int32_t fillTarget = textureIdAt(start);
    if (fillTarget == -1)
        fillTarget = 0;

    // Walls and doors bound every fill, whatever layer is current.
    const LayerController *layers = layerController;
    const auto isBarrier = [layers](QPoint cell) {
        return layers->sectorOn(Kinds::Wall, cell.x(), cell.y()) || layers->sectorOn(Kinds::Door, cell.x(), cell.y());
    };
    const FillArea area = collectFillArea(
        start, fillTarget, isBarrier, [this](QPoint cell) { return textureIdAt(cell); }, floodFillLimit);

    if (area.aborted) {
        QMessageBox box;
        box.setText(QStringLiteral("Recursive depth limit reached.\nPossibly not wall bounded area."));
        box.exec();
        return;
    }
    if (area.cells.empty())
        return;
    if (!std::all_of(area.cells.begin(), area.cells.end(),
                     [](QPoint cell) { return LevelLimits::insideGrid(cell.x(), cell.y()); })) {
        showStatus(LevelLimits::beyondGridMessage());
        return;
    }
    // A fill that would take the level past its object limit places nothing.
    if (fillTarget == 0 && area.cells.size() > edits->roomForObjects()) {
        showStatus(LevelLimits::objectLimitMessage(edits->objectLimit()));
        return;
    }
    // One fill is one step of the history, in either mode.
    edits->beginGesture(QStringLiteral("flood fill"));
    if (fillTarget != 0) {
        retextureCells(area.cells);
    } else {
        const MouseHold hold(mainWindow);
        for (const QPoint &cell : area.cells)
            edits->placeNew(cell);
    }
    edits->endGesture();
}

int32_t MapView::textureIdAt(QPoint mapCell) const
{
    const Sector *sector = layerController->sectorAt(mapCell.x(), mapCell.y());
    return sector ? sector->properties->textureId : -1;
}

void MapView::retextureCells(const std::vector<QPoint> &cells)
{
    const CellSet area(cells.begin(), cells.end());
    const TextureRef texture = textureGallery->currentTexture;
    for (Sector *sector : layerController->currentSectors())
        if (area.count(QPoint(sector->properties->mapX, sector->properties->mapY)))
            edits->retexture(sector, texture);
}

#include "mapview/fillarea.h"
#include "mapview/mapview.h"

#include "gallery/texturegallery.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/mousehold.h"
#include "model/sector.h"
#include "model/subtypetable.h"

#include <QMessageBox>

namespace {
CellSet cellsOf(const std::vector<Sector *> &sectors)
{
    CellSet cells;
    cells.reserve(sectors.size());
    for (const Sector *sector : sectors)
        cells.insert(QPoint(sector->properties->mapX, sector->properties->mapY));
    return cells;
}
} // namespace

void MapView::floodFill()
{
    const QPoint start = cursorCell() - QPoint(originX, originY);
    int32_t fillTarget = textureIdAt(start);
    if (fillTarget == -1)
        fillTarget = 0;

    // Walls and doors bound every fill, whatever layer is current.
    const CellSet walls = cellsOf(layerController->layerList(Kinds::Wall));
    const CellSet doors = cellsOf(layerController->layerList(Kinds::Door));
    const FillArea area = collectFillArea(
        start, fillTarget, walls, doors, [this](QPoint cell) { return textureIdAt(cell); }, floodFillLimit);

    if (area.aborted) {
        QMessageBox box;
        box.setText(QStringLiteral("Recursive depth limit reached.\nPossibly not wall bounded area."));
        box.exec();
        return;
    }
    if (area.cells.empty())
        return;
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
    for (Sector *sector : layerController->layerSectors)
        if (area.count(QPoint(sector->properties->mapX, sector->properties->mapY)))
            edits->retexture(sector, texture);
}

#include "mapview/maptools.h"
#include "mapview/mapview.h"

#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "properties/objectpropertiesform.h"
#include "properties/pointlight.h"

#include <QPushButton>
#include <QRadioButton>

void MapView::SectorClickEvent()
{
    // The press went to the object's button, not through the map's filter.
    mapTools->followHeldModifierKeys();
    // The object is the current layer's one in the cell under the cursor, not
    // necessarily the one whose button sent the click.
    const QPoint mapCell = cursorCell() - QPoint(originX, originY);
    Sector *clicked = layerController->sectorAt(mapCell.x(), mapCell.y());
    if (!clicked)
        return;
    std::vector<Sector *> sectors = layerController->selection();
    if (sectors.empty())
        sectors.push_back(clicked);
    openPropertiesForm(sectors);
}

void MapView::BtnEditSelectionEvent()
{
    openPropertiesForm(layerController->selection());
}

void MapView::openPropertiesForm(std::vector<Sector *> sectors)
{
    // The window changes what it shows: nothing opens on a hidden or locked layer.
    if (sectors.empty() || edits->refuses(sectors.front()->properties->kind))
        return;
    // The previous window goes without applying anything.
    if (propertiesForm)
        propertiesForm->close();

    auto *form = new ObjectPropertiesForm;
    // Closed windows are never shown again.
    form->setAttribute(Qt::WA_DeleteOnClose);
    propertiesForm = form;
    const PlacementContext context = placementContext();
    if (sectors.size() == 1)
        form->setSector(sectors.front(), context);
    else
        form->setSectors(sectors, context);
    // Made after the form's own connection, so the form's OK work runs first.
    connect(form->buttonOK, &QPushButton::clicked, this, &MapView::SectorPropertiesClosedEvent);
    form->show();
}

void MapView::SectorPropertiesClosedEvent()
{
    if (!propertiesForm) {
        layerController->tintLightmaps();
        return;
    }
    const PointLightOutcome light = propertiesForm->takePointLight();
    adoptPointLight(light);
    // Only the light cells this window changed show another level: its
    // object (the window tints the others of a selection itself) and the
    // cells of its point light. A walk over every light cell of a big level
    // would cost more than the window's whole work.
    std::vector<Sector *> changed;
    if (Sector *primary = propertiesForm->primarySector.data())
        changed.push_back(primary);
    for (const auto *cells : {&light.newCells, &light.litCells})
        for (const QPointer<Sector> &cell : *cells)
            if (cell)
                changed.push_back(cell);
    layerController->tintLightCells(changed);
}

void MapView::adoptPointLight(const PointLightOutcome &light)
{
    if (!light.made())
        showStatus(light.refusal);
    // The layer's pane placed the new cells for the view as it is now; the
    // mode or tool may have changed since the window opened.
    const bool takesMouse = mapTools->objectsTakeMouse();
    for (const QPointer<Sector> &sector : light.newCells)
        if (sector)
            sector->setTransparentForMouseEvents(!takesMouse);
}

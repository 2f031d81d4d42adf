#include "mapview/mapview.h"

void MapView::SectorClickEvent()
{
    // Opening the properties window for the clicked object comes with the properties work.
}

void MapView::BtnEditSelectionEvent()
{
    // Opening the properties window for the selection comes with the properties work.
}

void MapView::SectorPropertiesClosedEvent()
{
    // Finishing an OK in the properties window comes with the properties work.
}

#include "mapview/mapview.h"

void MapView::BtnSaveMapEvent()
{
    // Writing .map files arrives with the map-file work.
}

void MapView::BtnLoadMapEvent()
{
    // Reading .map files arrives with the map-file work.
}

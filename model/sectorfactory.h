#pragma once

#include <QPoint>

class Sector;
struct PlacementContext;

// Makes a new object of the current layer with the gallery's current texture
// for the given view cell (x column, y row). The caller registers it with the
// layer controller and connects its button.
Sector *createSector(const QPoint &viewCell, const PlacementContext &context);

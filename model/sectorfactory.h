#pragma once

#include <QPoint>
#include <vector>

class Sector;
struct PlacementContext;

// Makes a new object of the context's layer (the current one unless it names
// another), on that layer's pane, with the context's texture
// for the given view cell (x column, y row). The caller registers it with the
// layer controller and connects its button.
Sector *createSector(const QPoint &viewCell, const PlacementContext &context);

// Destroys these objects in the order their buttons sit in their layer panes'
// child lists. Qt finds each dying widget by searching its parent's children
// from the front, so deleting a whole layer in any other order would take time
// growing with the square of its size.
void destroySectors(const std::vector<Sector *> &sectors);

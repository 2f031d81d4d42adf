#pragma once

#include <QPoint>
#include <vector>

class LayerPane;
class ObjectButton;
class Sector;
struct PlacementContext;
struct SectorProperties;

// Gives an object a button on its cell of `pane` (one the pane kept, when it
// has one), with the object's picture and tool tip, taking the mouse as the
// pane does; hidden until shown. Without a pane, a button of its own at cells
// of `cellSize` pixels.
ObjectButton *giveButton(SectorProperties &properties, LayerPane *pane, int cellSize);

// Makes a new object of the context's layer (the current one unless it names
// another), on that layer's pane, with the context's texture
// for the given view cell (x column, y row); it has a button only where the
// pane's objects have them (see LayerPane::isLive). The caller registers it
// with the layer controller.
Sector *createSector(const QPoint &viewCell, const PlacementContext &context);

// Destroys these objects in the order their buttons sit in their layer panes'
// child lists. Qt finds each dying widget by searching its parent's children
// from the front, so deleting a whole layer in any other order would take time
// growing with the square of its size.
void destroySectors(const std::vector<Sector *> &sectors);

#pragma once

#include "level/objectrecord.h"
#include "level/sectorproperties.h"

#include <QObject>
#include <QPoint>
#include <QPointF>

class QWidget;
#include <string>

// One object in one cell of one layer. Owns its property record and, through
// it, the flat button that shows the object on the map widget. The layer
// controller's registry decides when a sector is destroyed.
class Sector : public QObject
{
    Q_OBJECT

public:
    explicit Sector(SectorProperties *properties, QObject *parent = nullptr);
    ~Sector() override;

    void setLighting(const SectorLighting &lighting);
    void setSubtype(const std::string &subtype);
    // Replaces the texture fields only; callers that retexture set the icon.
    void setTexture(const TextureRef &texture);
    // Puts the button on the object's cell of its layer's pane, which lays
    // it out for the view; without a pane, at cells of `cellSize` pixels.
    void showInView(int cellSize);
    // The same, with a button without a pane sized to the cell first.
    void layOut(int cellSize);
    void setKind(const std::string &kind);
    // Moves the object by whole cells; the layer's index of cells is the caller's.
    void moveCellBy(int dx, int dy);
    void setTransparentForMouseEvents(bool transparent);

    SectorProperties *properties = nullptr;
};

// What the object is, apart from its button, as a record of the given layer.
inline ObjectRecord recordOf(const Sector &sector, const std::string &layer)
{
    return recordOf(*sector.properties, layer);
}

// Where the object shows in the map widget, in pixels: the top-left corner of
// its button, which is (map cell + view origin) times the cell size. An object
// without a button (out of sight) takes the view from `map`.
QPointF worldPosition(const SectorProperties &properties, const QWidget *map = nullptr);

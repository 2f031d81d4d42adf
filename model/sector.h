#pragma once

#include "level/objectrecord.h"
#include "level/sectorproperties.h"

#include <QObject>
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
    void setWorldPosition(double x, double y);
    void setTransparentForMouseEvents(bool transparent);

    SectorProperties *properties = nullptr;
};

// What the object is, apart from its button, as a record of the given layer.
inline ObjectRecord recordOf(const Sector &sector, const std::string &layer)
{
    return recordOf(*sector.properties, layer);
}

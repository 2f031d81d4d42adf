#include "model/sector.h"

#include <QPushButton>

Sector::Sector(SectorProperties *properties, QObject *parent) : QObject(parent), properties(properties)
{
}

Sector::~Sector()
{
    if (properties) {
        delete properties->button;
        delete properties;
    }
}

void Sector::setLighting(const SectorLighting &lighting)
{
    properties->lighting = lighting;
}

void Sector::setSubtype(const std::string &subtype)
{
    properties->subtype = subtype;
}

void Sector::setTexture(const TextureRef &texture)
{
    properties->textureName = texture.textureName;
    properties->textureDir = texture.textureDir;
    properties->textureId = texture.textureId;
}

void Sector::setWorldPosition(double x, double y)
{
    properties->worldX = x;
    properties->worldY = y;
    // The conversion truncates toward zero, as the button position must.
    if (properties->button)
        properties->button->move(static_cast<int>(x), static_cast<int>(y));
}

void Sector::setTransparentForMouseEvents(bool transparent)
{
    if (properties->button)
        properties->button->setAttribute(Qt::WA_TransparentForMouseEvents, transparent);
}

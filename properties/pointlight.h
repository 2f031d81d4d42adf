#pragma once

#include <QPointer>
#include <QString>
#include <vector>

class Sector;
struct PlacementContext;

// What the properties window hands over when a light cell becomes the centre
// of a point light: the centre's position and the values it passes on.
struct PointLightParams
{
    double blinkDelay = 0.5;
    int emissionMin = 0;
    bool isDynamic = false;
    bool randomIntensity = false;
    int centreX = 0;
    int centreY = 0;
    int intensity = 0;
    int radius = 2;
};

// One cell of a point light: its map position and its light level.
struct LightCell
{
    int x = 0;
    int y = 0;
    int level = 0;

    bool operator==(const LightCell &other) const { return x == other.x && y == other.y && level == other.level; }
};

// The light levels of the square of `radius` cells around the centre, in row
// order, top to bottom and left to right. The level falls off by
// intensity / radius per ring and is kept within 40..255; cells with a
// negative map coordinate are left out.
std::vector<LightCell> pointLightCells(const PointLightParams &params);

// What generating a point light did: the light cells it made, or why it made
// none.
struct PointLightOutcome
{
    // Empty when the light was made.
    QString refusal;
    // New light cells; those destroyed since read as null.
    std::vector<QPointer<Sector>> newCells;
    // Light cells that were there and took the light's level.
    std::vector<QPointer<Sector>> litCells;

    bool made() const { return refusal.isEmpty(); }
};

// Fills the square around the centre with light cells of the light layer: an
// existing light cell keeps the higher of its own and the new level, an empty
// cell gets a new light cell. New light cells are registered with the layer
// controller at once and listed in the outcome, so that the map view can
// connect their buttons. A light that would reach beyond the grid a level may
// use, or make more light cells than a level may hold, is refused with the
// status message to show.
PointLightOutcome generatePointLight(const PlacementContext &context, const PointLightParams &params);
// Whether the light's square stays inside the grid and within the object limit.
bool pointLightFits(const PointLightParams &params);

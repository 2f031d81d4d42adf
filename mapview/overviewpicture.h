#pragma once

#include "model/layercontroller.h"

#include <QImage>
#include <QRgb>
#include <string>
#include <unordered_map>

class LayerStates;

// The picture of the whole level the overview shows: one pixel per cell of
// the used grid, the layers whose eye is open laid one over the other from
// the ceilings up to the light cells, each object in the average colour of
// its image. Light
// cells lighten or darken what lies under them by their level.
class OverviewPicture
{
public:
    // The average colour of an image, computed once per image and kept.
    QRgb averageColour(const std::string &imagePath);
    QImage draw(const SectorRegistry &layers, const LayerStates &states);

    static constexpr QRgb emptyCell = qRgb(24, 24, 28);

private:
    std::unordered_map<std::string, QRgb> colours;
};

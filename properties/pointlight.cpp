#include "properties/pointlight.h"

#include "level/levellimits.h"
#include "level/subtypetable.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/sectorfactory.h"
#include "model/textureicons.h"

#include <QPushButton>
#include <algorithm>
#include <cstdlib>

namespace {
const int minimumLevel = 40;
const int maximumLevel = 255;

// A light cell made while another layer's texture is current gets the light
// layer's own image, as if it had been drawn on the light layer.
void giveLightLayerTexture(Sector *sector)
{
    // The light cell keeps the number of its own that it was made with.
    const TextureRef texture = lampTexture(sector->properties->textureId);
    sector->setTexture(texture);
    if (QPushButton *button = sector->properties->button) {
        button->setIcon(TextureIcons::icon(texture.imagePath()));
        button->setToolTip(TextureIcons::toolTip(texture.imagePath()));
    }
}

void applyLightLevel(Sector *target, int level, const PointLightParams &params)
{
    static const SubtypeTable subtypes;
    SectorLighting lighting = target->properties->lighting;
    lighting.emission = level;
    lighting.emissionMax = level;
    lighting.emissionMin = params.emissionMin;
    lighting.emissionIntensity = level;
    lighting.isDynamic = params.isDynamic;
    lighting.randomIntensity = params.randomIntensity;
    lighting.blinkDelay = params.blinkDelay;
    lighting.isLightEmitter = true;
    target->setLighting(lighting);
    target->setSubtype(subtypes.lightmapSubtypes.at(params.isDynamic ? 1 : 0));
}
} // namespace

std::vector<LightCell> pointLightCells(const PointLightParams &params)
{
    const int radius = params.radius;
    const int intensity = params.intensity;
    // A radius of 0 is the centre alone; its level does not depend on the step.
    const int step = radius > 0 ? intensity / radius : 0;

    std::vector<LightCell> cells;
    if (radius < 0)
        return cells;
    cells.reserve(size_t(2 * radius + 1) * size_t(2 * radius + 1));
    for (int dy = -radius; dy <= radius; ++dy) {
        const int y = params.centreY + dy;
        if (y < 0)
            continue;
        for (int dx = -radius; dx <= radius; ++dx) {
            const int x = params.centreX + dx;
            if (x < 0)
                continue;
            const int distance = std::max(std::abs(dx), std::abs(dy));
            // distance * step never exceeds |intensity| and has its sign.
            const int level = std::clamp(intensity - distance * step, minimumLevel, maximumLevel);
            cells.push_back(LightCell {x, y, level});
        }
    }
    return cells;
}

bool pointLightFits(const PointLightParams &params)
{
    if (params.radius < 0)
        return true;
    const int64_t radius = params.radius;
    const int64_t right = params.centreX + radius;
    const int64_t bottom = params.centreY + radius;
    if (!LevelLimits::insideGrid(right, bottom))
        return false;
    // Cells left of or above the map's origin are left out.
    const int64_t width = right - std::max<int64_t>(0, params.centreX - radius) + 1;
    const int64_t height = bottom - std::max<int64_t>(0, params.centreY - radius) + 1;
    return width * height <= int64_t(LevelLimits::objects);
}

PointLightOutcome generatePointLight(const PlacementContext &context, const PointLightParams &params)
{
    PointLightOutcome outcome;
    if (!pointLightFits(params)) {
        outcome.refusal = LevelLimits::beyondGridMessage();
        return outcome;
    }
    LayerController *layers = context.layers;
    // A light that would take the level past its object limit places nothing.
    if (context.edits) {
        size_t newCells = 0;
        for (const LightCell &cell : pointLightCells(params))
            newCells += layers->sectorOn(Kinds::Lightmap, cell.x, cell.y) ? 0 : 1;
        if (newCells > context.edits->roomForObjects()) {
            outcome.refusal = LevelLimits::objectLimitMessage(context.edits->objectLimit());
            return outcome;
        }
    }
    // Light cells live on the light layer only. If another layer became
    // current while the properties window was open (the layer box, or Shift
    // or Ctrl held), it is left for the time of the generation, so that no
    // object of that layer is touched and no light cell is made of its kind.
    const std::string previousLayer = layers->currentLayer();
    const bool onOtherLayer = previousLayer != Kinds::Lightmap;
    if (onOtherLayer)
        layers->switchToLayer(Kinds::Lightmap);

    // Called on its own, the light is one step of the edit history.
    const bool ownStep = context.edits && !context.edits->gestureOpen();
    if (ownStep)
        context.edits->beginGesture(QStringLiteral("point light"));
    for (const LightCell &cell : pointLightCells(params)) {
        int level = cell.level;
        Sector *target = layers->sectorAt(cell.x, cell.y);
        const bool isNew = target == nullptr;
        if (isNew) {
            // Through the edit operations when the map view has them, so that
            // the new light cells are part of the properties window's step.
            if (context.edits)
                target = context.edits->placeNew(QPoint(cell.x, cell.y));
            else
                target = createSector(QPoint(cell.x + context.originX, cell.y + context.originY), context);
            if (!target)
                continue;
            if (onOtherLayer)
                giveLightLayerTexture(target);
        } else {
            level = std::max(level, target->properties->lighting.emission);
            if (context.edits)
                context.edits->noteChanging(target, Kinds::Lightmap);
        }
        applyLightLevel(target, level, params);
        if (isNew) {
            layers->addSector(target);
            outcome.newCells.emplace_back(target);
        } else {
            outcome.litCells.emplace_back(target);
        }
    }

    if (ownStep)
        context.edits->endGesture();
    if (onOtherLayer)
        layers->switchToLayer(previousLayer);
    return outcome;
}

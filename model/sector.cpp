#include "model/sector.h"

#include "model/layerpane.h"
#include "model/objectbutton.h"

#include <QPushButton>
#include <algorithm>
#include <limits>

Sector::Sector(SectorProperties *properties, QObject *parent) : QObject(parent), properties(properties)
{
}

Sector::~Sector()
{
    if (properties) {
        // The button's layer pane keeps it for a later object if it can.
        QPushButton *button = properties->button;
        LayerPane *pane = button ? LayerPane::paneOf(button) : nullptr;
        auto *objectButton = ObjectButton::of(button);
        if (!pane || !objectButton || !pane->keepSpare(objectButton))
            delete button;
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
    properties->keptReference = texture.keptReference;
}

namespace {
// A cell's pixel at cells of `cellSize` pixels; beyond the range of widget
// coordinates, held at its edge.
int toPixel(int32_t cell, int cellSize)
{
    return static_cast<int>(std::clamp(int64_t(cell) * cellSize, int64_t(std::numeric_limits<int>::min()),
                                       int64_t(std::numeric_limits<int>::max())));
}
} // namespace

void Sector::showInView(int cellSize)
{
    QPushButton *button = properties->button;
    if (!button)
        return;
    if (LayerPane *pane = LayerPane::paneOf(button))
        pane->place(button, QPoint(properties->mapX, properties->mapY));
    else
        button->move(toPixel(properties->mapX, cellSize), toPixel(properties->mapY, cellSize));
}

void Sector::layOut(int cellSize)
{
    QPushButton *button = properties->button;
    if (button && !LayerPane::paneOf(button)) {
        button->setIconSize(QSize(cellSize, cellSize));
        button->resize(cellSize, cellSize);
    }
    showInView(cellSize);
}

void Sector::setKind(const std::string &kind)
{
    properties->kind = kind;
}

void Sector::moveCellBy(int dx, int dy)
{
    properties->mapX += dx;
    properties->mapY += dy;
}

void Sector::setTransparentForMouseEvents(bool transparent)
{
    if (properties->button)
        properties->button->setAttribute(Qt::WA_TransparentForMouseEvents, transparent);
}

QPointF worldPosition(const SectorProperties &properties, const QWidget *map)
{
    const QPoint cell(properties.mapX, properties.mapY);
    const QPushButton *button = properties.button;
    if (!button) {
        // Out of sight, the object has no button; the view tells where it shows.
        if (!map)
            return QPointF();
        return QPointF(LayerPane::offset(map) + cell * LayerPane::cellSizeOf(map));
    }
    if (const LayerPane *pane = LayerPane::paneOf(button))
        return QPointF(pane->shownAt(cell));
    return QPointF(button->pos());
}

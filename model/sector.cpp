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
        auto *pane = button ? qobject_cast<LayerPane *>(button->parentWidget()) : nullptr;
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

void Sector::setWorldPosition(double x, double y)
{
    properties->worldX = x;
    properties->worldY = y;
    // The conversion truncates toward zero, as the button position must; a
    // position beyond the range of widget coordinates is held at its edge.
    auto toPixel = [](double value) {
        return static_cast<int>(std::clamp(value, double(std::numeric_limits<int>::min()),
                                           double(std::numeric_limits<int>::max())));
    };
    if (properties->button)
        properties->button->move(toPixel(x), toPixel(y));
}

void Sector::showInView(int cellSize, QPoint origin)
{
    setWorldPosition((double(properties->mapX) + origin.x()) * cellSize,
                     (double(properties->mapY) + origin.y()) * cellSize);
}

void Sector::layOut(int cellSize, QPoint origin)
{
    if (QPushButton *button = properties->button) {
        button->setIconSize(QSize(cellSize, cellSize));
        button->resize(cellSize, cellSize);
    }
    showInView(cellSize, origin);
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

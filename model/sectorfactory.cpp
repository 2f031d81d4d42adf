#include "model/sectorfactory.h"

#include "level/subtypetable.h"
#include "model/layercontroller.h"
#include "model/objectbutton.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/textureicons.h"

#include <QCoreApplication>
#include <QHash>

Sector *createSector(const QPoint &viewCell, const PlacementContext &context)
{
    const int32_t cellSize = context.cellSize;
    const int32_t x = viewCell.x() * cellSize;
    const int32_t y = viewCell.y() * cellSize;

    auto *button = new ObjectButton(context.mapWidget);
    button->move(x, y);
    button->resize(cellSize, cellSize);
    button->setFlat(true);
    button->setIconSize(QSize(cellSize, cellSize));

    const TextureRef texture = context.texture;
    button->setIcon(TextureIcons::icon(texture.imagePath()));
    button->setToolTip(TextureIcons::toolTip(texture.imagePath()));
    if (context.showNewObjects)
        button->show();

    auto *properties = new SectorProperties;
    properties->button = button;
    properties->kind = context.layers->currentLayer();
    properties->textureName = texture.textureName;
    properties->textureDir = texture.textureDir;
    properties->textureId = texture.textureId;
    properties->keptReference = texture.keptReference;
    properties->worldX = x;
    properties->worldY = y;
    properties->mapX = viewCell.x() - context.originX;
    properties->mapY = viewCell.y() - context.originY;

    static const SubtypeTable subtypes;
    properties->subtype = subtypes.subtypesByKind.at(properties->kind).front();

    // Every light cell carries a number of its own, so that its light values
    // get a definition of their own when the map is saved.
    if (properties->kind == Kinds::Lightmap)
        properties->textureId = context.textureNumbers->next();

    // Each new button queues a few events (polish, layout, paint). Qt searches
    // the whole queue for every event it queues, so making thousands of
    // objects in one go would take quadratic time; handing the queued events
    // over now and then keeps the queue short. Only events already queued are
    // delivered: no user input, no timers, no deferred deletions.
    static unsigned createdSinceFlush = 0;
    if (++createdSinceFlush == 256) {
        createdSinceFlush = 0;
        QCoreApplication::sendPostedEvents();
    }

    return new Sector(properties);
}

void destroySectors(const std::vector<Sector *> &sectors)
{
    QHash<const QObject *, Sector *> byButton;
    byButton.reserve(int(sectors.size()));
    QWidget *map = nullptr;
    for (Sector *sector : sectors) {
        QPushButton *button = sector->properties ? sector->properties->button : nullptr;
        if (button && !map)
            map = button->parentWidget();
        if (button && button->parentWidget() == map)
            byButton.insert(button, sector);
        else
            delete sector;
    }
    if (map) {
        const QObjectList children = map->children();
        for (QObject *child : children)
            delete byButton.take(child);
    }
    // Objects whose button is not among the map's children (none in practice).
    for (Sector *sector : qAsConst(byButton))
        delete sector;
}

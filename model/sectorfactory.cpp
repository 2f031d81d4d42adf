#include "model/sectorfactory.h"

#include "level/subtypetable.h"
#include "model/layercontroller.h"
#include "model/layerpane.h"
#include "model/objectbutton.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "model/textureicons.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <algorithm>

Sector *createSector(const QPoint &viewCell, const PlacementContext &context)
{
    // The button sits on its map cell of the layer's pane; the pane follows
    // the view's origin.
    const int32_t cellSize = context.cellSize;
    const int32_t x = (viewCell.x() - context.originX) * cellSize;
    const int32_t y = (viewCell.y() - context.originY) * cellSize;

    const std::string &layer = context.layer.empty() ? context.layers->currentLayer() : context.layer;
    // On its layer's pane, which shows and hides the whole layer at once.
    LayerPane *pane = context.mapWidget ? LayerPane::of(context.mapWidget, layer) : nullptr;
    ObjectButton *button = pane ? pane->takeSpare() : nullptr;
    const bool newWidget = !button;
    if (newWidget)
        button = new ObjectButton(pane);
    // A button taken up again is often set as it is to be already (an undo
    // gives an object back its own); only what differs reaches Qt.
    if (button->geometry() != QRect(x, y, cellSize, cellSize))
        button->setGeometry(x, y, cellSize, cellSize);
    button->setFlat(true);
    if (button->iconSize() != QSize(cellSize, cellSize))
        button->setIconSize(QSize(cellSize, cellSize));

    const TextureRef texture = context.texture;
    const std::string path = texture.imagePath();
    const QIcon icon = path.empty() ? QIcon() : TextureIcons::icon(path);
    if (newWidget || button->icon().cacheKey() != icon.cacheKey())
        button->setIcon(icon);
    const QString tip = TextureIcons::toolTip(path, texture.keptReference.get());
    if (newWidget || button->toolTip() != tip)
        button->setToolTip(tip);
    if (context.showNewObjects)
        button->show();

    auto *properties = new SectorProperties;
    properties->button = button;
    properties->kind = context.layers->currentLayer();
    properties->textureName = texture.textureName;
    properties->textureDir = texture.textureDir;
    properties->textureId = texture.textureId;
    properties->keptReference = texture.keptReference;
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
    // A button taken up again queues none of them.
    static unsigned createdSinceFlush = 0;
    if (newWidget && ++createdSinceFlush == 256) {
        createdSinceFlush = 0;
        QCoreApplication::sendPostedEvents();
    }

    return new Sector(properties);
}

void destroySectors(const std::vector<Sector *> &sectors)
{
    QHash<const QObject *, Sector *> byButton;
    byButton.reserve(int(sectors.size()));
    std::vector<QWidget *> parents;
    for (Sector *sector : sectors) {
        QPushButton *button = sector->properties ? sector->properties->button : nullptr;
        QWidget *parent = button ? button->parentWidget() : nullptr;
        if (!parent) {
            delete sector;
            continue;
        }
        if (std::find(parents.begin(), parents.end(), parent) == parents.end())
            parents.push_back(parent);
        byButton.insert(button, sector);
    }
    // Each button is deleted first, in its parent's child order, which
    // Qt unlinks at once; none is kept for later objects, and the buttons a
    // pane kept go too (after a load or a big Clear no undo takes them up,
    // and left before the next objects they would slow every unlink).
    for (QWidget *parent : parents) {
        QSet<QObject *> kept;
        if (auto *pane = qobject_cast<LayerPane *>(parent))
            for (ObjectButton *button : pane->releaseSpares())
                kept.insert(button);
        const QObjectList children = parent->children();
        for (QObject *child : children)
            if (Sector *sector = byButton.take(child)) {
                delete sector->properties->button;
                sector->properties->button = nullptr;
                delete sector;
            } else if (kept.contains(child)) {
                delete child;
            }
    }
}

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

ObjectButton *giveButton(SectorProperties &properties, LayerPane *pane, int cellSize)
{
    const QPoint mapCell(properties.mapX, properties.mapY);
    ObjectButton *button = pane ? pane->takeSpare() : nullptr;
    const bool newWidget = !button;
    if (newWidget)
        button = new ObjectButton(pane ? pane->holderOf(mapCell) : nullptr);
    // The pane lays the button out for the view; a button taken up again is
    // often set as it is to be already (an undo gives an object back its
    // own), and only what differs reaches Qt.
    if (pane) {
        pane->place(button, mapCell);
        // Objects take the mouse where their pane does.
        if (pane->testAttribute(Qt::WA_TransparentForMouseEvents))
            button->setAttribute(Qt::WA_TransparentForMouseEvents);
    } else {
        button->setGeometry(QRect(mapCell * cellSize, QSize(cellSize, cellSize)));
        button->setIconSize(QSize(cellSize, cellSize));
    }
    button->setFlat(true);

    const std::string path = properties.textureDir + properties.textureName;
    const QIcon icon = path.empty() ? QIcon() : TextureIcons::icon(path);
    if (newWidget || button->icon().cacheKey() != icon.cacheKey())
        button->setIcon(icon);
    const QString tip = TextureIcons::toolTip(path, properties.keptReference.get());
    if (newWidget || button->toolTip() != tip)
        button->setToolTip(tip);
    button->setOwner(&properties);
    properties.button = button;

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
    return button;
}

Sector *createSector(const QPoint &viewCell, const PlacementContext &context)
{
    const QPoint mapCell(viewCell.x() - context.originX, viewCell.y() - context.originY);
    const std::string &layer = context.layer.empty() ? context.layers->currentLayer() : context.layer;
    const TextureRef texture = context.texture;

    auto *properties = new SectorProperties;
    properties->kind = context.layers->currentLayer();
    properties->textureName = texture.textureName;
    properties->textureDir = texture.textureDir;
    properties->textureId = texture.textureId;
    properties->keptReference = texture.keptReference;
    properties->mapX = mapCell.x();
    properties->mapY = mapCell.y();

    static const SubtypeTable subtypes;
    properties->subtype = subtypes.subtypesByKind.at(properties->kind).front();

    // Every light cell carries a number of its own, so that its light values
    // get a definition of their own when the map is saved.
    if (properties->kind == Kinds::Lightmap)
        properties->textureId = context.textureNumbers->next();

    // On its layer's pane, which shows and hides the whole layer at once; a
    // button only where the pane's objects have them.
    LayerPane *pane = context.mapWidget ? LayerPane::of(context.mapWidget, layer) : nullptr;
    if (!pane || pane->isLive(mapCell)) {
        ObjectButton *button = giveButton(*properties, pane, context.cellSize);
        if (context.showNewObjects)
            button->show();
    }
    return new Sector(properties);
}

void destroySectors(const std::vector<Sector *> &sectors)
{
    QHash<const QObject *, Sector *> byButton;
    byButton.reserve(int(sectors.size()));
    // The buttons' parents (a pane's blocks), in the order first met.
    std::vector<QWidget *> parents;
    QSet<const QWidget *> knownParents;
    std::vector<LayerPane *> panes;
    const auto noteParent = [&](QWidget *parent) {
        if (!knownParents.contains(parent)) {
            knownParents.insert(parent);
            parents.push_back(parent);
        }
    };
    for (Sector *sector : sectors) {
        QPushButton *button = sector->properties ? sector->properties->button : nullptr;
        QWidget *parent = button ? button->parentWidget() : nullptr;
        if (!parent) {
            delete sector;
            continue;
        }
        noteParent(parent);
        LayerPane *pane = LayerPane::paneOf(button);
        if (pane && std::find(panes.begin(), panes.end(), pane) == panes.end())
            panes.push_back(pane);
        byButton.insert(button, sector);
    }
    // None is kept for later objects, and the buttons a pane kept go too
    // (after a load or a big Clear no undo takes them up, and left before the
    // next objects they would slow every unlink).
    QSet<QObject *> kept;
    for (LayerPane *pane : panes)
        for (ObjectButton *button : pane->releaseSpares()) {
            kept.insert(button);
            noteParent(button->parentWidget());
        }
    // Each button is deleted first, in its parent's child order, which Qt
    // unlinks at once.
    for (QWidget *parent : parents) {
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

#include "mapview/selectionmoves.h"

#include "mapview/historycommands.h"
#include "mapview/mapview.h"

#include "level/levellimits.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/sector.h"

#include <QLocale>
#include <QPoint>
#include <QUndoStack>
#include <unordered_set>

SelectionMoves::SelectionMoves(MapView &view) : QObject(&view), view(view)
{
    // Any other step of the history ends a series of moves.
    connect(view.history()->stack(), &QUndoStack::indexChanged, this, [this] {
        if (!moving)
            seriesBroken = true;
    });
}

bool SelectionMoves::move(int dx, int dy)
{
    LayerController &layers = *view.layers();
    const std::vector<Sector *> selected = layers.selection();
    if (selected.empty()) {
        view.showLastingStatus(QStringLiteral("Nothing is selected to move"));
        return false;
    }
    const std::string &layer = layers.selectionLayer();
    const std::unordered_set<const Sector *> moved(selected.begin(), selected.end());
    for (const Sector *sector : selected) {
        const int64_t x = int64_t(sector->properties->mapX) + dx;
        const int64_t y = int64_t(sector->properties->mapY) + dy;
        if (!LevelLimits::insideGrid(x, y)
            || !view.isVisibleViewCell(QPoint(int(x) + view.origin().x(), int(y) + view.origin().y()))) {
            view.showLastingStatus(QStringLiteral("The selection cannot move off the map: nothing was moved"));
            return false;
        }
        const Sector *there = layers.sectorOn(layer, int(x), int(y));
        if (there && !moved.count(there)) {
            view.showLastingStatus(QStringLiteral("The selection cannot move there: cell (%1, %2) of the %3 layer is "
                                                  "taken; nothing was moved")
                                       .arg(x)
                                       .arg(y)
                                       .arg(QString::fromStdString(layer)));
            return false;
        }
    }
    if (seriesBroken || selected != movedSelection)
        ++series;
    moving = true;
    view.mapEdits()->endGesture();
    view.mapEdits()->move(layer, selected, dx, dy, series);
    moving = false;
    seriesBroken = false;
    movedSelection = selected;
    view.showLastingStatus(QStringLiteral("Moved %1 %2")
                               .arg(QLocale(QLocale::English).toString(qulonglong(selected.size())),
                                    QLatin1String(selected.size() == 1 ? "object" : "objects")));
    return true;
}

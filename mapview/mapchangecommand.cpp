#include "mapview/mapchangecommand.h"

#include "model/mapedits.h"

MapChangeCommand::MapChangeCommand(MapEdits &edits, const QString &gesture, MapChange change)
    : edits(edits), gesture(gesture), recorded(std::move(change))
{
    nameStep();
}

void MapChangeCommand::nameStep()
{
    const size_t count = recorded.objectCount();
    setText(QStringLiteral("%1 (%2 %3)")
                .arg(gesture)
                .arg(count)
                .arg(count == 1 ? QStringLiteral("object") : QStringLiteral("objects")));
}

void MapChangeCommand::undo()
{
    edits.undo(recorded);
}

void MapChangeCommand::redo()
{
    if (alreadyDone) {
        alreadyDone = false;
        return;
    }
    edits.redo(recorded);
}

int MapChangeCommand::id() const
{
    // One id for all moves; mergeWith tells the series apart.
    return recorded.moveSeries != 0 ? 1 : -1;
}

bool MapChangeCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const MapChangeCommand *>(other);
    const MapChange &more = next->recorded;
    if (recorded.moveSeries != more.moveSeries || recorded.moved.size() != 1 || more.moved.size() != 1
        || recorded.moved.front().layer != more.moved.front().layer
        || recorded.moved.front().cells.size() != more.moved.front().cells.size())
        return false;
    // The same objects, moved on: one move from where they first stood.
    MovedObjects &first = recorded.moved.front();
    first.dx += more.moved.front().dx;
    first.dy += more.moved.front().dy;
    // A series that came back where it started changes nothing.
    setObsolete(first.dx == 0 && first.dy == 0);
    return true;
}

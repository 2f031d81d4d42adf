#include "mapview/mapchangecommand.h"

#include "model/mapedits.h"

MapChangeCommand::MapChangeCommand(MapEdits &edits, const QString &gesture, MapChange change)
    : edits(edits), recorded(std::move(change))
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

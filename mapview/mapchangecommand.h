#pragma once

#include "level/objectrecord.h"

#include <QUndoCommand>

class MapEdits;

// One step of the edit history: what one gesture changed, as records. The
// gesture has already changed the map when the step is pushed, so the first
// redo, which QUndoStack runs on push, does nothing.
class MapChangeCommand : public QUndoCommand
{
public:
    MapChangeCommand(MapEdits &edits, const QString &gesture, MapChange change);

    void undo() override;
    void redo() override;

    const MapChange &change() const { return recorded; }

private:
    MapEdits &edits;
    MapChange recorded;
    bool alreadyDone = true;
};

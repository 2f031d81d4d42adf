#pragma once

#include <QObject>

class MapView;
class QUndoStack;

// The edit history of the map: the undo stack that every recorded edit goes
// onto, undo and redo (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y, repeating while held)
// and the Clear button, a step that can be undone. Owned by MapView.
class HistoryCommands : public QObject
{
    Q_OBJECT

public:
    explicit HistoryCommands(MapView &view);
    ~HistoryCommands() override;

    QUndoStack *stack() const { return undoStack; }
    // End what is under way, then take one step back or forward, or tell
    // that there is none.
    void undo();
    void redo();
    // Empties the current layer, after asking, as one step of its own.
    void clearLayer();

private:
    void step(bool backward);

    MapView &view;
    QUndoStack *undoStack = nullptr;
    // Steps the history keeps; older ones are dropped.
    static constexpr int limit = 100;
};

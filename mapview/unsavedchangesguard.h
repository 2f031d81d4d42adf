#pragma once

#include <QObject>
#include <QString>

class MapView;
class QUndoStack;
class QWidget;

// Keeps a designer's unsaved work from being thrown away without a word: the
// window's title carries a "*" while the level differs from what was last
// saved or loaded (the edit history's clean state, so undoing back to it
// takes the mark away), and closing the window or loading another level
// first asks "Save / Discard / Cancel" while it does. An unchanged level
// closes and loads with no question.
class UnsavedChangesGuard : public QObject
{
    Q_OBJECT

public:
    enum Replacement { Closing, Loading };

    UnsavedChangesGuard(MapView &view, QUndoStack &history, QWidget &window);

    bool levelChanged() const;
    // "Editing: <file> - GorseED", or "GorseED" for a level never saved,
    // with "*" in front while the level has unsaved changes.
    void showTitle();
    // Whether the level may be replaced (closed or loaded over): true when it
    // has no unsaved changes, when the designer saved them (and the save
    // succeeded) or chose Discard; false on Cancel.
    bool mayReplaceLevel(Replacement replacement);

    // Watches the window's close requests.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The designer chose to throw the unsaved changes away.
    void changesDiscarded();

private:
    MapView &view;
    QUndoStack &history;
    QWidget &window;
};

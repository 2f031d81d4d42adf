#include "mapview/historycommands.h"

#include "mapview/mapchangecommand.h"
#include "mapview/mapview.h"

#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "properties/objectpropertiesform.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QUndoStack>

HistoryCommands::HistoryCommands(MapView &view) : view(view), undoStack(new QUndoStack)
{
    undoStack->setUndoLimit(limit);
    MapEdits &edits = *view.mapEdits();
    edits.stepDone = [this, &edits](const QString &gesture, MapChange &&change) {
        undoStack->push(new MapChangeCommand(edits, gesture, std::move(change)));
    };

    const std::pair<QKeySequence, void (HistoryCommands::*)()> keys[]
        = {{QKeySequence(Qt::CTRL + Qt::Key_Z), &HistoryCommands::undo},
           {QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Z), &HistoryCommands::redo},
           {QKeySequence(Qt::CTRL + Qt::Key_Y), &HistoryCommands::redo}};
    for (const auto &[sequence, slot] : keys) {
        auto *shortcut = new QShortcut(sequence, view.window());
        shortcut->setObjectName(QStringLiteral("shortcut") + sequence.toString());
        connect(shortcut, &QShortcut::activated, this, slot);
    }

    // The Clear button goes through the edit operations, so a Clear can be undone.
    if (auto *clear = view.window()->findChild<QPushButton *>(QStringLiteral("btnMapLayerClear"))) {
        disconnect(clear, nullptr, view.layers(), nullptr);
        connect(clear, &QPushButton::clicked, this, &HistoryCommands::clearLayer);
    }
}

HistoryCommands::~HistoryCommands()
{
    delete undoStack;
}

void HistoryCommands::clearLayer()
{
    MapEdits &edits = *view.mapEdits();
    if (edits.refuses(view.layers()->currentLayer()) || !view.layers()->confirmClear())
        return;
    // A Clear is a step of its own, never part of a stroke left open.
    edits.endGesture();
    edits.clearLayer();
}

void HistoryCommands::undo()
{
    step(true);
}

void HistoryCommands::redo()
{
    step(false);
}

void HistoryCommands::step(bool backward)
{
    view.finishGestures();
    if (backward ? !undoStack->canUndo() : !undoStack->canRedo()) {
        view.showLastingStatus(backward ? QStringLiteral("Nothing to undo") : QStringLiteral("Nothing to redo"));
        return;
    }
    const QString step = backward ? undoStack->undoText() : undoStack->redoText();
    if (backward)
        undoStack->undo();
    else
        undoStack->redo();
    view.showLastingStatus((backward ? QStringLiteral("Undo: ") : QStringLiteral("Redo: ")) + step);
    // The window's objects may have changed under it.
    if (ObjectPropertiesForm *form = view.propertiesWindow())
        form->takeSnapshot();
}

#include "mapview/mapchangecommand.h"
#include "mapview/mapview.h"
#include "mapview/shapetools.h"

#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/placementcontext.h"
#include "model/sector.h"
#include "properties/objectpropertiesform.h"

#include <QKeySequence>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QUndoStack>

void MapView::setUpHistory()
{
    undoStack = new QUndoStack;
    undoStack->setUndoLimit(historyLimit);
    edits = new MapEdits(*layerController, [this] { return placementContext(); });
    edits->adoptSector = [this](Sector *sector) { adoptSector(sector); };
    edits->refused = [this](const QString &why) { showLastingStatus(why); };
    edits->stepDone = [this](const QString &gesture, MapChange &&change) {
        undoStack->push(new MapChangeCommand(*edits, gesture, std::move(change)));
    };

    // Ctrl+Z undoes; Ctrl+Shift+Z and Ctrl+Y redo. Held down they repeat.
    const std::pair<QKeySequence, void (MapView::*)()> keys[]
        = {{QKeySequence(Qt::CTRL + Qt::Key_Z), &MapView::UndoEvent},
           {QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Z), &MapView::RedoEvent},
           {QKeySequence(Qt::CTRL + Qt::Key_Y), &MapView::RedoEvent}};
    for (const auto &[sequence, slot] : keys) {
        auto *shortcut = new QShortcut(sequence, mainWindow);
        shortcut->setObjectName(QStringLiteral("shortcut") + sequence.toString());
        connect(shortcut, &QShortcut::activated, this, slot);
    }

    // The Clear button goes through the edit operations, so a Clear can be undone.
    if (auto *clear = mainWindow->findChild<QPushButton *>(QStringLiteral("btnMapLayerClear"))) {
        disconnect(clear, nullptr, layerController, nullptr);
        connect(clear, &QPushButton::clicked, this, &MapView::BtnMapLayerClearEvent);
    }
}

void MapView::adoptSector(Sector *sector)
{
    // Objects take the mouse only where the pencil does, like all others.
    sector->setTransparentForMouseEvents(!(radioPaint->isChecked() && radioPencil->isChecked()));
}

void MapView::BtnMapLayerClearEvent()
{
    if (edits->refuses(layerController->currentLayer()) || !layerController->confirmClear())
        return;
    // A Clear is a step of its own, never part of a stroke left open.
    edits->endGesture();
    edits->clearLayer();
}

void MapView::UndoEvent()
{
    stepHistory(true);
}

void MapView::RedoEvent()
{
    stepHistory(false);
}

void MapView::finishGestures()
{
    if (shapes)
        shapes->cancel();
    edits->endGesture();
    strokeButton = Qt::NoButton;
    cancelSelectionDrag();
    if (propertiesForm)
        propertiesForm->recordPendingChanges();
}

void MapView::stepHistory(bool backward)
{
    finishGestures();
    if (backward ? !undoStack->canUndo() : !undoStack->canRedo()) {
        historyStatus = backward ? QStringLiteral("Nothing to undo") : QStringLiteral("Nothing to redo");
        showStatus(historyStatus);
        return;
    }
    const QString step = backward ? undoStack->undoText() : undoStack->redoText();
    if (backward)
        undoStack->undo();
    else
        undoStack->redo();
    historyStatus = (backward ? QStringLiteral("Undo: ") : QStringLiteral("Redo: ")) + step;
    showStatus(historyStatus);
    // The window's objects may have changed under it.
    if (propertiesForm)
        propertiesForm->takeSnapshot();
}

#include "mapview/mapview.h"

#include "model/layercontroller.h"
#include "model/subtypetable.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>

bool MapView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mapWidget) {
        // The tool's cursor shows while the pointer is over the map.
        if (event->type() == QEvent::Enter && !cursorOverridden) {
            QApplication::setOverrideCursor(toolCursor);
            cursorOverridden = true;
        } else if (event->type() == QEvent::Leave && cursorOverridden) {
            QApplication::restoreOverrideCursor();
            cursorOverridden = false;
        }
    }
    return QObject::eventFilter(watched, event);
}

void MapView::beginTemporaryWallEditing()
{
    beginTemporaryLayer(Kinds::Wall, QStringLiteral("Temporary editing Walls layer"));
}

void MapView::beginTemporaryDoorEditing()
{
    beginTemporaryLayer(Kinds::Door, QStringLiteral("Temporary editing Doors layer"));
}

void MapView::beginTemporaryLayer(const std::string &layer, const QString &status)
{
    if (layerController->comboBoxMapLayer->currentText().toStdString() == layer)
        return;
    layerController->switchToLayer(layer);
    showStatus(status);
}

void MapView::endTemporaryEditing()
{
    layerController->switchToLayer(layerController->comboBoxMapLayer->currentText().toStdString());
    clearStatus();
}

void MapView::SectorClickEvent()
{
    // Opening the properties window for the clicked object comes with the properties work.
}

void MapView::BtnEditSelectionEvent()
{
    // Opening the properties window for the selection comes with the properties work.
}

void MapView::SelObjectsChangeTexEvent()
{
    // Retexturing the selection from the gallery comes with the editing work.
}

void MapView::SectorPropertiesClosedEvent()
{
    // Finishing an OK in the properties window comes with the properties work.
}

// Shift and Ctrl make the Wall or Door layer current while they are held; the
// layer combo box keeps showing the layer the designer chose.
#include "mapview/mapview.h"

#include "level/subtypetable.h"
#include "model/layercontroller.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>

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
    if (layerController->comboLayer() == layer)
        return;
    layerController->switchToLayer(layer);
    temporaryLayer = layer;
    showStatus(status);
}

void MapView::endTemporaryEditing()
{
    temporaryLayer.clear();
    layerController->switchToLayer(layerController->comboLayer());
    // What an undo or redo with Ctrl held reported stays readable.
    if (labelStatus->text() != lastingStatus)
        clearStatus();
}

void MapView::endTemporaryEditingIfActive()
{
    if (!temporaryLayer.empty())
        endTemporaryEditing();
}

void MapView::followHeldModifierKeys()
{
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    const bool shift = held.testFlag(Qt::ShiftModifier);
    const bool control = held.testFlag(Qt::ControlModifier);
    // A temporary layer whose key is still down stays, whatever else is held.
    if ((temporaryLayer == Kinds::Wall && shift) || (temporaryLayer == Kinds::Door && control))
        return;
    if (shift)
        beginTemporaryWallEditing();
    else if (control)
        beginTemporaryDoorEditing();
    else
        endTemporaryEditingIfActive();
}

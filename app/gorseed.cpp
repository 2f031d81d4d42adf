#include "app/gorseed.h"

#include "mapview/layerspanel.h"
#include "mapview/maptools.h"
#include "mapview/mapview.h"

#include <QKeyEvent>

GorseED::GorseED(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    resize(1124, 768);
    mapView = new MapView(this);
    // The Layers panel goes right under the layer box.
    ui.verticalLayout_4->insertWidget(1, new LayersPanel(mapView, ui.widget));
    installEventFilter(this);
}

GorseED::~GorseED()
{
    // The map view's objects own buttons on the map widget; they go first,
    // while the widget tree still stands.
    removeEventFilter(this);
    delete mapView;
}

bool GorseED::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Shift)
            mapView->tools()->beginTemporaryWallEditing();
        else if (key == Qt::Key_Control)
            mapView->tools()->beginTemporaryDoorEditing();
    } else if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Shift || key == Qt::Key_Control)
            mapView->tools()->endTemporaryEditing();
    } else if (watched == this && event->type() == QEvent::WindowDeactivate) {
        // The key's release goes to whatever window is active now (a modal
        // dialog, another program); the map window would never see it.
        mapView->tools()->endTemporaryEditingIfActive();
    }
    return QWidget::eventFilter(watched, event);
}

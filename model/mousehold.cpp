#include "model/mousehold.h"

#include <QWidget>

MouseHold::MouseHold(QWidget *widget)
{
    if (widget && widget->isVisible() && !QWidget::mouseGrabber()) {
        holder = widget;
        holder->grabMouse();
    }
}

MouseHold::~MouseHold()
{
    if (holder && QWidget::mouseGrabber() == holder)
        holder->releaseMouse();
}

#pragma once

#include <QWidget>

// Holds a widget's screen updates for the lifetime of a batch of changes (a
// load making thousands of objects) and repaints it once at the end, instead
// of once for each object shown.
class UpdatesHold
{
public:
    explicit UpdatesHold(QWidget *widget) : widget(widget), wasEnabled(widget->updatesEnabled())
    {
        widget->setUpdatesEnabled(false);
    }
    // Enabling updates again repaints the widget.
    ~UpdatesHold() { widget->setUpdatesEnabled(wasEnabled); }
    UpdatesHold(const UpdatesHold &) = delete;
    UpdatesHold &operator=(const UpdatesHold &) = delete;

private:
    QWidget *widget;
    bool wasEnabled;
};

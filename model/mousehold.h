#pragma once

class QWidget;

// Holds the mouse grab for the lifetime of a batch of objects being shown.
// Showing a widget makes Qt look for the widget under the mouse pointer among
// all the map's buttons, once per widget shown, so showing thousands of
// objects at once (a layer switch, a fill, a load) would take quadratic time.
// Qt skips that search while some widget holds the grab; the next mouse move
// brings the hover state up to date. Nothing happens when the window is not
// shown or another widget holds the grab already.
class MouseHold
{
public:
    explicit MouseHold(QWidget *widget);
    ~MouseHold();
    MouseHold(const MouseHold &) = delete;
    MouseHold &operator=(const MouseHold &) = delete;

private:
    QWidget *holder = nullptr;
};

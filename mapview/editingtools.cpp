// The map view's part of cut, copy, paste, the arrow-key moves and the line
// and rectangle tools, which live in their own classes.
#include "mapview/clipboardcommands.h"
#include "mapview/mapview.h"
#include "mapview/shapetools.h"

#include <QLabel>
#include <QShortcut>

void MapView::setUpEditingTools()
{
    clipboard = new ClipboardCommands(*this);
    shapes = new ShapeTools(*this);
    // Esc ends a paste or a shape drag, whichever is under way.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), mainWindow);
    escape->setObjectName(QStringLiteral("shortcutEsc"));
    connect(escape, &QShortcut::activated, this, [this] {
        clipboard->cancelPaste();
        shapes->cancel();
    });
}

void MapView::showLastingStatus(const QString &text)
{
    // The release of Shift or Ctrl leaves the history's own status standing.
    lastingStatus = text;
    showStatus(text);
}

#pragma once

#include "level/objectrecord.h"

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class CellPreview;
class MapView;
class QRadioButton;
class QEvent;
class QMimeData;
class QPushButton;
class Sector;
class SelectionMoves;

// Cut, copy and paste of the selection through the system clipboard, paste
// in place, and moving the selection with the arrow keys. Every change goes
// through the map's edit operations, so each command is one step of the
// history. The map view hands it the map's mouse and key events; the Edit
// buttons and the shortcuts are its own.
class ClipboardCommands : public QObject
{
    Q_OBJECT

public:
    explicit ClipboardCommands(MapView &view);
    ~ClipboardCommands() override;

    // What the clipboard holds, read back by the level reader: the objects
    // with cells counted from their top-left object, and where that object
    // was copied from.
    struct Copied
    {
        std::vector<ObjectRecord> objects;
        QPoint origin;
        // Why nothing can be pasted; empty when something can.
        QString error;
        // Textures that are not taken along, with the reason.
        QStringList refused;
    };
    static Copied readClipboard(const QMimeData *data);

    bool copy();
    void cut();
    // Starts the floating preview that a left click places.
    void paste();
    void pasteInPlace();
    void cancelPaste();
    bool pasting() const { return pasteActive; }
    // The preview's top-left follows this view cell (a pointer step).
    void movePreviewTo(QPoint viewCell);
    // Places the pasted objects with their top-left object at this map cell.
    void placePasteAt(QPoint mapCell, const QString &gesture);
    // Moves the selection one step (see SelectionMoves).
    bool moveSelection(int dx, int dy);

    // Mouse and key events of the map; true when the event was used up.
    bool handleMapEvent(QEvent *event);

    // The Edit buttons are enabled where they can act.
    void refreshButtons();

private:
    // Reads the clipboard into `pending` after ending what is under way; false,
    // with the reason in the status line, when it holds nothing to paste.
    bool takeClipboard();
    // A radio button of the main window, found by its object name once: a
    // search of the whole window passes every object's button on the map.
    QRadioButton *radio(const char *name) const;
    void endPreview();
    void report(size_t placed, size_t occupied, size_t offMap, const std::string &layer, const QStringList &refused);

    MapView &view;
    QPointer<CellPreview> preview;
    mutable QHash<QByteArray, QPointer<QRadioButton>> radios;
    bool pasteActive = false;
    bool objectsWereTransparent = false;
    Copied pending;

    SelectionMoves *moves;

    QPushButton *cutButton = nullptr;
    QPushButton *copyButton = nullptr;
    QPushButton *pasteButton = nullptr;
    QPushButton *pasteInPlaceButton = nullptr;
};

#pragma once

#include <QObject>
#include <QString>

class MapView;

// The save and load commands of the map: the Save and Load buttons with their
// dialogs and messages, the level that Ctrl+S writes, and a recovery copy put
// in place of the map. The file work itself is MapFile's and RecoveryFile's.
// Owned by MapView.
class LevelFileCommands : public QObject
{
    Q_OBJECT

public:
    explicit LevelFileCommands(MapView &view);

    // Reads a level and, when it holds at least one object, puts it in place
    // of the current map; returns whether it did.
    bool loadMapFromFile(const QString &fileName);
    // Puts a recovery copy in place of the current map as the level
    // `levelFile` (empty: never saved) with unsaved changes; false with
    // `error` when the copy cannot be read, and the map stays as it was.
    bool restoreRecoveryCopy(const QString &copyFile, const QString &levelFile, QString &error);
    // The Save button: runs the save command (with its dialog for a level
    // never saved); returns whether the level was written.
    bool saveLevel();
    // The level that Ctrl+S writes; empty before the first save or load.
    const QString &editedFileName() const { return fileName; }
    // Names the level that Ctrl+S writes, in the window's title too.
    void showEditedFile(const QString &fileName);

private:
    // The Load button: asks for a level, after the question about unsaved work.
    void askAndLoad();
    bool saveMap();

    MapView &view;
    QString fileName;
};

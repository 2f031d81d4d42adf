#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class MapView;
class QLockFile;

// Keeps a recovery copy of a level with unsaved changes, so that a crash, a
// kill or a power cut loses at most the last minute of work. While the level
// differs from its saved state, a copy is written at most once per interval,
// only between gestures (never during a stroke, a band or a drag, nor while a
// modal window is open), through a temporary file, into `folder`, never onto
// the level's own file. Each running editor has its own copy, guarded by a
// lock file, so two editors never take each other's. A save, an undo back to
// the saved state, a load or a Discard removes it.
//
// At start, the copies of editors that no longer run are offered, newest
// first: Restore makes one the level being edited (under its original file
// name, marked changed), Discard deletes it; a copy that cannot be read is
// reported and renamed aside, never deleted.
class RecoveryCopies : public QObject
{
    Q_OBJECT

public:
    RecoveryCopies(MapView &view, QString folder);
    ~RecoveryCopies() override;

    // The "recovery" folder in the user's data folder.
    static QString defaultFolder();
    // 60 seconds, or GORSEED_RECOVERY_INTERVAL_MS when it is set (tests).
    static int defaultInterval();
    void setInterval(int milliseconds);

    // This editor's copy, whether it exists or not.
    QString copyFile() const;
    // Writes the copy now if the level has changes the copy lacks and no
    // gesture or modal window is under way; returns whether the copy on disk
    // holds the level as it is now.
    bool writeCopyIfDue();
    // Offers the copies of editors that no longer run (see above).
    void offerCopiesLeftBehind();

private:
    bool busy() const;
    bool writeCopy();
    void removeCopy();
    void timerDue();
    // Asks about the copy at `base` + ".map"; returns whether it was restored.
    bool offerCopy(const QString &base);

    MapView &view;
    const QString folder;
    const QString base;
    std::unique_ptr<QLockFile> lock;
    QTimer timer;
    int interval;
    // Whether the copy on disk (or none, for an unchanged level) matches the level.
    bool copyCurrent = true;
    // A failure is told once, until a copy is written again.
    bool failureShown = false;
};

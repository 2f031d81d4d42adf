#include "mapview/recoverycopies.h"

#include "mapview/historycommands.h"
#include "mapview/levelfilecommands.h"
#include "mapview/mapview.h"
#include "mapview/recoveryfile.h"
#include "mapview/unsavedchangesguard.h"
#include "model/layercontroller.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUndoStack>
#include <QUuid>
#include <algorithm>

namespace {
const QString copySuffix = QStringLiteral(".map");
const QString levelSuffix = QStringLiteral(".level");
const QString lockSuffix = QStringLiteral(".lock");
const QString asideSuffix = QStringLiteral(".unreadable");
// How soon a copy that a gesture held back is tried again.
const int retryMilliseconds = 1000;

// The level a copy was made of: its file name, empty for a level never saved.
QString levelOf(const QString &base)
{
    QFile file(base + levelSuffix);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool writeLevelName(const QString &base, const QString &level)
{
    QSaveFile file(base + levelSuffix);
    const QByteArray bytes = level.toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

void removeFiles(const QString &base)
{
    QFile::remove(base + copySuffix);
    QFile::remove(base + levelSuffix);
}
} // namespace

RecoveryCopies::RecoveryCopies(MapView &view, QString folder)
    : view(view), folder(std::move(folder)),
      base(this->folder + QStringLiteral("/copy-") + QUuid::createUuid().toString(QUuid::Id128)),
      interval(defaultInterval())
{
    QUndoStack *history = view.history()->stack();
    // Any step done, undone or redone makes the copy out of date.
    connect(history, &QUndoStack::indexChanged, this, [this] { copyCurrent = false; });
    connect(history, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (clean)
            removeCopy();
    });
    connect(view.unsavedChanges(), &UnsavedChangesGuard::changesDiscarded, this, &RecoveryCopies::removeCopy);
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &RecoveryCopies::timerDue);
    timer.start(interval);
}

RecoveryCopies::~RecoveryCopies()
{
    // A level closed with its changes unsaved keeps its copy for the next start.
    if (!view.unsavedChanges()->levelChanged())
        removeCopy();
}

QString RecoveryCopies::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

int RecoveryCopies::defaultInterval()
{
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("GORSEED_RECOVERY_INTERVAL_MS", &ok);
    return ok && fromEnvironment > 0 ? fromEnvironment : 60 * 1000;
}

void RecoveryCopies::setInterval(int milliseconds)
{
    interval = milliseconds;
    timer.start(interval);
}

QString RecoveryCopies::copyFile() const
{
    return base + copySuffix;
}

bool RecoveryCopies::busy() const
{
    return view.gestureUnderWay() || QApplication::activeModalWidget() || QApplication::activePopupWidget();
}

void RecoveryCopies::timerDue()
{
    const bool due = view.unsavedChanges()->levelChanged() && !copyCurrent;
    timer.start(due && busy() ? std::min(interval, retryMilliseconds) : interval);
    if (due)
        writeCopyIfDue();
}

bool RecoveryCopies::writeCopyIfDue()
{
    // A gesture under way may have changed the level already.
    if (busy())
        return false;
    return !view.unsavedChanges()->levelChanged() || copyCurrent || writeCopy();
}

bool RecoveryCopies::writeCopy()
{
    QString error;
    if (!lock) {
        auto taken = std::make_unique<QLockFile>(base + lockSuffix);
        // Only an editor that no longer runs leaves its copy to others.
        taken->setStaleLockTime(0);
        if (!QDir().mkpath(folder))
            error = QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder));
        else if (!taken->tryLock(0))
            error = QStringLiteral("its lock file cannot be made");
        else
            lock = std::move(taken);
    }
    if (error.isEmpty() && !writeLevelName(base, view.files()->editedFileName()))
        error = QStringLiteral("the name of the level cannot be written");
    if (error.isEmpty())
        RecoveryFile::write(copyFile(), view.layers()->registry(), error);
    if (!error.isEmpty()) {
        // Editing goes on; the designer hears of it once.
        if (!failureShown)
            view.showStatus(QStringLiteral("The recovery copy could not be written: %1").arg(error));
        failureShown = true;
        return false;
    }
    failureShown = false;
    copyCurrent = true;
    return true;
}

void RecoveryCopies::removeCopy()
{
    removeFiles(base);
    // A level still changed (a Discard whose load was then cancelled) is copied again.
    copyCurrent = false;
}

void RecoveryCopies::offerCopiesLeftBehind()
{
    QFileInfoList copies = QDir(folder).entryInfoList({QStringLiteral("*") + copySuffix}, QDir::Files);
    std::sort(copies.begin(), copies.end(),
              [](const QFileInfo &a, const QFileInfo &b) { return a.lastModified() > b.lastModified(); });
    for (const QFileInfo &copy : copies) {
        const QString other = copy.absolutePath() + QLatin1Char('/') + copy.completeBaseName();
        if (other == base)
            continue;
        QLockFile otherLock(other + lockSuffix);
        otherLock.setStaleLockTime(0);
        // The editor that writes it is still running.
        if (!otherLock.tryLock(0))
            continue;
        const bool restored = offerCopy(other);
        otherLock.unlock();
        // One level at a time: the others wait for the next start.
        if (restored)
            return;
    }
}

bool RecoveryCopies::offerCopy(const QString &other)
{
    const QString level = levelOf(other);
    const QString written
        = QLocale(QLocale::English)
              .toString(QFileInfo(other + copySuffix).lastModified(), QStringLiteral("d MMM yyyy HH:mm"));
    const QString what = level.isEmpty() ? QStringLiteral("a level never saved") : QFileInfo(level).fileName();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Recover Level"),
                    QStringLiteral("A recovery copy of %1 from %2 was found: the editor that wrote it did not close.")
                        .arg(what, written),
                    QMessageBox::NoButton, view.window());
    if (!level.isEmpty())
        box.setInformativeText(QDir::toNativeSeparators(level));
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Discard);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("&Restore"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
    box.setDefaultButton(QMessageBox::Ok);
    const int answer = box.exec();
    if (answer == QMessageBox::Discard) {
        removeFiles(other);
        return false;
    }
    if (answer != QMessageBox::Ok)
        return false;

    QString error;
    if (!view.files()->restoreRecoveryCopy(other + copySuffix, level, error)) {
        // Kept aside under a name no start offers again.
        QString aside = other + copySuffix + asideSuffix;
        if (QFile::rename(other + copySuffix, aside))
            QFile::rename(other + levelSuffix, other + levelSuffix + asideSuffix);
        else
            aside = other + copySuffix;
        QMessageBox::warning(
            view.window(), QStringLiteral("Recover Level"),
            QStringLiteral("The recovery copy of %1 from %2 could not be read:\n%3\nIt was kept as %4.")
                .arg(what, written, error, QDir::toNativeSeparators(aside)));
        return false;
    }
    // The restored level is now this editor's to keep safe; the old copy
    // goes only once the new one is on disk.
    copyCurrent = false;
    if (writeCopy())
        removeFiles(other);
    return true;
}

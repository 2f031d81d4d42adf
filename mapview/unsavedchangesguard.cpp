#include "mapview/unsavedchangesguard.h"

#include "mapview/levelfilecommands.h"
#include "mapview/mapview.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUndoStack>
#include <QWidget>

UnsavedChangesGuard::UnsavedChangesGuard(MapView &view, QUndoStack &history, QWidget &window)
    : QObject(&view), view(view), history(history), window(window)
{
    connect(&history, &QUndoStack::cleanChanged, this, &UnsavedChangesGuard::showTitle);
    window.installEventFilter(this);
}

bool UnsavedChangesGuard::levelChanged() const
{
    return !history.isClean();
}

void UnsavedChangesGuard::showTitle()
{
    const QString file = view.files()->editedFileName();
    const QString title = file.isEmpty() ? QStringLiteral("GorseED")
                                         : QStringLiteral("Editing: ") + file + QStringLiteral(" - GorseED");
    window.setWindowTitle(levelChanged() ? QLatin1Char('*') + title : title);
}

bool UnsavedChangesGuard::mayReplaceLevel(Replacement replacement)
{
    // A stroke or subtype choice still open belongs to the level being asked about.
    view.finishGestures();
    if (!levelChanged())
        return true;
    const QString level = view.files()->editedFileName().isEmpty()
        ? QStringLiteral("The level, never saved,")
        : QStringLiteral("The level %1").arg(QFileInfo(view.files()->editedFileName()).fileName());
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Unsaved Changes"),
                    QStringLiteral("%1 has unsaved changes.").arg(level),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &window);
    box.setInformativeText(replacement == Closing ? QStringLiteral("Save them before closing the window?")
                                                  : QStringLiteral("Save them before loading another level?"));
    // The same words on every desktop (some name Discard "Close without Saving").
    box.button(QMessageBox::Save)->setText(QStringLiteral("&Save"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancel"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (answer == QMessageBox::Save)
        return view.files()->saveLevel();
    if (answer == QMessageBox::Discard) {
        emit changesDiscarded();
        return true;
    }
    return false;
}

bool UnsavedChangesGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &window && event->type() == QEvent::Close && !mayReplaceLevel(Closing)) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

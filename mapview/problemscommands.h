#pragma once

#include "level/levelproblem.h"

#include <QObject>
#include <QPointer>
#include <QString>

class LevelProblemsWindow;
class MapView;

// The map view's side of the level checks: the "Level Problems" window (F7),
// the count in the status line after a load or a save, and going to a
// problem's place. It keeps the file problems of the level loaded last until
// it is saved. Owned by MapView.
class ProblemsCommands : public QObject
{
    Q_OBJECT

public:
    explicit ProblemsCommands(MapView &view);

    // The checks of the level on the map, after the file problems.
    LevelProblems checkCurrentLevel() const;
    // Brings the list up to date after a load or a save and names the count
    // in the status label ("Saved level1.map: 2 errors (F7 lists them)").
    void reportLevelProblems(const QString &done, const QString &fileName, const LevelProblems &readProblems);
    // Makes the problem's layer current, centres its cell and selects what is there.
    void goToProblem(const LevelProblem &problem);
    // F7: opens the window, or brings it up to date and to the front.
    void showWindow();
    // Checks the level again for an open window.
    void refresh();

private:
    void goToActivatedProblem();

    MapView &view;
    QPointer<LevelProblemsWindow> window;
    LevelProblems fileProblems;
    QString fileName;
};

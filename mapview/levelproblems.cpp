// The map view's side of the level checks: F7, the status after a load or a
// save, and going to a problem's place.
#include "mapview/mapview.h"

#include "checks/levelrules.h"
#include "checks/problemtext.h"
#include "mapview/levelproblemswindow.h"
#include "model/layercontroller.h"
#include "model/levelobjects.h"

#include <QComboBox>
#include <QFileInfo>
#include <QRadioButton>
#include <QShortcut>

void MapView::setUpLevelProblems()
{
    // F7 works from every window of the editor, the problems window included.
    auto *shortcut = new QShortcut(QKeySequence(Qt::Key_F7), mainWindow, nullptr, nullptr, Qt::ApplicationShortcut);
    connect(shortcut, &QShortcut::activated, this, &MapView::ShowLevelProblemsEvent);
}

LevelProblems MapView::checkCurrentLevel() const
{
    LevelProblems problems = fileProblems;
    const LevelProblems levelProblems = checkLevel(levelObjectsOf(layerController->registry()));
    problems.insert(problems.end(), levelProblems.begin(), levelProblems.end());
    return problems;
}

void MapView::reportLevelProblems(const QString &done, const QString &fileName, const LevelProblems &readProblems)
{
    fileProblems = readProblems;
    problemsFileName = fileName;
    const LevelProblems problems = checkCurrentLevel();
    if (problemsWindow)
        problemsWindow->setProblems(problemsFileName, problems);
    QString text = done + QLatin1Char(' ') + QFileInfo(fileName).fileName() + QStringLiteral(": ")
        + QString::fromStdString(ProblemText::counts(problems));
    if (!problems.empty())
        text += QStringLiteral(" (F7 lists them)");
    showStatus(text);
}

void MapView::ShowLevelProblemsEvent()
{
    if (!problemsWindow) {
        problemsWindow = new LevelProblemsWindow(mainWindow);
        connect(problemsWindow, &LevelProblemsWindow::refreshRequested, this, &MapView::RefreshLevelProblemsEvent);
        connect(problemsWindow, &LevelProblemsWindow::problemActivated, this, &MapView::LevelProblemActivatedEvent);
    }
    RefreshLevelProblemsEvent();
    problemsWindow->show();
    problemsWindow->raise();
    problemsWindow->activateWindow();
}

void MapView::RefreshLevelProblemsEvent()
{
    if (problemsWindow)
        problemsWindow->setProblems(problemsFileName, checkCurrentLevel());
}

void MapView::LevelProblemActivatedEvent()
{
    const LevelProblem *problem = problemsWindow ? problemsWindow->activatedProblem() : nullptr;
    if (problem)
        goToProblem(*problem);
}

void MapView::goToProblem(const LevelProblem &problem)
{
    const QString message = QString::fromStdString(problem.message);
    if (problem.isFileProblem()) {
        showStatus(QStringLiteral("%1, line %2: %3")
                       .arg(QFileInfo(problemsFileName).fileName())
                       .arg(problem.line)
                       .arg(message));
        return;
    }
    if (!problem.hasCell) {
        showStatus(message);
        return;
    }
    // The problem's layer becomes current, as if chosen in the combo box.
    layerController->chooseLayer(problem.layer);

    // The cell goes where the middle of the map is.
    const int size = cellSize();
    originX = mapArea->width() / 2 / size - problem.x;
    originY = mapArea->height() / 2 / size - problem.y;
    layOutAllSectors();

    if (layerController->currentLayer() == problem.layer && layerController->hasSectorAt(problem.x, problem.y)) {
        // Objects are selected in select mode only.
        if (!radioSelect->isChecked())
            radioSelect->click();
        layerController->clearSelection();
        layerController->selectRect(problem.x, problem.y, problem.x, problem.y);
    }
    showStatus(QString::fromStdString(ProblemText::place(problem)) + QStringLiteral(": ") + message);
}

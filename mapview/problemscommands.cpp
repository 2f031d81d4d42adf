#include "mapview/problemscommands.h"

#include "mapview/levelproblemswindow.h"
#include "mapview/mapview.h"

#include "checks/levelrules.h"
#include "checks/problemtext.h"
#include "model/layercontroller.h"
#include "model/levelobjects.h"

#include <QFileInfo>
#include <QRadioButton>
#include <QShortcut>

ProblemsCommands::ProblemsCommands(MapView &view) : view(view)
{
    // F7 works from every window of the editor, the problems window included.
    auto *shortcut =
        new QShortcut(QKeySequence(Qt::Key_F7), view.window(), nullptr, nullptr, Qt::ApplicationShortcut);
    connect(shortcut, &QShortcut::activated, this, &ProblemsCommands::showWindow);
}

LevelProblems ProblemsCommands::checkCurrentLevel() const
{
    LevelProblems problems = fileProblems;
    const LevelProblems levelProblems = checkLevel(levelObjectsOf(view.layers()->registry()));
    problems.insert(problems.end(), levelProblems.begin(), levelProblems.end());
    return problems;
}

void ProblemsCommands::reportLevelProblems(const QString &done, const QString &fileName,
                                           const LevelProblems &readProblems)
{
    fileProblems = readProblems;
    this->fileName = fileName;
    const LevelProblems problems = checkCurrentLevel();
    if (window)
        window->setProblems(fileName, problems);
    QString text = done + QLatin1Char(' ') + QFileInfo(fileName).fileName() + QStringLiteral(": ")
        + QString::fromStdString(ProblemText::counts(problems));
    if (!problems.empty())
        text += QStringLiteral(" (F7 lists them)");
    view.showStatus(text);
}

void ProblemsCommands::showWindow()
{
    if (!window) {
        window = new LevelProblemsWindow(view.window());
        connect(window, &LevelProblemsWindow::refreshRequested, this, &ProblemsCommands::refresh);
        connect(window, &LevelProblemsWindow::problemActivated, this, &ProblemsCommands::goToActivatedProblem);
    }
    refresh();
    window->show();
    window->raise();
    window->activateWindow();
}

void ProblemsCommands::refresh()
{
    if (window)
        window->setProblems(fileName, checkCurrentLevel());
}

void ProblemsCommands::goToActivatedProblem()
{
    const LevelProblem *problem = window ? window->activatedProblem() : nullptr;
    if (problem)
        goToProblem(*problem);
}

void ProblemsCommands::goToProblem(const LevelProblem &problem)
{
    const QString message = QString::fromStdString(problem.message);
    if (problem.isFileProblem()) {
        view.showStatus(
            QStringLiteral("%1, line %2: %3").arg(QFileInfo(fileName).fileName()).arg(problem.line).arg(message));
        return;
    }
    if (!problem.hasCell) {
        view.showStatus(message);
        return;
    }
    // The problem's layer becomes current, as if chosen in the combo box.
    LayerController &layers = *view.layers();
    layers.chooseLayer(problem.layer);

    // The cell goes where the middle of the map is.
    const int size = view.cellSize();
    const QWidget *map = view.mapWidget();
    view.setOrigin(QPoint(map->width() / 2 / size - problem.x, map->height() / 2 / size - problem.y));

    if (layers.currentLayer() == problem.layer && layers.hasSectorAt(problem.x, problem.y)) {
        // Objects are selected in select mode only.
        auto *radioSelect = view.window()->findChild<QRadioButton *>(QStringLiteral("radioSelect"));
        if (!radioSelect->isChecked())
            radioSelect->click();
        layers.clearSelection();
        layers.selectRect(problem.x, problem.y, problem.x, problem.y);
    }
    view.showStatus(QString::fromStdString(ProblemText::place(problem)) + QStringLiteral(": ") + message);
}

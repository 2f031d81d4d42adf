#include "mapview/levelproblemswindow.h"

#include "checks/problemtext.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
enum Column { SeverityColumn, PlaceColumn, MessageColumn };
} // namespace

LevelProblemsWindow::LevelProblemsWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("levelProblems"));
    setWindowTitle(QStringLiteral("Level Problems"));
    resize(720, 320);

    summaryLabel = new QLabel(this);
    summaryLabel->setObjectName(QStringLiteral("labelProblemSummary"));
    refreshButton = new QPushButton(QStringLiteral("Refresh [F5]"), this);
    refreshButton->setObjectName(QStringLiteral("btnRefreshProblems"));
    refreshButton->setShortcut(QKeySequence(Qt::Key_F5));
    connect(refreshButton, &QPushButton::clicked, this, &LevelProblemsWindow::refreshRequested);

    problemList = new QTreeWidget(this);
    problemList->setObjectName(QStringLiteral("problemList"));
    problemList->setHeaderLabels({QStringLiteral("Severity"), QStringLiteral("Place"), QStringLiteral("Problem")});
    problemList->setRootIsDecorated(false);
    problemList->setUniformRowHeights(true);
    problemList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    problemList->header()->setStretchLastSection(true);
    problemList->setColumnWidth(SeverityColumn, 90);
    problemList->setColumnWidth(PlaceColumn, 130);
    connect(problemList, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        activatedIndex = item ? item->data(SeverityColumn, Qt::UserRole).toInt() : -1;
        emit problemActivated();
    });
    auto *copy = new QShortcut(QKeySequence::Copy, problemList, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &LevelProblemsWindow::copySelectedRows);
    // The list, not the button, has the keyboard when the window opens.
    problemList->setFocus();

    auto *top = new QHBoxLayout;
    top->addWidget(summaryLabel, 1);
    top->addWidget(refreshButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(problemList);
}

void LevelProblemsWindow::setProblems(const QString &levelFile, const LevelProblems &levelProblems)
{
    problems = levelProblems;
    fileName = levelFile;
    activatedIndex = -1;
    const QIcon errorIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    QList<QTreeWidgetItem *> items;
    items.reserve(int(problems.size()));
    for (size_t i = 0; i < problems.size(); ++i) {
        const LevelProblem &problem = problems[i];
        auto *item = new QTreeWidgetItem;
        item->setText(SeverityColumn, QString::fromLatin1(ProblemText::severityName(problem.severity)));
        item->setIcon(SeverityColumn, problem.isError() ? errorIcon : warningIcon);
        item->setData(SeverityColumn, Qt::UserRole, int(i));
        item->setText(PlaceColumn, QString::fromStdString(ProblemText::place(problem)));
        item->setText(MessageColumn, QString::fromStdString(problem.message));
        item->setToolTip(MessageColumn, item->text(MessageColumn));
        items << item;
    }
    problemList->clear();
    problemList->addTopLevelItems(items);
    // The first problem stands selected, so Enter goes to it at once.
    if (!items.isEmpty())
        problemList->setCurrentItem(items.front());
    const QString name = fileName.isEmpty() ? QStringLiteral("The level") : QFileInfo(fileName).fileName();
    summaryLabel->setText(name + QStringLiteral(": ") + QString::fromStdString(ProblemText::counts(problems)));
}

const LevelProblem *LevelProblemsWindow::activatedProblem() const
{
    if (activatedIndex < 0 || size_t(activatedIndex) >= problems.size())
        return nullptr;
    return &problems[size_t(activatedIndex)];
}

void LevelProblemsWindow::copySelectedRows()
{
    const std::string name = fileName.isEmpty() ? std::string("level") : QFileInfo(fileName).fileName().toStdString();
    QStringList lines;
    for (int row = 0; row < problemList->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = problemList->topLevelItem(row);
        if (item->isSelected())
            lines << QString::fromStdString(ProblemText::compilerLine(
                name, problems[size_t(item->data(SeverityColumn, Qt::UserRole).toInt())]));
    }
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join('\n') + QLatin1Char('\n'));
}

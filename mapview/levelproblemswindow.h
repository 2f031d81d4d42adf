#pragma once

#include "level/levelproblem.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

// The non-modal "Level Problems" window: every problem of the level with its
// severity, place and message. It only shows them; the map view checks the
// level, answers Refresh and goes to a problem when its row is double-clicked.
// Ctrl+C copies the selected rows as "FILE: error: ..." lines.
class LevelProblemsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LevelProblemsWindow(QWidget *parent = nullptr);

    // fileName: the level's file, empty for a level never saved or loaded.
    void setProblems(const QString &fileName, const LevelProblems &problems);
    // The problem whose row was double-clicked (or activated with Enter) last.
    const LevelProblem *activatedProblem() const;

    QTreeWidget *problemList = nullptr;
    QLabel *summaryLabel = nullptr;
    QPushButton *refreshButton = nullptr;

signals:
    void problemActivated();
    void refreshRequested();

private:
    void copySelectedRows();

    LevelProblems problems;
    QString fileName;
    int activatedIndex = -1;
};

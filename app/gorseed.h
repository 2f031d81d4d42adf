#pragma once

#include "ui_gorseed.h"

#include <QWidget>

class MapView;

// The editor's one top-level window. Builds its widget tree from the designer
// form, creates the map view (which finds the controls by object name) and
// hands the Shift and Ctrl keys to the map view's temporary layer editing.
class GorseED : public QWidget
{
    Q_OBJECT

public:
    explicit GorseED(QWidget *parent = nullptr);
    ~GorseED() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    Ui::GorseEDClass ui;
    MapView *mapView = nullptr;
};

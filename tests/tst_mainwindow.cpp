// The main window as a designer sees it: widget tree, texts and shortcuts,
// zoom, the mode/tool states and the Shift/Ctrl temporary layers.
#include "testsupport.h"

#include "app/gorseed.h"
#include "gallery/texturegallery.h"
#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "model/sector.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    template<typename W> static W *widget(GorseED &window, const char *name)
    {
        W *found = window.findChild<W *>(QLatin1String(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }

    static Sector *place(MapView *view, QPoint viewCell)
    {
        Sector *sector = view->placeSectorAt(viewCell);
        view->layerController->addSector(sector);
        return sector;
    }

private slots:
    void widgetTree_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("parentName");
        const char *rows[][3] = {
            {"widget", "QWidget", "GorseEDClass"},
            {"groupBox", "QGroupBox", "widget"},
            {"btnMapLayerClear", "QPushButton", "groupBox"},
            {"comboBoxMapLayer", "QComboBox", "groupBox"},
            {"label", "QLabel", "groupBox"},
            {"label_2", "QLabel", "groupBox"},
            {"groupBox_4", "QGroupBox", "widget"},
            {"listViewTextures", "QListWidget", "groupBox_4"},
            {"btnLoadMap", "QPushButton", "widget"},
            {"btnSaveMap", "QPushButton", "widget"},
            {"mapWidget", "QWidget", "GorseEDClass"},
            {"frame", "QFrame", "GorseEDClass"},
            {"horizontalLayoutWidget", "QWidget", "frame"},
            {"groupBox_2", "QGroupBox", "horizontalLayoutWidget"},
            {"radioPaint", "QRadioButton", "groupBox_2"},
            {"radioSelect", "QRadioButton", "groupBox_2"},
            {"radioPencil", "QRadioButton", "horizontalLayoutWidget"},
            {"radioFloodFill", "QRadioButton", "horizontalLayoutWidget"},
            {"btnEditSelection", "QPushButton", "horizontalLayoutWidget"},
            {"groupBox_3", "QGroupBox", "horizontalLayoutWidget"},
            {"mapViewZoomSlider", "QSlider", "groupBox_3"},
            {"groupBox_5", "QGroupBox", "GorseEDClass"},
            {"labelStatus", "QLabel", "groupBox_5"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << row[0] << row[1] << row[2];
    }

    void widgetTree()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, parentName);
        GorseED window;
        auto *found = window.findChild<QWidget *>(name);
        QVERIFY(found);
        QCOMPARE(found->metaObject()->className(), className.toLatin1().constData());
        QCOMPARE(found->parentWidget()->objectName(), parentName);
    }

    void layoutsAndGroup()
    {
        GorseED window;
        QCOMPARE(window.objectName(), QStringLiteral("GorseEDClass"));
        QCOMPARE(window.metaObject()->className(), "GorseED");
        QCOMPARE(window.layout()->objectName(), QStringLiteral("gridLayout_4"));
        auto *grid = qobject_cast<QGridLayout *>(window.layout());
        QCOMPARE(grid->itemAtPosition(0, 0)->widget()->objectName(), QStringLiteral("widget"));
        QCOMPARE(grid->itemAtPosition(0, 1)->layout()->objectName(), QStringLiteral("gridLayout"));
        QCOMPARE(grid->itemAtPosition(2, 1)->layout()->objectName(), QStringLiteral("gridLayout_6"));
        auto *mapGrid = window.findChild<QGridLayout *>(QStringLiteral("gridLayout_3"));
        QCOMPARE(mapGrid->itemAtPosition(0, 1)->widget()->objectName(), QStringLiteral("mapWidget"));
        QCOMPARE(mapGrid->itemAtPosition(1, 1)->widget()->objectName(), QStringLiteral("frame"));
        auto *group = window.findChild<QButtonGroup *>(QStringLiteral("buttonGroup"));
        QVERIFY(group && group->exclusive());
        QCOMPARE(group->buttons().size(), 2);
        QCOMPARE(group->buttons().at(0)->objectName(), QStringLiteral("radioPaint"));
        auto *slider = widget<QSlider>(window, "mapViewZoomSlider");
        QCOMPARE(slider->minimum(), 1);
        QCOMPARE(slider->maximum(), 4);
        QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
        QVERIFY(!widget<QLabel>(window, "labelStatus")->isEnabled());
        QCOMPARE(widget<QLabel>(window, "label")->font().pointSize(), 7);
    }

    void textsAndShortcuts()
    {
        GorseED window;
        QCOMPARE(window.windowTitle(), QStringLiteral("GorseED"));
        QCOMPARE(widget<QGroupBox>(window, "groupBox")->title(), QStringLiteral("Map Layer"));
        QCOMPARE(widget<QGroupBox>(window, "groupBox_4")->title(), QStringLiteral("Gallery"));
        QCOMPARE(widget<QGroupBox>(window, "groupBox_2")->title(), QStringLiteral("Mode"));
        QCOMPARE(widget<QGroupBox>(window, "groupBox_3")->title(), QStringLiteral("Zoom"));
        QCOMPARE(widget<QLabel>(window, "label")->text(), QStringLiteral("Hold Shift to temporary edit Walls"));
        QCOMPARE(widget<QLabel>(window, "label_2")->text(), QStringLiteral("Hold Ctrl to temporary edit Doors"));
        QCOMPARE(widget<QLabel>(window, "labelStatus")->text(), QStringLiteral("--"));
        QCOMPARE(widget<QPushButton>(window, "btnMapLayerClear")->text(), QStringLiteral("Clear"));
        QCOMPARE(widget<QPushButton>(window, "btnLoadMap")->text(), QStringLiteral("Load Map"));
        QCOMPARE(widget<QRadioButton>(window, "radioPencil")->text(), QStringLiteral("Pencil"));
        QCOMPARE(widget<QRadioButton>(window, "radioFloodFill")->text(), QStringLiteral("Flood fill"));

        const std::pair<const char *, const char *> shortcuts[]
            = {{"btnSaveMap", "Ctrl+S"}, {"radioPaint", "E"}, {"radioSelect", "S"}, {"btnEditSelection", "Ctrl+E"}};
        for (auto [name, keys] : shortcuts)
            QCOMPARE(widget<QAbstractButton>(window, name)->shortcut(), QKeySequence(QLatin1String(keys)));
        QCOMPARE(widget<QPushButton>(window, "btnSaveMap")->text(), QStringLiteral("Save Map [Ctrl+S]"));
        QCOMPARE(widget<QRadioButton>(window, "radioPaint")->text(), QStringLiteral("Edit [E]"));
        QCOMPARE(widget<QRadioButton>(window, "radioSelect")->text(), QStringLiteral("Select [S]"));
        QCOMPARE(widget<QPushButton>(window, "btnEditSelection")->text(), QStringLiteral("Edit selection [Ctrl+E]"));
    }

    void startState()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        QCOMPARE(window.size(), QSize(1124, 768));
        MapView *view = window.mapView;
        QCOMPARE(view->layerController->currentLayer, std::string("Wall"));
        QCOMPARE(widget<QComboBox>(window, "comboBoxMapLayer")->currentText(), QStringLiteral("Wall"));
        auto *list = widget<QListWidget>(window, "listViewTextures");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("brick.png"));
        QVERIFY(list->item(0)->isSelected());
        QCOMPARE(view->textureGallery->currentTexture.textureName, std::string("brick.png"));
        QVERIFY(view->radioPaint->isChecked() && view->radioPencil->isChecked());
        QVERIFY(!view->btnEditSelection->isEnabled());
        QCOMPARE(view->cellSize(), 64);
        QCOMPARE(view->mapWidget->styleSheet(), QStringLiteral("background: url('assets/bg64x64.jpg');"));
        QCOMPARE(view->toolCursor.pixmap().toImage().pixelColor(5, 5), QColor(Qt::yellow));
    }

    void zoomLaysOutEveryLayer()
    {
        EditorFixture editor;
        MapView *view = editor.window->mapView;
        view->mapViewZoomSlider->setValue(2);
        view->originX = 1;
        Sector *wall = place(view, QPoint(3, 3)); // map cell (2, 3)
        QCOMPARE(wall->properties->button->pos(), QPoint(96, 96));
        widget<QComboBox>(*editor.window, "comboBoxMapLayer")->setCurrentText(QStringLiteral("Floor"));
        Sector *floor = place(view, QPoint(1, 0)); // map cell (0, 0)

        for (int value : {1, 2, 3, 4}) {
            view->mapViewZoomSlider->setValue(value);
            const int size = 16 * value;
            QCOMPARE(view->mapWidget->styleSheet(), QStringLiteral("background: url('assets/bg%1x%1.jpg');").arg(size));
            // The hidden wall layer moves just like the shown floor layer.
            QCOMPARE(wall->properties->button->geometry(), QRect(3 * size, 3 * size, size, size));
            QCOMPARE(wall->properties->button->iconSize(), QSize(size, size));
            QCOMPARE(floor->properties->button->pos(), QPoint(size, 0));
            QCOMPARE(wall->properties->worldX, 3.0 * size);
        }
    }

    void modesAndTools()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        Sector *wall = place(view, QPoint(1, 1));
        auto transparent = [wall] { return wall->properties->button->testAttribute(Qt::WA_TransparentForMouseEvents); };
        QVERIFY(!transparent());

        QTest::mouseClick(view->radioFloodFill, Qt::LeftButton);
        QVERIFY(view->radioFloodFill->isChecked());
        QVERIFY(transparent());
        QCOMPARE(view->toolCursor.pixmap().toImage().pixelColor(5, 5), QColor(Qt::cyan));

        // The "S" shortcut: select mode keeps the selection, greys out the tools.
        view->layerController->selectRect(1, 1, 1, 1);
        // A button shortcut clicks its button after a short press animation.
        QTest::keyClick(&window, Qt::Key_S);
        QTRY_VERIFY(view->btnEditSelection->isEnabled());
        QVERIFY(view->radioSelect->isChecked());
        QVERIFY(!view->radioPencil->isEnabled() && !view->radioFloodFill->isEnabled());
        QVERIFY(view->radioFloodFill->isChecked());
        QVERIFY(view->btnEditSelection->isEnabled());
        QCOMPARE(view->toolCursor.shape(), Qt::CrossCursor);
        QVERIFY(transparent());
        QCOMPARE(view->layerController->selectedSectors.size(), size_t(1));

        // "E" returns to the pencil and drops the selection and its tint.
        QTest::keyClick(&window, Qt::Key_E);
        QTRY_VERIFY(!view->btnEditSelection->isEnabled());
        QVERIFY(view->radioPaint->isChecked() && view->radioPencil->isChecked());
        QVERIFY(view->radioPencil->isEnabled() && !view->btnEditSelection->isEnabled());
        QVERIFY(view->layerController->selectedSectors.empty());
        QVERIFY(!tintOf(wall).isValid());
        QVERIFY(!transparent());
    }

    void temporaryLayers()
    {
        EditorFixture editor;
        GorseED &window = *editor.window;
        MapView *view = window.mapView;
        auto *combo = widget<QComboBox>(window, "comboBoxMapLayer");
        auto *status = widget<QLabel>(window, "labelStatus");

        // Shift on the Wall layer changes nothing, but its release empties the status line.
        QTest::keyPress(&window, Qt::Key_Shift);
        QCOMPARE(status->text(), QStringLiteral("--"));
        QTest::keyRelease(&window, Qt::Key_Shift);
        QCOMPARE(status->text(), QString());

        combo->setCurrentText(QStringLiteral("Floor"));
        QTest::keyPress(&window, Qt::Key_Shift);
        QCOMPARE(view->layerController->currentLayer, std::string("Wall"));
        QCOMPARE(status->text(), QStringLiteral("Temporary editing Walls layer"));
        Sector *wall = place(view, QPoint(2, 2));
        QCOMPARE(wall->properties->kind, std::string("Wall"));
        QCOMPARE(wall->properties->textureName, std::string("tiles.png")); // the Floor gallery stays
        QTest::keyPress(&window, Qt::Key_Control);
        QCOMPARE(view->layerController->currentLayer, std::string("Door"));
        QCOMPARE(status->text(), QStringLiteral("Temporary editing Doors layer"));
        QTest::keyRelease(&window, Qt::Key_Control);
        QCOMPARE(view->layerController->currentLayer, std::string("Floor"));
        QCOMPARE(combo->currentText(), QStringLiteral("Floor"));
        QCOMPARE(status->text(), QString());
        QCOMPARE(view->layerController->layerList("Wall").size(), size_t(1));
        QVERIFY(view->layerController->layerSectors.empty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

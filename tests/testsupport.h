#pragma once

#include "app/gorseed.h"
#include "gallery/texturegallery.h"
#include "mapview/historycommands.h"
#include "mapview/levelfilecommands.h"
#include "mapview/mapfile.h"
#include "mapview/maptools.h"
#include "mapview/mapview.h"
#include "mapview/problemscommands.h"
#include "model/layercontroller.h"
#include "model/sector.h"
#include "properties/objectpropertiesform.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSize>
#include <QSlider>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVector>
#include <QWidget>
#include <memory>

// A throw-away working directory that the editor runs in: it becomes the
// current directory for its lifetime and can be filled with assets and
// texture images painted on the spot.
class WorkingDirectory
{
public:
    WorkingDirectory();
    ~WorkingDirectory();

    QString path() const { return dir.path(); }
    // Writes a solid image of the given size (format from the file suffix).
    void writeImage(const QString &relativePath, QSize size = QSize(64, 64), QColor color = Qt::red) const;
    void writeFile(const QString &relativePath, const QByteArray &bytes) const;
    void makeFolder(const QString &relativePath) const;
    // The four background tiles, both cursors and the lamp.
    void writeAssets() const;
    void writeTextures(const QString &layer, const QStringList &names) const;

private:
    QTemporaryDir dir;
    QString previous;
};

// The bytes of a file, or "(missing)".
QByteArray bytesOf(const QString &path);
// The names in a folder, hidden ones too, sorted.
QStringList filesIn(const QString &folder);

// The main window built in a working directory with assets and a few textures
// per layer, shown so that mouse input reaches it.
struct EditorFixture
{
    EditorFixture();
    ~EditorFixture();
    WorkingDirectory workdir;
    std::unique_ptr<GorseED> window;
};

// Real mouse input on the map: moves the cursor (the editor reads the cursor
// position, not the event's) and sends the press, move or release through the
// window, so it reaches whichever widget is under the point, as a real one
// would. Positions are pixels in the map widget. Every event carries
// `heldKeys`, as real input carries the modifier keys held.
class MapMouse
{
public:
    explicit MapMouse(GorseED &window);
    QPoint cellCentre(int column, int row) const;
    void press(QPoint position, Qt::MouseButton button);
    void move(QPoint position);
    void release(QPoint position, Qt::MouseButton button);
    // Press at the first point, move through the others, release at the last.
    void drag(const QVector<QPoint> &path, Qt::MouseButton button);
    void click(QPoint position, Qt::MouseButton button);
    Qt::KeyboardModifiers heldKeys = Qt::NoModifier;

private:
    QPoint toWindow(QPoint position) const;
    GorseED &window;
    QWidget *map;
};

// The editor window with what a test of the map works with.
struct MapScene
{
    MapScene();
    EditorFixture fixture;
    GorseED &window;
    MapView *view;
    LayerController *layers;
    MapMouse mouse;

    // The centre of a view cell.
    QPoint at(int column, int row) const { return mouse.cellCentre(column, row); }
    void click(int column, int row, Qt::MouseButton button = Qt::LeftButton) { mouse.click(at(column, row), button); }
    // A drag through the centres of these view cells.
    void stroke(QVector<QPoint> cells, Qt::MouseButton button = Qt::LeftButton);
    // Clicks a tool's radio button by object name ("radioPaint", "radioSelect").
    void tool(const char *radio);
    // Where the layer's objects are, "column,row" each, sorted.
    QStringList cells(const char *layer) const;
};

// Clicks the object in the view cell, drawing it first with the pencil if the
// cell is empty; returns the properties window the click opens.
ObjectPropertiesForm *placeAndOpen(GorseED &window, MapMouse &mouse, int column, int row);

// Destroys now what was deleted for later: closed windows, erased objects.
void flushDeletions();

// Answers the next modal message box with `button` once it is shown, and
// records its title and text.
struct MessageBoxAnswer
{
    QString title;
    QString text;
    bool seen = false;
};
std::shared_ptr<MessageBoxAnswer> answerNextMessageBox(QMessageBox::StandardButton button);

// Answers the next file dialog by typing `path` into its name field and
// pressing Enter, or cancels it when the path is empty.
void answerNextFileDialog(const QString &path);

// Sets the zoom slider and puts the view back at the origin it had, as the
// zoom did before it kept the map's middle cell in place.
void zoomKeepingOrigin(MapView &view, int zoom);

// The status line's text.
QString statusText(const GorseED &window);
// A key with modifiers typed into the editor window, as the user types it.
void typeKey(GorseED &window, int key, Qt::KeyboardModifiers held = Qt::NoModifier);
// Compares a picture pixel by pixel with tests/pictures/NAME.png; an empty
// answer when they are equal, otherwise what differs (the picture is saved
// in the temporary folder). GORSEED_WRITE_PICTURES=1 writes the reference.
QString differenceFromReference(const QImage &picture, const QString &name);
// A control of the main window that `view` works in, by object name.
QWidget *controlNamed(const MapView *view, const char *name);
template<typename Widget> Widget *control(const MapView *view, const char *name)
{
    return qobject_cast<Widget *>(controlNamed(view, name));
}

// Makes `layer` current through the window's layer combo box, as a user would.
void chooseLayer(GorseED &window, const QString &layer);


// Every layer's objects in list order, one line each, with all they are
// (images by absolute path; texture numbers unless told otherwise) and how
// they show.
QStringList objectLines(LayerController &layers, bool textureNumbers = true);

// The colour of the colourise effect on an object's button, or an invalid
// colour when the button has no tint.
QColor tintOf(const Sector *sector);

// Where an object's button shows in the map widget: its layer's pane follows
// the view's origin.
QRect shownRect(const QWidget *button);

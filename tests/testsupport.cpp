#include "testsupport.h"

#include "model/layerpane.h"
#include "model/objectbutton.h"
#include "level/objectrecord.h"
#include "level/subtypetable.h"
#include "model/sector.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

WorkingDirectory::WorkingDirectory() : previous(QDir::currentPath())
{
    QDir::setCurrent(dir.path());
}

WorkingDirectory::~WorkingDirectory()
{
    QDir::setCurrent(previous);
}

void WorkingDirectory::writeImage(const QString &relativePath, QSize size, QColor color) const
{
    const QString full = dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(full).path());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    image.save(full);
}

void WorkingDirectory::writeFile(const QString &relativePath, const QByteArray &bytes) const
{
    const QString full = dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

void WorkingDirectory::makeFolder(const QString &relativePath) const
{
    QDir().mkpath(dir.filePath(relativePath));
}

void WorkingDirectory::writeAssets() const
{
    for (int size : {16, 32, 48, 64})
        writeImage(QStringLiteral("assets/bg%1x%1.jpg").arg(size), QSize(size, size), Qt::darkGray);
    writeImage(QStringLiteral("assets/pencil.png"), QSize(32, 32), Qt::yellow);
    writeImage(QStringLiteral("assets/bucket.png"), QSize(32, 32), Qt::cyan);
    writeImage(QStringLiteral("assets/lamp.png"), QSize(64, 64), Qt::white);
}

void WorkingDirectory::writeTextures(const QString &layer, const QStringList &names) const
{
    int shade = 40;
    for (const QString &name : names) {
        writeImage(QStringLiteral("textures/") + layer + QLatin1Char('/') + name, QSize(64, 64),
                   QColor(shade, 255 - shade, 120));
        shade += 50;
    }
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

EditorFixture::EditorFixture()
{
    workdir.writeAssets();
    workdir.writeTextures(QStringLiteral("Wall"), {"brick.png", "stone.png"});
    workdir.writeTextures(QStringLiteral("Floor"), {"tiles.png", "wood.png"});
    workdir.writeTextures(QStringLiteral("Ceil"), {"panel.png"});
    workdir.writeTextures(QStringLiteral("Door"), {"door.png"});
    workdir.writeTextures(QStringLiteral("Actor"), {"soldier.png"});
    workdir.writeTextures(QStringLiteral("Sprite"), {"barrel.png"});
    workdir.writeTextures(QStringLiteral("Item"), {"health.png"});
    window = std::make_unique<GorseED>();
    window->show();
    // Shortcuts only reach the active window.
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the editor window did not become active");
}

EditorFixture::~EditorFixture()
{
    window.reset();
    // Let deferred deletions run before the working directory goes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

MapMouse::MapMouse(GorseED &window) : window(window), map(window.mapView->mapWidget())
{
}

QPoint MapMouse::cellCentre(int column, int row) const
{
    const int size = window.mapView->cellSize();
    return QPoint(column * size + size / 2, row * size + size / 2);
}

QPoint MapMouse::toWindow(QPoint position) const
{
    return map->mapTo(&window, position);
}

void MapMouse::press(QPoint position, Qt::MouseButton button)
{
    QCursor::setPos(map->mapToGlobal(position));
    QTest::mousePress(window.windowHandle(), button, heldKeys, toWindow(position));
}

void MapMouse::move(QPoint position)
{
    QCursor::setPos(map->mapToGlobal(position));
    QTest::mouseEvent(QTest::MouseMove, window.windowHandle(), Qt::NoButton, heldKeys, toWindow(position));
}

void MapMouse::release(QPoint position, Qt::MouseButton button)
{
    QCursor::setPos(map->mapToGlobal(position));
    QTest::mouseRelease(window.windowHandle(), button, heldKeys, toWindow(position));
}

void MapMouse::drag(const QVector<QPoint> &path, Qt::MouseButton button)
{
    press(path.front(), button);
    for (int i = 1; i < path.size(); ++i)
        move(path.at(i));
    release(path.back(), button);
}

void MapMouse::click(QPoint position, Qt::MouseButton button)
{
    press(position, button);
    release(position, button);
}

MapScene::MapScene() : window(*fixture.window), view(window.mapView), layers(view->layers()), mouse(window)
{
}

void MapScene::stroke(QVector<QPoint> cells, Qt::MouseButton button)
{
    for (QPoint &cell : cells)
        cell = at(cell.x(), cell.y());
    mouse.drag(cells, button);
}

void MapScene::tool(const char *radio)
{
    control<QRadioButton>(view, radio)->click();
}

QStringList MapScene::cells(const char *layer) const
{
    QStringList found;
    for (const Sector *sector : layers->layerList(layer))
        found << QStringLiteral("%1,%2").arg(sector->properties->mapX).arg(sector->properties->mapY);
    found.sort();
    return found;
}

ObjectPropertiesForm *placeAndOpen(GorseED &window, MapMouse &mouse, int column, int row)
{
    if (!window.mapView->layers()->hasSectorAt(column, row))
        mouse.click(mouse.cellCentre(column, row), Qt::LeftButton);
    mouse.click(mouse.cellCentre(column, row), Qt::LeftButton);
    return window.mapView->propertiesWindow();
}

void flushDeletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::shared_ptr<MessageBoxAnswer> answerNextMessageBox(QMessageBox::StandardButton button)
{
    auto answer = std::make_shared<MessageBoxAnswer>();
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        answer->title = box->windowTitle();
        answer->text = box->text();
        answer->seen = true;
        if (QAbstractButton *target = box->button(button))
            target->click();
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
    return answer;
}

void answerNextFileDialog(const QString &path)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        if (path.isEmpty())
            return dialog->reject();
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(name, path);
        // The name completion's list would take the Enter key.
        name->completer()->popup()->hide();
        QTest::keyClick(name, Qt::Key_Return);
    });
    timer->start();
}

void chooseLayer(GorseED &window, const QString &layer)
{
    window.findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"))->setCurrentText(layer);
}

QColor tintOf(const Sector *sector)
{
    const ObjectButton *button = ObjectButton::of(sector->properties->button);
    return button ? button->tint() : QColor();
}

QString statusText(const GorseED &window)
{
    return window.findChild<QLabel *>(QStringLiteral("labelStatus"))->text();
}

void typeKey(GorseED &window, int key, Qt::KeyboardModifiers held)
{
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key(key), held);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList objectLines(LayerController &layers, bool textureNumbers)
{
    QStringList lines;
    for (const std::string &layer : Kinds::comboOrder()) {
        for (Sector *sector : layers.layerList(layer)) {
            const ObjectRecord r = recordOf(*sector, layer);
            const SectorLighting &l = r.lighting;
            const QString image = r.texture.imagePath().empty()
                ? QString()
                : QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromStdString(r.texture.imagePath())));
            QString line = QString::fromStdString(layer + ' ' + r.kind + ' ') + image
                + QString::fromStdString(' ' + r.subtype);
            for (double value : {double(r.mapX), double(r.mapY), textureNumbers ? double(r.texture.textureId) : 0.0,
                                 double(l.emission), double(l.emissionMin), double(l.emissionMax),
                                 double(l.emissionIntensity), double(l.emissionRadius), l.blinkDelay,
                                 double(l.isDynamic), double(l.randomIntensity), double(l.isLightEmitter)})
                line += ' ' + QString::number(value);
            const QPushButton *button = sector->properties->button;
            const LayerPane *pane = LayerPane::paneOf(button);
            const bool shown = button->isVisibleTo(LayerPane::mapOf(button)) && (!pane || pane->isShown());
            lines << line + (shown ? " shown " : " hidden ") + tintOf(sector).name();
        }
    }
    return lines;
}

QString differenceFromReference(const QImage &picture, const QString &name)
{
    const QString reference = QStringLiteral(GORSEED_TEST_SOURCE_DIR "/pictures/%1.png").arg(name);
    const QImage actual = picture.convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIsSet("GORSEED_WRITE_PICTURES"))
        return actual.save(reference) ? QString() : QStringLiteral("cannot write ") + reference;
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    if (expected.size() != actual.size())
        return QStringLiteral("%1 is missing or of another size").arg(reference);
    int differing = 0;
    QPoint first;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
    if (differing == 0)
        return QString();
    const QString saved = QDir::temp().filePath(QStringLiteral("gorseed-%1.png").arg(name));
    actual.save(saved);
    return QStringLiteral("%1 pixels differ, the first at (%2, %3); the picture is in %4")
        .arg(differing)
        .arg(first.x())
        .arg(first.y())
        .arg(saved);
}

void zoomKeepingOrigin(MapView &view, int zoom)
{
    const QPoint origin = view.origin();
    control<QSlider>(&view, "mapViewZoomSlider")->setValue(zoom);
    view.moveViewTo(origin);
}

QWidget *controlNamed(const MapView *view, const char *name)
{
    return view->mapWidget()->window()->findChild<QWidget *>(QLatin1String(name));
}

QRect shownRect(const QWidget *button)
{
    return QRect(button->mapTo(LayerPane::mapOf(button), QPoint()), button->size());
}

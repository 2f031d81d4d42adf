#include "mapview/clipboardcommands.h"

#include "mapview/historycommands.h"
#include "mapview/cellpreview.h"
#include "mapview/mapview.h"
#include "mapview/selectionmoves.h"

#include "gallery/texturegallery.h"
#include "level/levellimits.h"
#include "level/subtypetable.h"
#include "mapfile/clipboardtext.h"
#include "model/layercontroller.h"
#include "model/mapedits.h"
#include "model/mousehold.h"
#include "model/sector.h"
#include "model/textureicons.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <set>
#include <tuple>

namespace {
QString count(size_t number, const char *one, const char *many)
{
    return QLocale(QLocale::English).toString(qulonglong(number)) + QLatin1Char(' ')
        + QLatin1String(number == 1 ? one : many);
}

// Why a texture of the clipboard is not taken along, as a level's texture
// would not be read: an image that leads out of its folder through a link,
// or one that cannot be shown (too large, not an image). Empty when it is
// taken; a missing image keeps its name, as a level's does.
QString refusalOf(const std::string &path)
{
    if (path.empty() || path == MapReader::lampImage)
        return QString();
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists() && !info.isSymLink())
        return QString();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath() + QLatin1Char('/');
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !canonical.startsWith(folder))
        return QStringLiteral("leads out of its folder");
    return TextureIcons::problem(path);
}

bool isLayerName(const std::string &name)
{
    const auto &layers = Kinds::comboOrder();
    return std::find(layers.begin(), layers.end(), name) != layers.end();
}
} // namespace

ClipboardCommands::ClipboardCommands(MapView &view) : QObject(&view), view(view), moves(new SelectionMoves(view))
{
    QWidget *window = view.mapWidget()->window();
    view.mapWidget()->setFocusPolicy(Qt::ClickFocus);

    // The Edit buttons sit above Load and Save; they never take the keyboard
    // from the map, so the arrow keys keep moving the selection.
    auto *column = window->findChild<QVBoxLayout *>(QStringLiteral("verticalLayout_4"));
    auto *files = window->findChild<QGridLayout *>(QStringLiteral("gridLayout_2"));
    if (column && files) {
        auto *row = new QGridLayout;
        row->setSpacing(files->spacing());
        const auto makeButton = [&](const char *name, const QString &text, const QString &tip) {
            auto *button = new QPushButton(text, column->parentWidget());
            button->setObjectName(QLatin1String(name));
            button->setToolTip(tip);
            button->setFocusPolicy(Qt::NoFocus);
            row->addWidget(button, row->count() / 2, row->count() % 2);
            return button;
        };
        cutButton = makeButton("btnCut", QStringLiteral("Cut"),
                               QStringLiteral("Copy the selected objects, then remove them (Ctrl+X)"));
        copyButton = makeButton("btnCopy", QStringLiteral("Copy"),
                                QStringLiteral("Copy the selected objects (Ctrl+C); the arrow keys move them"));
        pasteButton = makeButton("btnPaste", QStringLiteral("Paste"),
                                 QStringLiteral("Paste: the copied objects follow the pointer until a click places "
                                                "them; Esc or a right click cancels (Ctrl+V)"));
        pasteInPlaceButton = makeButton("btnPasteInPlace", QStringLiteral("Paste in place"),
                                        QStringLiteral("Paste the copied objects where they were copied from "
                                                       "(Ctrl+Shift+V)"));
        column->insertLayout(column->indexOf(files), row);
        connect(cutButton, &QPushButton::clicked, this, &ClipboardCommands::cut);
        connect(copyButton, &QPushButton::clicked, this, &ClipboardCommands::copy);
        connect(pasteButton, &QPushButton::clicked, this, &ClipboardCommands::paste);
        connect(pasteInPlaceButton, &QPushButton::clicked, this, &ClipboardCommands::pasteInPlace);
    }

    // The keys work wherever the keyboard is in the main window; a text
    // field keeps its own (Qt lets it override them), and other windows,
    // the properties window among them, are not reached.
    const std::pair<QKeySequence, void (ClipboardCommands::*)()> keys[]
        = {{QKeySequence(Qt::CTRL + Qt::Key_X), &ClipboardCommands::cut},
           {QKeySequence(Qt::CTRL + Qt::Key_C), nullptr},
           {QKeySequence(Qt::CTRL + Qt::Key_V), &ClipboardCommands::paste},
           {QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_V), &ClipboardCommands::pasteInPlace}};
    for (const auto &[sequence, slot] : keys) {
        auto *shortcut = new QShortcut(sequence, window);
        shortcut->setObjectName(QStringLiteral("shortcut") + sequence.toString());
        if (slot)
            connect(shortcut, &QShortcut::activated, this, slot);
        else
            connect(shortcut, &QShortcut::activated, this, [this] { copy(); });
    }

    const auto refreshLater
        = [this] { QMetaObject::invokeMethod(this, &ClipboardCommands::refreshButtons, Qt::QueuedConnection); };
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, refreshLater);
    connect(radio("radioSelect"), &QRadioButton::toggled, this, refreshLater);
    connect(radio("radioPaint"), &QRadioButton::clicked, this, &ClipboardCommands::cancelPaste);
    connect(radio("radioSelect"), &QRadioButton::clicked, this, &ClipboardCommands::cancelPaste);
    // The preview is drawn at one cell size.
    connect(view.mapWidget()->window()->findChild<QSlider *>(QStringLiteral("mapViewZoomSlider")),
            &QSlider::valueChanged, this, &ClipboardCommands::cancelPaste);
    if (auto *combo = window->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer")))
        connect(combo, &QComboBox::currentTextChanged, this, &ClipboardCommands::cancelPaste);
    connect(view.history()->stack(), &QUndoStack::indexChanged, this, refreshLater);
    refreshButtons();
}

ClipboardCommands::~ClipboardCommands()
{
    // The preview belongs to the map widget, which may outlive this.
    delete preview.data();
}

void ClipboardCommands::refreshButtons()
{
    if (!copyButton)
        return;
    const bool selection = radio("radioSelect")->isChecked() && !view.layers()->selection().empty();
    cutButton->setEnabled(selection);
    copyButton->setEnabled(selection);
    const QMimeData *data = QApplication::clipboard()->mimeData();
    const bool something = data && (data->hasFormat(QLatin1String(ClipboardText::mimeType)) || !data->text().isEmpty());
    pasteButton->setEnabled(something);
    pasteInPlaceButton->setEnabled(something);
}

bool ClipboardCommands::copy()
{
    LayerController &layers = *view.layers();
    const std::vector<Sector *> selected = layers.selection();
    if (selected.empty()) {
        view.showLastingStatus(QStringLiteral("Nothing is selected: the clipboard is left as it was"));
        return false;
    }
    int32_t left = INT32_MAX;
    int32_t top = INT32_MAX;
    for (const Sector *sector : selected) {
        left = std::min(left, sector->properties->mapX);
        top = std::min(top, sector->properties->mapY);
    }
    // Plain copies, counted from the top-left cell; the text names their
    // images by absolute path, so that any level in any window finds them. A
    // reference kept from this level's file would mean nothing in another
    // level: the copies carry none.
    std::vector<SectorProperties> copies;
    copies.reserve(selected.size());
    for (const Sector *sector : selected) {
        SectorProperties object = *sector->properties;
        object.button = nullptr;
        object.mapX -= left;
        object.mapY -= top;
        object.keptReference.reset();
        copies.push_back(std::move(object));
    }
    MapWriter::Layer layer {layers.selectionLayer(), {}};
    for (const SectorProperties &object : copies)
        layer.objects.push_back(&object);
    const std::string text = ClipboardText::write({layer});

    auto *data = new QMimeData;
    data->setData(QLatin1String(ClipboardText::mimeType), QByteArray::fromStdString(text));
    data->setData(QLatin1String(ClipboardText::originMimeType),
                  QByteArray::number(left) + ',' + QByteArray::number(top));
    data->setText(QString::fromStdString(text));
    QApplication::clipboard()->setMimeData(data);
    view.showLastingStatus(QStringLiteral("Copied ") + count(selected.size(), "object", "objects"));
    return true;
}

void ClipboardCommands::cut()
{
    if (!copy())
        return;
    LayerController &layers = *view.layers();
    const std::string layer = layers.selectionLayer();
    std::vector<Sector *> doomed;
    for (Sector *sector : layers.selection())
        if (layers.sectorOn(layer, sector->properties->mapX, sector->properties->mapY) == sector)
            doomed.push_back(sector);
    MapEdits &edits = *view.mapEdits();
    edits.beginGesture(QStringLiteral("cut"));
    edits.removeFrom(layer, doomed);
    edits.endGesture();
    layers.clearSelection();
    view.showLastingStatus(QStringLiteral("Cut ") + count(doomed.size(), "object", "objects"));
    refreshButtons();
}

ClipboardCommands::Copied ClipboardCommands::readClipboard(const QMimeData *data)
{
    Copied copied;
    const QString nothing = QStringLiteral("The clipboard holds no GorseED objects: nothing was pasted");
    QByteArray bytes;
    if (data && data->hasFormat(QLatin1String(ClipboardText::mimeType)))
        bytes = data->data(QLatin1String(ClipboardText::mimeType));
    else if (data)
        bytes = data->text().toUtf8();
    if (bytes.isEmpty()) {
        copied.error = nothing;
        return copied;
    }
    const MapReader::Contents contents = ClipboardText::read(std::string_view(bytes.constData(), size_t(bytes.size())));
    if (!contents.error.empty()) {
        copied.error = QStringLiteral("The clipboard cannot be pasted: %1").arg(QString::fromStdString(contents.error));
        return copied;
    }
    std::vector<QString> refusals(contents.definitions.size());
    for (size_t i = 0; i < contents.definitions.size(); ++i) {
        refusals[i] = refusalOf(contents.definitions[i].texturePath);
        if (!refusals[i].isEmpty())
            copied.refused << QStringLiteral("%1 %2").arg(QString::fromStdString(contents.definitions[i].texturePath),
                                                          refusals[i]);
    }
    for (const MapReader::Layer &layer : contents.layers) {
        if (!isLayerName(layer.name))
            continue;
        for (const MapReader::Cell &cell : layer.cells) {
            const MapDefinition &definition = contents.definitions.at(cell.definition);
            ObjectRecord record;
            record.layer = layer.name;
            record.kind = definition.kind;
            record.subtype = definition.subtype;
            record.lighting = definition.lighting;
            record.mapX = cell.column;
            record.mapY = cell.row;
            record.texture = textureOfPath(refusals[cell.definition].isEmpty() ? definition.texturePath : std::string(),
                                           int32_t(cell.definition));
            copied.objects.push_back(std::move(record));
        }
    }
    if (copied.objects.empty()) {
        copied.error = nothing;
        return copied;
    }
    if (data && data->hasFormat(QLatin1String(ClipboardText::originMimeType))) {
        const QList<QByteArray> origin = data->data(QLatin1String(ClipboardText::originMimeType)).split(',');
        if (origin.size() == 2)
            copied.origin = QPoint(origin[0].toInt(), origin[1].toInt());
    }
    return copied;
}

bool ClipboardCommands::takeClipboard()
{
    cancelPaste();
    pending = readClipboard(QApplication::clipboard()->mimeData());
    if (!pending.error.isEmpty()) {
        view.showLastingStatus(pending.error);
        return false;
    }
    view.finishGestures();
    return true;
}

void ClipboardCommands::paste()
{
    if (!takeClipboard())
        return;
    const int size = view.cellSize();
    std::vector<CellPreview::Cell> cells;
    cells.reserve(pending.objects.size());
    QHash<QString, QPixmap> pictures;
    for (const ObjectRecord &object : pending.objects) {
        CellPreview::Cell cell {QPoint(object.mapX, object.mapY), QPixmap(), QColor()};
        if (object.layer == Kinds::Lightmap) {
            // A light cell shows its level, as on the map.
            const int level = std::clamp<int32_t>(object.lighting.emission, 0, 255);
            cell.fill = QColor(level, level, level);
        } else {
            const QString path = QString::fromStdString(object.texture.imagePath());
            auto known = pictures.find(path);
            if (known == pictures.end())
                known = pictures.insert(path, TextureIcons::icon(path.toStdString()).pixmap(size, size));
            cell.picture = known.value();
            cell.fill = Qt::magenta;
        }
        cells.push_back(std::move(cell));
    }
    if (!preview)
        preview = new CellPreview(view.mapWidget());
    preview->setGeometry(view.mapWidget()->rect());
    preview->setCells(std::move(cells), size);
    preview->raise();
    preview->show();
    // The click that places the objects must reach the map, not an object.
    objectsWereTransparent = !(radio("radioPaint")->isChecked() && radio("radioPencil")->isChecked());
    if (!objectsWereTransparent)
        view.setSectorsMouseTransparent(true);
    view.mapWidget()->setMouseTracking(true);
    pasteActive = true;
    movePreviewTo(view.viewCellAt(view.pointerPosition()));
    view.showLastingStatus(QStringLiteral("Pasting %1 of the %2 layer: click where the top-left one goes; Esc or a "
                                          "right click cancels")
                               .arg(count(pending.objects.size(), "object", "objects"),
                                    QString::fromStdString(pending.objects.front().layer)));
}

void ClipboardCommands::pasteInPlace()
{
    if (!takeClipboard())
        return;
    placePasteAt(pending.origin, QStringLiteral("paste in place"));
}

void ClipboardCommands::movePreviewTo(QPoint viewCell)
{
    if (pasteActive && preview)
        preview->setTopLeft(viewCell);
}

void ClipboardCommands::endPreview()
{
    if (!pasteActive)
        return;
    pasteActive = false;
    if (preview) {
        preview->hide();
        preview->setCells({}, view.cellSize());
    }
    view.mapWidget()->setMouseTracking(false);
    if (!objectsWereTransparent)
        view.setSectorsMouseTransparent(!(radio("radioPaint")->isChecked() && radio("radioPencil")->isChecked()));
}

void ClipboardCommands::cancelPaste()
{
    if (!pasteActive)
        return;
    endPreview();
    view.showLastingStatus(QStringLiteral("The paste was cancelled"));
}

void ClipboardCommands::placePasteAt(QPoint mapCell, const QString &gesture)
{
    endPreview();
    LayerController &layers = *view.layers();
    const QPoint origin(view.origin().x(), view.origin().y());
    // What can go where, first; the map changes only once that is known.
    std::vector<ObjectRecord> placeable;
    std::set<std::tuple<std::string, int32_t, int32_t>> taken;
    size_t occupied = 0;
    size_t offMap = 0;
    for (const ObjectRecord &object : pending.objects) {
        ObjectRecord record = object;
        const int64_t x = int64_t(record.mapX) + mapCell.x();
        const int64_t y = int64_t(record.mapY) + mapCell.y();
        if (!LevelLimits::insideGrid(x, y) || !view.isVisibleViewCell(QPoint(int(x), int(y)) + origin)) {
            ++offMap;
            continue;
        }
        record.mapX = int32_t(x);
        record.mapY = int32_t(y);
        if (layers.sectorOn(record.layer, record.mapX, record.mapY)
            || !taken.emplace(record.layer, record.mapX, record.mapY).second) {
            ++occupied;
            continue;
        }
        placeable.push_back(std::move(record));
    }
    const size_t room = view.mapEdits()->roomForObjects();
    if (placeable.size() > room) {
        view.showLastingStatus(QStringLiteral("A level holds at most %1 objects: there is room for %2 more, and the "
                                              "paste needs %3. Nothing was pasted")
                                   .arg(QLocale(QLocale::English).toString(qulonglong(view.mapEdits()->objectLimit())),
                                        QLocale(QLocale::English).toString(qulonglong(room)),
                                        QLocale(QLocale::English).toString(qulonglong(placeable.size()))));
        return;
    }

    // Numbers for the textures: one per texture of the clipboard, one per
    // light cell, fresh from the gallery like a loaded level's.
    std::unordered_map<int32_t, int32_t> numbers;
    for (ObjectRecord &record : placeable) {
        if (record.layer == Kinds::Lightmap) {
            record.texture.textureId = view.gallery()->nextLightmapId();
            continue;
        }
        auto known = numbers.find(record.texture.textureId);
        if (known == numbers.end())
            known = numbers.emplace(record.texture.textureId, view.gallery()->nextLightmapId()).first;
        record.texture.textureId = known->second;
    }

    const std::string layer = pending.objects.front().layer;
    std::vector<Sector *> made;
    MapEdits &edits = *view.mapEdits();
    // Showing thousands of new objects would make Qt look for the widget
    // under the pointer once per object; holding the mouse skips that.
    const MouseHold hold(view.mapWidget()->window());
    edits.beginGesture(gesture);
    for (const ObjectRecord &record : placeable) {
        Sector *sector = edits.placeObject(record);
        if (sector && record.layer == layer)
            made.push_back(sector);
    }
    edits.endGesture();
    if (!placeable.empty()) {
        // The objects' layer becomes current and they the selection.
        auto *combo = view.mapWidget()->window()->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer"));
        if (combo && combo->currentText().toStdString() != layer)
            combo->setCurrentText(QString::fromStdString(layer));
        layers.clearSelection();
        layers.selectSectors(layer, made);
    }
    report(placeable.size(), occupied, offMap, layer, pending.refused);
    refreshButtons();
}

void ClipboardCommands::report(size_t placed, size_t occupied, size_t offMap, const std::string &layer,
                               const QStringList &refused)
{
    QString text = placed == 0 ? QStringLiteral("Nothing was pasted")
                               : QStringLiteral("Pasted %1 on the %2 layer")
                                     .arg(count(placed, "object", "objects"), QString::fromStdString(layer));
    QStringList skipped;
    if (occupied)
        skipped << count(occupied, "cell was occupied", "cells were occupied");
    if (offMap)
        skipped << QLocale(QLocale::English).toString(qulonglong(offMap))
                + QLatin1String(offMap == 1 ? " lay off the map" : " lay off the map");
    if (!skipped.isEmpty())
        text += QStringLiteral("; ") + skipped.join(QStringLiteral(", "));
    if (!refused.isEmpty())
        text += QStringLiteral("; not taken along: ") + refused.join(QStringLiteral(", "));
    view.showLastingStatus(text);
}

bool ClipboardCommands::moveSelection(int dx, int dy)
{
    return moves->move(dx, dy);
}

bool ClipboardCommands::handleMapEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // A press on the map gives it the keyboard: the arrow keys move the
        // selection rather than a radio button or the layer box.
        view.mapWidget()->setFocus(Qt::MouseFocusReason);
        moves->endSeries();
        const auto button = static_cast<QMouseEvent *>(event)->button();
        if (!pasteActive || button == Qt::MiddleButton)
            return false;
        if (button == Qt::LeftButton) {
            movePreviewTo(view.viewCellAt(view.pointerPosition()));
            placePasteAt(preview->topLeft() - QPoint(view.origin().x(), view.origin().y()), QStringLiteral("paste"));
        } else {
            cancelPaste();
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        QMetaObject::invokeMethod(this, &ClipboardCommands::refreshButtons, Qt::QueuedConnection);
        return false;
    case QEvent::MouseMove:
        if (!pasteActive)
            return false;
        movePreviewTo(view.viewCellAt(view.pointerPosition()));
        // A middle drag still pans the map under the preview.
        return !(static_cast<QMouseEvent *>(event)->buttons() & Qt::MiddleButton);
    case QEvent::Resize:
        if (preview)
            preview->setGeometry(view.mapWidget()->rect());
        return false;
    case QEvent::KeyPress: {
        if (!radio("radioSelect")->isChecked() || pasteActive)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        const QPoint step = key == Qt::Key_Left ? QPoint(-1, 0)
            : key == Qt::Key_Right              ? QPoint(1, 0)
            : key == Qt::Key_Up                 ? QPoint(0, -1)
            : key == Qt::Key_Down               ? QPoint(0, 1)
                                                : QPoint();
        if (step.isNull())
            return false;
        moveSelection(step.x(), step.y());
        return true;
    }
    default:
        return false;
    }
}

QRadioButton *ClipboardCommands::radio(const char *name) const
{
    QPointer<QRadioButton> &found = radios[QByteArray(name)];
    if (!found)
        found = view.mapWidget()->window()->findChild<QRadioButton *>(QLatin1String(name));
    return found;
}

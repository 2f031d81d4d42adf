#include "mapview/layerspanel.h"

#include "mapview/mapview.h"
#include "model/layercontroller.h"
#include "level/subtypetable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QToolButton>

namespace {
// Icons drawn here, 16 pixels square: an open or a struck-out eye, a closed
// or an open padlock.
QIcon eyeIcon()
{
    auto paintEye = [](bool open) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(open ? QColor(20, 20, 20) : QColor(150, 150, 150), 1.4));
        QPainterPath lid;
        lid.moveTo(1.5, 8);
        lid.quadTo(8, 1, 14.5, 8);
        lid.quadTo(8, 15, 1.5, 8);
        painter.drawPath(lid);
        if (open) {
            painter.setBrush(QColor(20, 20, 20));
            painter.drawEllipse(QPointF(8, 8), 2.3, 2.3);
        } else {
            painter.drawLine(QPointF(2, 14), QPointF(14, 2));
        }
        return pixmap;
    };
    QIcon icon;
    icon.addPixmap(paintEye(true), QIcon::Normal, QIcon::On);
    icon.addPixmap(paintEye(false), QIcon::Normal, QIcon::Off);
    return icon;
}

QIcon lockIcon()
{
    auto paintLock = [](bool closed) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor ink = closed ? QColor(20, 20, 20) : QColor(170, 170, 170);
        painter.setPen(QPen(ink, 1.6));
        painter.setBrush(Qt::NoBrush);
        // The shackle; an open lock lifts it off one side.
        painter.drawArc(QRectF(4.5, closed ? 1.5 : 0, 7, 8), 0, 180 * 16);
        painter.drawLine(QPointF(4.5, closed ? 5.5 : 4), QPointF(4.5, 7.5));
        if (closed)
            painter.drawLine(QPointF(11.5, 5.5), QPointF(11.5, 7.5));
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawRoundedRect(QRectF(3, 7.5, 10, 7.5), 1.5, 1.5);
        return pixmap;
    };
    QIcon icon;
    icon.addPixmap(paintLock(true), QIcon::Normal, QIcon::On);
    icon.addPixmap(paintLock(false), QIcon::Normal, QIcon::Off);
    return icon;
}

QString layerName(const std::string &layer)
{
    return QString::fromStdString(layer);
}
} // namespace

LayersPanel::LayersPanel(MapView *view, QWidget *parent)
    : QGroupBox(QStringLiteral("Layers"), parent), view(view), layers(view->layers())
{
    setObjectName(QStringLiteral("layersPanel"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);
    const QIcon eye = eyeIcon();
    const QIcon lock = lockIcon();
    int rowNumber = 0;
    for (const std::string &layer : Kinds::comboOrder()) {
        Row row;
        row.eye = new QToolButton(this);
        row.eye->setObjectName(QStringLiteral("layerEye") + layerName(layer));
        row.eye->setIcon(eye);
        row.eye->setCheckable(true);
        row.eye->setAutoRaise(true);
        row.eye->setToolTip(QStringLiteral("Show or hide the %1 layer (Ctrl+H)").arg(layerName(layer)));
        connect(row.eye, &QToolButton::clicked, this, [this, layer](bool shown) { setHidden(layer, !shown); });

        row.lock = new QToolButton(this);
        row.lock->setObjectName(QStringLiteral("layerLock") + layerName(layer));
        row.lock->setIcon(lock);
        row.lock->setCheckable(true);
        row.lock->setAutoRaise(true);
        row.lock->setToolTip(QStringLiteral("Lock or unlock the %1 layer (Ctrl+L)").arg(layerName(layer)));
        connect(row.lock, &QToolButton::clicked, this, [this, layer](bool locked) { setLocked(layer, locked); });

        row.name = new QToolButton(this);
        row.name->setObjectName(QStringLiteral("layerName") + layerName(layer));
        row.name->setText(layerName(layer));
        row.name->setCheckable(true);
        row.name->setAutoRaise(true);
        row.name->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        row.name->setToolButtonStyle(Qt::ToolButtonTextOnly);
        // As wide as when its layer is chosen (marked, in bold), so that
        // choosing a layer changes neither the panel's width nor the map's.
        const QFont plain = row.name->font();
        QFont bold = plain;
        bold.setBold(true);
        row.name->setFont(bold);
        row.name->setText(QStringLiteral("\u25B6 ") + layerName(layer));
        row.name->setMinimumWidth(row.name->sizeHint().width());
        row.name->setFont(plain);
        row.name->setText(layerName(layer));
        connect(row.name, &QToolButton::clicked, this, [this, layer] {
            layers->chooseLayer(layer);
            showStates();
        });

        // Two columns of four, read down then across, so that the panel leaves
        // the gallery its room in the window's height.
        const int line = rowNumber % 4;
        const int column = rowNumber / 4 * 3;
        grid->addWidget(row.eye, line, column);
        grid->addWidget(row.lock, line, column + 1);
        grid->addWidget(row.name, line, column + 2);
        rows[layer] = row;
        ++rowNumber;
    }

    const std::pair<QKeySequence, void (LayersPanel::*)()> keys[]
        = {{QKeySequence(Qt::CTRL + Qt::Key_H), &LayersPanel::ToggleChosenLayerHiddenEvent},
           {QKeySequence(Qt::CTRL + Qt::Key_L), &LayersPanel::ToggleChosenLayerLockedEvent},
           {QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_H), &LayersPanel::ShowChosenLayerOnlyEvent}};
    for (const auto &[sequence, slot] : keys) {
        auto *shortcut = new QShortcut(sequence, parent->window());
        shortcut->setObjectName(QStringLiteral("shortcut") + sequence.toString());
        connect(shortcut, &QShortcut::activated, this, slot);
    }

    if (auto *box = parent->window()->findChild<QComboBox *>(QStringLiteral("comboBoxMapLayer")))
        connect(box, &QComboBox::currentTextChanged, this, &LayersPanel::showStates);
    connect(layers, &LayerController::layerStatesChanged, this, &LayersPanel::showStates);
    showStates();
}

std::string LayersPanel::chosenLayer() const
{
    return layers->comboLayer();
}

void LayersPanel::ToggleChosenLayerHiddenEvent()
{
    const std::string layer = chosenLayer();
    setHidden(layer, !layers->layerStates().isHidden(layer));
}

void LayersPanel::ToggleChosenLayerLockedEvent()
{
    const std::string layer = chosenLayer();
    setLocked(layer, !layers->layerStates().isLocked(layer));
}

void LayersPanel::ShowChosenLayerOnlyEvent()
{
    const std::string chosen = chosenLayer();
    bool alone = !layers->layerStates().isHidden(chosen);
    for (const std::string &layer : Kinds::comboOrder())
        if (layer != chosen && !layers->layerStates().isHidden(layer))
            alone = false;
    for (const std::string &layer : Kinds::comboOrder())
        layers->setLayerHidden(layer, alone ? false : layer != chosen);
    view->showLastingStatus(alone ? QStringLiteral("All layers shown")
                           : QStringLiteral("Only the %1 layer shown (Ctrl+Shift+H shows all)").arg(layerName(chosen)));
}

void LayersPanel::setHidden(const std::string &layer, bool hidden)
{
    // A stroke or a rubber band under way ends before its layer vanishes.
    view->finishGestures();
    layers->setLayerHidden(layer, hidden);
    view->showLastingStatus(hidden ? QStringLiteral("The %1 layer is hidden (Ctrl+H shows it)").arg(layerName(layer))
                            : QStringLiteral("The %1 layer is shown").arg(layerName(layer)));
    showStates();
}

void LayersPanel::setLocked(const std::string &layer, bool locked)
{
    view->finishGestures();
    layers->setLayerLocked(layer, locked);
    view->showLastingStatus(locked ? QStringLiteral("The %1 layer is locked (Ctrl+L unlocks it)").arg(layerName(layer))
                            : QStringLiteral("The %1 layer is unlocked").arg(layerName(layer)));
    showStates();
}

void LayersPanel::showStates()
{
    const std::string chosen = chosenLayer();
    for (auto &[layer, row] : rows) {
        row.eye->setChecked(!layers->layerStates().isHidden(layer));
        row.lock->setChecked(layers->layerStates().isLocked(layer));
        const bool current = layer == chosen;
        row.name->setChecked(current);
        QFont font = row.name->font();
        font.setBold(current);
        row.name->setFont(font);
        row.name->setText(current ? QStringLiteral("\u25B6 ") + layerName(layer) : layerName(layer));
    }
}

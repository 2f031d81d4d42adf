#pragma once

#include "level/layerstates.h"

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class LayerPane;
class QComboBox;
class QPoint;
class QWidget;
class Sector;

using SectorRegistry = std::unordered_map<std::string, std::vector<Sector *>>;

// Holds every placed object, grouped by layer, and decides how the layers are
// shown while one of them is current. The registry is the one place where
// objects are destroyed; every change to a layer's list goes through this
// class, which keeps the layer's position index in step with it. The others
// read the lists, the current layer and the selection through its functions.
class LayerController : public QObject
{
    Q_OBJECT

public:
    explicit LayerController(QWidget *controlsWidget);
    // Destroys every object still registered (and those waiting for deferred
    // deletion), so that closing the editor releases the whole map.
    ~LayerController() override;

    // Every placed object by layer.
    const SectorRegistry &registry() const { return sectorsByLayer; }
    // The objects of one layer in placement order. A name the registry does
    // not hold yet joins it with an empty list, which a save writes as an
    // empty section.
    const std::vector<Sector *> &layerList(const std::string &layer) { return sectorsByLayer[layer]; }
    // The layer the tools edit now; Shift or Ctrl may make it differ from the
    // layer the combo box shows.
    const std::string &currentLayer() const { return current; }
    const std::vector<Sector *> &currentSectors() const;
    // The layer the combo box shows.
    std::string comboLayer() const;
    // Chooses `layer` in the combo box, as the user would; the box tells the
    // map view. A name the box does not list changes nothing.
    void chooseLayer(const std::string &layer);
    // The selected objects, and the layer the selection was made on (a
    // temporary layer may have been current then).
    const std::vector<Sector *> &selection() const { return selectedSectors; }
    const std::string &selectionLayer() const { return selectedOn; }

    void switchToLayer(const std::string &layer);
    void adoptComboLayer();
    void replaceAllLayers(SectorRegistry registry);

    void addSector(Sector *sector);
    bool hasSectorAt(int x, int y) const;
    Sector *sectorAt(int x, int y) const;
    // The object of `layer` at map position (x, y), current layer or not.
    Sector *sectorOn(const std::string &layer, int x, int y) const;
    void removeSectorAt(int x, int y);
    void selectRect(int minX, int minY, int maxX, int maxY);
    // Unselects everything; each object gets back the look its layer has now.
    void clearSelection();

    // How the objects of a whole layer look while the current layer is
    // current: shown or hidden, and tinted how. The display pass applies it.
    struct LayerLook
    {
        enum class Tint : uint8_t { None, Background, LightLevel };
        bool shown = true;
        Tint tint = Tint::None;
        bool operator==(const LayerLook &other) const { return shown == other.shown && tint == other.tint; }
    };
    LayerLook lookOf(const std::string &layer) const;

    // Brings every layer to its look, touching only the layers whose look
    // changed (or whose objects may differ from it), then tints the selection.
    void refreshDisplay();
    void tintLightSector(Sector *sector);
    // Every light cell gets its light tint again; selected objects stay green.
    void tintLightmaps();
    // Tints those of these objects that lie on the light layer by their light level.
    void tintLightCells(const std::vector<Sector *> &cells);
    void deleteSectors(std::vector<Sector *> &sectors);
    // Destroys every registered object in one sweep; the layers stay, empty.
    void deleteAllSectors();

    // Edits on any layer, current or not, for the map's edit operations.
    // Puts an object into a layer's list at `index` (at the end when past it).
    void insertSector(const std::string &layer, size_t index, Sector *sector);
    // Takes objects out of a layer and the selection; they die when control
    // returns to the event loop.
    void removeSectors(const std::string &layer, const std::vector<Sector *> &sectors);
    // Shows and tints one object as the current layer's display rules say.
    void applyDisplayRules(Sector *sector, const std::string &layer);
    // While many objects of `layers` are made (an undo, a redo), their panes
    // stay hidden, so that each object is shown without a repaint of its
    // own; the release shows again the panes of the layers on show.
    void holdPanes(const std::vector<std::string> &layers);
    void releasePanes();
    // The designer's eye and lock of each layer. A hidden layer draws nothing
    // and takes no clicks; its objects stay in the level. Hiding or locking
    // the layer of the selection clears the selection.
    const LayerStates &layerStates() const { return states; }
    void setLayerHidden(const std::string &layer, bool hidden);
    void setLayerLocked(const std::string &layer, bool locked);
    // Whether the objects of `layer` are on show now: the eye is open and the
    // display rules of the current layer do not hide them.
    bool isLayerShown(const std::string &layer) const;

    // Asks before a Clear; true when the user agreed.
    bool confirmClear();
    // Destroys every object of the current layer at once.
    void clearCurrentLayer();
    // Gives objects of `layer` the map cells (dx, dy) further on and keeps the
    // layer's position index in step; the caller checked that the cells are
    // free (or vacated by this move) and places the buttons.
    void moveSectors(const std::string &layer, const std::vector<Sector *> &sectors, int dx, int dy);
    // Lays out moved objects of `layer` for the view: each gets a button on
    // its new cell, or gives its button up where its pane has none.
    void placeInView(const std::string &layer, const std::vector<Sector *> &sectors, int cellSize);
    // Adds objects of `layer` to the selection, tinted green.
    void selectSectors(const std::string &layer, const std::vector<Sector *> &sectors);

signals:
    // An eye or a lock changed.
    void layerStatesChanged();

public slots:
    void MapClearButton();
    void MapLayerChanged();

private:
    // The combo box's layer when none is current yet; makes sure the current
    // layer has a list in the registry.
    void ensureCurrentLayer();
    // Gives one object its layer's look; its pane shows or hides it with the layer.
    void applyLook(Sector *sector, const LayerLook &look);
    void applyTint(Sector *sector, const LayerLook &look);
    // Gives the objects of these blocks of a pane buttons, as they come in sight.
    void giveButtonsIn(LayerPane &pane, const std::vector<QPoint> &blocks);
    // Gives these objects of `pane`'s layer buttons, looking as the layer's
    // objects look now.
    void giveButtons(LayerPane &pane, const std::vector<Sector *> &sectors);
    // The layer's objects may no longer all look as its last applied look.
    void forgetLook(const std::string &layer);
    // The tint the display rules give an object of `layer` while nothing selects it.
    void applyDisplayTint(Sector *sector, const std::string &layer);
    void tintSelection();
    void tintSector(Sector *sector, int red, int green, int blue);

    // Map position -> the object there, for each layer, changed together
    // with the layer's list, so that the pencil and the fill test a cell
    // (of the current layer, or the walls and doors that bound a fill)
    // without scanning a layer.
    using PositionIndex = std::unordered_map<uint64_t, Sector *>;
    std::unordered_map<std::string, PositionIndex> layerIndexes;
    LayerStates states;
    // The look each layer was last given as a whole; a layer without an entry
    // is brought to its look object by object at the next display pass.
    std::unordered_map<std::string, LayerLook> appliedLooks;
    // Layers that took objects while they were not on show: some of their
    // objects may wait to be shown on their own when the layer comes on show.
    std::unordered_set<std::string> waitingLayers;
    // Objects removed with deferred deletion that may not have died yet.
    std::vector<QPointer<Sector>> pendingDeletion;
    SectorRegistry sectorsByLayer;
    std::vector<Sector *> selectedSectors;
    std::string selectedOn;
    std::string current;
    QWidget *controlsWidget = nullptr;
    // The map whose layer panes show the objects; null in a window without one.
    QWidget *map = nullptr;
    // Layers whose panes holdPanes hid.
    std::vector<std::string> heldPanes;
    QComboBox *comboBoxMapLayer = nullptr;
};

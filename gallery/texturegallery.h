#pragma once

#include "model/layercontroller.h"
#include "model/sector.h"

#include <QObject>
#include <string>
#include <unordered_map>
#include <vector>

class QListWidget;
class QWidget;

// Fills the main window's texture list with the images offered on the current
// layer, keeps the current texture that new objects receive, and hands out the
// running texture numbers (one per listed image, one per light cell).
class TextureGallery : public QObject
{
    Q_OBJECT

public:
    TextureGallery(QWidget *mainWindow, SectorRegistry layers, TextureNumbers &numbers);

    void setLayer(std::string layer);
    // Lists the folders again, so images added since start-up are offered too.
    void reload();
    int nextLightmapId();
    const TextureNumbers &textureNumbers() const { return numbers; }

    SectorRegistry galleryLayers;
    std::unordered_map<std::string, std::vector<TextureRef>> texturesByLayer;
    std::vector<TextureRef> shownTextures;
    TextureRef currentTexture;
    QListWidget *listWidget = nullptr;
    QWidget *mainWindow = nullptr;

public slots:
    void TextureSelectedEvent();

private:
    void buildTextureLists();
    std::vector<TextureRef> scanTextureFolder(const std::string &folder);
    void showTextures(std::vector<TextureRef> textures);
    TextureRef findTexture(const std::string &name) const;

    TextureNumbers &numbers;
};

#include "gallery/texturegallery.h"

#include "level/subtypetable.h"
#include "model/missingimagemark.h"
#include "model/textureicons.h"
#include "model/tintcache.h"

#include <QDir>
#include <QListWidget>
#include <algorithm>

TextureGallery::TextureGallery(QWidget *mainWindow, SectorRegistry layers, TextureNumbers &numbers)
    : galleryLayers(std::move(layers)), mainWindow(mainWindow), numbers(numbers)
{
    listWidget = mainWindow->findChild<QListWidget *>(QStringLiteral("listViewTextures"));
    listWidget->setViewMode(QListView::IconMode);
    listWidget->setIconSize(QSize(60, 60));

    buildTextureLists();
    showTextures(texturesByLayer[Kinds::Ceil]);
    if (!shownTextures.empty())
        currentTexture = findTexture(shownTextures.front().textureName);

    connect(listWidget, &QListWidget::itemSelectionChanged, this, &TextureGallery::TextureSelectedEvent);
}

void TextureGallery::setLayer(std::string layer)
{
    showTextures(texturesByLayer[layer]);
    if (listWidget->count() > 0)
        listWidget->setCurrentRow(0);
    TextureSelectedEvent();
}

void TextureGallery::reload()
{
    listWidget->clear();
    // Images may have been replaced on disk; read them again.
    TextureIcons::clear();
    TintCache::clear();
    // The counter holds the number a light cell or a loaded object took last;
    // listing starts after it, so no texture shares a number with an object.
    numbers.next();
    buildTextureLists();
    showTextures(texturesByLayer[Kinds::Ceil]);
    if (!shownTextures.empty())
        currentTexture = findTexture(shownTextures.front().textureName);
}

int TextureGallery::nextLightmapId()
{
    return numbers.next();
}

void TextureGallery::TextureSelectedEvent()
{
    const QList<QListWidgetItem *> selected = listWidget->selectedItems();
    if (selected.isEmpty())
        return;
    currentTexture = findTexture(selected.front()->text().toStdString());
}

void TextureGallery::buildTextureLists()
{
    for (const std::string &layer : Kinds::galleryOrder()) {
        if (!galleryLayers.count(layer))
            continue;
        if (layer == Kinds::Lightmap)
            texturesByLayer[layer] = {lampTexture(numbers.take())};
        else
            texturesByLayer[layer] = scanTextureFolder("textures/" + layer);
    }
}

std::vector<TextureRef> TextureGallery::scanTextureFolder(const std::string &folder)
{
    // Sorted by name, so that the numbers are the same on every machine.
    const QDir dir(QString::fromStdString(folder));
    const QStringList names = dir.entryList({"*.jpg", "*.JPG", "*.png", "*.PNG"}, QDir::Files, QDir::Name);
    std::vector<TextureRef> textures;
    textures.reserve(names.size());
    for (const QString &name : names)
        textures.push_back(TextureRef {name.toStdString(), folder + "/", numbers.take(), nullptr});
    return textures;
}

void TextureGallery::showTextures(std::vector<TextureRef> textures)
{
    shownTextures = std::move(textures);
    listWidget->clear();
    // Names are shown whole: the column is as wide as the longest name (up
    // to twice a picture's width), longer ones wrap under the picture, and the
    // tool tip holds the name too.
    listWidget->setTextElideMode(Qt::ElideNone);
    listWidget->setWordWrap(true);
    int widest = 0;
    for (const TextureRef &texture : shownTextures)
        widest = std::max(widest,
                          listWidget->fontMetrics().horizontalAdvance(QString::fromStdString(texture.textureName)));
    listWidget->setGridSize(QSize(std::clamp(widest + 12, 64, 128), 100));
    for (const TextureRef &texture : shownTextures) {
        const QIcon icon = TextureIcons::icon(texture.imagePath());
        const QString name = QString::fromStdString(texture.textureName);
        auto *item = new QListWidgetItem(icon.isNull() ? QIcon(MissingImageMark::picture(60)) : icon, name);
        const QString problem = TextureIcons::toolTip(texture.imagePath());
        item->setToolTip(problem.isEmpty() ? name : name + QStringLiteral("\n") + problem);
        listWidget->insertItem(listWidget->count(), item);
    }
}

TextureRef TextureGallery::findTexture(const std::string &name) const
{
    for (const TextureRef &texture : shownTextures)
        if (texture.textureName == name)
            return texture;
    return TextureRef {};
}

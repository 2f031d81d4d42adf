#include "model/textureicons.h"

#include <QHash>
#include <QPixmap>

namespace {
QHash<QString, QIcon> &cache()
{
    static QHash<QString, QIcon> icons;
    return icons;
}
} // namespace

QIcon TextureIcons::icon(const std::string &imagePath)
{
    const QString path = QString::fromStdString(imagePath);
    auto found = cache().constFind(path);
    if (found != cache().constEnd())
        return *found;
    // A path that names no readable image gives an empty icon, as QIcon(path) would.
    QPixmap pixmap(path);
    QIcon icon = pixmap.isNull() ? QIcon() : QIcon(pixmap);
    cache().insert(path, icon);
    return icon;
}

void TextureIcons::clear()
{
    cache().clear();
}

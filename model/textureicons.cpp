#include "model/textureicons.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPixmap>

namespace {
struct Entry
{
    QIcon icon;
    QString problem;
};

QHash<QString, Entry> &cache()
{
    static QHash<QString, Entry> icons;
    return icons;
}

Entry readIcon(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return {};
    // A FIFO or a device would block the editor or never end.
    if (!info.isFile())
        return {QIcon(), QStringLiteral("is not a regular file")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return {QIcon(), QStringLiteral("cannot be read: %1").arg(file.errorString())};

    // The header tells the size; a picture too large is refused before a
    // single pixel is decoded.
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!size.isValid())
        return {QIcon(), QStringLiteral("is not an image")};
    if (size.width() > TextureIcons::largestImage || size.height() > TextureIcons::largestImage)
        return {QIcon(),
                QStringLiteral("is larger than %1 x %1 pixels (%2 x %3)")
                    .arg(TextureIcons::largestImage)
                    .arg(size.width())
                    .arg(size.height())};
    if (size.width() > TextureIcons::iconSize || size.height() > TextureIcons::iconSize)
        reader.setScaledSize(size.scaled(TextureIcons::iconSize, TextureIcons::iconSize, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return {QIcon(), QStringLiteral("is not a readable image: %1").arg(reader.errorString())};
    return {QIcon(QPixmap::fromImage(image)), QString()};
}

// The last path asked for and its entry: an undo or a load asks for the
// same picture for object after object, and the text conversion and hash of
// the path would cost more than all else the lookup does.
struct LastAsked
{
    std::string path;
    const Entry *entry = nullptr;
};

LastAsked &lastAsked()
{
    static LastAsked last;
    return last;
}

const Entry &entryFor(const std::string &imagePath)
{
    LastAsked &last = lastAsked();
    if (last.entry && last.path == imagePath)
        return *last.entry;
    const QString path = QString::fromStdString(imagePath);
    auto found = cache().constFind(path);
    if (found == cache().constEnd())
        found = cache().insert(path, readIcon(path));
    last.path = imagePath;
    last.entry = &*found;
    return *found;
}
} // namespace

QIcon TextureIcons::icon(const std::string &imagePath)
{
    return entryFor(imagePath).icon;
}

QString TextureIcons::problem(const std::string &imagePath)
{
    return entryFor(imagePath).problem;
}

QString TextureIcons::toolTip(const std::string &imagePath, const std::string *keptReference)
{
    if (imagePath.empty() && keptReference && !keptReference->empty())
        return QStringLiteral("Missing image: %1 could not be taken (F7 lists why)")
            .arg(QString::fromStdString(*keptReference));
    if (imagePath.empty())
        return QStringLiteral("Missing image: this object names none");
    const Entry &entry = entryFor(imagePath);
    if (!entry.icon.isNull())
        return QString();
    const QString path = QString::fromStdString(imagePath);
    return entry.problem.isEmpty() ? QStringLiteral("Missing image: %1 does not exist").arg(path)
                                   : QStringLiteral("Missing image: %1 %2").arg(path, entry.problem);
}

void TextureIcons::clear()
{
    lastAsked() = LastAsked();
    cache().clear();
}

#pragma once

#include "level/levellimits.h"

#include <QIcon>
#include <QString>
#include <string>

// Icons of texture images, shared by every button that shows the same image,
// so that a level with thousands of objects decodes each image once. Only the
// icon is kept, at most the size of the largest cell: a picture of 2,048 x
// 2,048 pixels costs what one of 64 x 64 does. Images larger than
// largestImage in either direction, and files that are not regular files, are
// not read at all.
namespace TextureIcons {
constexpr int iconSize = 64;
constexpr int largestImage = LevelLimits::largestImage;

// Empty when the path names no readable image.
QIcon icon(const std::string &imagePath);
// Why an existing file gives no icon ("is not an image", "is larger than ...");
// empty when it gives one, and for a path that names nothing.
QString problem(const std::string &imagePath);
// The tool tip of an object that wants this image: empty when the image gives
// an icon, otherwise which image is missing and why. An object whose file
// names an image the editor did not take has no path; `keptReference` then
// names it as the file does.
QString toolTip(const std::string &imagePath, const std::string *keptReference = nullptr);
// Forgets every cached icon; the next request reads the image file again.
void clear();
} // namespace TextureIcons

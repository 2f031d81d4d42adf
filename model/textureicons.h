#pragma once

#include <QIcon>
#include <string>

// Icons of texture images, shared by every button that shows the same image,
// so that a level with thousands of objects decodes each image once.
namespace TextureIcons {
QIcon icon(const std::string &imagePath);
// Forgets every cached icon; the next request reads the image file again.
void clear();
} // namespace TextureIcons

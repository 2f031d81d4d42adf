#pragma once

#include "model/layercontroller.h"
#include "model/placementcontext.h"

#include <QString>

// The text of a recovery copy: the ".map" text of the level, but with every
// texture named by the absolute path of its image and no image copied, so
// that the copy can live anywhere and be read back from any working folder.
namespace RecoveryFile {
// Writes the copy through a temporary file that replaces the old copy only
// when complete; false with `error` when it could not be written.
bool write(const QString &fileName, const SectorRegistry &layers, QString &error);
// Reads a copy into new objects made as a load makes them; false with `error`
// (and `registry` empty) when the copy cannot be read.
bool read(const QString &fileName, SectorRegistry &registry, const PlacementContext &context, QString &error);
} // namespace RecoveryFile

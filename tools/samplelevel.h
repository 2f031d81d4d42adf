#pragma once

#include <QString>

// Writes the sample level levels/sample.map under `root`, with its texture
// folder levels/sample/ holding copies of the images makeassets painted under
// root/textures/ (which must be written first). Returns false, with a message
// on stderr, when a file cannot be written.
bool writeSampleLevel(const QString &root);

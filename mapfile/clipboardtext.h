#pragma once

#include "mapfile/mapreader.h"
#include "mapfile/mapwriter.h"

#include <string>
#include <string_view>
#include <vector>

// The text of copied objects on the clipboard: a small ".map" level, written
// and read by the level's own writer and reader, with the cells counted from
// the copied objects' top-left cell and texture references that are the
// images' absolute paths, so that another level, another GorseED window or a
// text editor can take it.
namespace ClipboardText {
// The clipboard format of the editor's own; its bytes are this text too.
extern const char *const mimeType;
// "column,row": the cell the copied objects' top-left object came from.
extern const char *const originMimeType;

// The objects' cells must already be counted from their top-left cell.
std::string write(const std::vector<MapWriter::Layer> &layers);
// What a clipboard text places; `error` says why a text larger than any
// level is refused (the reader's own limits apply to the rest).
MapReader::Contents read(std::string_view text);
} // namespace ClipboardText

#pragma once
// Pictures of a display list: replayed onto a QPainter through the Qt drawing
// context, or written as an image file.

#include <QPainter>
#include <string>

#include "platform/display_list.h"

namespace quarn {

// Draws every operation of the list on the painter, through a QtDrawContext.
void ReplayDisplayList(const DisplayList& list, QPainter& painter);

// Writes the list as .png, .svg or .pdf, chosen by the path's extension; false with
// a reason when it cannot.
bool ExportDisplayList(const DisplayList& list, const std::string& path, std::string& error);

}  // namespace quarn

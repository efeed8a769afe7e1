#pragma once
// VOR radials: defined by a right click near a VOR on the track chart or the
// approach bottom view, kept in g_radials, drawn as a map layer.

#include "charts/map_projection.h"
#include "navaid/halbrico_doc.h"
#include "platform/draw_context.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

// A right click at a client point: the radial dialog for the nearest VOR within a
// quarter degree. True when the current map chart is to be drawn again.
bool DefineRadialAt(int x, int y, Window& window, Ui& ui, CHalbricoDoc& doc);
void EraseRadials();

// The text of the radial field as a number: leading blanks and a sign allowed,
// reading stops at the first non-digit, 0 when there is no number. Numbers beyond
// the int range are held at its ends.
int LeadingInteger(std::string_view text);

// The radial layer, when it is on: each radial inside the map as a line from its VOR,
// 100 pixels per zoom level (up to level 15), with its degree label when asked for.
void DrawRadials(DrawContext& dc, const MapProjection& map, bool withLabels);

}  // namespace quarn

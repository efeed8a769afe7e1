#pragma once
// VOR radials: defined by a right click near a VOR on the track chart or the
// approach bottom view, kept in the map state, drawn as a map layer.

#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"
#include "charts/map_projection.h"
#include "charts/map_state.h"
#include "navaid/halbrico_doc.h"
#include "platform/draw_context.h"

namespace quarn {

inline constexpr const char* kRadialNeedsNavaids =
    "If you like to define a Vor`s Radial, Please Load Navaids First\n";

// The VOR a right click at a map position is for: the nearest of the VOR index list
// within a quarter degree, or none.
std::optional<std::int32_t> VorNearClick(const CHalbricoDoc& doc, const MapPosition& pos);

// Why no radial can be added now (the list is full), or nothing.
std::optional<std::string> RadialListProblem(const MapState& map);

// The radial a text of the radial dialog names: 1 to 360, else the message that
// asks again.
Result<int> ParseRadialText(const std::string& text);

// Adds the radial at the VOR and turns the radial layer on. The list must have room.
void AddRadial(MapState& map, const NavaidRecord& vor, int radialDeg);

void EraseRadials(MapState& map);

// The text of the radial field as a number: leading blanks and a sign allowed,
// reading stops at the first non-digit, 0 when there is no number. Numbers beyond
// the int range are held at its ends.
int LeadingInteger(std::string_view text);

// The radial layer, when it is on: each radial inside the map as a line from its VOR,
// 100 pixels per zoom level (up to level 15), with its degree label when asked for.
void DrawRadials(DrawContext& dc, const MapProjection& projection, const MapState& map,
                 int zoomLevel, bool withLabels);

}  // namespace quarn

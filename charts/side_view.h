#pragma once
// The approach side view (chart mode 10): the end of the flight as a vertical
// profile against the distance from the runway, with the ILS glide-slope sector.

#include "charts/chart_input.h"
#include "platform/window.h"

namespace quarn {

inline constexpr const char* kNoRunwayAtTouchdown =
    "Sorry, Quarn does not find any runway near to the touch, or you are not load the navaids";

// Refused, with kNoRunwayAtTouchdown, when no runway lies within 2 miles of the
// touchdown.
ChartOutcome DrawSideView(Window& window, const ChartInput& in);

// The runway's length in pixels for a runway of L nautical miles: the runway and
// seven miles of approach fill the width less 25 pixels.
int SideViewRunwayPixels(double lengthNm, int clientWidth);

}  // namespace quarn

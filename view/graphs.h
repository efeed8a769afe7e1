#pragma once
// The time-series graphs (chart modes 1 to 6) and the combined graph (mode 9).

#include "base/flight.h"
#include "base/view_state.h"
#include "charts/compared_flight.h"
#include "platform/window.h"

namespace quarn {

// The graph of one of the modes 1 to 6; any other mode draws nothing. A compared
// flight is drawn beside the flight on the same scales, in its own colour.
void DrawGraph(Window& window, const Flight& flight, const ViewState& view, int mode,
               const ComparedTrace& compared = {});
void DrawCombinedGraph(Window& window, const Flight& flight, const ViewState& view,
                       const ComparedTrace& compared = {});

}  // namespace quarn

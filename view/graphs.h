#pragma once
// The time-series graphs (chart modes 1 to 6) and the combined graph (mode 9).

#include "base/flight.h"
#include "base/view_state.h"
#include "platform/window.h"

namespace quarn {

// The graph of one of the modes 1 to 6; any other mode draws nothing.
void DrawGraph(Window& window, const Flight& flight, const ViewState& view, int mode);
void DrawCombinedGraph(Window& window, const Flight& flight, const ViewState& view);

}  // namespace quarn

#pragma once
// The cursor's time and the two green status lines at the top of the graphs and the
// track charts.

#include "base/flight.h"
#include "base/view_state.h"
#include "platform/draw_context.h"

namespace quarn {

// The time under the graph cursor for a client of this width.
double CursorTime(const ViewState& view, int width);
// The sample whose time the status lines show for a cursor time.
int StatusSample(const Flight& flight, const ViewState& view, double cursorTime);
// The sample's values, "n/a" for the channels the flight did not record.
void DrawStatusLines(const FlightSample& sample, const ChannelSet& channels, DrawContext& dc,
                     int width);

}  // namespace quarn

#pragma once
// The cursor's time and the two green status lines at the top of the graphs and the
// track charts.

#include <string>
#include <string_view>

#include "base/flight.h"
#include "base/view_state.h"
#include "charts/compared_flight.h"
#include "platform/draw_context.h"

namespace quarn {

// The time under the graph cursor for a client of this width.
double CursorTime(const ViewState& view, int width);
// The sample whose time the status lines show for a cursor time.
int StatusSample(const Flight& flight, const ViewState& view, double cursorTime);
// The sample's values, "n/a" for the channels the flight did not record; the
// compared flight's text, when there is one, follows the first line.
void DrawStatusLines(const FlightSample& sample, const ChannelSet& channels, DrawContext& dc,
                     int width, std::string_view comparedText = {});

// One quantity of a sample as the status line writes it (printf, one double).
struct StatusQuantity {
  const char* format;
  double FlightSample::*field;
  Channel channel;
};
inline constexpr StatusQuantity kStatusAltitude{"Altitude=%7.0lf", &FlightSample::altitudeFt,
                                                Channel::Altitude};

// What the status line adds for the compared flight at a time of the current
// flight's axis: "  B: Time=10:4:12 Altitude=   1200" (its own time of day), "n/a"
// for a channel it did not record, "  B: -" where it has no sample; empty when
// nothing is compared.
std::string ComparedStatusText(const ComparedTrace& compared, double timeHours,
                               const StatusQuantity& quantity);

}  // namespace quarn

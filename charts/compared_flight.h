#pragma once
// The flight compared with the current one, as the charts draw it: in one colour of
// its own, its times shifted to lie on the current flight's.

#include <optional>

#include "base/flight.h"
#include "charts/chart_input.h"
#include "platform/draw_context.h"

namespace quarn {

// Magenta stands out on the charts' black ground and is none of their own colours.
inline constexpr Color kComparedColor{255, 0, 255};

struct ComparedTrace {
  const Flight* flight = nullptr;  // none: nothing is compared
  double offsetHours = 0;          // added to the compared flight's times
};

// The document's compared flight laid on the flight the chart draws.
ComparedTrace ComparedTraceOf(const ChartInput& in);

// The compared flight's sample at a time of the current flight's axis: the first at
// or after it, nothing outside the compared flight's time.
std::optional<int> ComparedSampleAt(const ComparedTrace& compared, double timeHours);

}  // namespace quarn

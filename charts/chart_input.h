#pragma once
// What a chart is drawn from: the flight, the navaid tables and the view's state.
// The map charts also write into the state: the map extents, the approach's track
// window, the side view's label flag.

#include <string>
#include <utility>

#include "base/flight.h"
#include "base/view_state.h"
#include "charts/map_state.h"
#include "navaid/halbrico_doc.h"

namespace quarn {

struct ChartInput {
  const Flight& flight;
  const CHalbricoDoc& navaids;
  ViewState& view;
  MapState& map;
};

// Whether a chart was drawn; a chart that refuses says why, and leaves the window and
// the chart mode as they were.
struct ChartOutcome {
  bool drawn = true;
  std::string refusal;
  static ChartOutcome Drawn() { return {}; }
  static ChartOutcome Refused(std::string why) { return {false, std::move(why)}; }
};

}  // namespace quarn

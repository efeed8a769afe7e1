#pragma once
// The track chart (chart mode 7): the flight's ground track as a square map with
// the navaid layers, and the commands that switch the layers.

#include "charts/chart_input.h"
#include "platform/window.h"

namespace quarn {

void DrawTrackChart(Window& window, const ChartInput& in);

// A layer command of the "Show Navaids" submenu: changes its flags and tells whether
// the current chart shows them and is to be drawn again.
bool ApplyLayerCommand(MapState& map, int chartMode, int id);

}  // namespace quarn

#pragma once
// The approach debrief chart (chart mode 13): the localizer and glide-slope needles
// in dots over the last ten miles, the gates with every criterion, the landing rate
// and the touchdown point.

#include "charts/chart_input.h"
#include "platform/window.h"

namespace quarn {

void DrawApproachDebrief(Window& window, const ChartInput& in);

}  // namespace quarn

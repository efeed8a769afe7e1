#pragma once
// The approach bottom view (chart mode 11): the track map focused on the landing,
// with the localizer of the ILS serving the runway.

#include "charts/chart_input.h"
#include "platform/window.h"

namespace quarn {

// The earliest sample, at most 360 before touchdown, from which the aircraft stayed
// within 7 nautical miles of the touchdown point.
int ApproachStart(const Flight& flight, int touchdown);

// Moves the track window onto the approach: it starts no earlier than the approach
// start (a first index of 0 counts as unset) and ends no earlier than 100 samples
// after touchdown, within the flight's last sample.
void FitTrackWindowToApproach(ViewState& view, int lastSampleIndex, int approachStart,
                              int touchdown);

void DrawBottomView(Window& window, const ChartInput& in);

}  // namespace quarn

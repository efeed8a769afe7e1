#pragma once
// The approach bottom view (chart mode 11): the track map focused on the landing,
// with the localizer of the ILS serving the runway.

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

// The earliest sample, at most 360 before touchdown, from which the aircraft stayed
// within 7 nautical miles of the touchdown point.
int ApproachStart(int touchdown);

// Moves the track window onto the approach: it starts no earlier than the approach
// start (a first index of 0 counts as unset) and ends no earlier than 100 samples
// after touchdown, within the record.
void FitTrackWindowToApproach(int approachStart, int touchdown);

void DrawBottomView(Window& window, Ui& ui, CHalbricoDoc& doc);

}  // namespace quarn

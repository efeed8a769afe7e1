#pragma once
// The approach side view (chart mode 10): the end of the flight as a vertical
// profile against the distance from the runway, with the ILS glide-slope sector.

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

void DrawSideView(Window& window, Ui& ui, CHalbricoDoc& doc);

// The runway's length in pixels for a runway of L nautical miles: the runway and
// seven miles of approach fill the width less 25 pixels.
int SideViewRunwayPixels(double lengthNm, int clientWidth);

}  // namespace quarn

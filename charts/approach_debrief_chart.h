#pragma once
// The approach debrief chart (chart mode 13): the localizer and glide-slope needles
// in dots over the last ten miles, the gates with every criterion, the landing rate
// and the touchdown point.

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

void DrawApproachDebrief(Window& window, Ui& ui, CHalbricoDoc& doc);

}  // namespace quarn

#pragma once
// The take-off and landing summary screen (chart mode 12).

#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

void DrawTakeoffLandingSummary(Window& window, Ui& ui);

}  // namespace quarn

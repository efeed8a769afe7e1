#pragma once
// The general flight summary screen (chart mode 8).

#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

void DrawGeneralSummary(Window& window, Ui& ui);

}  // namespace quarn

#pragma once
// The time-series graphs (chart modes 1 to 6) and the combined graph (mode 9).

#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

// The graph of one of the modes 1 to 6; any other mode draws nothing.
void DrawGraph(Window& window, Ui& ui, int mode);
void DrawCombinedGraph(Window& window, Ui& ui);

}  // namespace quarn

#pragma once
// The track chart (chart mode 7): the flight's ground track as a square map with
// the navaid layers, and the commands that switch the layers.

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

void DrawTrackChart(Window& window, Ui& ui, CHalbricoDoc& doc);

// A layer command of the "Show Navaids" submenu: changes its flags and tells whether
// the current chart shows them and is to be drawn again.
bool ApplyLayerCommand(int id);

}  // namespace quarn

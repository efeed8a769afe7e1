#pragma once
// The track chart (chart mode 7) and the map layer commands.

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

void DrawTrackChart(Window& window, Ui& ui, CHalbricoDoc& doc);
// A layer command of the tool bar or the menu: its flag, then the redraw it asks for.
void ApplyLayerCommand(int id, Window& window, Ui& ui, CHalbricoDoc& doc);

}  // namespace quarn

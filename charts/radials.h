#pragma once
// VOR radials: defined by a right click near a VOR, drawn as a map layer.

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

// A right click at a client point: the radial dialog for the nearest VOR.
void DefineRadialAt(int x, int y, Window& window, Ui& ui, CHalbricoDoc& doc);
void EraseRadials();

}  // namespace quarn

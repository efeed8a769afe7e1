#pragma once
// The approach side view (chart mode 10).

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

void DrawSideView(Window& window, Ui& ui, CHalbricoDoc& doc);

}  // namespace quarn

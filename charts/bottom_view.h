#pragma once
// The approach bottom view (chart mode 11).

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

void DrawBottomView(Window& window, Ui& ui, CHalbricoDoc& doc);

}  // namespace quarn

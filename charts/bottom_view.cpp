#include "charts/bottom_view.h"

namespace quarn {

// The approach bottom view arrives with its own change.
void DrawBottomView(Window& /*window*/, Ui& /*ui*/, CHalbricoDoc& /*doc*/) {}

}  // namespace quarn

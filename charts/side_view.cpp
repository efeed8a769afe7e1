#include "charts/side_view.h"

namespace quarn {

// The approach side view arrives with its own change.
void DrawSideView(Window& /*window*/, Ui& /*ui*/, CHalbricoDoc& /*doc*/) {}

}  // namespace quarn

#include "view/halbrico_view.h"

namespace quarn {

// The approach side view arrives with its own change.
void CHalbricoView::DrawSideView() {}

}  // namespace quarn

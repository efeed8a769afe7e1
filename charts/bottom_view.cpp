#include "view/halbrico_view.h"

namespace quarn {

// The approach bottom view arrives with its own change.
void CHalbricoView::DrawBottomView() {}

}  // namespace quarn

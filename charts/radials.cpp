#include "view/halbrico_view.h"

namespace quarn {

// VOR radials arrive with their own change.
void CHalbricoView::OnRButtonDown(int /*x*/, int /*y*/) {}

void CHalbricoView::OnEraseRadials() {}

}  // namespace quarn

#include "view/halbrico_view.h"

namespace quarn {

// The time-series graphs arrive with their own change; until then the command does nothing.
void CHalbricoView::DrawGraph(int /*mode*/) {}

}  // namespace quarn

#include "view/halbrico_view.h"

namespace quarn {

// The combined graph arrives with its own change; until then the command does nothing.
void CHalbricoView::DrawCombinedGraph() {}

}  // namespace quarn

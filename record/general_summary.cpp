#include "view/halbrico_view.h"

namespace quarn {

// The general summary arrives with the flight analysis; until then it does nothing.
void CHalbricoView::DrawGeneralSummary() {}

}  // namespace quarn

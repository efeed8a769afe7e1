#include "view/halbrico_view.h"

namespace quarn {

// The take-off and landing summary arrives with the flight analysis.
void CHalbricoView::DrawTakeoffLandingSummary() {}

}  // namespace quarn

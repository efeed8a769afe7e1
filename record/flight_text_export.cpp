#include "view/halbrico_view.h"

namespace quarn {

// The text export arrives with the flight analysis; until then it does nothing.
void CHalbricoView::OnGenerateFlightText() {}

}  // namespace quarn

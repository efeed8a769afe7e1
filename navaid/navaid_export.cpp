#include "view/halbrico_view.h"

namespace quarn {

// The navaid export arrives with its own change.
void CHalbricoView::OnExportNavaids() {}

}  // namespace quarn

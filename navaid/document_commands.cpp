#include "navaid/halbrico_doc.h"

namespace quarn {

// The scenery-list commands arrive with the navaid database.
void CHalbricoDoc::OnDefineGroup() {}
void CHalbricoDoc::OnLoadNavaids() {}

}  // namespace quarn

#include "navaid/navaid_export.h"

namespace quarn {

// The navaid export arrives with its own change.
void ExportNavaids(Ui& /*ui*/, const CHalbricoDoc& /*doc*/, const std::string& /*outputDir*/) {}

}  // namespace quarn

#include "charts/radials.h"

namespace quarn {

// VOR radials arrive with their own change.
void DefineRadialAt(int /*x*/, int /*y*/, Window& /*window*/, Ui& /*ui*/, CHalbricoDoc& /*doc*/) {}

void EraseRadials() {}

}  // namespace quarn

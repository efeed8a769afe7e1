#pragma once
// The approach debrief as one JSON object, for scripts: every signed value carries
// its side in words beside it.

#include <string>

#include "charts/approach_debrief.h"

namespace quarn {

std::string DebriefJson(const ApproachDebrief& debrief, const Flight& flight);

}  // namespace quarn

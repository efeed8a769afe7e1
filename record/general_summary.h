#pragma once
// The general flight summary screen (chart mode 8).

#include "base/flight.h"
#include "platform/window.h"

namespace quarn {

void DrawGeneralSummary(Window& window, const Flight& flight);

}  // namespace quarn

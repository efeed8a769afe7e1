#pragma once
// The take-off and landing summary screen (chart mode 12).

#include "base/flight.h"
#include "platform/window.h"

namespace quarn {

void DrawTakeoffLandingSummary(Window& window, const Flight& flight);

}  // namespace quarn

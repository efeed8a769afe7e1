#pragma once
// The flight's phases as one JSON object: {"legs": [...]}, each leg with `takeoff`
// (null, or `roll_start` and `liftoff`), `touchdowns` (each with its `bounces`),
// `landing_roll_end`, `go_arounds`, `touch_and_goes` and `blocks` (`out`, `off`, `on`,
// `in`: times or null). An event gives `time`, `index`, `latitude` and `longitude`;
// times are ISO 8601 UTC where the flight has a date, else the time of day hh:mm:ss.

#include <string>

#include "base/flight.h"
#include "record/flight_phases.h"

namespace quarn {

std::string PhasesJson(const FlightPhases& phases, const Flight& flight);

// A sample's time as the phases give it.
std::string PhaseTimeText(const Flight& flight, int index);

}  // namespace quarn

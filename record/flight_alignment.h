#pragma once
// The time offset that lays a compared flight on the current one: added to the
// compared flight's times of day, it puts its start, lift-off or touchdown on the
// current flight's.

#include <optional>

#include "base/compare_alignment.h"
#include "base/flight.h"
#include "record/flight_phases.h"

namespace quarn {

// The sample a flight is aligned at: its first, its first lift-off, or its last
// touchdown; the first sample when the flight has no such event. Nothing for a
// flight without samples.
std::optional<int> AlignmentSample(const Flight& flight, const FlightPhases& phases,
                                   CompareAlignment alignment);

// Hours to add to the compared flight's times; 0 when either flight has no samples.
double AlignmentOffsetHours(const Flight& current, const FlightPhases& currentPhases,
                            const Flight& compared, const FlightPhases& comparedPhases,
                            CompareAlignment alignment);
// The same, with the phases found from each flight.
double AlignmentOffsetHours(const Flight& current, const Flight& compared,
                            CompareAlignment alignment);

}  // namespace quarn

#pragma once
// The landing at the end of the record: the touchdown sample, the runway landed on
// and the ILS serving it. Shared by the approach side and bottom views.

#include <cstdint>
#include <optional>

#include "base/flight.h"
#include "base/geodesy.h"
#include "navaid/halbrico_doc.h"

namespace quarn {

inline constexpr double kNoneFound = 10000000;  // metres: the search's starting distance

// The first sample of the last 30 percent of the record that comes within 2 feet of
// the final ground level; 0 when none does.
int FindTouchdown(const Flight& flight);

struct ApproachNavaid {
  std::optional<std::int32_t> record;  // index into m_navaids
  double metres = kNoneFound;          // from the touchdown point
};

// The nearest runway whose heading, or its reciprocal, is within 9 degrees of the
// course at touchdown and whose centre lies within 5 degrees of its axis as seen from
// the touchdown point. Headings compare across north.
ApproachNavaid FindLandingRunway(const CHalbricoDoc& doc, const Flight& flight, int touchdown);
// The nearest ILS whose course is within 9 degrees of the course at touchdown.
ApproachNavaid FindApproachIls(const CHalbricoDoc& doc, const Flight& flight, int touchdown);

// The record a search found (or an index list names).
const NavaidRecord& RecordOf(const CHalbricoDoc& doc, std::int32_t index);
// Whether the search found a record closer than 2 nautical miles.
bool WithinTwoNm(const ApproachNavaid& found);
// Whether the runway search found the runway landed on: one no more than 2 nautical
// miles from the touchdown point. The approach charts need it to draw at all.
bool RunwayLandedOn(const ApproachNavaid& runway);

// The difference b - a of two headings, in -180 .. 180.
double HeadingDifference(double a, double b);

// The airport of m_airportIdx nearest to a point.
ApproachNavaid NearestAirport(const CHalbricoDoc& doc, double latitude, double longitude);

}  // namespace quarn

#pragma once
// The landing at the end of the record: the touchdown sample, the runway landed on
// and the ILS serving it. Shared by the approach side and bottom views.

#include <cstdint>
#include <optional>
#include <string>

#include "base/flight.h"
#include "base/geodesy.h"
#include "navaid/halbrico_doc.h"
#include "record/flight_phases.h"

namespace quarn {

inline constexpr double kNoneFound = 10000000;  // metres: the search's starting distance

// The last sample of the record the landing is looked for in: the end of the last
// landing roll the flight's phases find (so that a taxi after it, or a record that
// goes on to the gate, does not hide the landing), or the record's last sample when
// they find no landing or the roll runs to the end.
int LandingRecordEnd(const Flight& flight);

// In the record up to LandingRecordEnd: the first sample of its last 30 percent that
// comes within 2 feet of the final ground level (the mean of the ten altitudes before
// its last sample); 0 when none does.
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
// The typed values a source of today gave for the record; none for a scenery file's.
const NavaidDetail* DetailOf(const CHalbricoDoc& doc, const NavaidRecord& r);
// Whether the search found a record closer than 2 nautical miles.
bool WithinTwoNm(const ApproachNavaid& found);
// Whether the runway search found the runway landed on: one no more than 2 nautical
// miles from the touchdown point. The approach charts need it to draw at all.
bool RunwayLandedOn(const ApproachNavaid& runway);

// What was found when no runway was landed on: the touchdown's time and position,
// how many runways are loaded and the nearest one's distance and heading.
std::string NoRunwayFoundText(const CHalbricoDoc& doc, const Flight& flight, int touchdown);

// The difference b - a of two headings, in -180 .. 180.
double HeadingDifference(double a, double b);

// The airport of m_airportIdx nearest to a point.
ApproachNavaid NearestAirport(const CHalbricoDoc& doc, double latitude, double longitude);

}  // namespace quarn

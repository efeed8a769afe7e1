#pragma once
// A realistic sample flight at one sample per second: a circuit out of Amsterdam
// with a take-off from runway 24, a cruise leg with a paused stretch, and an ILS
// approach to runway 06 on a 3-degree path, touchdown and roll-out.

#include <vector>

#include "support/flight_record_writer.h"

namespace quarn::testing {

struct ExampleFlightOptions {
  int startHours = 9;
  int startMinutes = 5;
  int startSeconds = 0;
  int pauseSamples = 30;  // samples written with a repeated time stamp
};

std::vector<SampleValues> MakeExampleFlight(const ExampleFlightOptions& options = {});

// Runway 06 at Amsterdam: threshold position, true course and elevation.
inline constexpr double kRunway06ThresholdLat = 52.2879;
inline constexpr double kRunway06ThresholdLon = 4.73402;
inline constexpr double kRunway06CourseDeg = 58.0;
inline constexpr double kAirportElevationFt = -11.0;

}  // namespace quarn::testing

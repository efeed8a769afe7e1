#pragma once
// The flight's track for map viewers and globes: GPX 1.1 and KML 2.2 with the
// attitude, from the sample table.

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/flight.h"

namespace quarn {

// A sample with the moment it stands for, in seconds since 1970 (UTC by convention).
struct TimedSample {
  int index = 0;  // in the sample table
  std::int64_t utcSeconds = 0;
};

// The record holds only the time of day: the last sample takes the date of lastDay
// (the record file's modification time, as the recorder wrote it last) and earlier
// samples count back a day for each midnight passed. A paused sample (the same time
// as the one before it) is left out.
std::vector<TimedSample> TimeSamples(std::span<const FlightSample> samples, std::time_t lastDay);

// The take-off and landing samples, as the take-off and landing summary finds them.
struct TakeoffLanding {
  std::optional<int> takeoff;
  std::optional<int> landing;
};
TakeoffLanding FindTakeoffLanding(std::span<const FlightSample> samples);

std::string TrackGpx(std::span<const FlightSample> samples, const std::vector<TimedSample>& times,
                     const std::string& name);
std::string TrackKml(std::span<const FlightSample> samples, const std::vector<TimedSample>& times,
                     const std::string& name, const TakeoffLanding& events);

// The flight as a GPX or KML file (by the target's extension), written whole; an
// empty string on success, else what went wrong.
std::string ExportTrack(const Flight& flight, const std::string& target);

}  // namespace quarn

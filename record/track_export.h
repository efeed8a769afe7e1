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
  double fraction = 0;  // of a second, for sources that have one
};

// The moments of a flight's samples: as the source dated them; for the recorder's file
// by its rule (below) from the file's modification time; for another source without
// dates (a simulator's session seconds) its seconds moved whole days so that the last
// sample falls on the day the file was last written, every sample and fraction kept.
std::vector<TimedSample> TimeSamplesOf(const Flight& flight);

// The record holds only the time of day: the last sample takes the date of lastDay
// (the record file's modification time, as the recorder wrote it last) and earlier
// samples count back a day for each midnight passed. A paused sample (the same time
// as the one before it) is left out.
std::vector<TimedSample> TimeSamples(std::span<const FlightSample> samples, std::time_t lastDay);

// The take-off and landing samples the KML marks.
struct TakeoffLanding {
  std::optional<int> takeoff;
  std::optional<int> landing;
};
// The first lift-off and the last landing as the flight's phases find them: what the
// exports mark. Nothing for a flight that starts (ends) in the air.
TakeoffLanding PhaseEvents(const Flight& flight);

// description: the note on the times; the recorder's rule when none is given.
// segmentStarts: the samples that start a piece of track after a gap, written as a
// new GPX track segment and a new track of a KML multi-track.
std::string TrackGpx(std::span<const FlightSample> samples, const std::vector<TimedSample>& times,
                     const std::string& name, const char* description = nullptr,
                     std::span<const int> segmentStarts = {});
std::string TrackKml(std::span<const FlightSample> samples, const std::vector<TimedSample>& times,
                     const std::string& name, const TakeoffLanding& events,
                     const char* description = nullptr, std::span<const int> segmentStarts = {});

// The flight as delimited text with the names of Python's `traffic` library:
// timestamp (ISO 8601 UTC), latitude, longitude, altitude (ft), groundspeed (kt),
// track, vertical_rate (ft/min), onground, then ias, tas, heading, pitch, roll and
// gear (the fraction of legs down); an empty cell where the channel was not recorded.
std::string TrackCsv(const Flight& flight, const std::vector<TimedSample>& times);

// The flight as a GPX, KML or CSV file (by the target's extension), written whole;
// an empty string on success, else what went wrong.
std::string ExportTrack(const Flight& flight, const std::string& target);

}  // namespace quarn

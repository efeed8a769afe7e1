#pragma once
// Flights crafted one sample a second from a list of steps, whose events (the
// take-off roll, the lift-off, the touchdown, the stops) are known sample by sample.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "record/track_builder.h"

namespace quarn::testing {

constexpr double kStartUtc = 1717236000;  // 2024-06-01T10:00:00Z
constexpr double kFieldLatDeg = 52.0;
constexpr double kFieldLonDeg = 5.0;
constexpr double kMetresPerDegree = 60 * 1852.0;
constexpr double kRunwayDeg = 60;
constexpr double kTaxiDeg = 150;

// A stretch of a crafted flight: ground speed and altitude (MSL) are brought evenly
// to these by its last second, moving along the heading.
struct Step {
  std::string label;  // to find its samples by; empty for none
  int seconds = 0;
  double kt = 0;
  double altitudeFt = 0;
  double headingDeg = 0;
};

struct Crafted {
  // Each point carries the ground speed flown, whether or not the flight declares it.
  std::vector<TrackPoint> points;
  struct Span {
    std::string label;
    int first = 0;
    int last = 0;
  };
  std::vector<Span> spans;

  const Span& Nth(const std::string& label, int nth) const {
    for (const Span& s : spans) {
      if (s.label == label && nth-- == 0) return s;
    }
    ADD_FAILURE() << "no step " << label;
    return spans.front();
  }
  int First(const std::string& label, int nth = 0) const { return Nth(label, nth).first; }
  int Last(const std::string& label, int nth = 0) const { return Nth(label, nth).last; }
  // The first sample from `from` on that moves slower than kt.
  int FirstSlowerThan(double kt, int from) const {
    int i = from;
    while (i + 1 < static_cast<int>(points.size()) &&
           points[static_cast<std::size_t>(i)].groundSpeedKt >= kt)
      ++i;
    return i;
  }
};

// The flight starts with the first step's speed and altitude, at the field.
Crafted Craft(const std::vector<Step>& steps);

// Standing a minute, taxiing out, the take-off roll and the climb to 1000 ft above
// the field at 700 ft/min.
std::vector<Step> Departure(double field);

// Crosswind, downwind and base at 1000 ft, back to the final of the runway.
std::vector<Step> Pattern(double field);

// A 3-degree final at 70 kt, then a flare at 180 ft/min onto the runway.
std::vector<Step> Approach(double field);

// The landing roll slowing to 15 kt, the taxi in, a stop and a minute parked.
std::vector<Step> FullStop(double field);

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts);

std::vector<Step> PlainCircuit(double field);

// The points as the file of a format writes them: "csv" (the traffic library's names
// and a callsign), "json", "gpx", "kml" or "igc" (dated 2024-06-01).
std::string CraftedText(const std::string& format, const std::vector<TrackPoint>& points);
// The points as the recorder writes them: times of day, dated by the file's time.
std::vector<std::uint8_t> CraftedDat(const std::vector<TrackPoint>& points);

}  // namespace quarn::testing

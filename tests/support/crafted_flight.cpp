#include "support/crafted_flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace quarn::testing {

Crafted Craft(const std::vector<Step>& steps) {
  Crafted c;
  TrackPoint p;
  p.utcSeconds = kStartUtc;
  p.latitudeDeg = kFieldLatDeg;
  p.longitudeDeg = kFieldLonDeg;
  p.altitudeFt = steps.front().altitudeFt;
  p.groundSpeedKt = steps.front().kt;
  c.points.push_back(p);
  for (const Step& s : steps) {
    const TrackPoint from = c.points.back();
    const int first = static_cast<int>(c.points.size());
    for (int j = 1; j <= s.seconds; ++j) {
      const double done = static_cast<double>(j) / s.seconds;
      TrackPoint q = c.points.back();
      q.utcSeconds += 1;
      q.groundSpeedKt = from.groundSpeedKt + (s.kt - from.groundSpeedKt) * done;
      q.altitudeFt = from.altitudeFt + (s.altitudeFt - from.altitudeFt) * done;
      const double metres = q.groundSpeedKt * 1852 / 3600;
      const double heading = s.headingDeg * std::numbers::pi / 180;
      q.latitudeDeg += metres * std::cos(heading) / kMetresPerDegree;
      q.longitudeDeg += metres * std::sin(heading) /
                        (kMetresPerDegree * std::cos(q.latitudeDeg * std::numbers::pi / 180));
      c.points.push_back(q);
    }
    c.spans.push_back({s.label, first, static_cast<int>(c.points.size()) - 1});
  }
  return c;
}

// Standing a minute, taxiing out, the take-off roll and the climb to 1000 ft above
// the field at 700 ft/min.
std::vector<Step> Departure(double field) {
  return {{"stand", 60, 0, field, kTaxiDeg},
          {"taxi", 10, 15, field, kTaxiDeg},
          {"", 50, 15, field, kTaxiDeg},
          {"roll", 30, 65, field, kRunwayDeg},
          {"climb", 86, 75, field + 1000, kRunwayDeg}};
}

// Crosswind, downwind and base at 1000 ft, back to the final of the runway.
std::vector<Step> Pattern(double field) {
  return {{"", 45, 90, field + 1000, 330},
          {"", 214, 90, field + 1000, 240},
          {"", 45, 90, field + 1000, kTaxiDeg}};
}

// A 3-degree final at 70 kt, then a flare at 180 ft/min onto the runway.
std::vector<Step> Approach(double field) {
  return {{"final", 157, 70, field + 30, kRunwayDeg}, {"flare", 10, 65, field, kRunwayDeg}};
}

// The landing roll slowing to 15 kt, the taxi in, a stop and a minute parked.
std::vector<Step> FullStop(double field) {
  return {{"rollout", 25, 15, field, kRunwayDeg},
          {"", 40, 15, field, kTaxiDeg},
          {"stopping", 10, 0, field, kTaxiDeg},
          {"parked", 60, 0, field, kTaxiDeg}};
}

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts) {
  std::vector<Step> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<Step> PlainCircuit(double field) {
  return Join({Departure(field), Pattern(field), Approach(field), FullStop(field)});
}

}  // namespace quarn::testing

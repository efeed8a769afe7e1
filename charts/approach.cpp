#include "charts/approach.h"

#include <cmath>

#include "base/format.h"
#include "base/geodesy.h"
#include "record/flight_phases_json.h"

namespace quarn {
namespace {

bool Within(double heading, double reference, double limit) {
  return std::fabs(HeadingDifference(reference, heading)) <= limit;
}

bool Valid(const CHalbricoDoc& doc, std::int32_t index) {
  return index >= 0 && index < doc.m_navaidCount &&
         static_cast<std::size_t>(index) < doc.m_navaids.size();
}

// The nearest record of an index list that accept takes, by the distance-and-bearing
// routine. A large table is looked up by cell around the point first: a record found
// closer than any record outside the cells can be is the nearest of them all; else,
// and for a short list, the whole list is walked. Of equal distances the first in the
// list wins either way.
template <typename Accept>
ApproachNavaid NearestOf(const CHalbricoDoc& doc, const std::vector<std::int32_t>& list,
                         double latitude, double longitude, Accept accept) {
  constexpr double kCellsDeg = 0.5;
  constexpr double kSureMetres = 50000;  // nearer than the edge of the cells looked at
  auto search = [&](const std::vector<std::int32_t>& entries) {
    ApproachNavaid best;
    for (const std::int32_t index : entries) {
      if (!Valid(doc, index)) continue;
      const NavaidRecord& r = RecordOf(doc, index);
      const DistanceBearing db = DistanceAndBearing(latitude, longitude, r.latitude, r.longitude);
      if (db.metres < best.metres && accept(r, db)) best = {index, db.metres};
    }
    return best;
  };
  if (std::fabs(latitude) < 80) {
    const double lonCells = kCellsDeg / std::cos(latitude * kDegToRad);
    std::vector<std::int32_t> near;
    if (doc.ListNear(list, latitude - kCellsDeg, latitude + kCellsDeg, longitude - lonCells,
                     longitude + lonCells, near)) {
      const ApproachNavaid found = search(near);
      if (found.record && found.metres < kSureMetres) return found;
    }
  }
  return search(list);
}

}  // namespace

const NavaidRecord& RecordOf(const CHalbricoDoc& doc, std::int32_t index) {
  return doc.m_navaids[static_cast<std::size_t>(index)];
}

const NavaidDetail* DetailOf(const CHalbricoDoc& doc, const NavaidRecord& r) {
  if (r.detail < 0 || static_cast<std::size_t>(r.detail) >= doc.m_details.size()) return nullptr;
  return &doc.m_details[static_cast<std::size_t>(r.detail)];
}

bool WithinTwoNm(const ApproachNavaid& found) {
  return found.record && found.metres * kMetresToNm < 2;
}

bool RunwayLandedOn(const ApproachNavaid& runway) {
  return runway.record && !(runway.metres * kMetresToNm > 2);
}

double HeadingDifference(double a, double b) {
  double d = std::fmod(b - a, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

int LandingRecordEnd(const Flight& flight) {
  const FlightPhases phases = FindFlightPhases(flight);
  return phases.LastLandingRollEnd(flight).value_or(flight.lastSampleIndex());
}

int FindTouchdown(const Flight& flight) {
  const int n = LandingRecordEnd(flight);
  double sum = 0;
  for (int i = n - 10; i <= n - 1; ++i) {
    if (i >= 0) sum += flight.SampleAt(i).altitudeFt;
  }
  const double ground = 0.1 * sum;
  for (int i = 0; i <= n; ++i) {
    if (flight.SampleAt(i).altitudeFt - 2 < ground && i > n - 0.3 * n) return i;
  }
  return 0;
}

std::string NoRunwayFoundText(const CHalbricoDoc& doc, const Flight& flight, int touchdown) {
  const FlightSample& s = flight.SampleAt(touchdown);
  std::string text = Format("No runway landed on at the touchdown at %s (%.4f %c, %.4f %c)",
                            PhaseTimeText(flight, touchdown).c_str(), std::fabs(s.latitudeDeg),
                            s.latitudeDeg < 0 ? 'S' : 'N', std::fabs(s.longitudeDeg),
                            s.longitudeDeg < 0 ? 'W' : 'E');
  int runways = 0;
  for (const std::int32_t index : doc.m_runwayIdx) {
    if (Valid(doc, index) && RecordOf(doc, index).kind == NavaidKind::Runway) ++runways;
  }
  const ApproachNavaid nearest = NearestOf(
      doc, doc.m_runwayIdx, s.latitudeDeg, s.longitudeDeg,
      [](const NavaidRecord& r, const DistanceBearing&) { return r.kind == NavaidKind::Runway; });
  if (runways == 0) return text + ": no runways are loaded";
  const NavaidRecord& r = RecordOf(doc, *nearest.record);
  return text + Format(": %d runway%s loaded, the nearest (%s) %.1f NM away, heading %03.0f",
                       runways, runways == 1 ? "" : "s", std::string(r.Ident()).c_str(),
                       nearest.metres * kMetresToNm, r.course);
}

ApproachNavaid FindLandingRunway(const CHalbricoDoc& doc, const Flight& flight, int touchdown) {
  const FlightSample& s = flight.SampleAt(touchdown);
  const double c = s.courseDeg;
  return NearestOf(doc, doc.m_runwayIdx, s.latitudeDeg, s.longitudeDeg,
                   [&](const NavaidRecord& r, const DistanceBearing& db) {
                     // A runway without length cannot be drawn, nor landed on.
                     if (r.kind != NavaidKind::Runway || !(r.extra > 0)) return false;
                     const double heading = r.course;
                     const double reciprocal = heading + (heading > 180 ? -180 : 180);
                     const bool courseMatches = Within(heading, c, 9) || Within(reciprocal, c, 9);
                     const bool onAxis =
                         Within(heading, db.bearingDeg, 5) || Within(reciprocal, db.bearingDeg, 5);
                     return courseMatches && onAxis;
                   });
}

ApproachNavaid FindApproachIls(const CHalbricoDoc& doc, const Flight& flight, int touchdown) {
  const FlightSample& s = flight.SampleAt(touchdown);
  return NearestOf(doc, doc.m_ilsIdx, s.latitudeDeg, s.longitudeDeg,
                   [&](const NavaidRecord& r, const DistanceBearing&) {
                     return r.kind == NavaidKind::Ils && Within(r.course, s.courseDeg, 9);
                   });
}

ApproachNavaid NearestAirport(const CHalbricoDoc& doc, double latitude, double longitude) {
  return NearestOf(
      doc, doc.m_airportIdx, latitude, longitude,
      [](const NavaidRecord& r, const DistanceBearing&) { return r.kind == NavaidKind::Airport; });
}

}  // namespace quarn

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

}  // namespace

const NavaidRecord& RecordOf(const CHalbricoDoc& doc, std::int32_t index) {
  return doc.m_navaids[static_cast<std::size_t>(index)];
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
  ApproachNavaid nearest;
  for (const std::int32_t index : doc.m_runwayIdx) {
    if (!Valid(doc, index) || RecordOf(doc, index).kind != NavaidKind::Runway) continue;
    ++runways;
    const NavaidRecord& r = RecordOf(doc, index);
    const double metres = GreatCircleMetres(s.latitudeDeg, s.longitudeDeg, r.latitude, r.longitude);
    if (metres < nearest.metres) nearest = {index, metres};
  }
  if (runways == 0) return text + ": no runways are loaded";
  const NavaidRecord& r = RecordOf(doc, *nearest.record);
  return text + Format(": %d runway%s loaded, the nearest (%s) %.1f NM away, heading %03.0f",
                       runways, runways == 1 ? "" : "s", std::string(r.Ident()).c_str(),
                       nearest.metres * kMetresToNm, r.course);
}

ApproachNavaid FindLandingRunway(const CHalbricoDoc& doc, const Flight& flight, int touchdown) {
  const FlightSample& s = flight.SampleAt(touchdown);
  const double c = s.courseDeg;
  ApproachNavaid best;
  for (const std::int32_t index : doc.m_runwayIdx) {
    if (!Valid(doc, index)) continue;
    const NavaidRecord& r = RecordOf(doc, index);
    // A runway without length cannot be drawn, nor landed on.
    if (r.kind != NavaidKind::Runway || !(r.extra > 0)) continue;
    const double heading = r.course;
    const double reciprocal = heading + (heading > 180 ? -180 : 180);
    const DistanceBearing db =
        DistanceAndBearing(s.latitudeDeg, s.longitudeDeg, r.latitude, r.longitude);
    const bool courseMatches = Within(heading, c, 9) || Within(reciprocal, c, 9);
    const bool onAxis = Within(heading, db.bearingDeg, 5) || Within(reciprocal, db.bearingDeg, 5);
    if (db.metres < best.metres && courseMatches && onAxis) best = {index, db.metres};
  }
  return best;
}

ApproachNavaid FindApproachIls(const CHalbricoDoc& doc, const Flight& flight, int touchdown) {
  const FlightSample& s = flight.SampleAt(touchdown);
  ApproachNavaid best;
  for (const std::int32_t index : doc.m_ilsIdx) {
    if (!Valid(doc, index)) continue;
    const NavaidRecord& r = RecordOf(doc, index);
    if (r.kind != NavaidKind::Ils) continue;
    const double d =
        DistanceAndBearing(s.latitudeDeg, s.longitudeDeg, r.latitude, r.longitude).metres;
    if (d < best.metres && Within(r.course, s.courseDeg, 9)) best = {index, d};
  }
  return best;
}

ApproachNavaid NearestAirport(const CHalbricoDoc& doc, double latitude, double longitude) {
  ApproachNavaid best;
  for (const std::int32_t index : doc.m_airportIdx) {
    if (!Valid(doc, index)) continue;
    const NavaidRecord& r = RecordOf(doc, index);
    if (r.kind != NavaidKind::Airport) continue;
    const double d = DistanceAndBearing(latitude, longitude, r.latitude, r.longitude).metres;
    if (d < best.metres) best = {index, d};
  }
  return best;
}

}  // namespace quarn

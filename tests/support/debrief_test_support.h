#pragma once
// A crafted ILS approach for the debrief: runway 36 of 10000 ft centred at 52 N, 4 E,
// heading north along the meridian, its localizer 300 m beyond the far end on a
// 3-degree path, and a flight at one sample a second from 11 miles out down the path
// to a touchdown, then a roll-out.

#include <cmath>
#include <cstddef>

#include "base/geodesy.h"
#include "charts/approach_debrief.h"
#include "support/map_test_support.h"

namespace quarn::testing {

inline constexpr double kLengthM = 10000 * 0.3048;
inline constexpr double kLocalizerBeyondM = 300;
inline constexpr int kGlideSlopeSine = 6861;  // 3 degrees, as the scenery stores it
inline const double kPathDeg = std::asin(kGlideSlopeSine / 131072.0) * 180 / M_PI;
inline constexpr int kTouchdown = 300;
inline constexpr int kLastSample = 399;

class Debrief : public MapTest {
 protected:
  // Where the 3-degree path, 50 ft over the threshold, meets the runway: metres past
  // the threshold.
  static double GlidePathOriginM() { return 50 * 0.3048 / std::tan(kPathDeg * M_PI / 180); }

  // The point at a great-circle distance and bearing from another, on the sphere of
  // the program's own distance routine.
  static LatLon Destination(LatLon from, double bearingDeg, double metres) {
    const double r = kEarthDiameterMetres / 2;
    const double phi1 = from.lat * kDegToRad, lambda1 = from.lon * kDegToRad;
    const double theta = bearingDeg * kDegToRad, delta = metres / r;
    const double phi2 = std::asin(std::sin(phi1) * std::cos(delta) +
                                  std::cos(phi1) * std::sin(delta) * std::cos(theta));
    const double lambda2 = lambda1 + std::atan2(std::sin(theta) * std::sin(delta) * std::cos(phi1),
                                                std::cos(delta) - std::sin(phi1) * std::sin(phi2));
    return {phi2 / kDegToRad, lambda2 / kDegToRad};
  }

  // A point metres along the landing direction from the threshold and right of the
  // centreline.
  static LatLon AtRunway(double alongFromThreshold, double right) {
    const double along = alongFromThreshold - kLengthM / 2;
    return Destination({52.0, 4.0}, std::atan2(right, along) * 180 / M_PI,
                       std::hypot(along, right));
  }

  void Place(int i, double alongFromThreshold, double right, double heightFt) {
    FlightSample& s = flight.samples[static_cast<std::size_t>(i)];
    const LatLon p = AtRunway(alongFromThreshold, right);
    s.latitudeDeg = p.lat;
    s.longitudeDeg = p.lon;
    s.altitudeFt = heightFt;
  }

  // Down the path to a touchdown pastM beyond the threshold and rightM of the
  // centreline; the runway record says recordHeading.
  void FlyApproach(double pastM = 1500 * 0.3048, double rightM = 0, double recordHeading = 0,
                   bool withIls = true) {
    state = ViewState{};
    mapState = MapState{};
    flight = Flight{};
    flight.samples.resize(kLastSample + 1);
    doc.ClearNavaids();
    const double start = -11 * kMetresPerNauticalMile;
    const double step = (pastM - start) / kTouchdown;
    const double tanPath = std::tan(kPathDeg * M_PI / 180);
    for (int i = 0; i <= kLastSample; ++i) {
      FlightSample& s = flight.samples[static_cast<std::size_t>(i)];
      s = FlightSample{};
      s.timeHours = 10 + i / 3600.0;
      s.gear1 = s.gear2 = s.gear3 = 1;
      s.iasKt = 130;
      if (i < kTouchdown) {
        const double along = start + i * step;
        Place(i, along, 0, std::max(10.0, (GlidePathOriginM() - along) * tanPath / 0.3048));
      } else {
        Place(i, pastM + (i - kTouchdown) * 60.0, rightM, 0);
      }
    }
    flight.recordPath = "/records/approach.dat";
    flight.channels = ChannelSet::AllRecorded();
    doc.AddNavaid(NavaidKind::Runway, 52.0, 4.0, 0, 1, "36", "Runway", 148, recordHeading,
                  kLengthM / 0.3048);
    if (withIls) {
      const LatLon loc = AtRunway(kLengthM + kLocalizerBeyondM, 0);
      doc.AddNavaid(NavaidKind::Ils, loc.lat, loc.lon, kGlideSlopeSine, 110.55, "IKK", "IKK", 0, 0,
                    0);
    }
    doc.RebuildIndexLists();
  }

  // The sample nearest to a distance before the threshold.
  static int SampleNear(double nm) {
    const double start = -11 * kMetresPerNauticalMile;
    const double step = (1500 * 0.3048 - start) / kTouchdown;
    return static_cast<int>(std::lround((-nm * kMetresPerNauticalMile - start) / step));
  }

  static const DebriefSample* Find(const ApproachDebrief& d, int index) {
    for (const DebriefSample& s : d.samples) {
      if (s.index == index) return &s;
    }
    return nullptr;
  }
};

}  // namespace quarn::testing

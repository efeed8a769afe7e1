#include "support/example_flight.h"

#include <algorithm>
#include <cmath>

namespace quarn::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180;
constexpr double kFeetPerNm = 6076.12;

double Wrap360(double d) {
  d = std::fmod(d, 360.0);
  return d < 0 ? d + 360 : d;
}

// Signed smallest turn from one heading to another, degrees.
double TurnBetween(double from, double to) {
  double d = Wrap360(to - from);
  return d > 180 ? d - 360 : d;
}

double Approach(double value, double target, double step) {
  if (value < target) return std::min(target, value + step);
  return std::max(target, value - step);
}

struct LatLon {
  double lat;
  double lon;
};

LatLon Move(LatLon p, double courseDeg, double nm) {
  return {p.lat + nm / 60 * std::cos(courseDeg * kRad),
          p.lon + nm / 60 * std::sin(courseDeg * kRad) / std::cos(p.lat * kRad)};
}

double CourseTo(LatLon a, LatLon b) {
  const double dn = (b.lat - a.lat) * 60;
  const double de = (b.lon - a.lon) * 60 * std::cos(a.lat * kRad);
  return Wrap360(std::atan2(de, dn) / kRad);
}

double DistanceNm(LatLon a, LatLon b) {
  const double dn = (b.lat - a.lat) * 60;
  const double de = (b.lon - a.lon) * 60 * std::cos(a.lat * kRad);
  return std::sqrt(dn * dn + de * de);
}

// The flying state and one second of flight.
class Flight {
 public:
  explicit Flight(const ExampleFlightOptions& o)
      : clock_(o.startHours * 3600 + o.startMinutes * 60 + o.startSeconds) {
    pos_ = {52.3080, 4.7640};
    altFt_ = kAirportElevationFt;
    heading_ = 150;
  }

  // Steers toward a heading, speed and vertical speed for one second and records it.
  void Fly(double targetHeading, double targetIas, double targetVs, double targetAlt) {
    const double turn = std::clamp(TurnBetween(heading_, targetHeading), -3.0, 3.0);
    heading_ = Wrap360(heading_ + turn);
    const bool airborne = altFt_ > kAirportElevationFt + 1;
    bank_ = airborne ? Approach(bank_, turn * 8, 5) : 0;
    ias_ = Approach(ias_, targetIas, airborne ? 1.5 : 3);
    // Climb or descend toward the target altitude at the given rate, levelling off on it.
    double vs = std::copysign(std::fabs(targetVs), targetAlt - altFt_);
    if (std::fabs(targetAlt - altFt_) < std::fabs(vs) / 60) vs = (targetAlt - altFt_) * 60;
    vs_ = Approach(vs_, vs, 300);
    altFt_ += vs_ / 60;
    Advance();
  }

  // Steers toward a heading as Fly does, but holds the altitude given (a glide path).
  void FlyOnPath(double targetHeading, double targetIas, double altFt) {
    const double turn = std::clamp(TurnBetween(heading_, targetHeading), -3.0, 3.0);
    heading_ = Wrap360(heading_ + turn);
    bank_ = Approach(bank_, turn * 8, 5);
    ias_ = Approach(ias_, targetIas, 1);
    vs_ = (altFt - altFt_) * 60;
    altFt_ = altFt;
    Advance();
  }

  // Follows a path exactly (the ground roll).
  void FollowTo(LatLon p, double heading, double altFt, double ias) {
    heading_ = heading;
    vs_ = (altFt - altFt_) * 60;
    altFt_ = altFt;
    ias_ = ias;
    bank_ = Approach(bank_, 0, 5);
    pos_ = p;
    Record(true);
  }

  void Hold(int seconds) {
    for (int i = 0; i < seconds; ++i) Record(true);
  }

  // A paused simulator keeps writing the same time stamp and the same values.
  void Pause(int samples) {
    for (int i = 0; i < samples; ++i) Record(false);
  }

  LatLon pos() const { return pos_; }
  double alt() const { return altFt_; }
  double ias() const { return ias_; }
  double heading() const { return heading_; }
  void SetGear(bool down) { gearDown_ = down; }
  void SetPitchBias(double p) { pitchBias_ = p; }
  std::vector<SampleValues>& samples() { return samples_; }

 private:
  void Advance() {
    const double tas = Tas();
    pos_ = Move(pos_, heading_, tas / 3600);
    Record(true);
  }

  double Tas() const { return ias_ * (1 + std::max(0.0, altFt_) / 1000 * 0.02); }

  void Record(bool tick) {
    if (tick) {
      ++clock_;
      // Fuel flow rises with speed; the auxiliary tanks feed at a lower rate.
      const double burn = 0.0009 + ias_ * 0.000025;
      fuel_[0] -= burn;
      fuel_[2] -= burn * 1.02;
      fuel_[1] -= burn * 0.5;
      fuel_[3] -= burn * 0.48;
    }
    SampleValues s;
    const int t = clock_ % 86400;
    s.hours = t / 3600;
    s.minutes = t / 60 % 60;
    s.seconds = t % 60;
    s.latitudeDeg = pos_.lat;
    s.longitudeDeg = pos_.lon;
    s.altitudeFt = altFt_;
    const double gsFtPerMin = std::max(ias_, 1.0) * kFeetPerNm / 60;
    s.pitchDeg = std::atan(vs_ / gsFtPerMin) / kRad + (ias_ > 60 ? pitchBias_ : 0);
    s.bankDeg = bank_;
    s.headingDeg = heading_;
    s.iasKt = ias_;
    s.tasKt = Tas();
    for (int i = 0; i < 4; ++i) s.fuelPercent[i] = fuel_[i];
    for (bool& g : s.gearDown) g = gearDown_;
    samples_.push_back(s);
  }

  int clock_;
  LatLon pos_{};
  double altFt_ = 0;
  double heading_ = 0;
  double ias_ = 0;
  double vs_ = 0;
  double bank_ = 0;
  double pitchBias_ = 0;
  double fuel_[4] = {82, 64, 81, 63};
  bool gearDown_ = true;
  std::vector<SampleValues> samples_;
};

}  // namespace

std::vector<SampleValues> MakeExampleFlight(const ExampleFlightOptions& options) {
  Flight f(options);
  const LatLon threshold06{kRunway06ThresholdLat, kRunway06ThresholdLon};
  const double course24 = Wrap360(kRunway06CourseDeg + 180);
  const LatLon threshold24 = Move(threshold06, kRunway06CourseDeg, 11283 / kFeetPerNm);

  // Engine start at the apron, then taxi to the holding point of runway 24.
  f.Hold(60);
  while (DistanceNm(f.pos(), threshold24) > 0.01) {
    f.Fly(CourseTo(f.pos(), threshold24), 15, 0, kAirportElevationFt);
  }
  while (std::fabs(TurnBetween(f.heading(), course24)) > 0.5) f.Fly(course24, 0, 0, f.alt());
  f.Hold(20);

  // Take-off roll on the centre line; rotation at 140 knots.
  LatLon roll = f.pos();
  double speed = 0;
  while (speed < 140) {
    speed += 3;
    roll = Move(roll, course24, speed / 3600);
    f.FollowTo(roll, course24, kAirportElevationFt, speed);
  }
  f.SetPitchBias(3);
  int sinceLiftoff = 0;
  while (f.alt() < 6000) {
    f.Fly(f.alt() < 1500 ? course24 : 300, f.alt() < 3000 ? 180 : 250, 2000, 6000);
    if (++sinceLiftoff == 10) f.SetGear(false);
  }

  // Cruise north-west, with the simulator paused for a while on the way.
  const LatLon turnPoint{52.55, 4.35};
  bool paused = false;
  while (DistanceNm(f.pos(), turnPoint) > 1) {
    f.SetPitchBias(2);
    f.Fly(CourseTo(f.pos(), turnPoint), 250, 0, 6000);
    if (!paused && DistanceNm(f.pos(), turnPoint) < 8) {
      f.Pause(options.pauseSamples);
      paused = true;
    }
  }

  // Toward an intercept point 13 nm out on the extended centre line, descending to
  // the glide path's height there.
  const double glideTan = std::tan(3 * kRad);
  auto glideAlt = [&](double alongNm) {
    return kAirportElevationFt + 50 + std::max(alongNm, 0.0) * kFeetPerNm * glideTan;
  };
  const LatLon intercept = Move(threshold06, course24, 13);
  while (DistanceNm(f.pos(), intercept) > 2) {
    f.SetPitchBias(f.alt() > 3500 ? 1 : 3);
    f.Fly(CourseTo(f.pos(), intercept), 180, 1500, glideAlt(11));
  }
  // Along-track distance to the threshold and cross-track offset (right of the
  // course positive), in nautical miles.
  auto along = [&] {
    const LatLon p = f.pos();
    const double dn = (p.lat - threshold06.lat) * 60;
    const double de = (p.lon - threshold06.lon) * 60 * std::cos(p.lat * kRad);
    const double c = kRunway06CourseDeg * kRad;
    return -(de * std::sin(c) + dn * std::cos(c));
  };
  auto crossTrack = [&] {
    const LatLon p = f.pos();
    const double dn = (p.lat - threshold06.lat) * 60;
    const double de = (p.lon - threshold06.lon) * 60 * std::cos(p.lat * kRad);
    const double c = kRunway06CourseDeg * kRad;
    return de * std::cos(c) - dn * std::sin(c);
  };
  auto localizerHeading = [&] {
    return kRunway06CourseDeg - std::clamp(crossTrack() * 60, -40.0, 40.0);
  };
  // Capture the localizer level, then follow it down the glide path.
  while (along() > 11) f.Fly(localizerHeading(), 170, 1000, glideAlt(11));
  while (along() > 0) {
    if (along() < 8) f.SetGear(true);
    f.FlyOnPath(localizerHeading(), 140, glideAlt(along()));
  }
  double ias = f.ias();

  // Flare and touchdown about 1000 ft past the threshold, then the roll-out.
  LatLon p = f.pos();
  double alt = f.alt();
  while (alt > kAirportElevationFt) {
    alt = std::max(kAirportElevationFt, alt - 5);
    ias = Approach(ias, 130, 1);
    p = Move(p, kRunway06CourseDeg, ias / 3600);
    f.FollowTo(p, kRunway06CourseDeg, alt, ias);
  }
  f.SetPitchBias(0);
  while (ias > 20) {
    ias = Approach(ias, 20, 3);
    p = Move(p, kRunway06CourseDeg, ias / 3600);
    f.FollowTo(p, kRunway06CourseDeg, kAirportElevationFt, ias);
  }
  // Taxi clear of the runway and stop.
  for (int i = 0; i < 60; ++i) f.Fly(kRunway06CourseDeg + 90, 12, 0, kAirportElevationFt);
  for (int i = 0; i < 30; ++i) f.Fly(f.heading(), 0, 0, kAirportElevationFt);
  return std::move(f.samples());
}

}  // namespace quarn::testing

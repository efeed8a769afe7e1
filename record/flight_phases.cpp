#include "record/flight_phases.h"

#include <algorithm>
#include <cmath>

#include "base/format.h"
#include "base/geodesy.h"

namespace quarn {
namespace {

constexpr double kKnotsPerMetrePerSecond = 3600 / 1852.0;
constexpr double kMetresPerNm = 1852;

// What the phases read of the flight, sample by sample, cleaned of what the source
// got wrong.
struct TrackView {
  const Flight& flight;
  std::vector<double> seconds;
  std::vector<bool> jump;     // a position far off its neighbours: stepped over
  std::vector<double> speed;  // ground speed, kt
  std::vector<double> moved;  // ground speed from the positions alone, kt
  double bandFt = 0;          // on the ground: within this of the ground level

  int count() const { return flight.sampleCount(); }
  const FlightSample& at(int i) const { return flight.samples[static_cast<std::size_t>(i)]; }
  double t(int i) const { return seconds[static_cast<std::size_t>(i)]; }
  double alt(int i) const { return at(i).altitudeFt; }
  double v(int i) const { return speed[static_cast<std::size_t>(i)]; }
  double movedKt(int i) const { return moved[static_cast<std::size_t>(i)]; }
  bool jumped(int i) const { return jump[static_cast<std::size_t>(i)]; }
  double Metres(int a, int b) const {
    return GreatCircleMetres(at(a).latitudeDeg, at(a).longitudeDeg, at(b).latitudeDeg,
                             at(b).longitudeDeg);
  }
  // The direction of travel: the track over the ground where the flight carries one.
  double Direction(int i) const {
    return flight.channels.Carries(Channel::Track) ? at(i).trackDeg : at(i).courseDeg;
  }
};

double Knots(double metres, double seconds) {
  return seconds > 0 ? metres / seconds * kKnotsPerMetrePerSecond : 0;
}

double AngleBetween(double a, double b) {
  double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180 ? 360 - d : d;
}

// A sample is a jump when it lies further from both neighbours than an aircraft
// flies, while they lie within reach of each other.
std::vector<bool> FindJumps(const TrackView& v) {
  const auto& th = kPhaseThresholds;
  std::vector<bool> jump(static_cast<std::size_t>(v.count()), false);
  // Each step's speed is found once, and the span across a sample only where both
  // of its steps are too fast: most tracks have no jump at all.
  double before = v.count() > 1 ? Knots(v.Metres(0, 1), v.t(1) - v.t(0)) : 0;
  for (int i = 1; i + 1 < v.count(); ++i) {
    const double after = Knots(v.Metres(i, i + 1), v.t(i + 1) - v.t(i));
    if (before > th.jumpKt && after > th.jumpKt &&
        Knots(v.Metres(i - 1, i + 1), v.t(i + 1) - v.t(i - 1)) <= th.jumpKt) {
      jump[static_cast<std::size_t>(i)] = true;
    }
    before = after;
  }
  return jump;
}

// The furthest sample before (step -1) or after (+1) i within the speed window that
// is no jump, within the same piece of track; i itself when there is none.
int WindowEnd(const TrackView& v, int i, int step) {
  const auto& th = kPhaseThresholds;
  int end = i;
  for (int j = i + step; j >= 0 && j < v.count(); j += step) {
    const double dt = std::fabs(v.t(j) - v.t(j - step));
    if (dt > th.gapSeconds || std::fabs(v.t(j) - v.t(i)) > th.speedWindowSeconds / 2) break;
    if (!v.jumped(j)) end = j;
  }
  return end;
}

// The ground speed from positions, over the seconds either side: a source that
// repeats a position for a second, or moves it late, does not make it stand still.
std::vector<double> SpeedFromPositions(const TrackView& v) {
  std::vector<double> out(static_cast<std::size_t>(v.count()), 0);
  for (int i = 0; i < v.count(); ++i) {
    const int a = WindowEnd(v, i, -1);
    const int b = WindowEnd(v, i, +1);
    if (v.t(b) > v.t(a)) {
      out[static_cast<std::size_t>(i)] = Knots(v.Metres(a, b), v.t(b) - v.t(a));
    } else if (i > 0) {
      out[static_cast<std::size_t>(i)] = out[static_cast<std::size_t>(i - 1)];
    }
  }
  return out;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                   values.end());
  return values[values.size() / 2];
}

// The reported ground speed, but where it stays the same for a while although the
// positions say otherwise (a source that repeats its last value), the positions'.
std::vector<double> GroundSpeed(const TrackView& v) {
  const auto& th = kPhaseThresholds;
  const std::vector<double>& fromPositions = v.moved;
  if (!v.flight.channels.Carries(Channel::GroundSpeed) ||
      v.flight.channels[Channel::GroundSpeed] == ChannelState::Derived) {
    return fromPositions;
  }
  std::vector<double> out(static_cast<std::size_t>(v.count()));
  for (int i = 0; i < v.count(); ++i) out[static_cast<std::size_t>(i)] = v.at(i).groundSpeedKt;
  for (int first = 0; first < v.count();) {
    int last = first;
    while (last + 1 < v.count() && v.at(last + 1).groundSpeedKt == v.at(first).groundSpeedKt) {
      ++last;
    }
    if (v.t(last) - v.t(first) >= th.staleSeconds) {
      std::vector<double> measured(fromPositions.begin() + first, fromPositions.begin() + last + 1);
      if (std::fabs(Median(measured) - v.at(first).groundSpeedKt) > th.staleDifferenceKt) {
        for (int i = first; i <= last; ++i) {
          out[static_cast<std::size_t>(i)] = fromPositions[static_cast<std::size_t>(i)];
        }
      }
    }
    first = last + 1;
  }
  return out;
}

// The smallest step the altitude moves in: 25 ft for ADS-B, a fraction of a foot for
// a simulator.
double AltitudeStep(const Flight& flight) {
  double step = 0;
  for (std::size_t i = 1; i < flight.samples.size(); ++i) {
    const double d = std::fabs(flight.samples[i].altitudeFt - flight.samples[i - 1].altitudeFt);
    if (d > 0.01 && (step == 0 || d < step)) step = d;
  }
  return step;
}

// A run of samples on the ground at one place, and the altitude the source gives
// there.
struct GroundPlace {
  int first = 0;
  int last = 0;
  double levelFt = 0;
};

double MedianAltitude(const TrackView& v, int first, int last) {
  std::vector<double> a;
  for (int i = first; i <= last; ++i) {
    if (!v.jumped(i)) a.push_back(v.alt(i));
  }
  return a.empty() ? v.alt(first) : Median(std::move(a));
}

bool GearUp(const TrackView& v, int i) {
  return v.flight.channels.Carries(Channel::Gear) && v.at(i).gear1 == 0 && v.at(i).gear2 == 0 &&
         v.at(i).gear3 == 0;
}

// Taxiing or standing: too slow to fly, with the gear down where it is recorded.
bool Slow(const TrackView& v, int i) {
  return !v.jumped(i) && v.v(i) < kPhaseThresholds.slowKt && !GearUp(v, i);
}

std::vector<GroundPlace> SlowRuns(const TrackView& v) {
  std::vector<GroundPlace> places;
  for (int i = 0; i < v.count(); ++i) {
    if (!Slow(v, i)) continue;
    int last = i;
    while (last + 1 < v.count() && (Slow(v, last + 1) || v.jumped(last + 1))) ++last;
    // A moment slow is a source's glitch; taxiing and standing take a while.
    if (v.t(last) - v.t(i) >= kPhaseThresholds.groundSeconds || last == v.count() - 1 || i == 0) {
      places.push_back({i, last, MedianAltitude(v, i, last)});
    }
    i = last;
  }
  return places;
}

// The samples next to `from` (step -1: before it, +1: after) that lie low: from
// `from` on until the altitude stands the airborne height above the lowest one met.
// Gives the last low sample and that lowest altitude.
struct LowStretch {
  int end = 0;
  double lowestFt = 0;
};
LowStretch LowSamples(const TrackView& v, int from, int step, const std::vector<bool>& ground) {
  LowStretch low{from, v.alt(from)};
  for (int i = from + step; i >= 0 && i < v.count(); i += step) {
    if (ground[static_cast<std::size_t>(i)]) break;
    if (v.jumped(i)) continue;
    if (v.alt(i) >= low.lowestFt + kPhaseThresholds.airborneFt) break;
    low.lowestFt = std::min(low.lowestFt, v.alt(i));
    low.end = i;
  }
  return low;
}

// A landing before the ground at `at` (or a take-off after it): the low samples
// before (after) it on the ground from where the altitude first (last) comes level
// with the lowest of them.
void MarkRoll(const TrackView& v, int at, int step, std::vector<bool>& ground) {
  const LowStretch low = LowSamples(v, at, step, ground);
  // Walking from the air toward `at`: the first sample down on the ground.
  for (int i = low.end; i != at; i -= step) {
    if (v.alt(i) > low.lowestFt + v.bandFt || GearUp(v, i)) continue;
    for (int k = i; k != at; k -= step) ground[static_cast<std::size_t>(k)] = true;
    break;
  }
}

// A record that ends (starts) in its landing (take-off) roll, with no taxi to tell
// the ground by: low samples at its end (start), come down to (left) from the air,
// slowing down (speeding up) at a roll's speed.
void MarkRollAtTheEdge(const TrackView& v, bool atStart, std::vector<bool>& ground) {
  const auto& th = kPhaseThresholds;
  const int n = v.count();
  const int edge = atStart ? 0 : n - 1;
  const int step = atStart ? 1 : -1;
  if (n < 3 || ground[static_cast<std::size_t>(edge)]) return;
  const LowStretch low = LowSamples(v, edge, step, ground);
  // A record that ends (starts) up in the air after a climb (before a descent) has
  // the whole climb as its low samples: its edge stands far above their lowest.
  if (v.alt(edge) >= low.lowestFt + th.airborneFt) return;
  const int inner = low.end;
  const bool fromTheAir = inner + step >= 0 && inner + step < n;
  const int first = std::min(edge, inner);
  const int last = std::max(edge, inner);
  // From the positions: a source may repeat its last speed through the roll.
  const double rollSpeed = atStart ? v.movedKt(last) : v.movedKt(first);
  const double speedChange =
      atStart ? v.movedKt(last) - v.movedKt(first) : v.movedKt(first) - v.movedKt(last);
  if (!fromTheAir || speedChange < th.rollDecelerationKt || rollSpeed > th.rollMaxKt ||
      v.t(last) - v.t(first) < 3) {
    return;
  }
  ground[static_cast<std::size_t>(edge)] = true;
  MarkRoll(v, edge, step, ground);
}

// A touch-and-go away from a taxi: a dip near a place the flight stood on or a runway
// the caller knows, level with its ground, that stays flat on the bottom for a while.
void MarkTouchAndGoes(const TrackView& v, const std::vector<GroundPlace>& places,
                      std::span<const KnownRunway> runways, std::vector<bool>& ground) {
  const auto& th = kPhaseThresholds;
  const double loose = std::max(3 * v.bandFt, th.groundBandFt);
  auto levelNear = [&](int i) -> std::optional<double> {
    for (const GroundPlace& p : places) {
      for (int end : {p.first, p.last}) {
        if (v.Metres(i, end) <= th.runwayNm * kMetresPerNm) return p.levelFt;
      }
    }
    for (const KnownRunway& r : runways) {
      const double metres = GreatCircleMetres(v.at(i).latitudeDeg, v.at(i).longitudeDeg,
                                              r.latitudeDeg, r.longitudeDeg);
      if (metres <= th.runwayNm * kMetresPerNm) return r.elevationFt;
    }
    return std::nullopt;
  };
  for (int i = 1; i + 1 < v.count(); ++i) {
    if (ground[static_cast<std::size_t>(i)] || v.jumped(i) || GearUp(v, i)) continue;
    // The bottom of a dip: the flat samples around i at its altitude.
    int first = i, last = i;
    while (first > 0 && std::fabs(v.alt(first - 1) - v.alt(i)) <= v.bandFt) --first;
    while (last + 1 < v.count() && std::fabs(v.alt(last + 1) - v.alt(i)) <= v.bandFt) ++last;
    const bool dip = first > 0 && last + 1 < v.count() && v.alt(first - 1) > v.alt(i) &&
                     v.alt(last + 1) > v.alt(i) && !ground[static_cast<std::size_t>(first - 1)] &&
                     !ground[static_cast<std::size_t>(last + 1)];
    const auto level = levelNear(i);
    if (dip && level && std::fabs(v.alt(i) - *level) <= loose &&
        v.t(last) - v.t(first) >= th.touchAndGoSeconds) {
      for (int k = first; k <= last; ++k) ground[static_cast<std::size_t>(k)] = true;
    }
    i = last;
  }
}

// On the ground or not, sample by sample.
std::vector<bool> ClassifyGround(const TrackView& v, std::span<const KnownRunway> runways) {
  const int n = v.count();
  std::vector<bool> ground(static_cast<std::size_t>(n), false);
  if (v.flight.channels[Channel::OnGround] == ChannelState::Recorded) {
    for (int i = 0; i < n; ++i) ground[static_cast<std::size_t>(i)] = v.at(i).onGround != 0;
    return ground;
  }
  const std::vector<GroundPlace> places = SlowRuns(v);
  for (const GroundPlace& p : places) {
    for (int i = p.first; i <= p.last; ++i) ground[static_cast<std::size_t>(i)] = true;
  }
  // The rolls at speed between the taxi and the air.
  for (const GroundPlace& p : places) {
    MarkRoll(v, p.first, -1, ground);
    MarkRoll(v, p.last, +1, ground);
  }
  MarkRollAtTheEdge(v, false, ground);
  MarkRollAtTheEdge(v, true, ground);
  MarkTouchAndGoes(v, places, runways, ground);
  // A jump takes the state of the sample before it.
  for (int i = 1; i < n; ++i) {
    if (v.jumped(i)) ground[static_cast<std::size_t>(i)] = ground[static_cast<std::size_t>(i - 1)];
  }
  return ground;
}

// A run of samples in one state.
struct Stretch {
  int first = 0;
  int last = 0;
  bool ground = false;
  int bounces = 0;  // a ground stretch: the short hops it swallowed
};

// The ground and air stretches, with a short hop after a touchdown taken as a bounce
// of it.
std::vector<Stretch> Stretches(const TrackView& v, const std::vector<bool>& ground) {
  std::vector<Stretch> out;
  for (int i = 0; i < v.count(); ++i) {
    const bool g = ground[static_cast<std::size_t>(i)];
    if (out.empty() || out.back().ground != g) {
      out.push_back({i, i, g, 0});
    } else {
      out.back().last = i;
    }
  }
  std::vector<Stretch> merged;
  for (std::size_t k = 0; k < out.size(); ++k) {
    const Stretch& s = out[k];
    // A hop: air between a touchdown's ground and more ground, shorter than a bounce.
    const bool hop = !s.ground && k > 1 && k + 1 < out.size() &&
                     v.t(out[k + 1].first) - v.t(s.first) <= kPhaseThresholds.bounceSeconds;
    if (hop && !merged.empty() && merged.back().ground) {
      merged.back().last = out[k + 1].last;
      merged.back().bounces += 1;
      ++k;
      continue;
    }
    merged.push_back(s);
  }
  return merged;
}

// The take-off roll backwards from the lift-off: on the ground, along the lift-off's
// direction and faster sample by sample, down to walking pace.
int RollStart(const TrackView& v, const Stretch& g, int liftoff) {
  const auto& th = kPhaseThresholds;
  const double direction = v.Direction(std::max(liftoff - 1, g.first));
  int start = std::max(liftoff - 1, g.first);
  while (start > g.first && v.v(start) >= th.stopKt) {
    const int before = start - 1;
    if (AngleBetween(v.Direction(before), direction) > th.rollEndTurnDeg) break;
    if (v.v(before) > v.v(start) + th.stopKt) break;
    start = before;
  }
  return start;
}

// The end of a landing roll that began at touchdown: slower than a roll, or turned
// off the runway's direction. Nothing while it rolls on to the stretch's end.
std::optional<int> RollEnd(const TrackView& v, const Stretch& g, int touchdown) {
  const auto& th = kPhaseThresholds;
  const double runway = v.Direction(touchdown);
  for (int i = touchdown; i <= g.last; ++i) {
    if (v.jumped(i)) continue;
    if (v.v(i) < th.rollEndKt || AngleBetween(v.Direction(i), runway) > th.rollEndTurnDeg) {
      return i;
    }
  }
  return std::nullopt;
}

// Where the flight stood or rolled, with the level of the ground there, and the
// runways the caller knows: the places a go-around may be flown at.
struct Place {
  double latitudeDeg;
  double longitudeDeg;
  double levelFt;
};

std::vector<Place> PlacesOf(const TrackView& v, const std::vector<Stretch>& stretches,
                            std::span<const KnownRunway> runways) {
  std::vector<Place> places;
  for (const Stretch& s : stretches) {
    if (!s.ground) continue;
    const int mid = (s.first + s.last) / 2;
    places.push_back(
        {v.at(mid).latitudeDeg, v.at(mid).longitudeDeg, MedianAltitude(v, s.first, s.last)});
  }
  for (const KnownRunway& r : runways)
    places.push_back({r.latitudeDeg, r.longitudeDeg, r.elevationFt});
  return places;
}

// The height above the nearest place within reach, or nothing when none is.
std::optional<double> HeightNearPlace(const TrackView& v, int i, const std::vector<Place>& places) {
  std::optional<double> height;
  double nearest = kPhaseThresholds.placeRadiusNm * kMetresPerNm;
  for (const Place& p : places) {
    const double metres =
        GreatCircleMetres(v.at(i).latitudeDeg, v.at(i).longitudeDeg, p.latitudeDeg, p.longitudeDeg);
    if (metres <= nearest) {
      nearest = metres;
      height = v.alt(i) - p.levelFt;
    }
  }
  return height;
}

// Go-arounds in an airborne stretch: a low point near a place, come down to from at
// least some height above it and followed by a climb, without touching down.
std::vector<int> GoArounds(const TrackView& v, const Stretch& air,
                           const std::vector<Place>& places) {
  const auto& th = kPhaseThresholds;
  std::vector<int> found;
  double peak = v.alt(air.first);
  int low = air.first;
  for (int i = air.first; i <= air.last; ++i) {
    if (v.jumped(i)) continue;
    if (v.alt(i) < v.alt(low)) low = i;
    if (v.alt(i) - v.alt(low) >= th.goAroundClimbFt) {
      const auto height = HeightNearPlace(v, low, places);
      if (peak - v.alt(low) >= th.goAroundDescentFt && height && *height < th.goAroundHeightFt) {
        found.push_back(low);
      }
      peak = v.alt(i);  // the climb out is where the next descent starts
      low = i;
    } else if (v.alt(i) > peak) {
      peak = v.alt(i);  // still climbing: nothing was come down to yet
      low = i;
    }
  }
  return found;
}

// The first stop of a ground stretch from `from` on, as the first and last sample
// standing; nothing when it never stands.
std::optional<std::pair<int, int>> StopIn(const TrackView& v, int from, int last, bool lastStop) {
  std::optional<std::pair<int, int>> stop;
  for (int i = from; i <= last; ++i) {
    if (v.v(i) >= kPhaseThresholds.stopKt) continue;
    int end = i;
    while (end + 1 <= last && v.v(end + 1) < kPhaseThresholds.stopKt) ++end;
    stop = {i, end};
    if (!lastStop) return stop;
    i = end;
  }
  return stop;
}

}  // namespace

std::vector<double> SampleSeconds(const Flight& flight) {
  std::vector<double> out(flight.samples.size());
  double day = 0;
  for (std::size_t i = 0; i < flight.samples.size(); ++i) {
    const FlightSample& s = flight.samples[i];
    if (flight.timedBySource()) {
      out[i] = s.utcSeconds;
      continue;
    }
    double t = s.timeHours * 3600 + day;
    // A time of day far before the one before it lies past midnight.
    if (i > 0 && t < out[i - 1] - 43200) {
      day += 86400;
      t += 86400;
    }
    out[i] = t;
  }
  return out;
}

std::optional<Touchdown> FlightLeg::Landing() const {
  if (touchdowns.empty()) return std::nullopt;
  const Touchdown& last = touchdowns.back();
  for (int t : touchAndGoes) {
    if (t == last.index) return std::nullopt;
  }
  return last;
}

std::optional<Touchdown> FlightPhases::LastLanding() const {
  if (legs.empty()) return std::nullopt;
  return legs.back().Landing();
}

std::optional<int> FlightPhases::LastLandingRollEnd(const Flight& flight) const {
  if (!LastLanding()) return std::nullopt;
  return legs.back().landingRollEnd.value_or(flight.lastSampleIndex());
}

FlightPhases FindFlightPhases(const Flight& flight, std::span<const KnownRunway> runways) {
  FlightPhases phases;
  if (flight.samples.empty()) return phases;
  TrackView v{flight, SampleSeconds(flight), {}, {}, {}, 0};
  v.jump = FindJumps(v);
  v.moved = SpeedFromPositions(v);
  v.speed = GroundSpeed(v);
  const double step = AltitudeStep(flight);
  v.bandFt = std::clamp(step + 5, 5.0, kPhaseThresholds.groundBandFt);
  phases.onGround = ClassifyGround(v, runways);
  const std::vector<Stretch> stretches = Stretches(v, phases.onGround);
  const std::vector<Place> places = PlacesOf(v, stretches, runways);

  FlightLeg leg;
  for (std::size_t k = 0; k < stretches.size(); ++k) {
    const Stretch& s = stretches[k];
    if (!s.ground) {
      for (int g : GoArounds(v, s, places)) leg.goArounds.push_back(g);
      continue;
    }
    const bool arrived = k > 0;                    // from the air: a touchdown
    const bool leaves = k + 1 < stretches.size();  // into the air: a lift-off
    std::optional<int> out;                        // the first movement before the next take-off
    if (arrived) {
      leg.touchdowns.push_back({s.first, s.bounces});
      const std::optional<int> rollEnd = RollEnd(v, s, s.first);
      if (leaves && !rollEnd) {
        leg.touchAndGoes.push_back(s.first);
        continue;
      }
      leg.landingRollEnd = rollEnd;
      leg.blocks.on = s.first;
      // The last stop after the landing, and the movement that leaves it.
      if (const auto stop = StopIn(v, rollEnd.value_or(s.last), s.last, true)) {
        if (leaves || stop->second == s.last) leg.blocks.in = stop->first;
        if (stop->second < s.last) out = stop->second + 1;
      }
      if (!leaves) break;
      phases.legs.push_back(std::move(leg));
      leg = FlightLeg{};
    } else if (v.v(s.first) < kPhaseThresholds.stopKt) {
      // The record starts standing: the first movement.
      if (const auto stop = StopIn(v, s.first, s.last, false); stop && stop->second < s.last) {
        out = stop->second + 1;
      }
    }
    if (!leaves) break;
    const int liftoff = s.last + 1;
    leg.takeoff = TakeoffEvents{RollStart(v, s, liftoff), liftoff};
    leg.blocks.out = out;
    leg.blocks.off = liftoff;
  }
  phases.legs.push_back(std::move(leg));
  return phases;
}

AirborneEnds AirborneAtTheEnds(const Flight& flight) {
  if (flight.samples.empty()) return {};
  const FlightPhases phases = FindFlightPhases(flight);
  const std::vector<bool>& ground = phases.onGround;
  const int n = flight.sampleCount();
  auto alt = [&](int i) { return flight.samples[static_cast<std::size_t>(i)].altitudeFt; };
  // The level of the ground run that holds sample g.
  auto levelAt = [&](int g) {
    int first = g, last = g;
    while (first > 0 && ground[static_cast<std::size_t>(first - 1)]) --first;
    while (last + 1 < n && ground[static_cast<std::size_t>(last + 1)]) ++last;
    std::vector<double> a;
    for (int i = first; i <= last; ++i) a.push_back(alt(i));
    return Median(std::move(a));
  };
  // Only clear of the flight's own ground: a flight that never touches it, or one at
  // its ground's level, is not judged.
  AirborneEnds ends;
  const auto firstGround = std::find(ground.begin(), ground.end(), true);
  if (!ground.front() && firstGround != ground.end()) {
    const int g = static_cast<int>(firstGround - ground.begin());
    ends.starts = alt(0) > levelAt(g) + kPhaseThresholds.airborneFt;
  }
  const auto lastGround = std::find(ground.rbegin(), ground.rend(), true);
  if (!ground.back() && lastGround != ground.rend()) {
    const int g = n - 1 - static_cast<int>(lastGround - ground.rbegin());
    ends.ends = alt(n - 1) > levelAt(g) + kPhaseThresholds.airborneFt;
  }
  return ends;
}

std::optional<LandingRate> FindLandingRate(const Flight& flight, int touchdown) {
  const auto& th = kPhaseThresholds;
  if (touchdown <= 0 || touchdown >= flight.sampleCount()) return std::nullopt;
  const std::vector<double> seconds = SampleSeconds(flight);
  const auto t = [&](int i) { return seconds[static_cast<std::size_t>(i)]; };
  const auto alt = [&](int i) { return flight.samples[static_cast<std::size_t>(i)].altitudeFt; };
  // The samples of the window before touchdown, and at least the one before it.
  int first = touchdown - 1;
  while (first > 0 && t(touchdown) - t(first - 1) <= th.rateWindowSeconds) --first;
  // Least squares of altitude over time.
  double st = 0, sa = 0, stt = 0, sta = 0;
  const int n = touchdown - first + 1;
  for (int i = first; i <= touchdown; ++i) {
    const double x = t(i) - t(touchdown);
    st += x;
    sa += alt(i);
    stt += x * x;
    sta += x * alt(i);
  }
  const double denominator = n * stt - st * st;
  if (!(denominator > 0)) return std::nullopt;
  const double fitted = -(n * sta - st * sa) / denominator * 60;
  LandingRate rate;
  rate.fpm = fitted;
  if (flight.channels[Channel::VerticalRate] == ChannelState::Recorded) {
    rate.fpm = -flight.samples[static_cast<std::size_t>(touchdown - 1)].verticalSpeedFpm;
    rate.fromSource = true;
    // A source may hold its last rate through the flare: the altitudes say so.
    if (std::fabs(rate.fpm - fitted) > th.rateDisagreementFpm) {
      rate.doubts.push_back(Format("the altitudes give %.0f ft/min", fitted));
    }
  }
  // Steps: the altitude stands still between some samples and jumps between others,
  // as a source that reports it in coarse steps does.
  double coarsest = 0, widest = 0;
  bool stands = false;
  for (int i = first + 1; i <= touchdown; ++i) {
    const double d = std::fabs(alt(i) - alt(i - 1));
    if (d <= 0.01) stands = true;
    if (d > 0.01 && (coarsest == 0 || d < coarsest)) coarsest = d;
    widest = std::max(widest, t(i) - t(i - 1));
  }
  if (stands && coarsest >= th.coarseAltitudeFt) {
    rate.doubts.push_back(Format("altitude in steps of %.0f ft", coarsest));
  }
  if (widest > th.sparseSeconds) rate.doubts.push_back(Format("samples %.0f s apart", widest));
  return rate;
}

}  // namespace quarn

#include "record/track_builder.h"

#include <algorithm>

#include "base/format.h"
#include "base/geodesy.h"
#include "record/text_input.h"

namespace quarn {
namespace {

constexpr double kMetresPerSecondToKnots = 1.9438444924406046;
// 0001-01-01T00:00:00Z and 10000-01-01T00:00:00Z.
constexpr double kEarliestSeconds = -62135596800.0;
constexpr double kLatestSeconds = 253402300800.0;

std::size_t Index(Channel c) {
  return static_cast<std::size_t>(c);
}

// The field of a point that carries a channel, for the channels points carry.
double TrackPoint::*FieldOf(Channel c) {
  switch (c) {
    case Channel::Altitude:
      return &TrackPoint::altitudeFt;
    case Channel::GroundSpeed:
      return &TrackPoint::groundSpeedKt;
    case Channel::Track:
      return &TrackPoint::trackDeg;
    case Channel::VerticalRate:
      return &TrackPoint::verticalRateFpm;
    case Channel::OnGround:
      return &TrackPoint::onGround;
    case Channel::Ias:
      return &TrackPoint::iasKt;
    case Channel::Tas:
      return &TrackPoint::tasKt;
    case Channel::Heading:
      return &TrackPoint::headingDeg;
    case Channel::Pitch:
      return &TrackPoint::pitchDeg;
    case Channel::Roll:
      return &TrackPoint::rollDeg;
    case Channel::Gear:
      return &TrackPoint::gearDown;
    default:
      return nullptr;
  }
}

// A recorded channel's missing values: the last one before, or before the first the
// first one after. False when no point has a value.
bool FillGaps(std::vector<TrackPoint>& points, double TrackPoint::*field) {
  auto first = std::find_if(points.begin(), points.end(),
                            [&](const TrackPoint& p) { return !std::isnan(p.*field); });
  if (first == points.end()) return false;
  double last = (*first).*field;
  for (TrackPoint& p : points) {
    if (std::isnan(p.*field)) {
      p.*field = last;
    } else {
      last = p.*field;
    }
  }
  return true;
}

// The time of day in hours of a moment, as a recorder stamps it: from 0 after each
// midnight.
double TimeOfDayHours(double utcSeconds) {
  const double ofDay = utcSeconds - std::floor(utcSeconds / 86400) * 86400;
  return ofDay / 3600;
}

}  // namespace

TrackBuilder::TrackBuilder(std::string name, std::string format, int maxSamples)
    : name_(std::move(name)), format_(std::move(format)), maxSamples_(maxSamples) {}

void TrackBuilder::Declare(Channel c) {
  declared_[Index(c)] = true;
}

Status TrackBuilder::Add(const TrackPoint& given, int line) {
  auto fail = [&](const std::string& what) {
    return Status::Fail(ReadErrorAt(name_, line, what).message);
  };
  if (std::isnan(given.utcSeconds)) return fail("no time");
  // Years 1 to 9999: the dates the program writes and counts with.
  if (!(given.utcSeconds >= kEarliestSeconds && given.utcSeconds < kLatestSeconds)) {
    return fail(Format("time %g out of range", given.utcSeconds));
  }
  if (std::isnan(given.latitudeDeg) || std::isnan(given.longitudeDeg)) return fail("no position");
  if (!(std::fabs(given.latitudeDeg) <= 90)) {
    return fail(Format("latitude %g out of range", given.latitudeDeg));
  }
  if (!(std::fabs(given.longitudeDeg) <= 180)) {
    return fail(Format("longitude %g out of range", given.longitudeDeg));
  }
  // Times to the millisecond: finer steps are noise, and a step of almost nothing
  // would make the derived speeds boundless.
  TrackPoint p = given;
  p.utcSeconds = std::round(p.utcSeconds * 1000) / 1000;
  if (!points_.empty()) {
    const double before = points_.back().utcSeconds;
    if (p.utcSeconds < before) {
      return fail("the time goes back to " + IsoTimeText(p.utcSeconds) + " after " +
                  IsoTimeText(before));
    }
    // A repeated time is kept once; a break before it waits for the next point.
    if (p.utcSeconds == before) return Status::Ok();
  }
  const bool newSegment = std::exchange(breakNext_, false);
  // A file beyond what a flight holds is refused at once, not read to its end.
  if (static_cast<int>(points_.size()) >= maxSamples_) {
    return Status::Fail(ReadErrorAt(name_, line,
                                    Format("more than %d samples: a flight holds at most %d",
                                           maxSamples_, maxSamples_))
                            .message);
  }
  const bool gap = !points_.empty() && p.utcSeconds - points_.back().utcSeconds > kTrackGapSeconds;
  if (!points_.empty() && (newSegment || gap)) {
    segmentStarts_.push_back(static_cast<int>(points_.size()));
  }
  points_.push_back(p);
  return Status::Ok();
}

Result<LoadedFlight> TrackBuilder::Finish() {
  if (points_.empty()) return Error{name_ + ": no track point with a time and a position"};
  LoadedFlight loaded;
  Flight& f = loaded.flight = std::move(flight_);
  f.format = format_;
  f.segmentStarts = segmentStarts_;
  const double first = points_.front().utcSeconds;
  f.date = CivilFromDays(static_cast<std::int64_t>(std::floor(first / 86400)));
  f.channels.Set(Channel::Timestamp, ChannelState::Recorded);
  f.channels.Set(Channel::Latitude, ChannelState::Recorded);
  f.channels.Set(Channel::Longitude, ChannelState::Recorded);

  for (int c = 0; c < kChannelCount; ++c) {
    const auto channel = static_cast<Channel>(c);
    double TrackPoint::*field = FieldOf(channel);
    if (field == nullptr || !declared_[c]) continue;
    if (FillGaps(points_, field)) f.channels.Set(channel, ChannelState::Recorded);
  }
  auto carries = [&](Channel c) { return f.channels[c] == ChannelState::Recorded; };

  // Derivations step from the sample before within a piece of track, or to the one
  // after for the first sample of a piece.
  std::vector<bool> starts(points_.size(), false);
  starts[0] = true;
  for (int s : segmentStarts_) starts[static_cast<std::size_t>(s)] = true;
  auto neighbours = [&](std::size_t i) -> std::pair<std::size_t, std::size_t> {
    if (!starts[i]) return {i - 1, i};
    if (i + 1 < points_.size() && !starts[i + 1]) return {i, i + 1};
    return {i, i};
  };
  const bool deriveRate = !carries(Channel::VerticalRate) && carries(Channel::Altitude);
  const bool deriveSpeed = !carries(Channel::GroundSpeed);
  const bool deriveTrack = !carries(Channel::Track);
  double lastTrack = 0;
  for (std::size_t i = 0; i < points_.size(); ++i) {
    TrackPoint& p = points_[i];
    const auto [a, b] = neighbours(i);
    const TrackPoint& from = points_[a];
    const TrackPoint& to = points_[b];
    const double dt = to.utcSeconds - from.utcSeconds;
    if (deriveRate) p.verticalRateFpm = dt > 0 ? (to.altitudeFt - from.altitudeFt) / dt * 60 : 0;
    if (deriveSpeed || deriveTrack) {
      const DistanceBearing db =
          DistanceAndBearing(from.latitudeDeg, from.longitudeDeg, to.latitudeDeg, to.longitudeDeg);
      if (deriveSpeed) p.groundSpeedKt = dt > 0 ? db.metres / dt * kMetresPerSecondToKnots : 0;
      // Standing still has no direction: the last one holds.
      if (deriveTrack) p.trackDeg = db.metres > 0 ? db.bearingDeg : lastTrack;
      lastTrack = p.trackDeg;
    }
  }
  if (deriveRate) f.channels.Set(Channel::VerticalRate, ChannelState::Derived);
  if (deriveSpeed) f.channels.Set(Channel::GroundSpeed, ChannelState::Derived);
  if (deriveTrack) f.channels.Set(Channel::Track, ChannelState::Derived);
  // Without a recorded heading the track over the ground stands in for it: the
  // charts that look along the runway need a direction.
  const bool headingFromTrack = !carries(Channel::Heading);
  if (headingFromTrack) f.channels.Set(Channel::Heading, ChannelState::Derived);

  f.samples.reserve(points_.size());
  for (const TrackPoint& p : points_) {
    FlightSample s;
    s.utcSeconds = p.utcSeconds;
    s.timeHours = TimeOfDayHours(p.utcSeconds);
    s.latitudeDeg = p.latitudeDeg;
    s.longitudeDeg = p.longitudeDeg;
    auto value = [&](Channel c, double v) { return f.channels.Carries(c) ? v : 0.0; };
    s.altitudeFt = value(Channel::Altitude, p.altitudeFt);
    s.groundSpeedKt = value(Channel::GroundSpeed, p.groundSpeedKt);
    s.trackDeg = value(Channel::Track, p.trackDeg);
    s.verticalSpeedFpm = value(Channel::VerticalRate, p.verticalRateFpm);
    s.onGround = value(Channel::OnGround, p.onGround);
    s.iasKt = value(Channel::Ias, p.iasKt);
    s.tasKt = value(Channel::Tas, p.tasKt);
    s.courseDeg = headingFromTrack ? s.trackDeg : value(Channel::Heading, p.headingDeg);
    s.pitchDeg = value(Channel::Pitch, p.pitchDeg);
    s.bankDeg = value(Channel::Roll, p.rollDeg);
    s.gear1 = s.gear2 = s.gear3 = value(Channel::Gear, p.gearDown);
    f.samples.push_back(s);
  }
  return loaded;
}

}  // namespace quarn

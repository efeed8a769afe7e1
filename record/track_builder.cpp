#include "record/track_builder.h"

#include <sys/mman.h>
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "base/format.h"
#include "base/geodesy.h"
#include "record/text_input.h"

namespace quarn {
namespace {

// Samples per task when the derivations are shared out among the cores.
constexpr std::size_t kDeriveGrain = 2048;
// Room smaller than this is left to be made ready page by page as it is written.
constexpr std::size_t kMakeReadyBytes = std::size_t{4} << 20;
constexpr double kMetresPerSecondToKnots = 1.9438444924406046;
// 0001-01-01T00:00:00Z and 10000-01-01T00:00:00Z.
constexpr double kEarliestSeconds = -62135596800.0;
constexpr double kLatestSeconds = 253402300800.0;

std::size_t Index(Channel c) {
  return static_cast<std::size_t>(c);
}

// A channel a point may carry, where the point and the sample hold it.
struct CarriedField {
  Channel channel;
  double TrackPoint::*point;
  double FlightSample::*sample;
};

constexpr int kTrackField = 2;
constexpr int kHeadingField = 7;
constexpr CarriedField kCarriedFields[] = {
    {Channel::Altitude, &TrackPoint::altitudeFt, &FlightSample::altitudeFt},
    {Channel::GroundSpeed, &TrackPoint::groundSpeedKt, &FlightSample::groundSpeedKt},
    {Channel::Track, &TrackPoint::trackDeg, &FlightSample::trackDeg},
    {Channel::VerticalRate, &TrackPoint::verticalRateFpm, &FlightSample::verticalSpeedFpm},
    {Channel::OnGround, &TrackPoint::onGround, &FlightSample::onGround},
    {Channel::Ias, &TrackPoint::iasKt, &FlightSample::iasKt},
    {Channel::Tas, &TrackPoint::tasKt, &FlightSample::tasKt},
    {Channel::Heading, &TrackPoint::headingDeg, &FlightSample::courseDeg},
    {Channel::Pitch, &TrackPoint::pitchDeg, &FlightSample::pitchDeg},
    {Channel::Roll, &TrackPoint::rollDeg, &FlightSample::bankDeg},
    {Channel::Gear, &TrackPoint::gearDown, &FlightSample::gear1},
};

// The samples before a channel's first value take that value.
void BackFill(std::vector<FlightSample>& samples, double FlightSample::*field, std::size_t first) {
  for (std::size_t i = 0; i < first; ++i) samples[i].*field = samples[first].*field;
}

// A channel the flight does not carry reads zero. The gear's legs go together.
void Clear(std::vector<FlightSample>& samples, double FlightSample::*field) {
  for (FlightSample& s : samples) {
    s.*field = 0;
    if (field == &FlightSample::gear1) s.gear2 = s.gear3 = 0;
  }
}

// What a flight's samples are to be given from their positions, times and altitudes.
struct Derivations {
  bool rate = false;
  bool speed = false;
  bool track = false;
  bool copyHeading = false;  // the heading is the track over the ground
};

// How many samples ahead of the one at hand are asked for from memory.
constexpr std::size_t kPrefetchAhead = 8;

// Asks for a sample's memory to be brought into the cache, to be written.
void Prefetch(const FlightSample& sample) {
  const char* bytes = reinterpret_cast<const char*>(&sample);
  for (std::size_t at = 0; at < sizeof(FlightSample); at += 64) __builtin_prefetch(bytes + at, 1);
}

// The terms of the great-circle distance and bearing that depend on one latitude
// alone: worked out once a sample rather than once for each of its neighbours.
struct LatitudeTerms {
  double phi = 0;
  double sinPhi = 0;
  double cosPhi = 0;
  double tanPhi = 0;
};

LatitudeTerms TermsOf(double latitudeDeg) {
  const double phi = latitudeDeg * kDegToRad;
  return {phi, std::sin(phi), std::cos(phi), std::tan(phi)};
}

// DistanceAndBearing from the positions' latitude terms: the same arithmetic in the
// same order, so the same values to the last bit.
DistanceBearing Between(const LatitudeTerms& a, double lon1, const LatitudeTerms& b, double lon2) {
  const double dLambda = (lon2 - lon1) * kDegToRad;
  double bearing =
      std::atan2(std::sin(dLambda), b.tanPhi * a.cosPhi - std::cos(dLambda) * a.sinPhi) * kRadToDeg;
  if (bearing < 0) bearing += 360;
  const double sHalfPhi = std::sin((b.phi - a.phi) / 2);
  const double sHalfLambda = std::sin(dLambda / 2);
  const double metres =
      std::asin(std::sqrt(sHalfPhi * sHalfPhi + a.cosPhi * b.cosPhi * sHalfLambda * sHalfLambda)) *
      kEarthDiameterMetres;
  return {metres, bearing};
}

// Derives from the sample before within a piece of track, or to the one after for the
// first sample of a piece. Each step reads positions, times and altitudes and writes
// only what it derives, so the samples are shared out among the cores; standing still
// has no direction, and there the direction before holds, set in order afterwards.
void Derive(std::vector<FlightSample>& samples, const std::vector<int>& segmentStarts,
            Derivations d) {
  if (!d.rate && !d.speed && !d.track && !d.copyHeading) return;
  std::vector<bool> starts(samples.size(), false);
  starts[0] = true;
  for (int s : segmentStarts) starts[static_cast<std::size_t>(s)] = true;
  auto neighbours = [&](std::size_t i) -> std::pair<std::size_t, std::size_t> {
    if (!starts[i]) return {i - 1, i};
    if (i + 1 < samples.size() && !starts[i + 1]) return {i, i + 1};
    return {i, i};
  };
  const bool motion = d.speed || d.track;
  const std::size_t blocks = (samples.size() + kDeriveGrain - 1) / kDeriveGrain;
  std::vector<std::vector<std::size_t>> standing(blocks);
  tbb::parallel_for(std::size_t{0}, blocks, [&](std::size_t block) {
    const std::size_t begin = block * kDeriveGrain;
    const std::size_t end = std::min(samples.size(), begin + kDeriveGrain);
    // The block's samples and the one on each side, which may be neighbours.
    const std::size_t termsFrom = begin == 0 ? 0 : begin - 1;
    std::vector<LatitudeTerms> terms;
    if (motion) {
      const std::size_t termsTo = std::min(samples.size(), end + 1);
      terms.reserve(termsTo - termsFrom);
      for (std::size_t i = termsFrom; i < termsTo; ++i) {
        // The samples are far apart in memory and long out of the cache: asking for
        // those a little ahead, and for all of each, keeps the core from waiting.
        if (i + kPrefetchAhead < termsTo) Prefetch(samples[i + kPrefetchAhead]);
        terms.push_back(TermsOf(samples[i].latitudeDeg));
      }
    }
    for (std::size_t i = begin; i < end; ++i) {
      const auto [a, b] = neighbours(i);
      const FlightSample& from = samples[a];
      const FlightSample& to = samples[b];
      FlightSample& s = samples[i];
      const double dt = to.utcSeconds - from.utcSeconds;
      if (d.rate) s.verticalSpeedFpm = dt > 0 ? (to.altitudeFt - from.altitudeFt) / dt * 60 : 0;
      if (motion) {
        const DistanceBearing db =
            Between(terms[a - termsFrom], from.longitudeDeg, terms[b - termsFrom], to.longitudeDeg);
        if (d.speed) s.groundSpeedKt = dt > 0 ? db.metres / dt * kMetresPerSecondToKnots : 0;
        if (d.track) {
          if (db.metres > 0) {
            s.trackDeg = db.bearingDeg;
          } else {
            standing[block].push_back(i);
          }
        }
      }
      if (d.copyHeading) s.courseDeg = s.trackDeg;
    }
  });
  for (const std::vector<std::size_t>& indices : standing) {
    for (std::size_t i : indices) {
      samples[i].trackDeg = i == 0 ? 0 : samples[i - 1].trackDeg;
      if (d.copyHeading) samples[i].courseDeg = samples[i].trackDeg;
    }
  }
}

// Has the system make the pages of a span present and writable in one call: written
// one at a time, the pages of a million samples fault more slowly than they are read.
// Where the system has no such call the pages come as they are written.
void MakePagesPresent(void* begin, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(begin);
  const std::uintptr_t first = (start + page - 1) / page * page;
  const std::uintptr_t end = (start + bytes) / page * page;
  // A failure leaves the pages to come as they are written.
  if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
  (void)begin;
  (void)bytes;
#endif
}

// The time of day in hours of a moment, as a recorder stamps it: from 0 after each
// midnight.
double TimeOfDayHours(double utcSeconds) {
  const double ofDay = utcSeconds - std::floor(utcSeconds / 86400) * 86400;
  return ofDay / 3600;
}

}  // namespace

TrackBuilder::TrackBuilder(std::string name, std::string format, int maxSamples)
    : name_(std::move(name)), format_(std::move(format)), maxSamples_(maxSamples) {
  static_assert(std::size(kCarriedFields) == kCarried);
  static_assert(kCarriedFields[kTrackField].channel == Channel::Track);
  static_assert(kCarriedFields[kHeadingField].channel == Channel::Heading);
  std::fill(std::begin(firstWith_), std::end(firstWith_), -1);
}

void TrackBuilder::Declare(Channel c) {
  declared_[Index(c)] = true;
}

TrackBuilder::~TrackBuilder() {
  WaitForRoom();
}

void TrackBuilder::Reserve(std::size_t points, Room room) {
  const std::size_t wanted =
      std::min(samples_.size() + points, static_cast<std::size_t>(maxSamples_));
  if (wanted <= samples_.capacity()) return;
  WaitForRoom();
  samples_.reserve(wanted);
  FlightSample* free = samples_.data() + samples_.size();
  const std::size_t bytes = (samples_.capacity() - samples_.size()) * sizeof(FlightSample);
  if (room != Room::ReadyOnAnotherCore || bytes < kMakeReadyBytes) return;
  makingRoom_ = true;
  roomReady_.run([free, bytes] { MakePagesPresent(free, bytes); });
}

void TrackBuilder::WaitForRoom() {
  if (!makingRoom_) return;
  roomReady_.wait();
  makingRoom_ = false;
}

Status TrackBuilder::Add(const TrackPoint& point, int line) {
  if (auto refused = Take(point)) return Status::Fail(ReadErrorAt(name_, line, *refused).message);
  return Status::Ok();
}

std::optional<std::string> TrackBuilder::Take(const TrackPoint& given) {
  if (std::isnan(given.utcSeconds)) return "no time";
  // Years 1 to 9999: the dates the program writes and counts with.
  if (!(given.utcSeconds >= kEarliestSeconds && given.utcSeconds < kLatestSeconds)) {
    return Format("time %g out of range", given.utcSeconds);
  }
  if (std::isnan(given.latitudeDeg) || std::isnan(given.longitudeDeg)) return "no position";
  if (!(std::fabs(given.latitudeDeg) <= 90)) {
    return Format("latitude %g out of range", given.latitudeDeg);
  }
  if (!(std::fabs(given.longitudeDeg) <= 180)) {
    return Format("longitude %g out of range", given.longitudeDeg);
  }
  // Times to the millisecond: finer steps are noise, and a step of almost nothing
  // would make the derived speeds boundless.
  const double t = std::round(given.utcSeconds * 1000) / 1000;
  if (!samples_.empty()) {
    const double before = samples_.back().utcSeconds;
    if (t < before)
      return "the time goes back to " + IsoTimeText(t) + " after " + IsoTimeText(before);
    // A repeated time is kept once; a break before it waits for the next point.
    if (t == before) return std::nullopt;
  }
  const bool newSegment = std::exchange(breakNext_, false);
  // A file beyond what a flight holds is refused at once, not read to its end.
  if (static_cast<int>(samples_.size()) >= maxSamples_) {
    return Format("more than %d samples: a flight holds at most %d", maxSamples_, maxSamples_);
  }
  const bool gap = !samples_.empty() && t - samples_.back().utcSeconds > kTrackGapSeconds;
  if (!samples_.empty() && (newSegment || gap)) {
    segmentStarts_.push_back(static_cast<int>(samples_.size()));
  }
  Store(given, t);
  return std::nullopt;
}

void TrackBuilder::Store(const TrackPoint& given, double utcSeconds) {
  // Growing moves the samples: not while their room is being made ready.
  if (samples_.size() == samples_.capacity()) WaitForRoom();
  const int index = static_cast<int>(samples_.size());
  FlightSample& s = samples_.emplace_back();
  s.utcSeconds = utcSeconds;
  s.timeHours = TimeOfDayHours(utcSeconds);
  s.latitudeDeg = given.latitudeDeg;
  s.longitudeDeg = given.longitudeDeg;
  // Filled as they come, while the sample is at hand: a second walk over a million
  // samples costs more than the reading.
  for (int k = 0; k < kCarried; ++k) {
    const double v = given.*kCarriedFields[k].point;
    if (!std::isnan(v)) {
      last_[k] = v;
      if (firstWith_[k] < 0) firstWith_[k] = index;
    }
    s.*kCarriedFields[k].sample = last_[k];
  }
  s.gear2 = s.gear3 = s.gear1;
  // Until a heading comes, the track over the ground stands in for it; a later first
  // heading is copied back over these at the end.
  if (firstWith_[kHeadingField] < 0) s.courseDeg = s.trackDeg;
}

Result<LoadedFlight> TrackBuilder::Finish() {
  WaitForRoom();
  // Room made ready for far more points than came would be held as long as the flight.
  const std::size_t unused = samples_.capacity() - samples_.size();
  if (unused > samples_.size() / 4 + kMakeReadyBytes / sizeof(FlightSample)) {
    samples_.shrink_to_fit();
  }
  if (samples_.empty()) return Error{name_ + ": no track point with a time and a position"};
  LoadedFlight loaded;
  Flight& f = loaded.flight = std::move(flight_);
  f.format = format_;
  f.segmentStarts = segmentStarts_;
  const double first = samples_.front().utcSeconds;
  f.date = CivilFromDays(static_cast<std::int64_t>(std::floor(first / 86400)));
  f.channels.Set(Channel::Timestamp, ChannelState::Recorded);
  f.channels.Set(Channel::Latitude, ChannelState::Recorded);
  f.channels.Set(Channel::Longitude, ChannelState::Recorded);

  bool headingCleared = false;
  for (int k = 0; k < kCarried; ++k) {
    const CarriedField& field = kCarriedFields[k];
    if (firstWith_[k] < 0) continue;  // zero throughout (a heading: the track)
    if (declared_[Index(field.channel)]) {
      f.channels.Set(field.channel, ChannelState::Recorded);
      BackFill(samples_, field.sample, static_cast<std::size_t>(firstWith_[k]));
    } else {
      Clear(samples_, field.sample);
      headingCleared |= k == kHeadingField;
    }
  }
  auto carries = [&](Channel c) { return f.channels[c] == ChannelState::Recorded; };

  const bool deriveRate = !carries(Channel::VerticalRate) && carries(Channel::Altitude);
  const bool deriveSpeed = !carries(Channel::GroundSpeed);
  const bool deriveTrack = !carries(Channel::Track);
  // Without a recorded heading the track over the ground stands in for it: the
  // charts that look along the runway need a direction.
  const bool headingFromTrack = !carries(Channel::Heading);
  // The samples already hold a recorded track as their heading.
  const bool copyHeading = headingFromTrack && (deriveTrack || headingCleared);
  Derive(samples_, segmentStarts_, {deriveRate, deriveSpeed, deriveTrack, copyHeading});
  // Samples before the track's first value took it back only as their track.
  if (headingFromTrack && !copyHeading) {
    for (int i = 0; i < firstWith_[kTrackField]; ++i) samples_[i].courseDeg = samples_[i].trackDeg;
  }
  if (deriveRate) f.channels.Set(Channel::VerticalRate, ChannelState::Derived);
  if (deriveSpeed) f.channels.Set(Channel::GroundSpeed, ChannelState::Derived);
  if (deriveTrack) f.channels.Set(Channel::Track, ChannelState::Derived);
  if (headingFromTrack) f.channels.Set(Channel::Heading, ChannelState::Derived);
  f.samples = std::move(samples_);
  return loaded;
}

}  // namespace quarn

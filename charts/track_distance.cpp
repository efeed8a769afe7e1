#include "charts/track_distance.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_reduce.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <utility>

#include "base/geodesy.h"

namespace quarn {
namespace {

constexpr double kStartMetres = 10000000;
constexpr std::size_t kCompareGrain = 65536;  // samples per task of the comparison
constexpr std::size_t kAhead = 16;            // samples read ahead of the one compared
constexpr int kRunSize = 32;                  // samples per run
constexpr int kRunsPerGroup = 32;             // runs per group
// Rounding in the bounds is far below a millimetre; a box is passed over only when
// its bound exceeds the best distance by more than this.
constexpr double kSafetyMetres = 0.01;

// Positions the boxes can bound: finite, and away from the poles, where the cosine
// of the latitude (scaled by the rounded degree factor) would turn negative.
bool Boundable(double latitude, double longitude) {
  return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 89 &&
         std::fabs(longitude) <= 720;
}

double SinHalfSquared(double degrees) {
  const double s = std::sin(degrees * kDegToRad / 2);
  return s * s;
}

// The smallest sin^2(t / 2) for t from a to b degrees: 0 when the interval holds a
// whole turn; otherwise at one of its ends, as the function rises and falls once
// between whole turns.
double MinSinHalfSquared(double a, double b) {
  if (std::ceil(a / 360) * 360 <= b) return 0;
  return std::min(SinHalfSquared(a), SinHalfSquared(b));
}

std::uint64_t Bits(double v) {
  return std::bit_cast<std::uint64_t>(v);
}

}  // namespace

double NearestTrackMetresByScan(const Flight& flight, double latitude, double longitude) {
  double best = kStartMetres;
  for (const FlightSample& s : flight.samples) {
    const double d = GreatCircleMetres(s.latitudeDeg, s.longitudeDeg, latitude, longitude);
    if (d < best) best = d;
  }
  return best;
}

void TrackDistanceCache::Clear() {
  lat_.clear();
  lon_.clear();
  runs_.clear();
  groups_.clear();
  indexed_ = false;
  entries_.clear();
}

void TrackDistanceCache::SyncWithTrack(const Flight& flight) {
  const std::vector<FlightSample>& samples = flight.samples;
  // Compared on every core: a long track is compared at every redraw.
  const bool same = samples.size() == lat_.size() &&
                    tbb::parallel_reduce(
                        tbb::blocked_range<std::size_t>(0, samples.size(), kCompareGrain), true,
                        [&](const tbb::blocked_range<std::size_t>& range, bool sameSoFar) {
                          for (std::size_t k = range.begin(); sameSoFar && k != range.end(); ++k) {
                            // Samples are far apart in memory: ask for the ones ahead early.
                            if (k + kAhead < samples.size())
                              __builtin_prefetch(&samples[k + kAhead]);
                            const FlightSample& s = samples[k];
                            sameSoFar = Bits(s.latitudeDeg) == Bits(lat_[k]) &&
                                        Bits(s.longitudeDeg) == Bits(lon_[k]);
                          }
                          return sameSoFar;
                        },
                        [](bool a, bool b) { return a && b; });
  if (same) return;
  Clear();
  TakeTrack(flight);
}

TrackDistanceCache::Box TrackDistanceCache::MakeBox(int first, int last) const {
  Box b;
  b.first = first;
  b.last = last;
  const auto f = static_cast<std::size_t>(first);
  b.latLo = b.latHi = lat_[f];
  b.lonLo = b.lonHi = lon_[f];
  for (int i = first + 1; i <= last; ++i) {
    const auto k = static_cast<std::size_t>(i);
    b.latLo = std::min(b.latLo, lat_[k]);
    b.latHi = std::max(b.latHi, lat_[k]);
    b.lonLo = std::min(b.lonLo, lon_[k]);
    b.lonHi = std::max(b.lonHi, lon_[k]);
  }
  b.cosLatMin = std::min(std::cos(b.latLo * kDegToRad), std::cos(b.latHi * kDegToRad));
  return b;
}

void TrackDistanceCache::TakeTrack(const Flight& flight) {
  const int count = flight.sampleCount();
  lat_.resize(static_cast<std::size_t>(count));
  lon_.resize(static_cast<std::size_t>(count));
  indexed_ = true;
  for (int i = 0; i < count; ++i) {
    const FlightSample& s = flight.samples[static_cast<std::size_t>(i)];
    const auto k = static_cast<std::size_t>(i);
    lat_[k] = s.latitudeDeg;
    lon_[k] = s.longitudeDeg;
    if (!Boundable(s.latitudeDeg, s.longitudeDeg)) indexed_ = false;
  }
  if (!indexed_) return;
  for (int first = 0; first < count; first += kRunSize) {
    runs_.push_back(MakeBox(first, std::min(count, first + kRunSize) - 1));
  }
  for (std::size_t r = 0; r < runs_.size(); r += kRunsPerGroup) {
    const std::size_t lastRun = std::min(runs_.size(), r + kRunsPerGroup) - 1;
    Box g = MakeBox(runs_[r].first, runs_[lastRun].last);
    // A group's first and last are run numbers.
    g.first = static_cast<int>(r);
    g.last = static_cast<int>(lastRun);
    groups_.push_back(g);
  }
}

// Visits the groups, then their runs, nearest bound first, and evaluates the samples
// of a run only while its bound can still beat the best distance: the result is the
// scan's minimum, exactly, since every sample passed over is farther than it.
double TrackDistanceCache::SearchNearest(double latitude, double longitude) const {
  const double cosLat = std::cos(latitude * kDegToRad);
  auto lowerBound = [&](const Box& b) {
    const double dLat =
        latitude < b.latLo ? b.latLo - latitude : (latitude > b.latHi ? latitude - b.latHi : 0);
    const double h =
        SinHalfSquared(dLat) +
        cosLat * b.cosLatMin * MinSinHalfSquared(longitude - b.lonHi, longitude - b.lonLo);
    return std::asin(std::sqrt(std::min(1.0, h))) * kEarthDiameterMetres;
  };

  std::vector<std::pair<double, int>> groupOrder;
  groupOrder.reserve(groups_.size());
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    groupOrder.emplace_back(lowerBound(groups_[g]), static_cast<int>(g));
  }
  std::sort(groupOrder.begin(), groupOrder.end());

  double best = kStartMetres;
  std::array<std::pair<double, int>, kRunsPerGroup> runOrder{};
  for (const auto& [groupBound, g] : groupOrder) {
    if (groupBound - kSafetyMetres > best) break;
    const Box& group = groups_[static_cast<std::size_t>(g)];
    std::size_t n = 0;
    for (int r = group.first; r <= group.last; ++r) {
      runOrder[n++] = {lowerBound(runs_[static_cast<std::size_t>(r)]), r};
    }
    std::sort(runOrder.begin(), runOrder.begin() + static_cast<std::ptrdiff_t>(n));
    for (std::size_t k = 0; k < n; ++k) {
      if (runOrder[k].first - kSafetyMetres > best) break;
      const Box& run = runs_[static_cast<std::size_t>(runOrder[k].second)];
      for (int i = run.first; i <= run.last; ++i) {
        const auto s = static_cast<std::size_t>(i);
        const double d = GreatCircleMetres(lat_[s], lon_[s], latitude, longitude);
        if (d < best) best = d;
      }
    }
  }
  return best;
}

double TrackDistanceCache::Metres(int navaidIndex, double latitude, double longitude) {
  auto compute = [&] {
    if (indexed_ && Boundable(latitude, longitude)) return SearchNearest(latitude, longitude);
    double best = kStartMetres;
    for (std::size_t i = 0; i < lat_.size(); ++i) {
      const double d = GreatCircleMetres(lat_[i], lon_[i], latitude, longitude);
      if (d < best) best = d;
    }
    return best;
  };
  if (navaidIndex < 0) return compute();
  const auto k = static_cast<std::size_t>(navaidIndex);
  if (k >= entries_.size()) entries_.resize(k + 1);
  Entry& e = entries_[k];
  if (e.valid && e.latBits == Bits(latitude) && e.lonBits == Bits(longitude)) return e.metres;
  e = Entry{Bits(latitude), Bits(longitude), compute(), true};
  return e.metres;
}

}  // namespace quarn

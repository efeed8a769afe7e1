#include "charts/map_projection.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_reduce.h>

#include <algorithm>

#include "base/geodesy.h"
#include "base/numeric.h"

namespace quarn {
namespace {

constexpr int kPixelLimit = 1 << 26;

}  // namespace

int MapPixel(double v) {
  return std::clamp(TruncToInt(v), -kPixelLimit, kPixelLimit);
}

MapProjection MapProjection::FromMapState(const MapState& map, int clientHeight) {
  return MapProjection{clientHeight, map.mapLatMin, map.mapLonMin, map.mapSpanDeg,
                       map.mapSpanMetres};
}

Point MapProjection::ToPixel(double latitude, double longitude) const {
  const double side = clientHeight - 100;
  // A map without a span (none drawn yet) has no scale: everything sits at its
  // lower-left corner.
  if (spanDeg == 0) return Point{200, clientHeight - 50};
  return Point{MapPixel(side * (longitude - lonMin) / spanDeg + 200),
               MapPixel((clientHeight - 50) - side * (latitude - latMin) / spanDeg)};
}

int MapProjection::MetresToMapPixels(double metres) const {
  if (spanMetres == 0) return 0;
  return MapPixel((clientHeight - 100) * metres / spanMetres);
}

bool InsideMapMargin(const MapState& map, double latitude, double longitude) {
  return map.mapLatMin - kMapMarginDeg <= latitude && latitude <= map.mapLatMax + kMapMarginDeg &&
         map.mapLonMin - kMapMarginDeg <= longitude && longitude <= map.mapLonMax + kMapMarginDeg;
}

namespace {

// Samples per task when the extents of a long track are found on every core.
constexpr std::size_t kExtentsGrain = 65536;
constexpr std::size_t kAhead = 16;  // samples read ahead of the one taken

// The smallest and largest latitude and longitude of some samples; with none, the
// smallest above the largest.
struct Extents {
  double latMin = 1000000, lonMin = 1000000;
  double latMax = -1000, lonMax = -1000;

  void Take(const FlightSample& s) {
    latMin = std::min(latMin, s.latitudeDeg);
    latMax = std::max(latMax, s.latitudeDeg);
    lonMin = std::min(lonMin, s.longitudeDeg);
    lonMax = std::max(lonMax, s.longitudeDeg);
  }
  // The samples after these: of equal values the earlier one stays, as in one walk.
  void Join(const Extents& after) {
    latMin = std::min(latMin, after.latMin);
    latMax = std::max(latMax, after.latMax);
    lonMin = std::min(lonMin, after.lonMin);
    lonMax = std::max(lonMax, after.lonMax);
  }
};

Extents TrackExtents(const Flight& flight, int first, int last) {
  if (first > last) return {};
  return tbb::parallel_deterministic_reduce(
      tbb::blocked_range<std::size_t>(static_cast<std::size_t>(first),
                                      static_cast<std::size_t>(last) + 1, kExtentsGrain),
      Extents{},
      [&](const tbb::blocked_range<std::size_t>& range, Extents e) {
        for (std::size_t i = range.begin(); i != range.end(); ++i) {
          // Samples are far apart in memory: ask for the ones ahead early.
          if (i + kAhead < flight.samples.size()) __builtin_prefetch(&flight.samples[i + kAhead]);
          e.Take(flight.samples[i]);
        }
        return e;
      },
      [](Extents before, const Extents& after) {
        before.Join(after);
        return before;
      });
}

}  // namespace

void SetMapExtentsFromTrackWindow(MapState& map, const Flight& flight, const ViewState& view) {
  const int first = std::max(view.trackFirst, 0);
  const int last = std::min(view.trackLast, flight.lastSampleIndex());
  const Extents e = TrackExtents(flight, first, last);
  double latMin = e.latMin, lonMin = e.lonMin;
  double latMax = e.latMax, lonMax = e.lonMax;

  // A window whose samples all lie at one point has no span, and an empty window no
  // extents at all; dividing by the span would put every pixel at infinity. Such a
  // map is drawn around its point (the track cursor's sample for an empty window)
  // with a small span, so the cursor, the track and the navaids next to it show.
  const bool noExtents = !(latMin <= latMax && lonMin <= lonMax);
  if (noExtents || (latMin == latMax && lonMin == lonMax)) {
    double lat = latMin;
    double lon = lonMin;
    if (noExtents) {
      lat = flight.SampleAt(view.trackCursor).latitudeDeg;
      lon = flight.SampleAt(view.trackCursor).longitudeDeg;
    }
    latMin = lat - kZeroSpanDeg / 2;
    latMax = lat + kZeroSpanDeg / 2;
    lonMin = lon - kZeroSpanDeg / 2;
    lonMax = lon + kZeroSpanDeg / 2;
  }
  map.mapLatMin = latMin;
  map.mapLatMax = latMax;
  map.mapLonMin = lonMin;
  map.mapLonMax = lonMax;

  if (lonMax - lonMin >= latMax - latMin) {
    // The longitude span is the larger: its length is taken along the equator.
    map.mapSpanDeg = lonMax - lonMin;
    map.mapSpanMetres = GreatCircleMetres(0, lonMax, 0, lonMin);
  } else {
    // The latitude span, along the zero meridian.
    map.mapSpanDeg = latMax - latMin;
    map.mapSpanMetres = GreatCircleMetres(latMax, 0, latMin, 0);
  }
}

}  // namespace quarn

#include "charts/map_projection.h"

#include <algorithm>

#include "base/geodesy.h"
#include "base/numeric.h"
#include "base/view_state.h"
#include "charts/map_state.h"
#include "record/sample_table.h"

namespace quarn {
namespace {

constexpr int kPixelLimit = 1 << 26;

}  // namespace

int MapPixel(double v) {
  return std::clamp(TruncToInt(v), -kPixelLimit, kPixelLimit);
}

MapProjection MapProjection::FromMapState(int clientHeight) {
  return MapProjection{clientHeight, g_mapLatMin, g_mapLonMin, g_mapSpanDeg, g_mapSpanMetres};
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

bool InsideMapMargin(double latitude, double longitude) {
  return g_mapLatMin - kMapMarginDeg <= latitude && latitude <= g_mapLatMax + kMapMarginDeg &&
         g_mapLonMin - kMapMarginDeg <= longitude && longitude <= g_mapLonMax + kMapMarginDeg;
}

void SetMapExtentsFromTrackWindow() {
  g_mapLatMin = g_mapLonMin = 1000000;
  g_mapLatMax = g_mapLonMax = -1000;
  const int first = std::max(g_trackFirst, 0);
  const int last = std::min(g_trackLast, kMaxSamples - 1);
  for (int i = first; i <= last; ++i) {
    const FlightSample& s = g_samples[static_cast<std::size_t>(i)];
    g_mapLatMin = std::min(g_mapLatMin, s.latitudeDeg);
    g_mapLatMax = std::max(g_mapLatMax, s.latitudeDeg);
    g_mapLonMin = std::min(g_mapLonMin, s.longitudeDeg);
    g_mapLonMax = std::max(g_mapLonMax, s.longitudeDeg);
  }

  // A window whose samples all lie at one point has no span, and an empty window no
  // extents at all; dividing by the span would put every pixel at infinity. Such a
  // map is drawn around its point (the track cursor's sample for an empty window)
  // with a small span, so the cursor, the track and the navaids next to it show.
  const bool noExtents = !(g_mapLatMin <= g_mapLatMax && g_mapLonMin <= g_mapLonMax);
  if (noExtents || (g_mapLatMin == g_mapLatMax && g_mapLonMin == g_mapLonMax)) {
    double lat = g_mapLatMin;
    double lon = g_mapLonMin;
    if (noExtents) {
      lat = SampleAt(g_trackCursor).latitudeDeg;
      lon = SampleAt(g_trackCursor).longitudeDeg;
    }
    g_mapLatMin = lat - kZeroSpanDeg / 2;
    g_mapLatMax = lat + kZeroSpanDeg / 2;
    g_mapLonMin = lon - kZeroSpanDeg / 2;
    g_mapLonMax = lon + kZeroSpanDeg / 2;
  }

  if (g_mapLonMax - g_mapLonMin >= g_mapLatMax - g_mapLatMin) {
    // The longitude span is the larger: its length is taken along the equator.
    g_mapSpanDeg = g_mapLonMax - g_mapLonMin;
    g_mapSpanMetres = GreatCircleMetres(0, g_mapLonMax, 0, g_mapLonMin);
  } else {
    // The latitude span, along the zero meridian.
    g_mapSpanDeg = g_mapLatMax - g_mapLatMin;
    g_mapSpanMetres = GreatCircleMetres(g_mapLatMax, 0, g_mapLatMin, 0);
  }
}

}  // namespace quarn

#pragma once
// The track map's square projection of latitude and longitude onto the client, and
// the extents it is made from. The track chart, the approach bottom view and the
// radials draw through it.

#include "base/flight.h"
#include "base/view_state.h"
#include "charts/map_state.h"
#include "platform/draw_context.h"

namespace quarn {

// VOR symbols and texts, airport names and radials share one colour.
inline constexpr Color kVorColor{200, 221, 13};
// Runway bars and their labels, on the map and in the side view.
inline constexpr Color kRunwayGrey{168, 168, 168};
// The light grey fill of the NDB symbol and of the side view's navaid triangles.
inline constexpr Color kLightGrey{192, 192, 192};

// Degrees of margin around the extents within which navaids and radials are drawn.
inline constexpr double kMapMarginDeg = 0.1;

// The span a map gets when its track window has no extent (every sample at one
// point, or no sample): about two kilometres around the point.
inline constexpr double kZeroSpanDeg = 0.02;

struct MapProjection {
  int clientHeight = 0;
  double latMin = 0;
  double lonMin = 0;
  double spanDeg = 0;
  double spanMetres = 0;

  // The projection of the map extents as the last track chart or bottom view set them.
  static MapProjection FromMapState(const MapState& map, int clientHeight);

  // The pixel of a position: the map is the square from x = 200 to 200 + (H - 100)
  // and from y = H - 50 up to y = 50; a degree of longitude is drawn as long as a
  // degree of latitude.
  Point ToPixel(double latitude, double longitude) const;
  // A length in metres as pixels at the map's scale.
  int MetresToMapPixels(double metres) const;
};

// Whether a position lies inside the map extents widened by the margin.
bool InsideMapMargin(const MapState& map, double latitude, double longitude);

// Sets the map extents from the flight's samples in the track window.
void SetMapExtentsFromTrackWindow(MapState& map, const Flight& flight, const ViewState& view);

// A double pixel value truncated toward zero and held within a range in which the
// offsets that symbols add to it cannot overflow; such far-off pixels lie outside any
// window anyway.
int MapPixel(double v);

}  // namespace quarn

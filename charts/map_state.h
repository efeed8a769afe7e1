#pragma once
// The track map's layer flags and extents, shared by the track chart, the approach
// views and the view's click handling; the user's VOR radials; the navaids'
// distances from the track. The view owns one.

#include <array>
#include <cstdint>

#include "charts/track_distance.h"

namespace quarn {

// One radial the user defined at a VOR, with the VOR's magnetic variation at the
// time of the definition.
struct VorRadial {
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  std::int32_t radialDeg = 0;  // 1 .. 360, magnetic
  double magVarDeg = 0;
};

inline constexpr int kMaxRadials = 100;

struct MapState {
  bool showVor = true;
  bool showNdb = true;
  bool showFix = true;
  bool showRunway = true;
  bool showAirport = false;
  bool showIdFreq = false;
  bool showDistance = false;
  bool showMarkers = true;
  bool showRadials = false;
  bool selectAllTurnsOn = true;  // the next "Select All" turns the layers on

  double mapLatMin = 0;
  double mapLatMax = 0;
  double mapLonMin = 0;
  double mapLonMax = 0;
  double mapSpanDeg = 0;     // the larger span: the map is square
  double mapSpanMetres = 0;  // great-circle length of that span

  std::array<VorRadial, kMaxRadials> radials{};
  int radialCount = 0;  // entries 0 .. radialCount - 1, in the order of definition

  // The navaids' distances from the track, kept between drawings.
  TrackDistanceCache trackDistances;
};

struct MapPosition {
  double latitude = 0;
  double longitude = 0;
};

// The position that a client point has on the track map: the inverse of the map's
// projection. A client 100 pixels high has no map; every point then maps to the
// map's lower-left corner.
MapPosition ClientPointToMap(const MapState& map, int x, int y, int clientHeight);

}  // namespace quarn

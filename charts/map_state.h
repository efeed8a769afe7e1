#pragma once
// The track map's layer flags and extents, shared by the track chart, the approach
// views and the view's click handling; the user's VOR radials.

#include <array>
#include <cstdint>

#include "charts/track_distance.h"

namespace quarn {

extern bool g_showVor;
extern bool g_showNdb;
extern bool g_showFix;
extern bool g_showRunway;
extern bool g_showAirport;
extern bool g_showIdFreq;
extern bool g_showDistance;
extern bool g_showMarkers;
extern bool g_showRadials;
extern bool g_selectAllTurnsOn;  // the next "Select All" turns the layers on

extern double g_mapLatMin;
extern double g_mapLatMax;
extern double g_mapLonMin;
extern double g_mapLonMax;
extern double g_mapSpanDeg;     // the larger span: the map is square
extern double g_mapSpanMetres;  // great-circle length of that span

// One radial the user defined at a VOR, with the VOR's magnetic variation at the
// time of the definition.
struct VorRadial {
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  std::int32_t radialDeg = 0;  // 1 .. 360, magnetic
  double magVarDeg = 0;
};

inline constexpr int kMaxRadials = 100;
extern std::array<VorRadial, kMaxRadials> g_radials;
extern int g_radialCount;  // entries 0 .. g_radialCount - 1, in the order of definition

// The navaids' distances from the track, kept between drawings.
extern TrackDistanceCache g_trackDistances;

// Flags, extents and radials back to their values at program start.
void ResetMapState();

struct MapPosition {
  double latitude = 0;
  double longitude = 0;
};

// The position that a client point has on the track map: the inverse of the map's
// projection. A client 100 pixels high has no map; every point then maps to the
// map's lower-left corner.
MapPosition ClientPointToMap(int x, int y, int clientHeight);

}  // namespace quarn

#include "charts/map_state.h"

namespace quarn {

bool g_showVor = true;
bool g_showNdb = true;
bool g_showFix = true;
bool g_showRunway = true;
bool g_showAirport = false;
bool g_showIdFreq = false;
bool g_showDistance = false;
bool g_showMarkers = true;
bool g_showRadials = false;
bool g_selectAllTurnsOn = true;

double g_mapLatMin = 0;
double g_mapLatMax = 0;
double g_mapLonMin = 0;
double g_mapLonMax = 0;
double g_mapSpanDeg = 0;
double g_mapSpanMetres = 0;

std::array<VorRadial, kMaxRadials> g_radials{};
int g_radialCount = 0;

TrackDistanceCache g_trackDistances;

MapPosition ClientPointToMap(int x, int y, int clientHeight) {
  const double side = clientHeight - 100;
  if (side == 0) return MapPosition{g_mapLatMin, g_mapLonMin};
  MapPosition p;
  p.longitude = g_mapLonMin + (static_cast<double>(x) - 200) / side * g_mapSpanDeg;
  p.latitude = g_mapLatMin + (static_cast<double>(clientHeight) - 50 - y) / side * g_mapSpanDeg;
  return p;
}

void ResetMapState() {
  g_showVor = g_showNdb = g_showFix = g_showRunway = g_showMarkers = true;
  g_showAirport = g_showIdFreq = g_showDistance = g_showRadials = false;
  g_selectAllTurnsOn = true;
  g_mapLatMin = g_mapLatMax = g_mapLonMin = g_mapLonMax = 0;
  g_mapSpanDeg = g_mapSpanMetres = 0;
  g_radials = {};
  g_radialCount = 0;
  g_trackDistances.Clear();
}

}  // namespace quarn

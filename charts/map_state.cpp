#include "charts/map_state.h"

namespace quarn {

MapPosition ClientPointToMap(const MapState& map, int x, int y, int clientHeight) {
  const double side = clientHeight - 100;
  if (side == 0) return MapPosition{map.mapLatMin, map.mapLonMin};
  MapPosition p;
  p.longitude = map.mapLonMin + (static_cast<double>(x) - 200) / side * map.mapSpanDeg;
  p.latitude = map.mapLatMin + (static_cast<double>(clientHeight) - 50 - y) / side * map.mapSpanDeg;
  return p;
}

}  // namespace quarn

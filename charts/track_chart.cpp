#include "charts/track_chart.h"

#include <array>

#include "base/command_ids.h"
#include "charts/compared_flight.h"
#include "charts/map_layers.h"
#include "charts/map_projection.h"
#include "charts/radials.h"

namespace quarn {

void DrawTrackChart(Window& window, const ChartInput& in) {
  auto dc = window.GetDC();
  const int width = window.ClientWidth();
  const int height = window.ClientHeight();
  dc->FillSolidRect(Rect{0, 0, width, height}, kBlack);

  const MapChartScope chart(*dc, width, height, in);
  const MapProjection& map = chart.map();
  DrawRadials(*dc, map, in.map, in.view.zoomLevel, in.map.showIdFreq);
  DrawTrackCursor(*dc, map, in.flight, in.view.trackCursor);
  // The compared flight's track under the current one's, where they cross.
  if (const Flight* compared = in.navaids.comparedFlight()) {
    DrawTrack(*dc, map, *compared, 0, compared->lastSampleIndex(), width, height, kComparedColor);
  }
  // The whole record, not only the track window: after a zoom the map clips the rest.
  DrawTrack(*dc, map, in.flight, 0, in.flight.lastSampleIndex(), width, height);
}

namespace {

// The layer commands with their flags; whether the approach side view shows the
// layer too. Every layer shows on the track chart and the bottom view.
struct LayerCommand {
  int id;
  bool MapState::*flag;
  bool onSideView;
};

const std::array<LayerCommand, 9> kLayerCommands{{
    {ID_SHOW_VOR, &MapState::showVor, true},
    {ID_SHOW_NDB, &MapState::showNdb, true},
    {ID_SHOW_FIX, &MapState::showFix, false},
    {ID_SHOW_RUNWAY, &MapState::showRunway, false},
    {ID_SHOW_AIRPORT, &MapState::showAirport, false},
    {ID_SHOW_ID_FREQ, &MapState::showIdFreq, true},
    {ID_SHOW_DISTANCE, &MapState::showDistance, false},
    {ID_SHOW_MARKERS, &MapState::showMarkers, true},
    {ID_SHOW_RADIALS, &MapState::showRadials, false},
}};

bool MapChartShown(int chartMode) {
  return chartMode == kChartTrack || chartMode == kChartBottomView;
}

}  // namespace

bool ApplyLayerCommand(MapState& map, int chartMode, int id) {
  if (id == ID_SELECT_ALL) {
    // Every layer but the radials, on or off together; the next use does the other.
    for (bool* flag : {&map.showVor, &map.showNdb, &map.showFix, &map.showAirport, &map.showRunway,
                       &map.showIdFreq, &map.showDistance, &map.showMarkers}) {
      *flag = map.selectAllTurnsOn;
    }
    map.selectAllTurnsOn = !map.selectAllTurnsOn;
    return MapChartShown(chartMode);
  }
  for (const LayerCommand& c : kLayerCommands) {
    if (c.id != id) continue;
    map.*c.flag = !(map.*c.flag);
    return MapChartShown(chartMode) || (c.onSideView && chartMode == kChartSideView);
  }
  return false;
}

}  // namespace quarn

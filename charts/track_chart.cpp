#include "charts/track_chart.h"

#include <array>

#include "base/command_ids.h"
#include "base/view_state.h"
#include "charts/map_layers.h"
#include "charts/map_projection.h"
#include "charts/map_state.h"
#include "charts/radials.h"
#include "record/record_check.h"
#include "record/sample_table.h"

namespace quarn {

void DrawTrackChart(Window& window, Ui& ui, CHalbricoDoc& doc) {
  if (!RecordSelected(ui, "Select a Aerolog File First%s\n")) return;

  auto dc = window.GetDC();
  const int width = window.ClientWidth();
  const int height = window.ClientHeight();
  dc->FillSolidRect(Rect{0, 0, width, height}, kBlack);
  g_chartMode = kChartTrack;

  const MapChartScope chart(*dc, width, height, doc);
  const MapProjection& map = chart.map();
  DrawRadials(*dc, map, g_showIdFreq);
  DrawTrackCursor(*dc, map);
  // The whole record, not only the track window: after a zoom the map clips the rest.
  DrawTrack(*dc, map, 0, g_lastSampleIndex, width, height);
}

namespace {

// The layer commands with their flags; whether the approach side view shows the
// layer too. Every layer shows on the track chart and the bottom view.
struct LayerCommand {
  int id;
  bool* flag;
  bool onSideView;
};

const std::array<LayerCommand, 9> kLayerCommands{{
    {ID_SHOW_VOR, &g_showVor, true},
    {ID_SHOW_NDB, &g_showNdb, true},
    {ID_SHOW_FIX, &g_showFix, false},
    {ID_SHOW_RUNWAY, &g_showRunway, false},
    {ID_SHOW_AIRPORT, &g_showAirport, false},
    {ID_SHOW_ID_FREQ, &g_showIdFreq, true},
    {ID_SHOW_DISTANCE, &g_showDistance, false},
    {ID_SHOW_MARKERS, &g_showMarkers, true},
    {ID_SHOW_RADIALS, &g_showRadials, false},
}};

bool MapChartShown() {
  return g_chartMode == kChartTrack || g_chartMode == kChartBottomView;
}

}  // namespace

bool ApplyLayerCommand(int id) {
  if (id == ID_SELECT_ALL) {
    // Every layer but the radials, on or off together; the next use does the other.
    for (bool* flag : {&g_showVor, &g_showNdb, &g_showFix, &g_showAirport, &g_showRunway,
                       &g_showIdFreq, &g_showDistance, &g_showMarkers}) {
      *flag = g_selectAllTurnsOn;
    }
    g_selectAllTurnsOn = !g_selectAllTurnsOn;
    return MapChartShown();
  }
  for (const LayerCommand& c : kLayerCommands) {
    if (c.id != id) continue;
    *c.flag = !*c.flag;
    return MapChartShown() || (c.onSideView && g_chartMode == kChartSideView);
  }
  return false;
}

}  // namespace quarn

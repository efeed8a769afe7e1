#pragma once
// The state every chart shares: the chart mode, the graph and track windows over
// the sample table, the two cursors and the zoom level.

namespace quarn {

enum ChartMode : int {
  kChartBlank = 0,
  kChartAltitude = 1,
  kChartIas = 2,
  kChartTas = 3,
  kChartVerticalSpeed = 4,
  kChartBank = 5,
  kChartPitch = 6,
  kChartTrack = 7,
  kChartFlightSummary = 8,
  kChartCombined = 9,
  kChartSideView = 10,
  kChartBottomView = 11,
  kChartTakeoffLanding = 12,
  kChartApproachDebrief = 13,
};

inline constexpr int kMaxZoomLevel = 20;

extern int g_chartMode;
extern int g_windowFirst;  // graph window, inclusive sample indices
extern int g_windowLast;
extern int g_cursorOffset;  // graph cursor, pixels right of x = 50
extern int g_trackFirst;    // track window, inclusive sample indices
extern int g_trackLast;
extern int g_trackCursor;  // sample index of the track cursor
extern int g_zoomLevel;    // 1 = the whole record

void ResetViewState();

}  // namespace quarn

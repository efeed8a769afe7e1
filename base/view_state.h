#pragma once
// The state every chart shares: the chart mode, the graph and track windows over
// the flight's samples, the ends of the graphs' time axis, the two cursors and the
// zoom level. The view owns one; the flight report draws with a copy of its own.

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

struct ViewState {
  int chartMode = kChartBlank;
  int windowFirst = 0;  // graph window, inclusive sample indices
  int windowLast = 0;
  double firstTime = 0;  // ends of the graphs' time axis, hours
  double lastTime = 0;
  int cursorOffset = 0;  // graph cursor, pixels right of x = 50
  int trackFirst = 0;    // track window, inclusive sample indices
  int trackLast = 0;
  int trackCursor = 0;  // sample index of the track cursor
  int zoomLevel = 1;    // 1 = the whole flight
};

}  // namespace quarn

#include "view/halbrico_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/command_ids.h"
#include "base/geodesy.h"
#include "base/program_dir.h"
#include "base/view_state.h"
#include "charts/approach_debrief_chart.h"
#include "charts/bottom_view.h"
#include "charts/map_state.h"
#include "charts/radials.h"
#include "charts/side_view.h"
#include "charts/track_chart.h"
#include "navaid/navaid_export.h"
#include "platform/file_services.h"
#include "record/flight_text_export.h"
#include "record/general_summary.h"
#include "record/sample_table.h"
#include "record/select_record.h"
#include "record/takeoff_landing_summary.h"
#include "record/track_export.h"
#include "view/graphs.h"

namespace quarn {
namespace {

int GraphModeOfCommand(int id) {
  switch (id) {
    case ID_GRAPH_ALTITUDE:
      return kChartAltitude;
    case ID_GRAPH_IAS:
      return kChartIas;
    case ID_GRAPH_TAS:
      return kChartTas;
    case ID_GRAPH_VERTICAL_SPEED:
      return kChartVerticalSpeed;
    case ID_GRAPH_BANK:
      return kChartBank;
    case ID_GRAPH_PITCH:
      return kChartPitch;
    default:
      return kChartBlank;
  }
}

bool IsLayerCommand(int id) {
  switch (id) {
    case ID_SHOW_VOR:
    case ID_SHOW_NDB:
    case ID_SHOW_FIX:
    case ID_SHOW_RUNWAY:
    case ID_SHOW_AIRPORT:
    case ID_SHOW_ID_FREQ:
    case ID_SELECT_ALL:
    case ID_SHOW_DISTANCE:
    case ID_SHOW_MARKERS:
    case ID_SHOW_RADIALS:
      return true;
    default:
      return false;
  }
}

}  // namespace

double CHalbricoView::DistanceAndBearing(double lat1, double lon1, double lat2, double lon2) {
  const auto r = quarn::DistanceAndBearing(lat1, lon1, lat2, lon2);
  m_lastBearing = r.bearingDeg;
  return r.metres;
}

bool CHalbricoView::OnCommand(int id) {
  if (const int mode = GraphModeOfCommand(id); mode != kChartBlank) {
    DrawGraph(mode);
    return true;
  }
  if (IsLayerCommand(id)) {
    OnLayerCommand(id);
    return true;
  }
  switch (id) {
    case ID_SELECT_RECORD_FILE:
      OnSelectRecordFile();
      return true;
    case ID_GENERATE_FLIGHT_TEXT:
      OnGenerateFlightText();
      return true;
    case ID_GRAPH_COURSE:
      DrawTrackChart();
      return true;
    case ID_GENERAL_SUMMARY:
      DrawGeneralSummary();
      return true;
    case ID_GRAPH_COMBINED:
      DrawCombinedGraph();
      return true;
    case ID_SIDE_VIEW:
      DrawSideView();
      return true;
    case ID_BOTTOM_VIEW:
      DrawBottomView();
      return true;
    case ID_TAKEOFF_LANDING_SUMMARY:
      DrawTakeoffLandingSummary();
      return true;
    case ID_EXPORT_NAVAIDS:
      OnExportNavaids();
      return true;
    case ID_ZOOM_IN:
      OnZoomIn();
      return true;
    case ID_ZOOM_OUT:
      OnZoomOut();
      return true;
    case ID_CURSOR_LEFT:
      OnCursorLeft();
      return true;
    case ID_CURSOR_RIGHT:
      OnCursorRight();
      return true;
    case ID_BLANK_VIEW:
      OnBlankView();
      return true;
    case ID_ERASE_RADIALS:
      OnEraseRadials();
      return true;
    case ID_EXPORT_TRACK:
      OnExportTrack();
      return true;
    case ID_APPROACH_DEBRIEF:
      DrawApproachDebrief();
      return true;
    default:
      return false;
  }
}

void CHalbricoView::LimitCursorForMap(int height) {
  if (g_cursorOffset > height + 200) g_cursorOffset = height + 200;
}

void CHalbricoView::DrawCurrentChart() {
  switch (g_chartMode) {
    case kChartAltitude:
    case kChartIas:
    case kChartTas:
    case kChartVerticalSpeed:
    case kChartBank:
    case kChartPitch:
      DrawGraph(g_chartMode);
      break;
    case kChartTrack:
      LimitCursorForMap(window_.ClientHeight());
      DrawTrackChart();
      break;
    case kChartFlightSummary:
      DrawGeneralSummary();
      break;
    case kChartCombined:
      DrawCombinedGraph();
      break;
    case kChartSideView:
      DrawSideView();
      break;
    case kChartBottomView:
      LimitCursorForMap(window_.ClientHeight());
      DrawBottomView();
      break;
    case kChartTakeoffLanding:
      DrawTakeoffLandingSummary();
      break;
    case kChartApproachDebrief:
      DrawApproachDebrief();
      break;
    default:
      break;  // blank: nothing is drawn
  }
}

void CHalbricoView::OnDraw() {
  const int width = window_.ClientWidth();
  if (g_cursorOffset > width - 50) g_cursorOffset = width - 50;
  if (g_cursorOffset < 0) g_cursorOffset = 0;
  DrawCurrentChart();
}

// A click or a zoom leaves the side view and the take-off summary as they are on
// screen until the next full redraw.
void CHalbricoView::RedrawForHandler() {
  if (g_chartMode == kChartSideView || g_chartMode == kChartTakeoffLanding) return;
  DrawCurrentChart();
}

void CHalbricoView::OnKeyDown(Key key) {
  const int usable = window_.ClientWidth() - 100;
  switch (key) {
    case Key::Home:
      g_trackCursor = g_trackFirst;
      g_cursorOffset = 0;
      break;
    case Key::End:
      g_trackCursor = g_trackLast;
      g_cursorOffset = usable;
      break;
    case Key::Left:
      if (g_trackCursor > g_trackFirst) --g_trackCursor;
      if (g_cursorOffset > 0) --g_cursorOffset;
      break;
    case Key::Right:
      if (g_trackCursor < g_trackLast) ++g_trackCursor;
      if (g_cursorOffset < usable) ++g_cursorOffset;
      break;
    case Key::Add:
      g_trackCursor = g_trackCursor < g_trackLast - 10 ? g_trackCursor + 10 : g_trackLast;
      g_cursorOffset = g_cursorOffset < usable - 10 ? g_cursorOffset + 10 : usable - 1;
      break;
    case Key::Subtract:
      g_trackCursor = g_trackCursor > g_trackFirst + 10 ? g_trackCursor - 10 : g_trackFirst;
      g_cursorOffset = g_cursorOffset > 10 ? g_cursorOffset - 10 : 0;
      break;
    default:
      return;  // other keys change nothing and draw nothing
  }
  OnDraw();
}

void CHalbricoView::OnLButtonDown(int x, int y) {
  const int width = window_.ClientWidth();
  const int height = window_.ClientHeight();
  const MapPosition pos = ClientPointToMap(x, y, height);

  // The nearest sample over the whole record; the earliest of equally near ones wins.
  double best = 10000000;
  int nearest = 0;
  for (int i = 0; i <= g_lastSampleIndex && i < kMaxSamples; ++i) {
    const FlightSample& s = g_samples[static_cast<std::size_t>(i)];
    const double dLat = pos.latitude - s.latitudeDeg;
    const double dLon = pos.longitude - s.longitudeDeg;
    const double d = std::sqrt(dLat * dLat + dLon * dLon);
    if (d < best) {
      best = d;
      nearest = i;
    }
  }

  if (x < 50) {
    g_cursorOffset = 0;
  } else if (x <= width - 50) {
    g_cursorOffset = x - 50;
  } else {
    g_cursorOffset = width - 50;
  }
  g_trackCursor = nearest;
  RedrawForHandler();
}

bool CHalbricoView::ZoomWindowsTo(int level, int width) {
  const std::int64_t usable = width - 100;
  // A client exactly 100 pixels wide has no time axis to place a cursor on.
  if (usable == 0 || level <= 0) return false;

  const int h = 500 / level;
  g_trackFirst = std::max(0, g_trackCursor - h);
  g_trackLast = std::min(g_lastSampleIndex, g_trackCursor + h);

  const std::int64_t span = static_cast<std::int64_t>(g_windowLast) - g_windowFirst;
  const int centre = static_cast<int>(g_windowFirst + (span * g_cursorOffset) / usable);

  const int f = 1000 / level;
  g_windowFirst = std::max(0, centre - f);
  g_windowLast = std::min(g_lastSampleIndex, centre + f);
  g_firstTime = SampleAt(g_windowFirst).timeHours;
  g_lastTime = SampleAt(g_windowLast).timeHours;

  // Keep the cursor on the centre sample. A window of one sample puts it at the
  // left end of the axis, where the graphs draw such a window.
  const std::int64_t newSpan = static_cast<std::int64_t>(g_windowLast) - g_windowFirst;
  g_cursorOffset =
      newSpan != 0 ? static_cast<int>((usable * (centre - g_windowFirst)) / newSpan) : 0;
  return true;
}

void CHalbricoView::OnZoomIn() {
  const int level = g_zoomLevel;
  if (level >= kMaxZoomLevel) return;
  if (!ZoomWindowsTo(level, window_.ClientWidth())) return;
  g_zoomLevel = level + 1;
  RedrawForHandler();
}

void CHalbricoView::OnZoomOut() {
  const int level = g_zoomLevel;
  if (level > kMaxZoomLevel || level < 2) {
    g_windowFirst = g_trackFirst = 0;
    g_windowLast = g_trackLast = g_lastSampleIndex;
    g_firstTime = SampleAt(0).timeHours;
    g_lastTime = SampleAt(g_lastSampleIndex).timeHours;
    g_zoomLevel = 1;
    RedrawForHandler();
    return;
  }
  // The window takes the half-width of the level it returns to.
  if (!ZoomWindowsTo(level - 1, window_.ClientWidth())) return;
  g_zoomLevel = level - 1;
  RedrawForHandler();
}

void CHalbricoView::OnBlankView() {
  auto dc = window_.GetDC();
  dc->FillSolidRect(Rect{0, 0, window_.ClientWidth(), window_.ClientHeight()}, kWhite);
  g_chartMode = kChartBlank;
}

void CHalbricoView::OnSelectRecordFile() {
  doc_.m_navaidsLoaded = 0;
  if (SelectRecordFile(window_, ui_, ProgramDirectory())) OnDraw();
}

void CHalbricoView::DrawGraph(int mode) {
  quarn::DrawGraph(window_, ui_, mode);
}
void CHalbricoView::DrawCombinedGraph() {
  quarn::DrawCombinedGraph(window_, ui_);
}
void CHalbricoView::DrawGeneralSummary() {
  quarn::DrawGeneralSummary(window_, ui_);
}
void CHalbricoView::DrawTakeoffLandingSummary() {
  quarn::DrawTakeoffLandingSummary(window_, ui_);
}
void CHalbricoView::DrawTrackChart() {
  quarn::DrawTrackChart(window_, ui_, doc_);
}
void CHalbricoView::DrawSideView() {
  quarn::DrawSideView(window_, ui_, doc_);
}
void CHalbricoView::DrawBottomView() {
  quarn::DrawBottomView(window_, ui_, doc_);
}
void CHalbricoView::DrawApproachDebrief() {
  quarn::DrawApproachDebrief(window_, ui_, doc_);
}
void CHalbricoView::OnRButtonDown(int x, int y) {
  if (DefineRadialAt(x, y, window_, ui_, doc_)) DrawCurrentChart();
}
void CHalbricoView::OnEraseRadials() {
  EraseRadials();
  DrawMapChart();
}
void CHalbricoView::OnLayerCommand(int id) {
  if (!ApplyLayerCommand(id)) return;
  if (g_chartMode == kChartSideView) {
    DrawSideView();
  } else {
    DrawMapChart();
  }
}

void CHalbricoView::DrawMapChart() {
  if (g_chartMode == kChartTrack) DrawTrackChart();
  if (g_chartMode == kChartBottomView) DrawBottomView();
}

// The exports write into the current directory.
void CHalbricoView::OnGenerateFlightText() {
  GenerateFlightText(ui_, CurrentDirectory());
}
void CHalbricoView::OnExportTrack() {
  ExportTrackCommand(ui_);
}
void CHalbricoView::OnExportNavaids() {
  ExportNavaids(ui_, doc_, CurrentDirectory());
}

}  // namespace quarn

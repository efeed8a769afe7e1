#include "app/flight_report.h"

#include "base/view_state.h"
#include "charts/approach.h"
#include "charts/approach_debrief_chart.h"
#include "charts/bottom_view.h"
#include "charts/map_state.h"
#include "charts/side_view.h"
#include "charts/track_chart.h"
#include "platform/file_services.h"
#include "platform/headless/headless_window.h"
#include "record/general_summary.h"
#include "record/sample_table.h"
#include "record/takeoff_landing_summary.h"
#include "view/graphs.h"

namespace quarn {
namespace {

// Keeps what the charts say instead of stopping the report with a message box;
// every dialog is cancelled.
class CollectingUi : public Ui {
 public:
  explicit CollectingUi(std::vector<std::string>& messages) : messages_(messages) {}
  void ShowMessage(const std::string& text, MessageKind) override { messages_.push_back(text); }
  std::optional<std::string> AskOpenFile(const OpenFileRequest&) override { return {}; }
  std::optional<std::string> AskGroupName(const std::string&) override { return {}; }
  std::optional<SearchDirAnswer> AskSearchDir(const SearchDirAnswer&) override { return {}; }
  std::optional<std::string> AskRadial(const RadialDialogFields&) override { return {}; }
  void SetStatusText(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  void SetTitle(const std::string&) override {}

 private:
  std::vector<std::string>& messages_;
};

// Every variable a chart reads or sets besides the record and the navaids: taken
// before the report and put back after it.
struct ChartStateSnapshot {
  int chartMode = g_chartMode;
  int windowFirst = g_windowFirst, windowLast = g_windowLast;
  int cursorOffset = g_cursorOffset;
  int trackFirst = g_trackFirst, trackLast = g_trackLast, trackCursor = g_trackCursor;
  int zoomLevel = g_zoomLevel;
  double firstTime = g_firstTime, lastTime = g_lastTime;
  bool showVor = g_showVor, showNdb = g_showNdb, showFix = g_showFix, showRunway = g_showRunway;
  bool showAirport = g_showAirport, showIdFreq = g_showIdFreq, showDistance = g_showDistance;
  bool showMarkers = g_showMarkers, showRadials = g_showRadials;
  bool selectAllTurnsOn = g_selectAllTurnsOn;
  double mapLatMin = g_mapLatMin, mapLatMax = g_mapLatMax;
  double mapLonMin = g_mapLonMin, mapLonMax = g_mapLonMax;
  double mapSpanDeg = g_mapSpanDeg, mapSpanMetres = g_mapSpanMetres;

  void Restore() const {
    g_chartMode = chartMode;
    g_windowFirst = windowFirst;
    g_windowLast = windowLast;
    g_cursorOffset = cursorOffset;
    g_trackFirst = trackFirst;
    g_trackLast = trackLast;
    g_trackCursor = trackCursor;
    g_zoomLevel = zoomLevel;
    g_firstTime = firstTime;
    g_lastTime = lastTime;
    g_showVor = showVor;
    g_showNdb = showNdb;
    g_showFix = showFix;
    g_showRunway = showRunway;
    g_showAirport = showAirport;
    g_showIdFreq = showIdFreq;
    g_showDistance = showDistance;
    g_showMarkers = showMarkers;
    g_showRadials = showRadials;
    g_selectAllTurnsOn = selectAllTurnsOn;
    g_mapLatMin = mapLatMin;
    g_mapLatMax = mapLatMax;
    g_mapLonMin = mapLonMin;
    g_mapLonMax = mapLonMax;
    g_mapSpanDeg = mapSpanDeg;
    g_mapSpanMetres = mapSpanMetres;
  }
};

// The report shows the whole flight, with both cursors at its start.
void ShowWholeRecord() {
  g_windowFirst = g_trackFirst = 0;
  g_windowLast = g_trackLast = g_lastSampleIndex;
  g_firstTime = SampleAt(0).timeHours;
  g_lastTime = SampleAt(g_lastSampleIndex).timeHours;
  g_cursorOffset = 0;
  g_trackCursor = 0;
  g_zoomLevel = 1;
}

struct ReportChart {
  const char* title;
  std::function<void(Window&, Ui&, CHalbricoDoc&)> draw;
};

std::function<void(Window&, Ui&, CHalbricoDoc&)> Graph(int mode) {
  return [mode](Window& w, Ui& ui, CHalbricoDoc&) { DrawGraph(w, ui, mode); };
}

std::vector<ReportChart> ReportCharts(bool withApproach) {
  std::vector<ReportChart> charts = {
      {"General Summary", [](Window& w, Ui& ui, CHalbricoDoc&) { DrawGeneralSummary(w, ui); }},
      {"Take-off and Landing Summary",
       [](Window& w, Ui& ui, CHalbricoDoc&) { DrawTakeoffLandingSummary(w, ui); }},
      {"Altitude", Graph(kChartAltitude)},
      {"Indicated Airspeed", Graph(kChartIas)},
      {"True Airspeed", Graph(kChartTas)},
      {"Vertical Speed", Graph(kChartVerticalSpeed)},
      {"Bank", Graph(kChartBank)},
      {"Pitch", Graph(kChartPitch)},
      {"Combined Graph", [](Window& w, Ui& ui, CHalbricoDoc&) { DrawCombinedGraph(w, ui); }},
      {"Track Chart", DrawTrackChart},
  };
  if (withApproach) {
    charts.push_back({"Approach Side View", DrawSideView});
    charts.push_back({"Approach Bottom View", DrawBottomView});
    charts.push_back({"Approach Debrief", DrawApproachDebrief});
  }
  return charts;
}

}  // namespace

std::string ApproachViewsLeftOutReason(const CHalbricoDoc& doc) {
  if (doc.m_navaidsLoaded == 0) {
    return "Approach views left out: no navaids were loaded, so no runway is known.";
  }
  const ApproachNavaid runway = FindLandingRunway(doc, FindTouchdown());
  if (!RunwayLandedOn(runway)) {
    return "Approach views left out: no runway found within 2 NM of the touchdown.";
  }
  return "";
}

FlightReport RecordFlightReport(CHalbricoDoc& doc, TextMetrics& metrics,
                                const ReportProgress& progress) {
  FlightReport report;
  if (g_recordPath.empty()) return report;
  report.recordName = FileNameOf(g_recordPath);
  report.note = ApproachViewsLeftOutReason(doc);
  const std::vector<ReportChart> charts = ReportCharts(report.note.empty());

  const ChartStateSnapshot saved;
  ShowWholeRecord();
  CollectingUi ui(report.messages);
  HeadlessWindow window(kReportPageWidth, kReportPageHeight, metrics);
  const int total = static_cast<int>(charts.size());
  for (int i = 0; i < total; ++i) {
    const ReportChart& chart = charts[static_cast<std::size_t>(i)];
    window.Resize(kReportPageWidth, kReportPageHeight);
    chart.draw(window, ui, doc);
    if (!window.displayList().ops().empty()) {
      report.pages.push_back({chart.title, window.displayList()});
    }
    if (progress && !progress(i + 1, total)) {
      report.pages.clear();
      break;
    }
  }
  saved.Restore();
  return report;
}

}  // namespace quarn

#include "view/chart_table.h"

#include <array>

#include "base/command_ids.h"
#include "charts/approach_debrief_chart.h"
#include "charts/bottom_view.h"
#include "charts/compared_flight.h"
#include "charts/side_view.h"
#include "charts/track_chart.h"
#include "record/general_summary.h"
#include "record/takeoff_landing_summary.h"
#include "view/graphs.h"

namespace quarn {
namespace {

constexpr const char* kNoRecord = "Select a Aerolog File First%s\n";
// The summary screens say it without the line end.
constexpr const char* kNoRecordSummary = "Select a Aerolog File First%s";

template <int kMode>
ChartOutcome Graph(Window& w, const ChartInput& in) {
  DrawGraph(w, in.flight, in.view, kMode, ComparedTraceOf(in));
  return ChartOutcome::Drawn();
}

// A chart routine that always draws, in the table's shape.
template <void (*kDraw)(Window&, const ChartInput&)>
ChartOutcome Always(Window& w, const ChartInput& in) {
  kDraw(w, in);
  return ChartOutcome::Drawn();
}

ChartOutcome GeneralSummary(Window& w, const ChartInput& in) {
  DrawGeneralSummary(w, in.flight);
  return ChartOutcome::Drawn();
}
ChartOutcome TakeoffLanding(Window& w, const ChartInput& in) {
  DrawTakeoffLandingSummary(w, in.flight);
  return ChartOutcome::Drawn();
}
ChartOutcome Combined(Window& w, const ChartInput& in) {
  DrawCombinedGraph(w, in.flight, in.view, ComparedTraceOf(in));
  return ChartOutcome::Drawn();
}

constexpr ReportPart kAlways = ReportPart::Always;
constexpr ReportPart kApproach = ReportPart::Approach;

constexpr std::array<ChartEntry, 13> kCharts{{
    {kChartFlightSummary, ID_GENERAL_SUMMARY, "General Summary", kNoRecordSummary, GeneralSummary,
     false, true, kAlways},
    {kChartTakeoffLanding, ID_TAKEOFF_LANDING_SUMMARY, "Take-off and Landing Summary",
     kNoRecordSummary, TakeoffLanding, false, false, kAlways},
    {kChartAltitude, ID_GRAPH_ALTITUDE, "Altitude", kNoRecord, Graph<kChartAltitude>, false, true,
     kAlways},
    {kChartIas, ID_GRAPH_IAS, "Indicated Airspeed", kNoRecord, Graph<kChartIas>, false, true,
     kAlways},
    {kChartTas, ID_GRAPH_TAS, "True Airspeed", kNoRecord, Graph<kChartTas>, false, true, kAlways},
    {kChartVerticalSpeed, ID_GRAPH_VERTICAL_SPEED, "Vertical Speed", kNoRecord,
     Graph<kChartVerticalSpeed>, false, true, kAlways},
    {kChartBank, ID_GRAPH_BANK, "Bank", kNoRecord, Graph<kChartBank>, false, true, kAlways},
    {kChartPitch, ID_GRAPH_PITCH, "Pitch", kNoRecord, Graph<kChartPitch>, false, true, kAlways},
    {kChartCombined, ID_GRAPH_COMBINED, "Combined Graph", kNoRecord, Combined, false, true,
     kAlways},
    {kChartTrack, ID_GRAPH_COURSE, "Track Chart", kNoRecord, Always<DrawTrackChart>, true, true,
     kAlways},
    {kChartSideView, ID_SIDE_VIEW, "Approach Side View", kNoRecord, DrawSideView, false, false,
     kApproach},
    {kChartBottomView, ID_BOTTOM_VIEW, "Approach Bottom View", kNoRecord, Always<DrawBottomView>,
     true, true, kApproach},
    {kChartApproachDebrief, ID_APPROACH_DEBRIEF, "Approach Debrief", kNoRecord,
     Always<DrawApproachDebrief>, false, true, kApproach},
}};

}  // namespace

std::span<const ChartEntry> Charts() {
  return kCharts;
}

const ChartEntry* ChartOfMode(int mode) {
  for (const ChartEntry& c : kCharts) {
    if (c.mode == mode) return &c;
  }
  return nullptr;
}

const ChartEntry* ChartOfCommand(int command) {
  for (const ChartEntry& c : kCharts) {
    if (c.command == command) return &c;
  }
  return nullptr;
}

}  // namespace quarn

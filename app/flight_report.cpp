#include "app/flight_report.h"

#include "charts/approach.h"
#include "platform/file_services.h"
#include "platform/headless/headless_window.h"
#include "view/chart_table.h"

namespace quarn {
namespace {

// The report shows the whole flight, with both cursors at its start.
ViewState WholeFlight(const Flight& flight) {
  ViewState v;
  v.windowFirst = v.trackFirst = 0;
  v.windowLast = v.trackLast = flight.lastSampleIndex();
  v.firstTime = flight.SampleAt(0).timeHours;
  v.lastTime = flight.SampleAt(flight.lastSampleIndex()).timeHours;
  return v;
}

}  // namespace

std::string ApproachViewsLeftOutReason(const CHalbricoDoc& doc, const Flight& flight) {
  if (doc.m_navaidsLoaded == 0) {
    return "Approach views left out: no navaids were loaded, so no runway is known.";
  }
  const int touchdown = FindTouchdown(flight);
  const ApproachNavaid runway = FindLandingRunway(doc, flight, touchdown);
  if (!RunwayLandedOn(runway)) {
    return "Approach views left out: " + NoRunwayFoundText(doc, flight, touchdown) + ".";
  }
  return "";
}

FlightReport RecordFlightReport(const Flight& flight, const CHalbricoDoc& doc,
                                const MapState& layers, TextMetrics& metrics,
                                const ReportProgress& progress) {
  FlightReport report;
  if (!flight.selected()) return report;
  report.recordName = FileNameOf(flight.recordPath);
  report.note = ApproachViewsLeftOutReason(doc, flight);
  const bool withApproach = report.note.empty();

  ViewState view = WholeFlight(flight);
  MapState map = layers;
  const ChartInput input{flight, doc, view, map};
  HeadlessWindow window(kReportPageWidth, kReportPageHeight, metrics);
  std::vector<const ChartEntry*> charts;
  for (const ChartEntry& chart : Charts()) {
    if (chart.report == ReportPart::Always || withApproach) charts.push_back(&chart);
  }
  const int total = static_cast<int>(charts.size());
  for (int i = 0; i < total; ++i) {
    const ChartEntry& chart = *charts[static_cast<std::size_t>(i)];
    window.Resize(kReportPageWidth, kReportPageHeight);
    const ChartOutcome outcome = chart.draw(window, input);
    // What a chart says goes into the report instead of stopping it with a message box.
    if (!outcome.drawn) report.messages.push_back(outcome.refusal);
    if (!window.displayList().ops().empty()) {
      report.pages.push_back({chart.caption, window.displayList()});
    }
    if (progress && !progress(i + 1, total)) {
      report.pages.clear();
      break;
    }
  }
  return report;
}

}  // namespace quarn

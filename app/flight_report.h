#pragma once
// The flight report: every chart of the loaded record drawn into a recording window
// of a fixed size, one display list a page, for a writer that puts them on paper.
// The charts draw with a copy of the view's state: the view is left as it was.

#include <functional>
#include <string>
#include <vector>

#include "base/flight.h"
#include "base/view_state.h"
#include "charts/map_state.h"
#include "navaid/halbrico_doc.h"
#include "platform/display_list.h"
#include "platform/text_metrics.h"

namespace quarn {

// The recording window of each page: the ratio of an A4 landscape sheet.
inline constexpr int kReportPageWidth = 1260;
inline constexpr int kReportPageHeight = 834;

struct ReportPage {
  std::string title;  // the chart's name, for the header line
  DisplayList list;
};

struct FlightReport {
  std::string recordName;  // the record's file name
  // One line for the first page, when charts were left out; else empty.
  std::string note;
  std::vector<ReportPage> pages;
  // What the charts said while they were drawn (no message box interrupts a report).
  std::vector<std::string> messages;
};

// Told after each chart: charts done, charts in all. False cancels the report.
using ReportProgress = std::function<bool(int done, int total)>;

// The charts of the flight, the navaids of doc on the track chart and, when a runway
// is found at the touchdown, the approach views; the map layers as the view has them.
// A chart that draws nothing gives no page. Empty pages when no record is selected or
// the report was cancelled.
FlightReport RecordFlightReport(const Flight& flight, const CHalbricoDoc& doc,
                                const MapState& layers, TextMetrics& metrics,
                                const ReportProgress& progress = {});

// Why the approach views are left out of a report, or empty when a runway was found.
std::string ApproachViewsLeftOutReason(const CHalbricoDoc& doc, const Flight& flight);

}  // namespace quarn

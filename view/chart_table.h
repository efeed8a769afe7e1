#pragma once
// Every chart of the program in one table: its mode, the command that shows it, its
// caption, and the routine that draws it from the flight, the navaids and the view
// state. The view dispatches its commands and redraws through it, the flight report
// draws its pages from it.

#include <span>

#include "charts/chart_input.h"
#include "platform/window.h"

namespace quarn {

using ChartDraw = ChartOutcome (*)(Window& window, const ChartInput& in);

enum class ReportPart {
  Always,    // every report has this page
  Approach,  // only when a runway was found at the touchdown
};

struct ChartEntry {
  int mode;
  int command;
  const char* caption;  // the report page's title
  // printf format, with the (empty) record path, of the message shown when the chart
  // is asked for before a record is selected.
  const char* noRecordMessage;
  ChartDraw draw;
  // The track chart and the bottom view: the cursor is held near the map, and the
  // layer and radial commands draw them again.
  bool mapChart;
  // A click or a zoom draws it again at once; the others wait for the next repaint.
  bool redrawnByHandlers;
  ReportPart report;
};

// In the order of the flight report's pages.
std::span<const ChartEntry> Charts();
const ChartEntry* ChartOfMode(int mode);
const ChartEntry* ChartOfCommand(int command);

}  // namespace quarn

#pragma once
// The frame that the time-series graphs and the combined graph share: colours,
// pens and font, plot geometry, axes, grid, time labels, trace and cursor line.

#include "base/flight.h"
#include "base/view_state.h"
#include "charts/compared_flight.h"
#include "platform/draw_context.h"

namespace quarn::graph {

inline constexpr Color kGreen{0, 170, 85};
inline constexpr Color kBlue{0, 0, 255};
inline constexpr Color kRed{255, 0, 0};

inline constexpr Pen kSolidGreenPen{PenStyle::Solid, 1, kGreen};
inline constexpr Pen kDottedGreenPen{PenStyle::Dot, 1, kGreen};
inline constexpr Pen kDottedBluePen{PenStyle::Dot, 1, kBlue};
inline constexpr Pen kDottedRedPen{PenStyle::Dot, 1, kRed};
inline constexpr Pen kComparedPen{PenStyle::Dot, 1, kComparedColor};

inline constexpr int kGridLines = 8;
inline constexpr int kTimeLabels = 10;

// The graphs' font: Arial, 11 pixels high.
Font GraphFont();

// Pointer to the plotted field of a sample.
using SampleField = double FlightSample::*;

// The bottom and top of a value scale: the start values widened by every value of
// the graph window.
struct Extremes {
  double min = 0;
  double max = 0;
};
Extremes FindExtremes(const Flight& flight, const ViewState& view, SampleField field,
                      double startMin, double startMax);

// The extremes widened by the compared flight's values on the time axis, so both
// traces share one scale.
Extremes WidenByCompared(Extremes extremes, const ComparedTrace& compared, const ViewState& view,
                         SampleField field);

// The duration of the graph window in hours, across midnight when the last time
// lies below the first.
double WindowSpan(const ViewState& view);

// y of grid line k (0 at the bottom of the plot, 7 at the top).
int GridY(int k, int height);

// The time axis and the value axis, with the selected pen.
void DrawAxes(DrawContext& dc, int width, int height);
// The grid lines, with the selected pen; value labels in `labelFormat` (printf,
// one double) before each line when it is not null.
void DrawGrid(DrawContext& dc, int width, int height, const Extremes* scale,
              const char* labelFormat);
// The ten time-of-day labels under the time axis (centre-top alignment is set).
void DrawTimeLabels(DrawContext& dc, const ViewState& view, int width, int height, double span);
// One trace of the graph window, with the selected pen, scaled to the plot height
// between the extremes.
void DrawTrace(DrawContext& dc, const Flight& flight, const ViewState& view, int width, int height,
               SampleField field, const Extremes& scale, double span);
// The compared flight's trace, its times shifted onto the axis, with the selected
// pen: the samples that fall between the axis' ends, scaled as DrawTrace scales.
void DrawComparedTrace(DrawContext& dc, const ComparedTrace& compared, const ViewState& view,
                       int width, int height, SampleField field, const Extremes& scale,
                       double span);
// The graph cursor's vertical line, with the selected pen.
void DrawCursorLine(DrawContext& dc, const ViewState& view, int height);

}  // namespace quarn::graph

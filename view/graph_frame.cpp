#include "view/graph_frame.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "base/format.h"
#include "base/geodesy.h"
#include "base/numeric.h"

namespace quarn::graph {
namespace {

constexpr double kSeventh = 0.14285714285714285;
constexpr double kNinth = 0.1111111111111111;

}  // namespace

Font GraphFont() {
  return ArialFont(-11);
}

Extremes FindExtremes(const Flight& flight, const ViewState& view, SampleField field,
                      double startMin, double startMax) {
  Extremes e{startMin, startMax};
  for (int i = view.windowFirst; i <= view.windowLast; ++i) {
    const double v = flight.SampleAt(i).*field;
    if (v < e.min) e.min = v;
    if (v > e.max) e.max = v;
  }
  return e;
}

namespace {

// Hours from the axis' start to a compared sample; nothing outside the axis' ends.
std::optional<double> AlongAxis(const ViewState& view, double span, double shiftedTime) {
  const double along = shiftedTime - view.firstTime;
  if (span <= 0 || along < 0 || along > span) return std::nullopt;
  return along;
}

}  // namespace

Extremes WidenByCompared(Extremes e, const ComparedTrace& compared, const ViewState& view,
                         SampleField field) {
  if (compared.flight == nullptr) return e;
  const double span = WindowSpan(view);
  for (const FlightSample& s : compared.flight->samples) {
    if (!AlongAxis(view, span, s.timeHours + compared.offsetHours)) continue;
    const double v = s.*field;
    if (v < e.min) e.min = v;
    if (v > e.max) e.max = v;
  }
  return e;
}

double WindowSpan(const ViewState& view) {
  double span = view.lastTime - view.firstTime;
  if (span < 0) span += 24;
  return span;
}

int GridY(int k, int height) {
  return height - 50 - TruncToInt(static_cast<double>(height - 100) * k * kSeventh);
}

void DrawAxes(DrawContext& dc, int width, int height) {
  dc.MoveTo(40, height - 40);
  dc.LineTo(width - 40, height - 40);
  dc.MoveTo(40, height - 40);
  dc.LineTo(40, 40);
}

void DrawGrid(DrawContext& dc, int width, int height, const Extremes* scale,
              const char* labelFormat) {
  for (int k = 0; k < kGridLines; ++k) {
    const int y = GridY(k, height);
    if (scale != nullptr && labelFormat != nullptr) {
      const double range = scale->max - scale->min;
      dc.TextOut(40, y - 11, Format(labelFormat, scale->min + k * range * kSeventh));
    }
    dc.MoveTo(40, y);
    dc.LineTo(width - 50, y);
  }
}

void DrawTimeLabels(DrawContext& dc, const ViewState& view, int width, int height, double span) {
  dc.SetTextAlign(TextAlign::Center);
  for (int k = 0; k < kTimeLabels; ++k) {
    const double t = view.firstTime + k * span * kNinth;
    const double wholeHours = IntPart(t);
    int hours = TruncToInt(wholeHours);
    if (hours >= 24) hours -= 24;
    // Minutes are cut without the integer part's tolerance and seconds with it, so
    // a time a hair below a whole minute reads as the minute before, 0 seconds.
    const double m = (t - wholeHours) * 60;
    const int minutes = TruncToInt(m);
    const int seconds = TruncToInt(std::fabs(m - IntPart(m)) * 60);
    const int x = 50 + TruncToInt(static_cast<double>(width - 100) * k * kNinth);
    dc.TextOut(x, height - 30, Format("%d:%d:%d", hours, minutes, seconds));
  }
}

void DrawTrace(DrawContext& dc, const Flight& flight, const ViewState& view, int width, int height,
               SampleField field, const Extremes& scale, double span) {
  const double range = scale.max - scale.min;
  const double plotWidth = width - 100;
  const double plotHeight = height - 100;
  // Equal values (a range of 0) or equal first and last times (a span of 0) would
  // divide by zero. A level trace then runs through the middle of the plot, and a
  // window without duration stands at the left end of the time axis, where its
  // time labels and the cursor time place it.
  const bool level = range == 0;
  const bool instant = span == 0;
  const int levelY = TruncToInt((height - 50) - plotHeight / 2);
  const double firstTime = view.firstTime;
  // A piece of track that starts after a gap is not joined to the one before.
  auto nextStart =
      std::upper_bound(flight.segmentStarts.begin(), flight.segmentStarts.end(), view.windowFirst);
  for (int i = view.windowFirst; i <= view.windowLast; ++i) {
    const bool startsPiece = nextStart != flight.segmentStarts.end() && *nextStart == i;
    if (startsPiece) ++nextStart;
    const FlightSample& s = flight.SampleAt(i);
    double t = s.timeHours;
    if (t < firstTime) t += 24;  // after midnight
    const int x = instant ? 50 : TruncToInt(50 + (t - firstTime) * plotWidth / span);
    const int y =
        level ? levelY : TruncToInt((height - 50) - (s.*field - scale.min) * plotHeight / range);
    if (i == view.windowFirst || startsPiece) {
      dc.MoveTo(x, y);
    } else {
      dc.LineTo(x, y);
    }
  }
}

void DrawComparedTrace(DrawContext& dc, const ComparedTrace& compared, const ViewState& view,
                       int width, int height, SampleField field, const Extremes& scale,
                       double span) {
  if (compared.flight == nullptr) return;
  const Flight& flight = *compared.flight;
  const double range = scale.max - scale.min;
  const double plotWidth = width - 100;
  const double plotHeight = height - 100;
  const int levelY = TruncToInt((height - 50) - plotHeight / 2);
  auto nextStart = flight.segmentStarts.begin();
  bool joined = false;  // whether the sample before was drawn, so a line leads on
  for (int i = 0; i < flight.sampleCount(); ++i) {
    const bool startsPiece = nextStart != flight.segmentStarts.end() && *nextStart == i;
    if (startsPiece) ++nextStart;
    const FlightSample& s = flight.SampleAt(i);
    const std::optional<double> along = AlongAxis(view, span, s.timeHours + compared.offsetHours);
    if (!along) {
      joined = false;
      continue;
    }
    const int x = TruncToInt(50 + *along * plotWidth / span);
    const int y = range == 0
                      ? levelY
                      : TruncToInt((height - 50) - (s.*field - scale.min) * plotHeight / range);
    if (joined && !startsPiece) {
      dc.LineTo(x, y);
    } else {
      dc.MoveTo(x, y);
    }
    joined = true;
  }
}

void DrawCursorLine(DrawContext& dc, const ViewState& view, int height) {
  const int x = 50 + view.cursorOffset;
  dc.MoveTo(x, height - 40);
  dc.LineTo(x, 40);
}

}  // namespace quarn::graph

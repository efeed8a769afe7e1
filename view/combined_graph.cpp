#include "base/format.h"
#include "charts/status_lines.h"
#include "view/graph_frame.h"
#include "view/graphs.h"

namespace quarn {
namespace {

// The four traces, each scaled on its own, in drawing order.
struct CombinedTrace {
  graph::SampleField field;
  double startMin;
  double startMax;
  Color color;
  const char* legend;
  int legendOffset;  // right end of the legend text, from the middle of the window
  Channel channel;
  const char* channelName;
};

constexpr CombinedTrace kTraces[] = {
    {&FlightSample::altitudeFt, 1000000, 0, Color{255, 77, 77}, "ALTITUDE", -80, Channel::Altitude,
     "altitude"},
    {&FlightSample::iasKt, 1000000, 0, Color{255, 128, 0}, "IAS", -40, Channel::Ias, "IAS"},
    {&FlightSample::bankDeg, 1000000, -100000, Color{255, 255, 0}, "BANK", 20, Channel::Roll,
     "bank"},
    {&FlightSample::verticalSpeedFpm, 10000, -10000, Color{0, 0, 255}, "V.SPEED", 80,
     Channel::VerticalRate, "vertical speed"},
};

}  // namespace

void DrawCombinedGraph(Window& window, const Flight& flight, const ViewState& view,
                       const ComparedTrace& compared) {
  auto dc = window.GetDC();
  const int width = window.ClientWidth();
  const int height = window.ClientHeight();
  dc->FillSolidRect(Rect{0, 0, width, height}, kBlack);
  const Font oldFont = dc->SelectFont(graph::GraphFont());

  // Grid lines only: no single scale could label them. The right-top alignment
  // stays for the legend.
  dc->SetTextAlign(TextAlign::Right);
  const Pen oldPen = dc->SelectPen(graph::kDottedGreenPen);
  graph::DrawGrid(*dc, width, height, nullptr, nullptr);

  const double span = graph::WindowSpan(view);
  // A channel the flight does not carry gets no trace: the chart names it instead.
  std::string notRecorded;
  for (const CombinedTrace& trace : kTraces) {
    if (!flight.channels.Carries(trace.channel)) {
      notRecorded += (notRecorded.empty() ? "" : ", ") + std::string(trace.channelName);
      continue;
    }
    dc->SelectPen(Pen{PenStyle::Dot, 1, trace.color});
    // Each quantity of the compared flight on the scale of the same trace.
    const ComparedTrace beside =
        compared.flight != nullptr && compared.flight->channels.Carries(trace.channel)
            ? compared
            : ComparedTrace{};
    const graph::Extremes scale = graph::WidenByCompared(
        graph::FindExtremes(flight, view, trace.field, trace.startMin, trace.startMax), beside,
        view, trace.field);
    graph::DrawTrace(*dc, flight, view, width, height, trace.field, scale, span);
    if (beside.flight != nullptr) {
      dc->SelectPen(graph::kComparedPen);
      graph::DrawComparedTrace(*dc, beside, view, width, height, trace.field, scale, span);
    }
  }

  for (const CombinedTrace& trace : kTraces) {
    dc->SetTextColor(trace.color);
    dc->TextOut(width / 2 + trace.legendOffset, height - 17, trace.legend);
  }

  if (!notRecorded.empty()) {
    dc->SetTextColor(graph::kGreen);
    dc->SetTextAlign(TextAlign::Center);
    dc->TextOut(width / 2, height / 2, "Not recorded in this flight: " + notRecorded);
  }

  dc->SelectPen(graph::kSolidGreenPen);
  dc->SetTextColor(graph::kGreen);
  graph::DrawAxes(*dc, width, height);
  graph::DrawTimeLabels(*dc, view, width, height, span);

  const double cursorTime = CursorTime(view, width);
  dc->SelectPen(graph::kDottedRedPen);
  graph::DrawCursorLine(*dc, view, height);

  DrawStatusLines(flight.SampleAt(StatusSample(flight, view, cursorTime)), flight.channels, *dc,
                  width, ComparedStatusText(compared, cursorTime, kStatusAltitude));

  dc->SelectFont(oldFont);
  dc->SelectPen(oldPen);
}

}  // namespace quarn

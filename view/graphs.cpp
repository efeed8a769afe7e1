#include "view/graphs.h"

#include <iterator>

#include "base/format.h"
#include "charts/status_lines.h"
#include "view/graph_frame.h"

namespace quarn {
namespace {

// What sets the six time-series graphs apart; everything else is one routine.
struct GraphTraits {
  int mode;
  const char* title;
  graph::SampleField field;
  double startMin;  // seeds of the value scale's search
  double startMax;
  const char* labelFormat;
  bool altitudeLayout;  // dotted axes and the altitude graph's drawing order
  Channel channel;
  const char* channelName;   // in the text that says the channel was not recorded
  const char* statusFormat;  // the compared flight's value in the status line
};

constexpr GraphTraits kGraphs[] = {
    {kChartAltitude, "ALTITUDE", &FlightSample::altitudeFt, 1000000, 0, "%6.0lf", true,
     Channel::Altitude, "The altitude", "Altitude=%7.0lf"},
    {kChartIas, "INDICATED AIR SPEED IAS", &FlightSample::iasKt, 1000000, 0, "%6.0lf", false,
     Channel::Ias, "IAS", "IAS=%7.0lf"},
    {kChartTas, "TRUE AIR SPEED - TAS", &FlightSample::tasKt, 1000000, 0, "%6.0lf", false,
     Channel::Tas, "TAS", "TAS=%7.0lf"},
    {kChartVerticalSpeed, "VERTICAL SPEED", &FlightSample::verticalSpeedFpm, 1000000, -100000,
     "%6.0lf", false, Channel::VerticalRate, "The vertical speed", "V.Speed=%7.0lf"},
    {kChartBank, "BANK", &FlightSample::bankDeg, 1000, -1000, "%6.1lf", false, Channel::Roll,
     "The bank", "Bank=%5.1lf"},
    {kChartPitch, "PITCH", &FlightSample::pitchDeg, 1000, -1000, "%6.1lf", false, Channel::Pitch,
     "The pitch", "Pitch=%5.1lf"},
};

const GraphTraits* FindGraph(int mode) {
  for (const GraphTraits& g : kGraphs) {
    if (g.mode == mode) return &g;
  }
  return nullptr;
}

}  // namespace

void DrawGraph(Window& window, const Flight& flight, const ViewState& view, int mode,
               const ComparedTrace& compared) {
  const GraphTraits* traits = FindGraph(mode);
  if (traits == nullptr) return;

  auto dc = window.GetDC();
  const int width = window.ClientWidth();
  const int height = window.ClientHeight();
  dc->FillSolidRect(Rect{0, 0, width, height}, kBlack);

  // A channel the flight does not carry has no values to scale or draw: the chart
  // says so instead of drawing a flat line at zero.
  const bool recorded = flight.channels.Carries(traits->channel);
  // The compared flight shares the scale where both carry the channel.
  const ComparedTrace drawnBeside =
      recorded && compared.flight != nullptr && compared.flight->channels.Carries(traits->channel)
          ? compared
          : ComparedTrace{};
  const graph::Extremes scale = graph::WidenByCompared(
      graph::FindExtremes(flight, view, traits->field, traits->startMin, traits->startMax),
      drawnBeside, view, traits->field);
  const double span = graph::WindowSpan(view);

  const Font oldFont = dc->SelectFont(graph::GraphFont());
  dc->SetTextColor(graph::kGreen);
  const Pen oldPen = dc->SelectPen(graph::kSolidGreenPen);

  auto drawTitle = [&] {
    dc->SetTextAlign(TextAlign::Center);
    dc->TextOut(width / 2, height - 17, traits->title);
  };
  auto drawGridAndLabels = [&] {
    dc->SetTextAlign(TextAlign::Right);
    dc->SelectPen(graph::kDottedGreenPen);
    graph::DrawGrid(*dc, width, height, recorded ? &scale : nullptr, traits->labelFormat);
  };
  auto drawTrace = [&] {
    dc->SelectPen(graph::kDottedBluePen);
    if (recorded) {
      graph::DrawTrace(*dc, flight, view, width, height, traits->field, scale, span);
      if (drawnBeside.flight != nullptr) {
        dc->SelectPen(graph::kComparedPen);
        graph::DrawComparedTrace(*dc, drawnBeside, view, width, height, traits->field, scale, span);
      }
      return;
    }
    dc->SetTextAlign(TextAlign::Center);
    dc->SetTextColor(graph::kGreen);
    dc->TextOut(width / 2, height / 2,
                Format("%s was not recorded in this flight", traits->channelName));
  };

  if (traits->altitudeLayout) {
    // Where dotted lines and text overlap the order shows, so the altitude graph
    // keeps its own: grid, title, axes, trace, time labels.
    drawGridAndLabels();
    drawTitle();
    graph::DrawAxes(*dc, width, height);  // with the grid's dotted green pen
    drawTrace();
    graph::DrawTimeLabels(*dc, view, width, height, span);
  } else {
    drawTitle();
    graph::DrawAxes(*dc, width, height);
    graph::DrawTimeLabels(*dc, view, width, height, span);
    drawGridAndLabels();
    drawTrace();
  }

  const double cursorTime = CursorTime(view, width);
  dc->SelectPen(graph::kDottedRedPen);
  graph::DrawCursorLine(*dc, view, height);

  dc->SetTextColor(graph::kGreen);
  DrawStatusLines(
      flight.SampleAt(StatusSample(flight, view, cursorTime)), flight.channels, *dc, width,
      ComparedStatusText(compared, cursorTime,
                         StatusQuantity{traits->statusFormat, traits->field, traits->channel}));

  dc->SelectFont(oldFont);
  dc->SelectPen(oldPen);
}

}  // namespace quarn

#include "charts/status_lines.h"

#include <cmath>
#include <string>

#include "base/format.h"
#include "base/geodesy.h"
#include "base/numeric.h"
#include "record/flight_analysis.h"

namespace quarn {
namespace {

constexpr Color kStatusGreen{0, 170, 85};

}  // namespace

double CursorTime(const ViewState& view, int width) {
  double span = view.lastTime - view.firstTime;
  if (span < 0) span += 24;  // the record passes midnight
  const int usable = width - 100;
  if (usable == 0) return view.firstTime;  // no axis: the cursor stands at its start
  return view.firstTime + span * view.cursorOffset / usable;
}

int StatusSample(const Flight& flight, const ViewState& view, double cursorTime) {
  // Once the cursor lies 23.9 hours or more beyond a passed sample, the record has
  // crossed midnight and the following times count 24 hours more.
  double allowance = 0;
  for (int i = view.windowFirst; i <= view.windowLast; ++i) {
    const double t = flight.SampleAt(i).timeHours;
    if (allowance + t > cursorTime) return i;
    if (cursorTime - t >= 23.9) allowance = 24;
  }
  // The cursor lies beyond every sample of the window: show the window's last one.
  return view.windowLast;
}

void DrawStatusLines(const FlightSample& s, const ChannelSet& channels, DrawContext& dc, int width,
                     std::string_view comparedText) {
  // To the nearest second: the stored one.
  const TimeStamp time = SplitTimeOfDay(s.timeHours);
  const int hours = time.hours, minutes = time.minutes, seconds = time.seconds;

  auto field = [&](double v, Channel c) { return RowField{v, !channels.Carries(c)}; };
  const RowField fields1[] = {{static_cast<double>(hours)},
                              {static_cast<double>(minutes)},
                              {static_cast<double>(seconds)},
                              field(s.altitudeFt, Channel::Altitude),
                              {s.latitudeDeg},
                              {s.longitudeDeg}};
  const RowField fields2[] = {field(s.pitchDeg, Channel::Pitch), field(s.bankDeg, Channel::Roll),
                              field(s.tasKt, Channel::Tas), field(s.iasKt, Channel::Ias),
                              field(s.verticalSpeedFpm, Channel::VerticalRate)};
  std::string line1 = FormatRow(
      "Time=%d:%d:%d     Altitude=%7.0lf    Latitude=%5.2lf    Longitude=%5.2lf", fields1);
  line1 += comparedText;
  const std::string line2 =
      FormatRow("Pitch=%5.1lf    Bank=%5.1lf   TAS=%7.0lf   IAS=%7.0lf    V.Speed=%7.0lf", fields2);

  dc.SetTextColor(kStatusGreen);
  dc.SetTextAlign(TextAlign::Left);
  dc.TextOut(50, 10, line1);
  dc.SetTextAlign(TextAlign::Right);
  dc.TextOut(width - 50, 10, line2);
}

std::string ComparedStatusText(const ComparedTrace& compared, double timeHours,
                               const StatusQuantity& quantity) {
  if (compared.flight == nullptr) return "";
  const std::optional<int> index = ComparedSampleAt(compared, timeHours);
  if (!index) return "  B: -";
  const FlightSample& s = compared.flight->SampleAt(*index);
  const TimeStamp time = SplitTimeOfDay(s.timeHours);
  const RowField fields[] = {
      {static_cast<double>(time.hours)},
      {static_cast<double>(time.minutes)},
      {static_cast<double>(time.seconds)},
      {s.*quantity.field, !compared.flight->channels.Carries(quantity.channel)}};
  return FormatRow(("  B: Time=%d:%d:%d " + std::string(quantity.format)).c_str(), fields);
}

}  // namespace quarn

// The take-off and landing summary screen (chart mode 12): the flight conditions at
// the take-off, the rotation and the landing, found from the altitudes and vertical
// speeds of the sample table at every draw.

#include "record/takeoff_landing_summary.h"

#include <span>

#include "base/format.h"
#include "record/flight_analysis.h"
#include "record/flight_phases.h"
#include "record/summary_text.h"

namespace quarn {
namespace {

constexpr const char* kEventHeader =
    "Event                          Time     Altitude    Latitude Longitude  Pitch   Bank   TAS    "
    "IAS    V.Speed";

constexpr const char* kTakeoffRow =
    "Take Off                  %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   %+05.1f  "
    "%04.0f   %04.0f       %+04.0f";
constexpr const char* kRotationRow =
    "Rotation                   %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   %+05.1f "
    " "
    "%04.0f   %04.0f       %+04.0f";
constexpr const char* kLandingRow =
    "Landing                    %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   %+05.1f "
    " "
    "%04.0f   %04.0f       %+04.0f";

}  // namespace

void DrawTakeoffLandingSummary(Window& window, const Flight& flight) {
  auto dc = window.GetDC();
  dc->FillSolidRect(Rect{0, 0, window.ClientWidth(), window.ClientHeight()}, kWhite);
  const SummaryFont font(*dc);

  dc->TextOut(10, 12,
              Format("          TAKE OFF AND LANDING SUMMARY %s", flight.recordPath.c_str()));

  const AnalysisOptions& options = kTakeoffLandingAnalysis;
  const int count = SummarySampleCount(flight);
  GroundReferences references(options, count);
  for (int i = 0; i < count; ++i) references.Add(i, FromTableSample(flight.SampleAt(i)));

  const std::span<const FlightSample> table(flight.samples.data(), static_cast<std::size_t>(count));
  EventFinder events(options, count, references.start(), references.end());
  // A take-off in a flight that starts in the air, or a landing in one that ends there,
  // would be invented: the flight's phases rule them out.
  const AirborneEnds airborne = AirborneAtTheEnds(flight);
  events.RuleOut(airborne.starts, airborne.ends);
  int y = 39;
  for (int b = 0; b < count; ++b) {
    const FlightSample& sample = flight.SampleAt(b);
    const EventStep step = events.Add(b, FromTableSample(sample));
    if (step.takeoff) {
      dc->TextOut(10, y, "1. TAKE OFF VARIABLES AND FLIGHT CONDITIONS");
      dc->TextOut(10, y + 17, kEventHeader);
      dc->TextOut(10, y + 27, kSummaryColumnDashes);
      dc->TextOut(10, y + 39, SummaryEventRow(kTakeoffRow, sample, flight.channels));
      y += 51;
      // The rotation may come before the take-off sample; it is shown below it.
      if (const auto rotation = FindRotation(table, b)) {
        dc->TextOut(10, y,
                    SummaryEventRow(kRotationRow, flight.SampleAt(*rotation), flight.channels));
        y += 22;
      }
    }
    if (step.landing) {
      dc->TextOut(10, y, "2. LANDING VARIABLES AND FLIGHT CONDITIONS");
      dc->TextOut(10, y + 17, kEventHeader);
      dc->TextOut(10, y + 27, kSummaryColumnDashes);
      dc->TextOut(10, y + 39, SummaryEventRow(kLandingRow, sample, flight.channels));
    }
  }
}

}  // namespace quarn

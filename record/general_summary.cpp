// The general flight summary screen (chart mode 8): the gear log, the extremes with
// the flight conditions at that moment, the record, pause and flight times and the
// fuel, computed from the sample table at every draw.

#include "record/general_summary.h"

#include <array>

#include "base/format.h"
#include "record/flight_analysis.h"
#include "record/flight_phases.h"
#include "record/summary_text.h"

namespace quarn {
namespace {

// One format per extreme kind, in the order of ExtremeKind.
constexpr std::array<const char*, kExtremeKindCount> kExtremeRows{
    "Altitude                     %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   "
    "%+05.1f  %04.0f   %04.0f       %+04.0f",
    "Negative Pitch           %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   "
    "%+05.1f  %04.0f   %04.0f       %+04.0f",
    "Positive Pitch            %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   "
    "%+05.1f  %04.0f   %04.0f       %+04.0f",
    "Negative Bank           %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   "
    "%+05.1f  %04.0f   %04.0f       %+04.0f",
    "Positive Bank            %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   "
    "%+05.1f  %04.0f   %04.0f       %+04.0f",
    "TAS                          %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   "
    "%+05.1f  %04.0f   %04.0f       %+04.0f",
    "IAS                           %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   "
    "%+05.1f  %04.0f   %04.0f       %+04.0f",
    "Positive V.Speed        %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   "
    "%+05.1f  %04.0f   %04.0f       %+04.0f",
    "Negative V.Speed       %02d:%02d:%02d    %05.0f    %+07.3f    %+07.3f   %+05.1f   "
    "%+05.1f  %04.0f   %04.0f       %+04.0f",
};

std::string StampText(const TimeStamp& t) {
  return Format("%02d:%02d:%02d", t.hours, t.minutes, t.seconds);
}

std::string FuelRow(const AnalysisSample& s, bool recorded) {
  const auto fields = FuelRowFields(s, recorded);
  return FormatRow("%02d:%02d:%02d      %04.1f           %04.1f          %04.1f            %04.1f",
                   fields);
}

}  // namespace

void DrawGeneralSummary(Window& window, const Flight& flight) {
  auto dc = window.GetDC();
  dc->FillSolidRect(Rect{0, 0, window.ClientWidth(), window.ClientHeight()}, kWhite);
  const SummaryFont font(*dc);

  dc->TextOut(10, 2, Format("                 FLIGHT MAXIMUM %s", flight.recordPath.c_str()));

  // First scan: pauses, first and last sample, extremes, gear log.
  const AnalysisOptions& options = kGeneralSummaryAnalysis;
  const int count = SummarySampleCount(flight);
  RecordTimes times(options);
  ExtremeTracker extremes(options);
  GearLog gearLog;
  int y = 19;
  const ChannelSet& channels = flight.channels;
  // Without a recorded gear the log has no rows, only its heading and a word.
  const bool gearRecorded = channels.Carries(Channel::Gear);
  if (!gearRecorded && count > 0) {
    dc->TextOut(10, y, "1. GEAR POSITION");
    dc->TextOut(10, y + 12, "  n/a: not recorded in this flight");
    y += 24;
  }
  for (int i = 0; i < count; ++i) {
    const AnalysisSample s = FromTableSample(flight.SampleAt(i));
    times.Add(s);
    extremes.Add(i, s);
    if (!gearRecorded) continue;
    const GearLogStep step = gearLog.Add(s);
    if (step.header) {
      dc->TextOut(10, y, "1. GEAR POSITION");
      dc->TextOut(10, y + 12, "  Time              Gear No.1        Gear No.2     Gear No.3");
      dc->TextOut(10, y + 22,
                  "  -------              ------------          -------------      -------------");
      y += 34;
    }
    for (const auto& row : {step.downRow, step.upRow}) {
      if (!row) continue;
      dc->TextOut(10, y, StampText(row->stamp));
      dc->TextOut(80, y, row->down[0] ? "DOWN" : "UP");
      dc->TextOut(150, y, row->down[1] ? "DOWN" : "UP");
      dc->TextOut(210, y, row->down[2] ? "DOWN" : "UP");
      y += 12;
    }
  }

  dc->TextOut(10, y + 5, "2. MAXIMUM VARIABLES AND FLIGHT CONDITIONS");
  dc->TextOut(10, y + 22,
              "Variable                       Time     Altitude    Latitude Longitude  Pitch   "
              "Bank   TAS    IAS    V.Speed");
  dc->TextOut(10, y + 32, kSummaryColumnDashes);
  // An empty record has no sample to show: its rows are left out rather than
  // showing table entries that belong to no sample of it.
  if (count > 0) {
    for (int k = 0; k < kExtremeKindCount; ++k) {
      const auto& choice = extremes.Choice(static_cast<ExtremeKind>(k));
      // A kind never chosen shows sample 0.
      const FlightSample& s = flight.SampleAt(choice ? choice->index : 0);
      const char* row = kExtremeRows[static_cast<std::size_t>(k)];
      dc->TextOut(10, y + 44 + 12 * k,
                  channels.Carries(ChannelOfExtreme(k)) ? SummaryEventRow(row, s, channels)
                                                        : NotRecordedRow(row));
    }
  }

  dc->TextOut(10, y + 157, "3. GENERAL DATA");
  dc->TextOut(10, y + 169,
              "Variable                     Initial             Final             Duration");
  dc->TextOut(10, y + 181,
              "                                Time              Time             (min:sec)");
  dc->TextOut(10, y + 191,
              "---------------------          ----------          -----------          "
              "-------------");
  if (count > 0) {
    const TimeStamp first = TimeFormA(times.first().timeHours);
    const TimeStamp last = TimeFormB(times.last().timeHours);
    const MinSec record = SplitMinutes(times.RecordMinutes(), true);
    dc->TextOut(10, y + 203,
                Format("Record Time            %02d:%02d:%02d        %02d:%02d:%02d         "
                       "%6.0f:%-2.0f",
                       first.hours, first.minutes, first.seconds, last.hours, last.minutes,
                       last.seconds, record.minutes, record.seconds));
  }
  // With every sample a pause sample, or none at all, the pause time is 0:0.
  const MinSec pause = SplitMinutes(times.PauseMinutes(), true);
  dc->TextOut(
      10, y + 215,
      Format("Pause Time                    --                --               %6.0f:%-2.0f",
             pause.minutes, pause.seconds));

  // Second scan: the ground references; third: take-off and landing.
  GroundReferences references(options, count);
  for (int i = 0; i < count; ++i) references.Add(i, FromTableSample(flight.SampleAt(i)));
  EventFinder events(options, count, references.start(), references.end());
  // A take-off in a flight that starts in the air, or a landing in one that ends there,
  // would be invented: the flight's phases rule them out.
  const AirborneEnds airborne = AirborneAtTheEnds(flight);
  events.RuleOut(airborne.starts, airborne.ends);
  for (int i = 0; i < count; ++i) {
    const AnalysisSample s = FromTableSample(flight.SampleAt(i));
    const EventStep step = events.Add(i, s);
    if (step.takeoff) {
      dc->TextOut(10, y + 227,
                  Format("Flight Time              %02d:%02d:%02d", s.stamp.hours, s.stamp.minutes,
                         s.stamp.seconds));
    }
    if (step.landing) dc->TextOut(160, y + 227, StampText(s.stamp));
  }
  if (const auto minutes = events.FlightMinutes()) {
    const MinSec flightTime = SplitMinutes(*minutes, false);
    dc->TextOut(220, y + 227, Format("%6.0f:%-2.0f", flightTime.minutes, flightTime.seconds));
  }

  dc->TextOut(10, y + 244, "4. FUEL DATA (percentage)");
  dc->TextOut(10, y + 256, " Time         Left T.     Left Aux. T.   Right T.     Right Aux. T.");
  dc->TextOut(10, y + 268,
              " ------          ---------      --------------    -------         ------------");
  if (count > 0) {
    const bool fuelRecorded = channels.Carries(Channel::Fuel);
    dc->TextOut(10, y + 280, FuelRow(times.first(), fuelRecorded));
    dc->TextOut(10, y + 292, FuelRow(times.last(), fuelRecorded));
  }
}

}  // namespace quarn

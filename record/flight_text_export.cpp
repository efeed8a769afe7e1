// "File Flight.txt": every record of the flight as a line of flight.txt, and the
// analysis report warning.txt. The records are walked three times: the lines, gear
// log, extremes and times; the ground references; the take-off and landing.

#include "record/flight_text_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <vector>

#include "base/format.h"
#include "platform/file_services.h"
#include "platform/file_writer.h"
#include "record/flight_analysis.h"
#include "record/flight_phases.h"
#include "record/record_format.h"
#include "record/summary_text.h"

namespace quarn {
namespace {

// The fields a source without the recorder's stored ones gives: the time of day to
// the nearest second, the altitude in metres, the heading signed.
StoredFields StoredOf(const FlightSample& s) {
  const long long total = std::llround(s.timeHours * 3600);
  StoredFields f;
  f.hours = static_cast<std::int16_t>(std::clamp(total / 3600, -32768LL, 32767LL));
  f.minutes = static_cast<std::int16_t>(total / 60 % 60);
  f.seconds = static_cast<std::int16_t>(total % 60);
  f.altitudeMetres = s.altitudeFt / kFeetPerMetre;
  f.signedHeadingDeg = s.courseDeg > 180 ? s.courseDeg - 360 : s.courseDeg;
  return f;
}

// Calls visit(index, sample, stored fields) for every sample of the flight.
template <typename Visit>
void ForEachRecord(const Flight& flight, Visit visit) {
  const bool stored = flight.stored.size() == flight.samples.size();
  for (std::size_t i = 0; i < flight.samples.size(); ++i) {
    const FlightSample& s = flight.samples[i];
    visit(static_cast<int>(i), s, stored ? flight.stored[i] : StoredOf(s));
  }
}

// The sample as the export's analysis sees it: the stamp and the altitude in metres
// as stored.
AnalysisSample FromStored(const FlightSample& sample, const StoredFields& f) {
  AnalysisSample s = FromTableSample(sample);
  s.stamp = TimeStamp{f.hours, f.minutes, f.seconds};
  s.timeHours = StampHours(s.stamp);
  s.altitudeMetres = f.altitudeMetres;
  s.verticalSpeedFpm = 0;
  return s;
}

// The channels of a sample's line, in its order after the time stamp.
constexpr Channel kLineChannels[] = {Channel::Latitude, Channel::Longitude, Channel::Altitude,
                                     Channel::Pitch,    Channel::Roll,      Channel::Heading,
                                     Channel::Tas,      Channel::Ias};

// A line with "n/a" for the channels the flight did not record.
void WriteFlightLineOf(std::FILE* out, long number, const FlightSample& s, const StoredFields& f,
                       const ChannelSet& channels) {
  const double values[] = {s.latitudeDeg, s.longitudeDeg,     s.altitudeFt, s.pitchDeg,
                           s.bankDeg,     f.signedHeadingDeg, s.tasKt,      s.iasKt};
  std::vector<RowField> fields = {{static_cast<double>(number)},
                                  {static_cast<double>(f.hours)},
                                  {static_cast<double>(f.minutes)},
                                  {static_cast<double>(f.seconds)}};
  for (std::size_t k = 0; k < std::size(kLineChannels); ++k) {
    fields.push_back({values[k], !channels.Carries(kLineChannels[k])});
  }
  const bool fuel = channels.Carries(Channel::Fuel);
  for (double v : {s.fuelLeft, s.fuelLeftAux, s.fuelRight, s.fuelRightAux}) {
    fields.push_back({v, !fuel});
  }
  const bool gear = channels.Carries(Channel::Gear);
  for (double g : {s.gear1, s.gear2, s.gear3}) fields.push_back({g != 0 ? 1.0 : 0.0, !gear});
  std::fputs(FormatRow("%ld\t%ld:%ld:%ld\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t"
                       "%d\t%d\t%d\n",
                       fields)
                 .c_str(),
             out);
}

void WriteFlightLine(std::FILE* out, long number, const FlightSample& s, const StoredFields& f) {
  std::fprintf(out, "%ld\t%ld:%ld:%ld\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t", number,
               static_cast<long>(f.hours), static_cast<long>(f.minutes),
               static_cast<long>(f.seconds), s.latitudeDeg, s.longitudeDeg, s.altitudeFt,
               s.pitchDeg, s.bankDeg, f.signedHeadingDeg, s.tasKt, s.iasKt);
  std::fprintf(out, "%f\t%f\t%f\t%f\t", s.fuelLeft, s.fuelLeftAux, s.fuelRight, s.fuelRightAux);
  std::fprintf(out, "%d\t%d\t%d\n", s.gear1 != 0 ? 1 : 0, s.gear2 != 0 ? 1 : 0,
               s.gear3 != 0 ? 1 : 0);
}

void WriteGearHeader(std::FILE* out) {
  std::fputs("1. GEAR POSITION\n\n", out);
  std::fputs("  Time    Gear No.1     Gear No.2     Gear No.3\n", out);
  std::fputs("  ----    ---------     ---------     ---------\n", out);
}

// Rows of the "some gear up" step set DOWN of gears 2 and 3 one column further left.
void WriteGearRow(std::FILE* out, const GearRow& row) {
  std::fprintf(out, "%02d:%02d:%02d", row.stamp.hours, row.stamp.minutes, row.stamp.seconds);
  std::fputs(row.down[0] ? "     DOWN" : "       UP", out);
  if (row.someGearUp) {
    std::fputs(row.down[1] ? "        DOWN" : "           UP", out);
    std::fputs(row.down[2] ? "          DOWN\n" : "             UP\n", out);
  } else {
    std::fputs(row.down[1] ? "         DOWN" : "           UP", out);
    std::fputs(row.down[2] ? "           DOWN\n" : "             UP\n", out);
  }
}

// The gear log of a flight that did not record its gear.
void WriteNoGear(std::FILE* out) {
  std::fputs("1. GEAR POSITION\n\n", out);
  std::fputs("n/a: not recorded in this flight\n", out);
}

void WriteGearStep(std::FILE* out, const GearLogStep& step) {
  if (step.header) WriteGearHeader(out);
  if (step.downRow) WriteGearRow(out, *step.downRow);
  if (step.upRow) WriteGearRow(out, *step.upRow);
}

// One format per extreme kind, in the order of ExtremeKind.
constexpr std::array<const char*, 7> kExtremeRows{
    "Altitude           %02d:%02d:%02d    %05.0f     %+07.3f   %+07.3f   %+05.1f  %+05.1f  %04.0f  "
    " %04.0f\n",
    "Negative Pitch     %02d:%02d:%02d    %05.0f     %+07.3f   %+07.3f   %+05.1f  %+05.1f  %04.0f  "
    " %04.0f\n",
    "Positive Pitch     %02d:%02d:%02d    %05.0f     %+07.3f   %+07.3f   %+05.1f  %+05.1f  %04.0f  "
    " %04.0f\n",
    "Negative Bank      %02d:%02d:%02d    %05.0f     %+07.3f   %+07.3f   %+05.1f  %+05.1f  %04.0f  "
    " %04.0f\n",
    "Positive Bank      %02d:%02d:%02d    %05.0f     %+07.3f   %+07.3f   %+05.1f  %+05.1f  %04.0f  "
    " %04.0f\n",
    "TAS                %02d:%02d:%02d    %05.0f     %+07.3f   %+07.3f   %+05.1f  %+05.1f  %04.0f  "
    " %04.0f\n",
    "IAS                %02d:%02d:%02d    %05.0f     %+07.3f   %+07.3f   %+05.1f  %+05.1f  %04.0f  "
    " %04.0f\n",
};

// A kind that no record was chosen for is written as zeros at 00:00:00; a kind whose
// channel the flight did not record as "n/a".
void WriteExtremes(std::FILE* out, const ExtremeTracker& extremes, const ChannelSet& channels) {
  std::fputs("\n2. MAXIMUM VARIABLES AND FLIGHT CONDITIONS\n\n", out);
  std::fputs(
      "Variable             Time     Altitude   Latitude  Longitude  Pitch  Bank   TAS    IAS\n",
      out);
  std::fputs(
      "--------             ----     --------   --------  ---------  -----  ----   ---    ---\n",
      out);
  for (std::size_t k = 0; k < kExtremeRows.size(); ++k) {
    const auto& choice = extremes.Choice(static_cast<ExtremeKind>(k));
    const AnalysisSample s = choice ? choice->sample : AnalysisSample{};
    if (!channels.Carries(ChannelOfExtreme(static_cast<int>(k)))) {
      std::fputs((NotRecordedRow(kExtremeRows[k]) + "\n").c_str(), out);
      continue;
    }
    auto field = [&](double v, Channel c) { return RowField{v, !channels.Carries(c)}; };
    const RowField fields[] = {{static_cast<double>(s.stamp.hours)},
                               {static_cast<double>(s.stamp.minutes)},
                               {static_cast<double>(s.stamp.seconds)},
                               field(s.altitudeFt, Channel::Altitude),
                               {s.latitudeDeg},
                               {s.longitudeDeg},
                               field(s.pitchDeg, Channel::Pitch),
                               field(s.bankDeg, Channel::Roll),
                               field(s.tasKt, Channel::Tas),
                               field(s.iasKt, Channel::Ias)};
    std::fputs(FormatRow(kExtremeRows[k], fields).c_str(), out);
  }
}

void WriteGeneralData(std::FILE* out, const RecordTimes& times) {
  std::fputs("\n3. GENERAL DATA\n\n", out);
  std::fputs("Variable              Initial       Final      Duration\n", out);
  std::fputs("                       Time         Time      (min:sec)\n", out);
  std::fputs("-------------------  ---------   ------------  ----------\n", out);
  // An empty file has no first or last record: its times are written as zeros.
  const TimeStamp& a = times.first().stamp;
  const TimeStamp& b = times.last().stamp;
  const MinSec record = SplitMinutes(times.RecordMinutes(), true);
  std::fprintf(out, "Record Time           %02d:%02d:%02d     %02d:%02d:%02d  %6.0lf:%-2.0lf\n",
               a.hours, a.minutes, a.seconds, b.hours, b.minutes, b.seconds, record.minutes,
               record.seconds);
  const MinSec pause = SplitMinutes(times.PauseMinutes(), true);
  std::fprintf(out, "Pause Time               --           --     %6.0f:%-2.0f\n", pause.minutes,
               pause.seconds);
}

void WriteFuelRow(std::FILE* out, const AnalysisSample& s, bool recorded) {
  const auto fields = FuelRowFields(s, recorded);
  std::fputs(
      FormatRow("%02d:%02d:%02d           %04.1f           %04.1f           %04.1f           "
                "%04.1f\n",
                fields)
          .c_str(),
      out);
}

void WriteFuelData(std::FILE* out, const RecordTimes& times, bool recorded) {
  std::fputs("\n4. FUEL DATA (percentage)\n\n", out);
  std::fputs("Time             Left         Left Aux.         Right        Right Aux.\n", out);
  std::fputs("                 Tank         Tank              Tank         Tank\n", out);
  std::fputs("------           ---------    --------------   -------      ------------\n", out);
  WriteFuelRow(out, times.first(), recorded);
  // The last complete record: a trailing partial record is never read.
  WriteFuelRow(out, times.last(), recorded);
}

}  // namespace

std::vector<std::string> GenerateFlightText(const Flight& flight, const std::string& outputDir,
                                            std::time_t analysisTime) {
  // Both files are written beside their targets and replace them only when complete.
  OutputFile warningFile;
  if (!warningFile.Open(JoinPath(outputDir, "warning.txt"))) {
    return {Format("Can\u00b4t open file %s\n", "warning.txt")};
  }
  std::FILE* warning = warningFile.stream();
  OutputFile flightFile;
  if (!flightFile.Open(JoinPath(outputDir, "flight.txt"))) {
    return {Format("Can\u00b4t open file %s\n", "flight.txt")};
  }
  std::FILE* out = flightFile.stream();

  const char* date = std::ctime(&analysisTime);
  std::fprintf(warning, "\n    FLIGHT MAXIMUM %s\n", flight.recordPath.c_str());
  std::fprintf(warning, "    Date of this analysis: %s\n", date != nullptr ? date : "\n");
  std::fputs(
      "No. Register\tTime stamp (hh:mm:ss)\tlatitude (degrees)\tlongitude (degrees)\taltitude "
      "(Feet)\tpitch (degrees)\tbank (degrees)\tCourse (degrees)\tTAS (knots)\tIAS "
      "(knost)\tLeft Tank\tLeft Aux Tank\tRight Tank\tRight Aux Tank\tgear1 position\tgear2 "
      "position\tgear3 position\n",
      out);

  // First pass: the lines, the pauses, the extremes, the fuel and the gear log.
  const AnalysisOptions& options = kExportAnalysis;
  RecordTimes times(options);
  ExtremeTracker extremes(options);
  GearLog gearLog;
  const ChannelSet& channels = flight.channels;
  // The recorder's file carries every channel a line shows: its lines keep their form.
  const bool everyChannel = std::all_of(std::begin(kLineChannels), std::end(kLineChannels),
                                        [&](Channel c) { return channels.Carries(c); }) &&
                            channels.Carries(Channel::Fuel) && channels.Carries(Channel::Gear);
  const bool gearRecorded = channels.Carries(Channel::Gear);
  ForEachRecord(flight, [&](int i, const FlightSample& sample, const StoredFields& f) {
    if (everyChannel) {
      WriteFlightLine(out, i, sample, f);
    } else {
      WriteFlightLineOf(out, i, sample, f, channels);
    }
    const AnalysisSample s = FromStored(sample, f);
    times.Add(s);
    if (i == 0) {
      std::fprintf(warning, "Initial time of the record: %d:%d:%d\n\n", s.stamp.hours,
                   s.stamp.minutes, s.stamp.seconds);
      if (!gearRecorded) WriteNoGear(warning);
    }
    extremes.Add(i, s);
    if (gearRecorded) WriteGearStep(warning, gearLog.Add(s));
  });
  const int count = times.count();
  WriteExtremes(warning, extremes, channels);
  WriteGeneralData(warning, times);

  // Second pass: the ground references.
  GroundReferences references(options, count);
  ForEachRecord(flight, [&](int i, const FlightSample& sample, const StoredFields& f) {
    references.Add(i, FromStored(sample, f));
  });

  // Third pass: take-off and landing, written as they are found.
  EventFinder events(options, count, references.start(), references.end());
  // A take-off in a flight that starts in the air, or a landing in one that ends there,
  // would be invented: the flight's phases rule them out.
  const AirborneEnds airborne = AirborneAtTheEnds(flight);
  events.RuleOut(airborne.starts, airborne.ends);
  ForEachRecord(flight, [&](int i, const FlightSample& sample, const StoredFields& f) {
    const AnalysisSample s = FromStored(sample, f);
    const EventStep step = events.Add(i, s);
    if (step.takeoff) {
      std::fprintf(warning, "Flight Time           %02d:%02d:%02d", s.stamp.hours, s.stamp.minutes,
                   s.stamp.seconds);
    }
    if (step.landing) {
      std::fprintf(warning, "     %02d:%02d:%02d", s.stamp.hours, s.stamp.minutes, s.stamp.seconds);
    }
  });
  if (const auto minutes = events.FlightMinutes()) {
    const MinSec flightTime = SplitMinutes(*minutes, false);
    std::fprintf(warning, "  %6.0f:%-2.0f\n", flightTime.minutes, flightTime.seconds);
  }
  WriteFuelData(warning, times, channels.Carries(Channel::Fuel));

  std::vector<std::string> errors;
  for (auto [file, name] : {std::pair{&flightFile, "flight.txt"}, {&warningFile, "warning.txt"}}) {
    if (!file->Commit()) errors.push_back(Format("Can\u00b4t write %s", name));
  }
  return errors;
}

}  // namespace quarn

// The analysis rules on their own: time forms, durations, extremes, gear log,
// pauses, ground references, take-off, landing and rotation.

#include "record/flight_analysis.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/format.h"

namespace quarn {
namespace {

AnalysisSample At(int h, int m, int s, double altitudeFt = 0) {
  AnalysisSample a;
  a.stamp = {h, m, s};
  a.timeHours = StampHours(a.stamp);
  a.altitudeFt = altitudeFt;
  a.altitudeMetres = altitudeFt / kFeetPerMetre;
  return a;
}

AnalysisSample WithGear(bool g1, bool g2, bool g3) {
  AnalysisSample a = At(10, 0, 0);
  a.gear = {g1 ? 1.0 : 0.0, g2 ? 1.0 : 0.0, g3 ? 1.0 : 0.0};
  return a;
}

std::string Shown(double minutes, bool absoluteSeconds) {
  const MinSec m = SplitMinutes(minutes, absoluteSeconds);
  return Format("%6.0f:%-2.0f", m.minutes, m.seconds);
}

TEST(TimeForms, SplitTimeHoursAsTheScreensShowIt) {
  struct Case {
    double t;
    TimeStamp a, b;
  };
  const double t1 = 9 + 15 * 0.016666666666666666 + 43 * 0.0002777777777777778;
  const std::vector<Case> cases{
      {0.0, {0, 0, 0}, {0, 0, 0}},
      {12.5, {12, 30, 0}, {12, 30, 0}},
      // Seconds that fall just short of a whole number are the stored second.
      {t1, {9, 15, 43}, {9, 15, 43}},
      // 17:12:00 as a double lies a hair below it: not 17:11:60, nor 17:11:00.
      {17 + 12 / 60.0, {17, 12, 0}, {17, 12, 0}},
      // Past midnight the hours go on counting.
      {24.0 + 10.0 / 60, {24, 10, 0}, {24, 10, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    EXPECT_EQ(TimeFormA(c.t), c.a);
    EXPECT_EQ(TimeFormB(c.t), c.b);
  }
}

TEST(Durations, RecordPauseAndFlightDurations) {
  // 23:50:00 to 00:10:00 crosses midnight once.
  EXPECT_NEAR(RecordDurationMinutes(StampHours({23, 50, 0}), StampHours({0, 10, 0})), 20.0, 1e-9);
  EXPECT_NEAR(FlightDurationMinutes({23, 59, 55}, {0, 0, 16}), 21.0 / 60, 1e-9);
  // Shared out over the moving samples, counted for the pause samples.
  EXPECT_DOUBLE_EQ(PauseDurationMinutes(10.0, 50, 10), 2.5);
  // Every sample a pause sample, or none at all: nothing to share over, 0.
  EXPECT_EQ(PauseDurationMinutes(10.0, 5, 5), 0.0);
  EXPECT_EQ(PauseDurationMinutes(0.0, 0, 0), 0.0);

  // Whole minutes and rounded seconds, through the program's field.
  EXPECT_EQ(Shown(24.0 + 49.0 / 60, true), "    24:49");
  EXPECT_EQ(Shown(0.0, true), "     0:0 ");
  EXPECT_EQ(Shown(5.44 / 60, true), "     0:5 ");
  // Just below a whole minute the integer part's tolerance rounds up; the record
  // and pause durations show the seconds without their sign.
  EXPECT_EQ(Shown(20.0 - 1e-9, true), "    20:0 ");
  EXPECT_EQ(Shown(20.0 - 1e-9, false), "    20:-0");
}

TEST(Extremes, ReferenceZeroAndLaterSampleWinsTies) {
  ExtremeTracker tracker(kExportAnalysis);
  const double altitudes[] = {100, 300, 200, 300, 50};
  for (int i = 0; i < 5; ++i) {
    AnalysisSample s = At(10, 0, i, altitudes[i]);
    s.pitchDeg = 1.0 + i;  // never at or below 0
    s.bankDeg = i == 2 ? -5.0 : 0.0;
    s.verticalSpeedFpm = -100;
    tracker.Add(i, s);
  }
  ASSERT_TRUE(tracker.Choice(kExtremeAltitude));
  EXPECT_EQ(tracker.Choice(kExtremeAltitude)->index, 3);  // the later of the two 300s
  EXPECT_FALSE(tracker.Choice(kExtremeNegativePitch));    // reference 0 never reached
  EXPECT_EQ(tracker.Choice(kExtremePositivePitch)->index, 4);
  EXPECT_EQ(tracker.Choice(kExtremeNegativeBank)->index, 2);
  EXPECT_EQ(tracker.Choice(kExtremePositiveBank)->index, 4);  // 0 >= 0 until the end
  EXPECT_EQ(tracker.Choice(kExtremeAltitude)->sample.stamp, (TimeStamp{10, 0, 3}));
  // The export has no vertical-speed kinds; the general summary has them.
  EXPECT_FALSE(tracker.Choice(kExtremeNegativeVerticalSpeed));

  ExtremeTracker summary(kGeneralSummaryAnalysis);
  AnalysisSample s = At(10, 0, 0);
  s.verticalSpeedFpm = 0;
  summary.Add(0, s);
  s.verticalSpeedFpm = 500;
  summary.Add(1, s);
  EXPECT_EQ(summary.Choice(kExtremePositiveVerticalSpeed)->index, 1);
  EXPECT_EQ(summary.Choice(kExtremeNegativeVerticalSpeed)->index, 0);
}

// One line per log entry: "H" for the header, "D"/"U" for the step that wrote a row,
// then the three gears.
std::vector<std::string> RunGearLog(const std::vector<AnalysisSample>& samples) {
  GearLog log;
  std::vector<std::string> out;
  auto row = [&](const char* step, const GearRow& r) {
    std::string line = step;
    for (bool d : r.down) line += d ? " DOWN" : " UP";
    out.push_back(line);
  };
  for (const auto& s : samples) {
    const GearLogStep step = log.Add(s);
    if (step.header) out.push_back("H");
    if (step.downRow) row("D", *step.downRow);
    if (step.upRow) row("U", *step.upRow);
  }
  return out;
}

TEST(GearLog, RowsAtChangesAndTheHeaderWithTheFirstGearDown) {
  const AnalysisSample down = WithGear(true, true, true);
  const AnalysisSample up = WithGear(false, false, false);
  const AnalysisSample mixed = WithGear(true, false, false);
  using Lines = std::vector<std::string>;
  struct Case {
    const char* name;
    std::vector<AnalysisSample> samples;
    Lines expected;
  };
  const std::vector<Case> cases{
      {"down throughout", {down, down, down}, {"H", "D DOWN DOWN DOWN"}},
      {"up throughout: a row, never a header", {up, up}, {"U UP UP UP"}},
      {"mixed: two rows per sample",
       {mixed, mixed, mixed},
       {"H", "D DOWN UP UP", "U DOWN UP UP", "D DOWN UP UP", "U DOWN UP UP", "D DOWN UP UP",
        "U DOWN UP UP"}},
      {"up, down, up, down",
       {up, down, down, up, down},
       {"U UP UP UP", "H", "D DOWN DOWN DOWN", "U UP UP UP", "D DOWN DOWN DOWN"}},
      {"none", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RunGearLog(c.samples), c.expected);
  }
}

TEST(Pauses, StoredFieldsAndTimeHoursVariants) {
  const std::vector<AnalysisSample> samples{At(0, 0, 0), At(0, 0, 1), At(0, 0, 1), At(0, 0, 2)};
  RecordTimes exportTimes(kExportAnalysis);
  RecordTimes screenTimes(kGeneralSummaryAnalysis);
  for (const auto& s : samples) {
    exportTimes.Add(s);
    screenTimes.Add(s);
  }
  // The export compares the first record with 00:00:00; the screens start at the second.
  EXPECT_EQ(exportTimes.pauses(), 2);
  EXPECT_EQ(screenTimes.pauses(), 1);
  EXPECT_EQ(exportTimes.count(), 4);
  EXPECT_EQ(exportTimes.first().stamp, (TimeStamp{0, 0, 0}));
  EXPECT_EQ(exportTimes.last().stamp, (TimeStamp{0, 0, 2}));
  EXPECT_DOUBLE_EQ(exportTimes.RecordMinutes(), 2.0 / 60);
  EXPECT_DOUBLE_EQ(exportTimes.PauseMinutes(), 2.0 / 60 / 2 * 2);
}

struct Events {
  int takeoff = -1;
  int landing = -1;
};

Events FindEvents(const AnalysisOptions& options, const std::vector<double>& altitudes) {
  const int n = static_cast<int>(altitudes.size());
  GroundReferences refs(options, n);
  for (int i = 0; i < n; ++i) refs.Add(i, At(10, 0, 0, altitudes[static_cast<std::size_t>(i)]));
  EventFinder finder(options, n, refs.start(), refs.end());
  Events e;
  for (int i = 0; i < n; ++i) {
    const EventStep step = finder.Add(i, At(10, 0, 0, altitudes[static_cast<std::size_t>(i)]));
    if (step.takeoff) e.takeoff = i;
    if (step.landing) e.landing = i;
  }
  return e;
}

TEST(Events, TakeoffAndLandingPerVariant) {
  std::vector<double> circuit(15, 0.0);
  for (int i = 1; i <= 10; ++i) circuit.push_back(100.0 * i);
  for (int i = 9; i >= 0; --i) circuit.push_back(100.0 * i);
  circuit.insert(circuit.end(), 15, 0.0);  // 50 samples; the last 30 %: i > 35

  struct Case {
    const char* name;
    AnalysisOptions options;
    std::vector<double> altitudes;
    int takeoff, landing;
  };
  // Holding at 300 ft to the end, the last sample back on the ground: the export's
  // end window (samples 40 to 49) averages 270 ft, the screens' (39 to 48) 300 ft.
  std::vector<double> holding = circuit;
  for (std::size_t i = 35; i < 49; ++i) holding[i] = 300;
  holding[49] = 0;
  std::vector<double> descent(15, 500.0);
  for (int i = 1; i <= 15; ++i) descent.push_back(500.0 - 30.0 * i);
  const std::vector<Case> cases{
      {"export circuit", kExportAnalysis, circuit, 15, 36},
      {"summary circuit", kGeneralSummaryAnalysis, circuit, 15, 36},
      {"export end window", kExportAnalysis, holding, 15, 49},
      {"summary end window", kGeneralSummaryAnalysis, holding, 15, 36},
      // Level flight then a descent: nothing is 2 ft above the start reference.
      {"descent only", kExportAnalysis, descent, -1, -1},
      // Three samples or fewer: the start reference is 0.
      {"three samples", kGeneralSummaryAnalysis, {0, 2.5, 1}, 1, -1},
      {"two feet is not above", kGeneralSummaryAnalysis, {0, 2, 0}, -1, -1},
      {"empty", kTakeoffLandingAnalysis, {}, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Events e = FindEvents(c.options, c.altitudes);
    EXPECT_EQ(e.takeoff, c.takeoff);
    EXPECT_EQ(e.landing, c.landing);
  }
}

TEST(Events, LandingBoundUsesMPerVariant) {
  // Twenty samples: the summary's bound is i > 14 (M = 20), the take-off screen's
  // i > 13.3 (M = 19). The take-off at sample 14 lies within 2 ft of the end
  // reference (40.5 ft), so on the take-off screen it is the landing as well.
  std::vector<double> alt(14, 0.0);
  alt.push_back(5);
  alt.insert(alt.end(), 4, 100.0);
  alt.push_back(0);
  const Events summary = FindEvents(kGeneralSummaryAnalysis, alt);
  const Events takeoffScreen = FindEvents(kTakeoffLandingAnalysis, alt);
  EXPECT_EQ(summary.takeoff, 14);
  EXPECT_EQ(summary.landing, 19);
  EXPECT_EQ(takeoffScreen.takeoff, 14);
  EXPECT_EQ(takeoffScreen.landing, 14);
}

TEST(Events, ExportSumsMetresTimesATenthOfTheFeetFactor) {
  GroundReferences refs(kExportAnalysis, 13);
  AnalysisSample s;
  s.altitudeMetres = 100;
  s.altitudeFt = 9999;  // the export reads the metres
  for (int i = 0; i < 13; ++i) refs.Add(i, s);
  double expected = 0;
  for (int i = 3; i <= 12; ++i) expected += 100 * 0.32808400000000004;
  EXPECT_EQ(refs.start(), expected);
}

TEST(Rotation, FirstSampleUpToTakeoffClimbingThreeFeetPerMinute) {
  std::vector<FlightSample> samples(6);
  const double vs[] = {0, 2.9, 3.0, 100, 0, 50};
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i].verticalSpeedFpm = vs[i];
  EXPECT_EQ(FindRotation(samples, 5), 2);
  EXPECT_EQ(FindRotation(samples, 2), 2);
  EXPECT_EQ(FindRotation(samples, 1), std::nullopt);
  // Never past the end of what it is given.
  EXPECT_EQ(FindRotation(std::span<const FlightSample>(samples.data(), 2), 10), std::nullopt);
}

}  // namespace
}  // namespace quarn

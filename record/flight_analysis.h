#pragma once
// The rules by which a recorded flight is judged: extremes, gear log, pauses,
// record, pause and flight durations, ground references, take-off, rotation,
// landing and fuel. The text export and the two summary screens each run them over
// their own sequence of samples; where they differ, AnalysisOptions says how.
//
// The consumers drive the passes themselves (the export rereads the record file for
// each pass, the screens walk the sample table) and feed every sample to the small
// stateful pieces below, so nothing is allocated per sample.

#include <array>
#include <optional>
#include <span>

#include "base/flight.h"
#include "record/record_format.h"

namespace quarn {

struct TimeStamp {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  bool operator==(const TimeStamp&) const = default;
};

// What the analysis reads of one sample.
struct AnalysisSample {
  // The export: the stored fields. The screens: formed from timeHours (form A).
  TimeStamp stamp;
  // Hours. The export: formed from the stored fields; the screens: timeHours.
  double timeHours = 0;
  double altitudeFt = 0;
  double altitudeMetres = 0;  // the export only
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double pitchDeg = 0;
  double bankDeg = 0;
  double tasKt = 0;
  double iasKt = 0;
  double verticalSpeedFpm = 0;   // the screens only
  std::array<double, 3> gear{};  // 1.0 down, 0.0 up
  std::array<double, 4> fuel{};  // left, left aux, right, right aux, percent
};

// The sample as the screens see a table entry.
AnalysisSample FromTableSample(const FlightSample& s);

// The differences between the three consumers.
struct AnalysisOptions {
  int extremeKinds = 7;  // the first seven kinds, or all nine with the vertical speeds
  // true: a sample is a pause when its stored hours, minutes and seconds equal those
  // of the one before, the first compared with 00:00:00. false: from the second
  // sample on, when its timeHours equals the one before.
  bool pauseFromStoredFields = true;
  // true: the ground references sum metres x (0.1 x 3.28084) per sample; false:
  // they sum feet and take a tenth of the sum.
  bool referenceFromMetres = true;
  // The end window is samples N - 10 - shift .. N - 1 - shift.
  int endWindowShift = 0;
  // M = N - offset in the landing bound i > M - 0.3 x M.
  int landingBoundOffset = 0;
};

inline constexpr AnalysisOptions kExportAnalysis{7, true, true, 0, 0};
inline constexpr AnalysisOptions kGeneralSummaryAnalysis{9, false, false, 1, 0};
inline constexpr AnalysisOptions kTakeoffLandingAnalysis{0, false, false, 1, 1};

// ---- Time stamps and durations ------------------------------------------------

// Hours formed from whole hours, minutes and seconds.
double StampHours(const TimeStamp& t);

// Hours, minutes and seconds of timeHours, to the nearest second.
TimeStamp SplitTimeOfDay(double timeHours);
// The screens' two ways of splitting the time, which took the seconds from the hour's
// fraction (A) or the minute's (B) and so showed many times a second early, or as
// "17:11:60"; both now give the stored second.
TimeStamp TimeFormA(double timeHours);
TimeStamp TimeFormB(double timeHours);

// A duration in minutes as shown: whole minutes and the seconds left over (printed
// through "%-2.0f", so rounded by the printer).
struct MinSec {
  double minutes = 0;
  double seconds = 0;
};
MinSec SplitMinutes(double minutes, bool absoluteSeconds);

// Minutes from the first to the last time stamp, over one midnight when negative.
double RecordDurationMinutes(double firstHours, double lastHours);

// The record duration shared out over the samples and counted for the pause
// samples. With every sample a pause sample (or none at all) there is no sample to
// share it over: the pause time is 0.
double PauseDurationMinutes(double recordMinutes, int sampleCount, int pauseCount);

// Minutes from take-off to landing, both whole time stamps, over one midnight when
// negative.
double FlightDurationMinutes(const TimeStamp& takeoff, const TimeStamp& landing);

// ---- Extremes -------------------------------------------------------------------

enum ExtremeKind : int {
  kExtremeAltitude = 0,
  kExtremeNegativePitch,
  kExtremePositivePitch,
  kExtremeNegativeBank,
  kExtremePositiveBank,
  kExtremeTas,
  kExtremeIas,
  kExtremePositiveVerticalSpeed,
  kExtremeNegativeVerticalSpeed,
  kExtremeKindCount
};

struct ExtremeChoice {
  int index = 0;
  AnalysisSample sample;
};

// Every kind starts from the reference 0; a sample that reaches or passes the
// reference becomes the choice, so the later of equal samples wins.
class ExtremeTracker {
 public:
  explicit ExtremeTracker(const AnalysisOptions& options) : kinds_(options.extremeKinds) {}
  void Add(int index, const AnalysisSample& s);
  // Nothing when no sample was ever chosen for that kind.
  const std::optional<ExtremeChoice>& Choice(ExtremeKind kind) const {
    return choices_[static_cast<std::size_t>(kind)];
  }

 private:
  int kinds_;
  std::array<double, kExtremeKindCount> reference_{};
  std::array<std::optional<ExtremeChoice>, kExtremeKindCount> choices_{};
};

// ---- Gear log -------------------------------------------------------------------

struct GearRow {
  TimeStamp stamp;
  std::array<bool, 3> down{};
  bool someGearUp = false;  // written by the "some gear up" step, not the "some down" one
};

// What one sample adds to the log, in this order: the header, a row for "some gear
// down", a row for "some gear up".
struct GearLogStep {
  bool header = false;
  std::optional<GearRow> downRow;
  std::optional<GearRow> upRow;
};

// A row is written at the first sample and wherever the gear goes from all up to
// some down or back; while the gears stay mixed each sample writes both rows. The
// header comes with the first sample that has a gear down, so a flight that starts
// with all gears up writes its first row before it.
class GearLog {
 public:
  GearLogStep Add(const AnalysisSample& s);

 private:
  enum class State { None, DownWritten, UpWritten };
  State state_ = State::None;
  bool headerWritten_ = false;
};

// ---- Pauses and record times ------------------------------------------------------

// Counts the pause samples, keeps the first and the last sample and the record
// duration.
class RecordTimes {
 public:
  explicit RecordTimes(const AnalysisOptions& options)
      : fromStoredFields_(options.pauseFromStoredFields) {}
  void Add(const AnalysisSample& s);

  int count() const { return count_; }
  int pauses() const { return pauses_; }
  // The first and last sample seen; all zero while none was.
  const AnalysisSample& first() const { return first_; }
  const AnalysisSample& last() const { return last_; }
  double RecordMinutes() const;
  double PauseMinutes() const;

 private:
  bool fromStoredFields_;
  int count_ = 0;
  int pauses_ = 0;
  AnalysisSample first_{};
  AnalysisSample last_{};
};

// ---- Ground references, take-off and landing ----------------------------------

// Start reference: a tenth of the altitudes of samples 3 to 12; end reference: of
// the ten samples of the end window. Short records sum what is there.
class GroundReferences {
 public:
  GroundReferences(const AnalysisOptions& options, int sampleCount);
  void Add(int index, const AnalysisSample& s);
  double start() const;
  double end() const;

 private:
  bool fromMetres_;
  int endFirst_;
  int endLast_;
  double startSum_ = 0;
  double endSum_ = 0;
};

struct EventStep {
  bool takeoff = false;
  bool landing = false;
};

// Take-off: the first sample more than 2 feet above the start reference. Landing:
// after a take-off (the same sample may be both), the first sample less than 2 feet
// above the end reference that lies in the last 30 % of the record.
class EventFinder {
 public:
  EventFinder(const AnalysisOptions& options, int sampleCount, double startReference,
              double endReference);
  // Events the flight's phases rule out (a take-off when it starts in the air, a
  // landing when it ends there) are still looked for, as the landing is looked for
  // after the take-off, but never given: they are not found.
  void RuleOut(bool takeoff, bool landing) {
    takeoffRuledOut_ = takeoff;
    landingRuledOut_ = landing;
  }
  EventStep Add(int index, const AnalysisSample& s);

  bool takeoffFound() const { return takeoff_.has_value() && !takeoffRuledOut_; }
  bool landingFound() const { return landing_.has_value() && !landingRuledOut_; }
  std::optional<AnalysisSample> takeoff() const {
    return takeoffRuledOut_ ? std::nullopt : takeoff_;
  }
  std::optional<AnalysisSample> landing() const {
    return landingRuledOut_ ? std::nullopt : landing_;
  }
  int takeoffIndex() const { return takeoffRuledOut_ ? -1 : takeoffIndex_; }
  // Minutes between the two, when both were found.
  std::optional<double> FlightMinutes() const;

 private:
  double start_;
  double end_;
  double landingBound_;
  std::optional<AnalysisSample> takeoff_;
  std::optional<AnalysisSample> landing_;
  int takeoffIndex_ = -1;
  bool takeoffRuledOut_ = false;
  bool landingRuledOut_ = false;
};

// The rotation: the first of samples 0 .. takeoffIndex whose vertical speed is at
// least 3 feet per minute.
std::optional<int> FindRotation(std::span<const FlightSample> samples, int takeoffIndex);

}  // namespace quarn

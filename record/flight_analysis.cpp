#include "record/flight_analysis.h"

#include <cmath>

#include "base/geodesy.h"
#include "base/numeric.h"

namespace quarn {
namespace {

// 0.1 x 3.28084: a tenth of the feet in one metre, summed per sample.
constexpr double kTenthFeetPerMetre = 0.1 * kFeetPerMetre;

bool AnyGear(const AnalysisSample& s, double value) {
  return s.gear[0] == value || s.gear[1] == value || s.gear[2] == value;
}

}  // namespace

// The export decodes a record as the loader does, but keeps the stored time fields
// and the altitude in metres, and forms no vertical speed.
AnalysisSample FromTableSample(const FlightSample& f) {
  AnalysisSample s;
  s.stamp = TimeFormA(f.timeHours);
  s.timeHours = f.timeHours;
  s.altitudeFt = f.altitudeFt;
  s.latitudeDeg = f.latitudeDeg;
  s.longitudeDeg = f.longitudeDeg;
  s.pitchDeg = f.pitchDeg;
  s.bankDeg = f.bankDeg;
  s.tasKt = f.tasKt;
  s.iasKt = f.iasKt;
  s.verticalSpeedFpm = f.verticalSpeedFpm;
  s.gear = {f.gear1, f.gear2, f.gear3};
  s.fuel = {f.fuelLeft, f.fuelLeftAux, f.fuelRight, f.fuelRightAux};
  return s;
}

// ---- Time stamps and durations ------------------------------------------------

double StampHours(const TimeStamp& t) {
  return t.hours + t.minutes / 60.0 + t.seconds / 3600.0;
}

TimeStamp SplitTimeOfDay(double t) {
  // The recorder stores whole seconds: the nearest one is the stored one, where
  // splitting the hours' fraction step by step would fall a second short of it.
  const double rounded = std::round(std::fabs(t) * 3600);
  if (!(rounded < 1e15)) return {};
  const auto seconds = static_cast<long long>(rounded);
  TimeStamp out;
  out.hours = static_cast<int>(seconds / 3600);
  out.minutes = static_cast<int>(seconds / 60 % 60);
  out.seconds = static_cast<int>(seconds % 60);
  return out;
}

TimeStamp TimeFormA(double t) {
  return SplitTimeOfDay(t);
}

TimeStamp TimeFormB(double t) {
  return SplitTimeOfDay(t);
}

MinSec SplitMinutes(double minutes, bool absoluteSeconds) {
  MinSec out;
  out.minutes = IntPart(minutes);
  out.seconds = (minutes - out.minutes) * 60;
  if (absoluteSeconds) out.seconds = std::fabs(out.seconds);
  return out;
}

double RecordDurationMinutes(double firstHours, double lastHours) {
  double d = (lastHours - firstHours) * 60;
  if (d < 0) d += 1440;  // the record passes midnight once
  return d;
}

double PauseDurationMinutes(double recordMinutes, int sampleCount, int pauseCount) {
  const int moving = sampleCount - pauseCount;
  if (moving == 0) return 0;  // no sample to share the record time over
  return recordMinutes / moving * pauseCount;
}

double FlightDurationMinutes(const TimeStamp& takeoff, const TimeStamp& landing) {
  return RecordDurationMinutes(StampHours(takeoff), StampHours(landing));
}

// ---- Extremes -------------------------------------------------------------------

void ExtremeTracker::Add(int index, const AnalysisSample& s) {
  struct Rule {
    double value;
    bool highest;
  };
  const std::array<Rule, kExtremeKindCount> rules{{
      {s.altitudeFt, true},
      {s.pitchDeg, false},
      {s.pitchDeg, true},
      {s.bankDeg, false},
      {s.bankDeg, true},
      {s.tasKt, true},
      {s.iasKt, true},
      {s.verticalSpeedFpm, true},
      {s.verticalSpeedFpm, false},
  }};
  for (int k = 0; k < kinds_ && k < kExtremeKindCount; ++k) {
    const auto i = static_cast<std::size_t>(k);
    const Rule& rule = rules[i];
    const bool chosen = rule.highest ? rule.value >= reference_[i] : rule.value <= reference_[i];
    if (!chosen) continue;
    reference_[i] = rule.value;
    choices_[i] = ExtremeChoice{index, s};
  }
}

// ---- Gear log -------------------------------------------------------------------

GearLogStep GearLog::Add(const AnalysisSample& s) {
  GearLogStep step;
  const bool someDown = AnyGear(s, 1.0);
  const bool someUp = AnyGear(s, 0.0);
  GearRow row;
  row.stamp = s.stamp;
  for (std::size_t g = 0; g < 3; ++g) row.down[g] = s.gear[g] == 1.0;

  if (someDown && !headerWritten_) {
    step.header = true;
    headerWritten_ = true;
  }
  if (someDown && state_ != State::DownWritten) {
    state_ = State::DownWritten;
    step.downRow = row;
  }
  if (someUp && state_ != State::UpWritten) {
    state_ = State::UpWritten;
    row.someGearUp = true;
    step.upRow = row;
  }
  return step;
}

// ---- Pauses and record times ------------------------------------------------------

void RecordTimes::Add(const AnalysisSample& s) {
  if (fromStoredFields_) {
    // The first record is compared with 00:00:00.
    const TimeStamp previous = count_ == 0 ? TimeStamp{} : last_.stamp;
    if (s.stamp == previous) ++pauses_;
  } else if (count_ > 0 && s.timeHours == last_.timeHours) {
    ++pauses_;
  }
  if (count_ == 0) first_ = s;
  last_ = s;
  ++count_;
}

double RecordTimes::RecordMinutes() const {
  return RecordDurationMinutes(first_.timeHours, last_.timeHours);
}

double RecordTimes::PauseMinutes() const {
  return PauseDurationMinutes(RecordMinutes(), count_, pauses_);
}

// ---- Ground references, take-off and landing ----------------------------------

GroundReferences::GroundReferences(const AnalysisOptions& options, int sampleCount)
    : fromMetres_(options.referenceFromMetres),
      endFirst_(sampleCount - 10 - options.endWindowShift),
      endLast_(sampleCount - 1 - options.endWindowShift) {}

void GroundReferences::Add(int index, const AnalysisSample& s) {
  const double term = fromMetres_ ? s.altitudeMetres * kTenthFeetPerMetre : s.altitudeFt;
  if (index >= 3 && index <= 12) startSum_ += term;
  if (index >= endFirst_ && index <= endLast_) endSum_ += term;
}

double GroundReferences::start() const {
  return fromMetres_ ? startSum_ : 0.1 * startSum_;
}

double GroundReferences::end() const {
  return fromMetres_ ? endSum_ : 0.1 * endSum_;
}

EventFinder::EventFinder(const AnalysisOptions& options, int sampleCount, double startReference,
                         double endReference)
    : start_(startReference), end_(endReference) {
  const double m = sampleCount - options.landingBoundOffset;
  landingBound_ = m - 0.3 * m;
}

EventStep EventFinder::Add(int index, const AnalysisSample& s) {
  EventStep step;
  if (!takeoff_ && s.altitudeFt - 2 > start_) {
    takeoff_ = s;
    takeoffIndex_ = index;
    step.takeoff = !takeoffRuledOut_;
  }
  if (!landing_ && takeoff_ && s.altitudeFt - 2 < end_ && index > landingBound_) {
    landing_ = s;
    step.landing = !landingRuledOut_;
  }
  return step;
}

std::optional<double> EventFinder::FlightMinutes() const {
  if (!takeoffFound() || !landingFound()) return std::nullopt;
  return FlightDurationMinutes(takeoff_->stamp, landing_->stamp);
}

std::optional<int> FindRotation(std::span<const FlightSample> samples, int takeoffIndex) {
  for (int j = 0; j <= takeoffIndex && j < static_cast<int>(samples.size()); ++j) {
    if (samples[static_cast<std::size_t>(j)].verticalSpeedFpm >= 3.0) return j;
  }
  return std::nullopt;
}

}  // namespace quarn

#pragma once
// The debrief of the landing at the end of the record: the ILS needles in dots over
// the last ten miles, the stabilized-approach gates at 1000 and 500 feet, the landing
// rate and the touchdown point on the runway.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/flight.h"
#include "navaid/halbrico_doc.h"
#include "record/flight_phases.h"

namespace quarn {

// Limits of a stabilized approach, checked at each gate.
struct GateLimits {
  double maxLocalizerDots = 1;
  double maxGlideSlopeDots = 1;
  double maxDescentFpm = 1000;
  double maxBankDeg = 15;
  double maxIasChangeKt = 10;
  double iasLookBackSeconds = 30;
};
inline constexpr GateLimits kGateLimits{};
// Heights of the gates above the runway, feet.
inline constexpr std::array<double, 2> kGateHeightsFt{1000, 500};
// The needles are drawn and sampled from this far before the threshold.
inline constexpr double kDebriefRangeNm = 10;

enum class Verdict { Pass, Fail, NotAvailable };

enum class Criterion { Localizer, GlideSlope, DescentRate, Gear, Bank, IasChange };
inline constexpr int kCriterionCount = 6;

struct CriterionResult {
  Criterion criterion = Criterion::Localizer;
  Verdict verdict = Verdict::NotAvailable;
  double value = 0;  // dots (signed), ft/min, gears down, degrees (signed), knots (signed)
};

struct GateResult {
  double heightFt = 0;
  std::optional<int> sample;  // the first sample at or below the gate; none if never reached
  double distanceNm = 0;      // before the threshold
  std::array<CriterionResult, kCriterionCount> criteria{};
  bool passed() const;  // every criterion passes
};

// One sample of the final approach, from ten miles out to touchdown.
struct DebriefSample {
  int index = 0;
  double distanceNm = 0;          // along the centreline before the threshold; negative past it
  double heightFt = 0;            // above the runway
  std::optional<double> locDots;  // positive right of the centreline
  std::optional<double> gsDots;   // positive above the glide path
};

// The runway in the landing direction, in a flat frame around its centre.
struct LandingRunway {
  std::int32_t record = -1;
  std::string ident;
  double headingDeg = 0;  // landing direction
  bool reciprocal = false;
  double lengthM = 0;
  double elevationFt = 0;
  // Where the landing threshold lies: metres along the landing direction from the
  // runway's centre (minus half the length, plus a displaced threshold's distance).
  double thresholdAlongM = 0;
  double displacedM = 0;  // the threshold's displacement from the runway's end
};

struct LandingIls {
  std::int32_t record = -1;
  std::string ident;
  double frequency = 0;
  double courseDeg = 0;
  double glideSlopeDeg = 0;       // 0 without a usable glide slope
  double thresholdDistanceM = 0;  // from the localizer
  double locDotDeg = 0;           // one localizer dot
  double gsDotDeg = 0;            // one glide-slope dot
  double gsOriginPastThresholdM = 0;
};

struct TouchdownPoint {
  double pastThresholdM = 0;  // negative: short of the threshold
  double offsetM = 0;         // positive right of the centreline
};

struct ApproachDebrief {
  int touchdown = 0;
  std::optional<LandingRunway> runway;
  std::optional<LandingIls> ils;
  // The rate of descent at touchdown, with what makes it uncertain; none when no
  // sample lies before the touchdown.
  std::optional<LandingRate> landingRate;
  std::optional<TouchdownPoint> touchdownPoint;
  std::vector<DebriefSample> samples;
  std::array<GateResult, kGateHeightsFt.size()> gates{};
  // Every criterion passes at both gates; none when a criterion could not be judged
  // and none failed.
  std::optional<bool> stable;
  // The criteria the flight's channels cannot judge: gear, bank, IAS not recorded.
  std::vector<Criterion> notRecorded;
  // Without a runway: what was found instead.
  std::string noRunway;
};

// The verdict in words: stable, unstable, stable on what was recorded (naming what
// was not), or not judged.
std::string VerdictText(const ApproachDebrief& debrief);
// The criterion's quantity in words, for the verdict: "gear", "bank", "IAS".
const char* CriterionWord(Criterion c);

// The debrief of the flight's landing against the document's navaids.
ApproachDebrief DebriefApproach(const CHalbricoDoc& doc, const Flight& flight);

// The descent rate in ft/min at sample i: the altitude lost since the earliest sample
// at or after 2 seconds before it, over the samples' own times; none when that sample
// has the same time.
std::optional<double> DescentRateAt(const Flight& flight, int i);

const char* CriterionName(Criterion c);
const char* VerdictName(Verdict v);
// The side of a signed value in words.
const char* LateralSide(double rightPositive);
const char* VerticalSide(double highPositive);

}  // namespace quarn

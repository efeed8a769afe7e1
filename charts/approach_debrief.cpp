#include "charts/approach_debrief.h"

#include <algorithm>
#include <cmath>

#include "base/format.h"
#include "base/geodesy.h"
#include "charts/approach.h"

namespace quarn {
namespace {

constexpr double kFeetToMetres = 0.3048;
constexpr double kThresholdCrossingFt = 50;
// Full localizer scale (two dots) lies 105 m either side of the centreline at the
// threshold; one glide-slope dot is 0.12 of the path angle.
constexpr double kLocalizerDotMetres = 52.5;
constexpr double kGlideSlopeDotFraction = 0.12;
constexpr double kLandingRateWindowSeconds = 2;
constexpr double kTimeSlack = 1e-6;  // seconds: times in hours do not add up exactly

double Radians(double deg) {
  return deg * M_PI / 180;
}
double Degrees(double rad) {
  return rad * 180 / M_PI;
}

// Seconds from one sample's time to a later one's; a record may pass midnight.
double SecondsBetween(double earlierHours, double laterHours) {
  double d = laterHours - earlierHours;
  if (d < 0) d += 24;
  return d * 3600;
}

// A point in the runway's frame: metres along the landing direction from the centre,
// and right of the centreline.
struct RunwayFrame {
  double along = 0;
  double right = 0;
};

RunwayFrame ToRunwayFrame(const NavaidRecord& centre, double headingDeg, double lat, double lon) {
  const DistanceBearing db = DistanceAndBearing(centre.latitude, centre.longitude, lat, lon);
  const double off = Radians(HeadingDifference(headingDeg, db.bearingDeg));
  return {db.metres * std::cos(off), db.metres * std::sin(off)};
}

std::optional<LandingRunway> LandingRunwayOf(const CHalbricoDoc& doc, const Flight& flight,
                                             int touchdown) {
  const ApproachNavaid found = FindLandingRunway(doc, flight, touchdown);
  if (!RunwayLandedOn(found)) return std::nullopt;
  const NavaidRecord& r = RecordOf(doc, *found.record);
  LandingRunway rw;
  rw.record = *found.record;
  rw.ident = TrimTrailingBlanks(r.Ident());
  const double course = flight.SampleAt(touchdown).courseDeg;
  const double reciprocal = std::fmod(r.course + 180, 360);
  rw.reciprocal = std::fabs(HeadingDifference(course, reciprocal)) <
                  std::fabs(HeadingDifference(course, r.course));
  rw.headingDeg = rw.reciprocal ? reciprocal : r.course;
  rw.lengthM = r.extra * kFeetToMetres;
  rw.elevationFt = r.intValue / kFeetToMetres;
  // A source of today gives the landing end's elevation and displaced threshold.
  if (const NavaidDetail* detail = DetailOf(doc, r)) {
    const SourcedNavaid* end = rw.reciprocal ? doc.OtherEndOf(*detail) : &detail->navaid;
    if (end) {
      if (Known(end->elevationFt)) rw.elevationFt = end->elevationFt;
      if (Known(end->thresholdDisplacedM)) rw.displacedM = end->thresholdDisplacedM;
    }
  }
  rw.thresholdAlongM = -rw.lengthM / 2 + rw.displacedM;
  return rw;
}

std::optional<LandingIls> LandingIlsOf(const CHalbricoDoc& doc, const Flight& flight, int touchdown,
                                       const LandingRunway& rw) {
  const ApproachNavaid found = FindApproachIls(doc, flight, touchdown);
  if (!found.record) return std::nullopt;
  const NavaidRecord& centre = RecordOf(doc, rw.record);
  const NavaidRecord& r = RecordOf(doc, *found.record);
  const double fromCentre =
      DistanceAndBearing(centre.latitude, centre.longitude, r.latitude, r.longitude).metres;
  if (fromCentre * kMetresToNm > 2) return std::nullopt;  // it serves another runway
  LandingIls ils;
  ils.record = *found.record;
  ils.ident = TrimTrailingBlanks(r.Ident());
  ils.frequency = r.frequency;
  ils.courseDeg = r.course;
  const RunwayFrame loc = ToRunwayFrame(centre, rw.headingDeg, r.latitude, r.longitude);
  const double toThresholdAlong = loc.along - rw.thresholdAlongM;
  // A localizer on the threshold itself would make the scale a right angle.
  ils.thresholdDistanceM = std::max(1.0, std::hypot(toThresholdAlong, loc.right));
  ils.locDotDeg = Degrees(std::atan(kLocalizerDotMetres / ils.thresholdDistanceM));
  // A record without a glide slope (sine 0 or out of range) gives no vertical needle.
  const double sine = r.intValue / 131072.0;
  if (sine > 0 && sine < 1) {
    const double gamma = std::asin(sine);
    ils.glideSlopeDeg = Degrees(gamma);
    ils.gsDotDeg = kGlideSlopeDotFraction * ils.glideSlopeDeg;
    ils.gsOriginPastThresholdM = kThresholdCrossingFt * kFeetToMetres / std::tan(gamma);
  }
  // A source of today gives the glide slope's angle and where its antenna stands: the
  // path comes from abeam the antenna.
  if (const NavaidDetail* detail = DetailOf(doc, r)) {
    const SourcedNavaid& n = detail->navaid;
    if (Known(n.glideSlopeDeg) && n.glideSlopeDeg > 0 && n.glideSlopeDeg < 90) {
      ils.glideSlopeDeg = n.glideSlopeDeg;
      ils.gsDotDeg = kGlideSlopeDotFraction * ils.glideSlopeDeg;
    }
    if (Known(n.glideSlopeLatitudeDeg) && Known(n.glideSlopeLongitudeDeg) && ils.gsDotDeg > 0) {
      const RunwayFrame antenna =
          ToRunwayFrame(centre, rw.headingDeg, n.glideSlopeLatitudeDeg, n.glideSlopeLongitudeDeg);
      ils.gsOriginPastThresholdM = antenna.along - rw.thresholdAlongM;
    }
  }
  return ils;
}

// The signed localizer deviation in dots, positive right of the centreline: the angle
// at the localizer between the back course and the aircraft.
double LocalizerDots(const NavaidRecord& loc, const LandingIls& ils, const FlightSample& s) {
  const double bearing =
      DistanceAndBearing(loc.latitude, loc.longitude, s.latitudeDeg, s.longitudeDeg).bearingDeg;
  const double leftOfBackCourse = HeadingDifference(ils.courseDeg + 180, bearing);
  return -leftOfBackCourse / ils.locDotDeg;
}

// The signed glide-slope deviation in dots, positive above the path: the elevation
// angle seen from the path's origin on the runway, less the path angle.
double GlideSlopeDots(const LandingIls& ils, const LandingRunway& rw, const RunwayFrame& at,
                      double heightFt) {
  const double originAlong = rw.thresholdAlongM + ils.gsOriginPastThresholdM;
  const double horizontal = std::hypot(originAlong - at.along, at.right);
  const double elevation = Degrees(std::atan2(heightFt * kFeetToMetres, horizontal));
  return (elevation - ils.glideSlopeDeg) / ils.gsDotDeg;
}

// The samples of the final approach: back from touchdown while within ten miles of
// the threshold.
int ApproachStart(const Flight& flight, const NavaidRecord& centre, const LandingRunway& rw,
                  int touchdown) {
  int start = touchdown;
  for (int i = touchdown; i >= 0; --i) {
    const FlightSample& s = flight.SampleAt(i);
    const RunwayFrame f = ToRunwayFrame(centre, rw.headingDeg, s.latitudeDeg, s.longitudeDeg);
    const double fromThreshold = std::hypot(f.along - rw.thresholdAlongM, f.right);
    if (fromThreshold * kMetresToNm > kDebriefRangeNm) break;
    start = i;
  }
  return start;
}

CriterionResult Judge(Criterion c, std::optional<double> value, double limit) {
  if (!value) return {c, Verdict::NotAvailable, 0};
  const double magnitude = c == Criterion::DescentRate ? *value : std::fabs(*value);
  return {c, magnitude <= limit ? Verdict::Pass : Verdict::Fail, *value};
}

// The IAS change over the look-back: against the latest sample at least that long
// before; none when the record does not reach that far back.
std::optional<double> IasChangeAt(const Flight& flight, int i) {
  const FlightSample& s = flight.SampleAt(i);
  for (int k = i - 1; k >= 0; --k) {
    const FlightSample& earlier = flight.SampleAt(k);
    if (SecondsBetween(earlier.timeHours, s.timeHours) >=
        kGateLimits.iasLookBackSeconds - kTimeSlack) {
      return s.iasKt - earlier.iasKt;
    }
  }
  return std::nullopt;
}

// The channel a criterion needs besides position and altitude.
std::optional<Channel> ChannelOf(Criterion c) {
  switch (c) {
    case Criterion::Gear:
      return Channel::Gear;
    case Criterion::Bank:
      return Channel::Roll;
    case Criterion::IasChange:
      return Channel::Ias;
    default:
      return std::nullopt;
  }
}

void JudgeGate(const Flight& flight, GateResult& gate, const DebriefSample& at) {
  const GateLimits& lim = kGateLimits;
  const FlightSample& s = flight.SampleAt(at.index);
  const double gearsDown = (s.gear1 != 0) + (s.gear2 != 0) + (s.gear3 != 0);
  gate.sample = at.index;
  gate.distanceNm = at.distanceNm;
  gate.criteria = {
      Judge(Criterion::Localizer, at.locDots, lim.maxLocalizerDots),
      Judge(Criterion::GlideSlope, at.gsDots, lim.maxGlideSlopeDots),
      Judge(Criterion::DescentRate, DescentRateAt(flight, at.index), lim.maxDescentFpm),
      {Criterion::Gear, gearsDown == 3 ? Verdict::Pass : Verdict::Fail, gearsDown},
      Judge(Criterion::Bank, s.bankDeg, lim.maxBankDeg),
      Judge(Criterion::IasChange, IasChangeAt(flight, at.index), lim.maxIasChangeKt),
  };
  // What the flight did not record is not judged: neither passed nor failed.
  for (CriterionResult& c : gate.criteria) {
    if (const auto channel = ChannelOf(c.criterion);
        channel && !flight.channels.Carries(*channel)) {
      c = {c.criterion, Verdict::NotAvailable, 0};
    }
  }
}

std::optional<bool> Stability(const ApproachDebrief& d) {
  bool unknown = false;
  for (const GateResult& g : d.gates) {
    if (!g.sample) unknown = true;
    for (const CriterionResult& c : g.criteria) {
      if (c.verdict == Verdict::Fail) return false;
      if (c.verdict == Verdict::NotAvailable) unknown = true;
    }
  }
  if (unknown) return std::nullopt;
  return true;
}

}  // namespace

bool GateResult::passed() const {
  return sample && std::all_of(criteria.begin(), criteria.end(),
                               [](const CriterionResult& c) { return c.verdict == Verdict::Pass; });
}

std::optional<double> DescentRateAt(const Flight& flight, int i) {
  const FlightSample& s = flight.SampleAt(i);
  int earliest = i;
  for (int k = i - 1; k >= 0; --k) {
    if (SecondsBetween(flight.SampleAt(k).timeHours, s.timeHours) >
        kLandingRateWindowSeconds + kTimeSlack) {
      break;
    }
    earliest = k;
  }
  const FlightSample& from = flight.SampleAt(earliest);
  const double seconds = SecondsBetween(from.timeHours, s.timeHours);
  if (!(seconds > kTimeSlack)) return std::nullopt;
  return (from.altitudeFt - s.altitudeFt) / seconds * 60;
}

ApproachDebrief DebriefApproach(const CHalbricoDoc& doc, const Flight& flight) {
  ApproachDebrief d;
  for (int k = 0; k < kCriterionCount; ++k) {
    const auto c = static_cast<Criterion>(k);
    if (const auto channel = ChannelOf(c); channel && !flight.channels.Carries(*channel)) {
      d.notRecorded.push_back(c);
    }
  }
  // The last landing the phases find; where they find none, the rule of the approach
  // views.
  const FlightPhases phases = FindFlightPhases(flight);
  const std::optional<Touchdown> landing = phases.LastLanding();
  d.touchdown = landing ? landing->index : FindTouchdown(flight);
  d.landingRate = FindLandingRate(flight, d.touchdown);
  d.runway = LandingRunwayOf(doc, flight, d.touchdown);
  if (!d.runway) d.noRunway = NoRunwayFoundText(doc, flight, d.touchdown);
  for (std::size_t g = 0; g < d.gates.size(); ++g) {
    d.gates[g].heightFt = kGateHeightsFt[g];
    for (std::size_t k = 0; k < d.gates[g].criteria.size(); ++k) {
      d.gates[g].criteria[k].criterion = static_cast<Criterion>(k);
    }
  }
  if (!d.runway) {
    d.stable = Stability(d);
    return d;
  }
  const LandingRunway& rw = *d.runway;
  const NavaidRecord& centre = RecordOf(doc, rw.record);
  d.ils = LandingIlsOf(doc, flight, d.touchdown, rw);

  const FlightSample& td = flight.SampleAt(d.touchdown);
  const RunwayFrame tdf = ToRunwayFrame(centre, rw.headingDeg, td.latitudeDeg, td.longitudeDeg);
  d.touchdownPoint = TouchdownPoint{tdf.along - rw.thresholdAlongM, tdf.right};

  for (int i = ApproachStart(flight, centre, rw, d.touchdown); i <= d.touchdown; ++i) {
    const FlightSample& s = flight.SampleAt(i);
    const RunwayFrame f = ToRunwayFrame(centre, rw.headingDeg, s.latitudeDeg, s.longitudeDeg);
    DebriefSample out;
    out.index = i;
    out.distanceNm = -(f.along - rw.thresholdAlongM) * kMetresToNm;
    out.heightFt = s.altitudeFt - rw.elevationFt;
    if (d.ils) {
      out.locDots = LocalizerDots(RecordOf(doc, d.ils->record), *d.ils, s);
      if (d.ils->gsDotDeg > 0) out.gsDots = GlideSlopeDots(*d.ils, rw, f, out.heightFt);
    }
    d.samples.push_back(out);
  }
  for (GateResult& gate : d.gates) {
    const auto at = std::find_if(d.samples.begin(), d.samples.end(), [&](const DebriefSample& s) {
      return s.heightFt <= gate.heightFt;
    });
    if (at != d.samples.end()) JudgeGate(flight, gate, *at);
  }
  d.stable = Stability(d);
  return d;
}

std::string VerdictText(const ApproachDebrief& d) {
  if (d.stable) return *d.stable ? "Stable approach" : "Unstable approach";
  // Every criterion that could not be judged is one the flight did not record: the
  // approach is stable on the rest.
  bool onlyUnrecorded = !d.notRecorded.empty();
  for (const GateResult& g : d.gates) {
    if (!g.sample) onlyUnrecorded = false;
    for (const CriterionResult& c : g.criteria) {
      const bool unrecorded =
          std::find(d.notRecorded.begin(), d.notRecorded.end(), c.criterion) != d.notRecorded.end();
      if (c.verdict == Verdict::NotAvailable && !unrecorded) onlyUnrecorded = false;
    }
  }
  if (!onlyUnrecorded) return "Stability not judged: a criterion could not be measured";
  std::string words;
  for (Criterion c : d.notRecorded)
    words += (words.empty() ? "" : ", ") + std::string(CriterionWord(c));
  return "stable on what was recorded; not recorded: " + words;
}

const char* CriterionWord(Criterion c) {
  switch (c) {
    case Criterion::Gear:
      return "gear";
    case Criterion::Bank:
      return "bank";
    case Criterion::IasChange:
      return "IAS";
    case Criterion::Localizer:
      return "localizer";
    case Criterion::GlideSlope:
      return "glide slope";
    case Criterion::DescentRate:
      return "descent rate";
  }
  return "";
}

const char* CriterionName(Criterion c) {
  switch (c) {
    case Criterion::Localizer:
      return "localizer";
    case Criterion::GlideSlope:
      return "glideSlope";
    case Criterion::DescentRate:
      return "descentRate";
    case Criterion::Gear:
      return "gear";
    case Criterion::Bank:
      return "bank";
    case Criterion::IasChange:
      return "iasChange";
  }
  return "";
}

const char* VerdictName(Verdict v) {
  switch (v) {
    case Verdict::Pass:
      return "pass";
    case Verdict::Fail:
      return "fail";
    case Verdict::NotAvailable:
      return "n/a";
  }
  return "";
}

const char* LateralSide(double rightPositive) {
  return rightPositive > 0 ? "right" : rightPositive < 0 ? "left" : "centre";
}

const char* VerticalSide(double highPositive) {
  return highPositive > 0 ? "high" : highPositive < 0 ? "low" : "on path";
}

}  // namespace quarn

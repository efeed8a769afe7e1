#include "charts/approach_debrief_json.h"

#include "platform/json.h"

namespace quarn {
namespace {

constexpr double kFeetPerMetre = 1 / 0.3048;

const char* UnitOf(Criterion c) {
  switch (c) {
    case Criterion::Localizer:
    case Criterion::GlideSlope:
      return "dots";
    case Criterion::DescentRate:
      return "ft/min";
    case Criterion::Gear:
      return "gears down";
    case Criterion::Bank:
      return "degrees";
    case Criterion::IasChange:
      return "kt";
  }
  return "";
}

double LimitOf(Criterion c) {
  switch (c) {
    case Criterion::Localizer:
      return kGateLimits.maxLocalizerDots;
    case Criterion::GlideSlope:
      return kGateLimits.maxGlideSlopeDots;
    case Criterion::DescentRate:
      return kGateLimits.maxDescentFpm;
    case Criterion::Gear:
      return 3;
    case Criterion::Bank:
      return kGateLimits.maxBankDeg;
    case Criterion::IasChange:
      return kGateLimits.maxIasChangeKt;
  }
  return 0;
}

std::string CriterionJson(const CriterionResult& c) {
  JsonObject o;
  o.Add("name", CriterionName(c.criterion)).Add("result", VerdictName(c.verdict));
  if (c.verdict == Verdict::NotAvailable) {
    o.AddNull("value");
  } else {
    o.Add("value", c.value);
  }
  o.Add("unit", UnitOf(c.criterion)).Add("limit", LimitOf(c.criterion));
  if (c.verdict != Verdict::NotAvailable) {
    if (c.criterion == Criterion::Localizer) o.Add("side", LateralSide(c.value));
    if (c.criterion == Criterion::GlideSlope) o.Add("side", VerticalSide(c.value));
    if (c.criterion == Criterion::IasChange) {
      o.Add("trend", c.value > 0 ? "faster" : c.value < 0 ? "slower" : "steady");
    }
  }
  return o.Str();
}

std::string GateJson(const GateResult& g) {
  JsonObject o;
  o.Add("heightFt", g.heightFt).Add("reached", g.sample.has_value());
  if (g.sample) {
    o.Add("index", *g.sample).Add("distanceNm", g.distanceNm);
  }
  o.Add("passed", g.passed());
  std::string criteria = "[";
  for (const CriterionResult& c : g.criteria) {
    if (criteria.size() > 1) criteria += ',';
    criteria += CriterionJson(c);
  }
  return o.AddRaw("criteria", criteria + "]").Str();
}

std::string SampleJson(const DebriefSample& s) {
  JsonObject o;
  o.Add("index", s.index).Add("distanceNm", s.distanceNm).Add("heightFt", s.heightFt);
  if (s.locDots) {
    o.Add("localizerDots", *s.locDots).Add("localizerSide", LateralSide(*s.locDots));
  }
  if (s.gsDots) {
    o.Add("glideSlopeDots", *s.gsDots).Add("glideSlopeSide", VerticalSide(*s.gsDots));
  }
  return o.Str();
}

std::string RunwayJson(const LandingRunway& r) {
  return JsonObject()
      .Add("ident", r.ident)
      .Add("landingHeadingDeg", r.headingDeg)
      .Add("reciprocal", r.reciprocal)
      .Add("lengthFt", r.lengthM * kFeetPerMetre)
      .Add("elevationFt", r.elevationFt)
      .Add("displacedThresholdFt", r.displacedM * kFeetPerMetre)
      .Str();
}

std::string IlsJson(const LandingIls& i) {
  return JsonObject()
      .Add("ident", i.ident)
      .Add("frequencyMHz", i.frequency)
      .Add("courseDeg", i.courseDeg)
      .Add("glideSlopeDeg", i.glideSlopeDeg)
      .Add("localizerToThresholdM", i.thresholdDistanceM)
      .Add("localizerDotDeg", i.locDotDeg)
      .Add("glideSlopeDotDeg", i.gsDotDeg)
      .Str();
}

std::string TouchdownPointJson(const TouchdownPoint& p) {
  return JsonObject()
      .Add("pastThresholdFt", p.pastThresholdM * kFeetPerMetre)
      .Add("pastThresholdM", p.pastThresholdM)
      .Add("position", p.pastThresholdM < 0 ? "short of the threshold" : "past the threshold")
      .Add("offsetM", p.offsetM)
      .Add("side", LateralSide(p.offsetM))
      .Str();
}

}  // namespace

std::string DebriefJson(const ApproachDebrief& d, const Flight& flight) {
  const FlightSample& td = flight.SampleAt(d.touchdown);
  JsonObject o;
  o.AddRaw("touchdown", JsonObject()
                            .Add("index", d.touchdown)
                            .Add("timeHours", td.timeHours)
                            .Add("latitude", td.latitudeDeg)
                            .Add("longitude", td.longitudeDeg)
                            .Str());
  std::string missing = "[";
  if (!d.runway) missing += "\"runway\",";
  if (!d.ils) missing += "\"ils\",";
  if (missing.back() == ',') missing.pop_back();
  o.AddRaw("missing", missing + "]");
  if (d.runway) {
    o.AddRaw("runway", RunwayJson(*d.runway));
  } else {
    o.AddNull("runway");
  }
  if (d.ils) {
    o.AddRaw("ils", IlsJson(*d.ils));
  } else {
    o.AddNull("ils");
  }
  if (d.landingRate) {
    o.Add("landingRateFpm", d.landingRate->fpm);
  } else {
    o.Add("landingRateFpm", "n/a");
  }
  if (d.touchdownPoint) {
    o.AddRaw("touchdownPoint", TouchdownPointJson(*d.touchdownPoint));
  } else {
    o.AddNull("touchdownPoint");
  }
  std::string gates = "[";
  for (const GateResult& g : d.gates) {
    if (gates.size() > 1) gates += ',';
    gates += GateJson(g);
  }
  o.AddRaw("gates", gates + "]");
  if (d.stable) {
    o.Add("stable", *d.stable);
  } else {
    o.Add("stable", "n/a");
  }
  std::string samples = "[";
  for (const DebriefSample& s : d.samples) {
    if (samples.size() > 1) samples += ',';
    samples += SampleJson(s);
  }
  o.AddRaw("samples", samples + "]");
  std::string notRecorded = "[";
  for (Criterion c : d.notRecorded) {
    if (notRecorded.size() > 1) notRecorded += ',';
    AppendJsonString(notRecorded, CriterionWord(c));
  }
  o.AddRaw("notRecorded", notRecorded + "]");
  o.Add("verdict", VerdictText(d));
  // The landing rate's confidence and its doubts, and what was found without a runway.
  std::string doubts = "[";
  if (d.landingRate) {
    for (const std::string& doubt : d.landingRate->doubts) {
      if (doubts.size() > 1) doubts += ',';
      AppendJsonString(doubts, doubt);
    }
  }
  o.Add("landingRateConfidence", !d.landingRate                   ? "n/a"
                                 : d.landingRate->lowConfidence() ? "low"
                                                                  : "normal");
  o.AddRaw("landingRateDoubts", doubts + "]");
  if (d.runway) {
    o.AddNull("noRunway");
  } else {
    o.Add("noRunway", d.noRunway);
  }
  return o.Str();
}

}  // namespace quarn

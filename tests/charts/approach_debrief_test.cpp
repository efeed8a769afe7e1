// The approach debrief on crafted approaches: a runway of 10000 ft heading north
// along 4 E (great circles along a meridian keep the flat frame exact), its ILS 300 m
// beyond the far end, and a flight down the 3-degree path at one sample a second.

#include "charts/approach_debrief.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/geodesy.h"
#include "charts/approach.h"
#include "charts/approach_debrief_json.h"
#include "support/debrief_test_support.h"

namespace quarn::testing {
namespace {

TEST_F(Debrief, OnTheCentrelineAndThePathTheNeedlesAreCentredAndTheGatesPass) {
  FlyApproach();
  const ApproachDebrief d = DebriefApproach(doc, flight);
  ASSERT_TRUE(d.runway && d.ils);
  EXPECT_EQ(d.touchdown, kTouchdown);
  EXPECT_FALSE(d.runway->reciprocal);
  EXPECT_NEAR(d.ils->glideSlopeDeg, kPathDeg, 1e-9);
  int checked = 0;
  for (const DebriefSample& s : d.samples) {
    if (s.distanceNm < 1) continue;  // the flare leaves the path
    ASSERT_TRUE(s.locDots && s.gsDots);
    EXPECT_NEAR(*s.locDots, 0, 0.02) << s.distanceNm;
    EXPECT_NEAR(*s.gsDots, 0, 0.02) << s.distanceNm;
    ++checked;
  }
  EXPECT_GT(checked, 200);
  EXPECT_LE(d.samples.front().distanceNm, kDebriefRangeNm);
  EXPECT_GT(d.samples.front().distanceNm, kDebriefRangeNm - 0.1);
  for (const GateResult& g : d.gates) EXPECT_TRUE(g.passed()) << g.heightFt;
  EXPECT_EQ(d.stable, std::optional<bool>(true));
}

TEST_F(Debrief, OneDotHighAndOneDotLeftAtFourMiles) {
  FlyApproach();
  const int i = SampleNear(4.0);
  // One localizer dot subtends 52.5 m at the threshold; one glide-slope dot is 0.12 of
  // the path angle, seen from where the path meets the runway.
  const double locToThreshold = kLengthM + kLocalizerBeyondM;
  const double alongFromThreshold = -4 * kMetresPerNauticalMile;
  const double left = 52.5 * (locToThreshold - alongFromThreshold) / locToThreshold;
  const double fromOrigin = std::hypot(GlidePathOriginM() - alongFromThreshold, left);
  const double heightFt = std::tan(1.12 * kPathDeg * M_PI / 180) * fromOrigin / 0.3048;
  Place(i, alongFromThreshold, -left, heightFt);
  const ApproachDebrief d = DebriefApproach(doc, flight);
  const DebriefSample* s = Find(d, i);
  ASSERT_TRUE(s && s->locDots && s->gsDots);
  EXPECT_NEAR(s->distanceNm, 4.0, 1e-6);
  EXPECT_NEAR(*s->locDots, -1, 0.02);
  EXPECT_NEAR(*s->gsDots, 1, 0.02);
  EXPECT_STREQ(LateralSide(*s->locDots), "left");
  EXPECT_STREQ(VerticalSide(*s->gsDots), "high");
}

TEST_F(Debrief, A500FtGateFailedOnDescentRateOnly) {
  FlyApproach();
  const ApproachDebrief before = DebriefApproach(doc, flight);
  const int gate = *before.gates[1].sample;
  // 30 ft higher two seconds before the gate: about 1600 ft/min into it.
  flight.samples[static_cast<std::size_t>(gate - 2)].altitudeFt += 30;
  flight.samples[static_cast<std::size_t>(gate - 1)].altitudeFt += 15;
  const ApproachDebrief d = DebriefApproach(doc, flight);
  ASSERT_EQ(d.gates[1].sample, gate);
  EXPECT_TRUE(d.gates[0].passed());
  for (const CriterionResult& c : d.gates[1].criteria) {
    const bool rate = c.criterion == Criterion::DescentRate;
    EXPECT_EQ(c.verdict, rate ? Verdict::Fail : Verdict::Pass) << CriterionName(c.criterion);
    if (rate) {
      EXPECT_GT(c.value, 1000);
    }
  }
  EXPECT_EQ(d.stable, std::optional<bool>(false));
}

TEST_F(Debrief, GearBankAndSpeedAtTheGates) {
  const struct {
    const char* what;
    void (*change)(FlightSample&);
    Criterion failed;
  } cases[] = {
      {"one gear up", [](FlightSample& s) { s.gear2 = 0; }, Criterion::Gear},
      {"banked 16 degrees left", [](FlightSample& s) { s.bankDeg = -16; }, Criterion::Bank},
      {"11 kt faster", [](FlightSample& s) { s.iasKt += 11; }, Criterion::IasChange},
  };
  for (const auto& c : cases) {
    FlyApproach();
    const int gate = *DebriefApproach(doc, flight).gates[0].sample;
    c.change(flight.samples[static_cast<std::size_t>(gate)]);
    const ApproachDebrief d = DebriefApproach(doc, flight);
    for (const CriterionResult& r : d.gates[0].criteria) {
      EXPECT_EQ(r.verdict, r.criterion == c.failed ? Verdict::Fail : Verdict::Pass)
          << c.what << " " << CriterionName(r.criterion);
    }
  }
}

TEST_F(Debrief, TouchdownPointPastTheThresholdAndRightOfTheCentreline) {
  const struct {
    double pastFt;
    double rightM;
    const char* side;
  } cases[] = {{1500, 5, "right"}, {-100, -3, "left"}};
  for (const auto& c : cases) {
    FlyApproach(c.pastFt * 0.3048, c.rightM);
    const ApproachDebrief d = DebriefApproach(doc, flight);
    ASSERT_TRUE(d.touchdownPoint) << c.pastFt;
    EXPECT_NEAR(d.touchdownPoint->pastThresholdM / 0.3048, c.pastFt, 0.5);
    EXPECT_NEAR(d.touchdownPoint->offsetM, c.rightM, 0.05);
    EXPECT_STREQ(LateralSide(d.touchdownPoint->offsetM), c.side);
  }
}

TEST_F(Debrief, LandingOnTheRunwaysReciprocal) {
  FlyApproach(1500 * 0.3048, 5, /*recordHeading=*/180);
  const ApproachDebrief d = DebriefApproach(doc, flight);
  ASSERT_TRUE(d.runway && d.touchdownPoint);
  EXPECT_TRUE(d.runway->reciprocal);
  EXPECT_NEAR(HeadingDifference(d.runway->headingDeg, 0), 0, 1e-9);
  EXPECT_NEAR(d.touchdownPoint->pastThresholdM / 0.3048, 1500, 0.5);
  EXPECT_NEAR(d.touchdownPoint->offsetM, 5, 0.05);
}

TEST_F(Debrief, LandingRateFromAFitOverTheSecondsBeforeTouchdown) {
  FlyApproach();
  flight.channels.Set(Channel::VerticalRate, ChannelState::Derived);  // as a recorder's file
  // Down 10 ft a second over the last four seconds: 600 ft/min.
  for (int k = 1; k <= 4; ++k) {
    flight.samples[static_cast<std::size_t>(kTouchdown - k)].altitudeFt =
        flight.samples[kTouchdown].altitudeFt + 10 * k;
  }
  const ApproachDebrief close = DebriefApproach(doc, flight);
  ASSERT_TRUE(close.landingRate);
  EXPECT_NEAR(close.landingRate->fpm, 600, 1e-6);
  EXPECT_FALSE(close.landingRate->lowConfidence());
  // A sample every 3 seconds still gives a rate, with the doubt said.
  for (int i = 0; i <= flight.lastSampleIndex(); ++i) {
    flight.samples[static_cast<std::size_t>(i)].timeHours = 10 + 3.0 * i / 3600;
  }
  const ApproachDebrief sparse = DebriefApproach(doc, flight);
  ASSERT_TRUE(sparse.landingRate);
  EXPECT_EQ(sparse.landingRate->doubts, std::vector<std::string>{"samples 3 s apart"});
}

TEST_F(Debrief, WithoutAnIlsTheRestIsStillJudged) {
  FlyApproach(1500 * 0.3048, 0, 0, /*withIls=*/false);
  const ApproachDebrief d = DebriefApproach(doc, flight);
  ASSERT_TRUE(d.runway && d.touchdownPoint && d.landingRate);
  EXPECT_FALSE(d.ils);
  for (const GateResult& g : d.gates) {
    ASSERT_TRUE(g.sample);
    for (const CriterionResult& c : g.criteria) {
      const bool needsIls =
          c.criterion == Criterion::Localizer || c.criterion == Criterion::GlideSlope;
      EXPECT_EQ(c.verdict, needsIls ? Verdict::NotAvailable : Verdict::Pass);
    }
  }
  EXPECT_FALSE(d.stable.has_value());
}

}  // namespace
}  // namespace quarn::testing

namespace quarn::testing {
namespace {

TEST_F(Debrief, TheJsonSaysWhatIsMissingAndWhatIsNotAvailable) {
  FlyApproach(1500 * 0.3048, 0, 0, /*withIls=*/false);
  for (int i = 0; i <= flight.lastSampleIndex(); ++i) {
    flight.samples[static_cast<std::size_t>(i)].timeHours = 10 + 3.0 * i / 3600;
  }
  const std::string json = DebriefJson(DebriefApproach(doc, flight), flight);
  for (const char* part :
       {"\"missing\":[\"ils\"]", "\"ils\":null", "\"landingRateConfidence\":\"low\"",
        "\"stable\":\"n/a\"", "\"position\":\"past the threshold\"",
        "{\"name\":\"localizer\",\"result\":\"n/a\",\"value\":null"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json.substr(0, 600);
  }
}

}  // namespace
}  // namespace quarn::testing

namespace quarn::testing {
namespace {

// A localizer record without a glide slope (sine 0) gives the lateral needle only.
TEST_F(Debrief, AnIlsWithoutGlideSlopeGivesNoVerticalNeedle) {
  FlyApproach();
  doc.m_navaids[static_cast<std::size_t>(doc.m_ilsIdx.front())].intValue = 0;
  const ApproachDebrief d = DebriefApproach(doc, flight);
  ASSERT_TRUE(d.ils);
  EXPECT_EQ(d.ils->gsDotDeg, 0);
  ASSERT_FALSE(d.samples.empty());
  EXPECT_TRUE(d.samples.front().locDots.has_value());
  EXPECT_FALSE(d.samples.front().gsDots.has_value());
  EXPECT_EQ(d.gates[0].criteria[1].verdict, Verdict::NotAvailable);
  EXPECT_EQ(d.gates[0].criteria[0].verdict, Verdict::Pass);
}

}  // namespace
}  // namespace quarn::testing

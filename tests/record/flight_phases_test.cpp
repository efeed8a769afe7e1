// The phases of crafted flights whose events are known sample by sample, flown one
// sample a second from a list of steps; and of the shared real landing, cut at every
// minute of its roll.

#include "record/flight_phases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "record/flight_reader.h"
#include "record/track_builder.h"
#include "support/crafted_flight.h"

namespace quarn {
namespace {

using namespace quarn::testing;

// Speeds are measured over a few seconds of positions: an event may be found a
// second or two from the sample the steps put it at.
constexpr int kSlack = 2;

// The flight a reader makes of the points: the altitude and the declared channels as
// given, the rest derived from the positions.
Flight Build(const std::vector<TrackPoint>& points, const std::vector<Channel>& declared = {}) {
  TrackBuilder builder("crafted.csv", "csv");
  builder.Declare(Channel::Altitude);
  for (Channel c : declared) builder.Declare(c);
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_TRUE(builder.Add(points[i], static_cast<int>(i) + 1).ok());
  }
  auto loaded = builder.Finish();
  EXPECT_TRUE(loaded.ok());
  return loaded.ok() ? loaded->flight : Flight{};
}

// Where the steps put a leg's events: the nth departure and the nth landing.
struct LegEvents {
  int rollStart, liftoff, touchdown, rollEnd, out, in;
};
LegEvents EventsOf(const Crafted& c, int departure, int landing, int parking) {
  const int touchdown = c.Last("flare", landing);
  // Moving from the first sample of the taxi; standing from the last of the stop.
  return {c.First("roll", departure),
          c.First("climb", departure),
          touchdown,
          c.FirstSlowerThan(kPhaseThresholds.rollEndKt, touchdown),
          c.First("taxi", departure),
          c.Last("stopping", parking)};
}

void ExpectAt(const char* what, std::optional<int> found, int expected) {
  SCOPED_TRACE(what);
  ASSERT_TRUE(found.has_value());
  EXPECT_NEAR(*found, expected, kSlack);
}

void ExpectLeg(const FlightLeg& leg, const LegEvents& e) {
  ASSERT_TRUE(leg.takeoff.has_value());
  ExpectAt("roll start", leg.takeoff->rollStart, e.rollStart);
  ExpectAt("lift-off", leg.takeoff->liftoff, e.liftoff);
  ASSERT_TRUE(leg.Landing().has_value());
  ExpectAt("touchdown", leg.Landing()->index, e.touchdown);
  ExpectAt("roll end", leg.landingRollEnd, e.rollEnd);
  ExpectAt("out", leg.blocks.out, e.out);
  ExpectAt("off", leg.blocks.off, e.liftoff);
  ExpectAt("on", leg.blocks.on, e.touchdown);
  ExpectAt("in", leg.blocks.in, e.in);
}

TEST(FlightPhases, FindsTheEventsOfACircuitHoweverTheSourceSpoilsIt) {
  struct Case {
    const char* name;
    double fieldFt;
    std::vector<Channel> declared;
    std::function<void(const Crafted&, std::vector<TrackPoint>&)> spoil;
  };
  const std::vector<Case> cases{
      {"as flown", 700, {}, [](const Crafted&, std::vector<TrackPoint>&) {}},
      {"barometric altitude 60 ft below the field",
       0,
       {},
       [](const Crafted&, std::vector<TrackPoint>& points) {
         for (TrackPoint& p : points) p.altitudeFt -= 60;
       }},
      {"ground speed stuck at its touchdown value",
       700,
       {Channel::GroundSpeed},
       [](const Crafted& c, std::vector<TrackPoint>& points) {
         const std::size_t touchdown = static_cast<std::size_t>(c.Last("flare"));
         for (std::size_t i = touchdown; i < points.size(); ++i) {
           points[i].groundSpeedKt = points[touchdown].groundSpeedKt;
         }
       }},
      {"one position 5 nm off short final",
       700,
       {},
       [](const Crafted& c, std::vector<TrackPoint>& points) {
         points[static_cast<std::size_t>(c.Last("final") - 15)].latitudeDeg += 5.0 / 60;
       }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const Crafted c = Craft(PlainCircuit(k.fieldFt));
    std::vector<TrackPoint> points = c.points;
    k.spoil(c, points);
    const Flight flight = Build(points, k.declared);
    const FlightPhases phases = FindFlightPhases(flight);
    ASSERT_EQ(phases.legs.size(), 1u);
    const FlightLeg& leg = phases.legs[0];
    ExpectLeg(leg, EventsOf(c, 0, 0, 0));
    ASSERT_EQ(leg.touchdowns.size(), 1u);
    EXPECT_EQ(leg.touchdowns[0].bounces, 0);
    EXPECT_TRUE(leg.touchAndGoes.empty());
    EXPECT_TRUE(leg.goArounds.empty());
  }
}

TEST(FlightPhases, TouchAndGoAtTheDepartureFieldBeforeAFullStop) {
  const double field = 700;
  const Crafted c = Craft(
      Join({Departure(field),
            Pattern(field),
            Approach(field),
            {{"touch", 8, 70, field, kRunwayDeg}, {"climb", 86, 75, field + 1000, kRunwayDeg}},
            Pattern(field),
            Approach(field),
            FullStop(field)}));
  const FlightPhases phases = FindFlightPhases(Build(c.points));
  ASSERT_EQ(phases.legs.size(), 1u);
  const FlightLeg& leg = phases.legs[0];
  ASSERT_EQ(leg.touchdowns.size(), 2u);
  EXPECT_NEAR(leg.touchdowns[0].index, c.Last("flare", 0), kSlack);
  ASSERT_EQ(leg.touchAndGoes.size(), 1u);
  EXPECT_EQ(leg.touchAndGoes[0], leg.touchdowns[0].index);
  ExpectLeg(leg, EventsOf(c, 0, 1, 0));
  EXPECT_TRUE(leg.goArounds.empty());
}

TEST(FlightPhases, GoAroundAt300FtIsItsLowestSampleAndNoTouchdown) {
  const double field = 700;
  const Crafted c = Craft(Join({Departure(field),
                                Pattern(field),
                                {{"to 300 ft", 113, 70, field + 300, kRunwayDeg},
                                 {"go around", 86, 75, field + 1300, kRunwayDeg}},
                                Pattern(field),
                                Approach(field),
                                FullStop(field)}));
  const FlightPhases phases = FindFlightPhases(Build(c.points));
  ASSERT_EQ(phases.legs.size(), 1u);
  const FlightLeg& leg = phases.legs[0];
  ASSERT_EQ(leg.goArounds.size(), 1u);
  EXPECT_NEAR(leg.goArounds[0], c.Last("to 300 ft"), 1);
  ASSERT_EQ(leg.touchdowns.size(), 1u);
  EXPECT_NEAR(leg.touchdowns[0].index, c.Last("flare"), kSlack);
  EXPECT_TRUE(leg.touchAndGoes.empty());
}

TEST(FlightPhases, ABounceOfTwoSecondsIsPartOfItsTouchdown) {
  const double field = 700;
  const Crafted c = Craft(Join({Departure(field),
                                Pattern(field),
                                Approach(field),
                                {{"bounce", 1, 65, field + 5, kRunwayDeg},
                                 {"", 1, 64, field + 5, kRunwayDeg},
                                 {"down again", 1, 63, field, kRunwayDeg}},
                                FullStop(field)}));
  struct Case {
    const char* name;
    bool onGroundRecorded;
    int bounces;
  };
  // Five feet up is within what an altitude alone can tell from the ground: only a
  // source's on-ground flag shows the bounce, and neither makes it a second touchdown.
  for (const Case& k : {Case{"on-ground flag", true, 1}, Case{"altitude alone", false, 0}}) {
    SCOPED_TRACE(k.name);
    std::vector<TrackPoint> points = c.points;
    for (TrackPoint& p : points) p.onGround = p.altitudeFt <= field ? 1 : 0;
    const Flight flight =
        Build(points, k.onGroundRecorded ? std::vector{Channel::OnGround} : std::vector<Channel>{});
    const FlightPhases phases = FindFlightPhases(flight);
    ASSERT_EQ(phases.legs.size(), 1u);
    const FlightLeg& leg = phases.legs[0];
    ASSERT_EQ(leg.touchdowns.size(), 1u);
    EXPECT_NEAR(leg.touchdowns[0].index, c.Last("flare"), kSlack);
    EXPECT_EQ(leg.touchdowns[0].bounces, k.bounces);
    EXPECT_TRUE(leg.touchAndGoes.empty());
  }
}

TEST(FlightPhases, TwoLegsInOneRecordEachWithItsBlocks) {
  const double a = 700, b = 150;
  const Crafted c = Craft(Join({Departure(a),
                                Pattern(a),
                                Approach(a),
                                {{"rollout", 25, 15, a, kRunwayDeg},
                                 {"", 40, 15, a, kTaxiDeg},
                                 {"stopping", 10, 0, a, kTaxiDeg},
                                 {"turnaround", 120, 0, a, kTaxiDeg},
                                 {"taxi", 10, 15, a, kTaxiDeg},
                                 {"", 50, 15, a, kTaxiDeg},
                                 {"roll", 30, 65, a, kRunwayDeg},
                                 {"climb", 200, 100, 3000, kRunwayDeg},
                                 {"cruise", 600, 110, 3000, kRunwayDeg},
                                 {"descent", 240, 90, b + 1000, kRunwayDeg}},
                                Approach(b),
                                FullStop(b)}));
  const FlightPhases phases = FindFlightPhases(Build(c.points));
  ASSERT_EQ(phases.legs.size(), 2u);
  for (int leg = 0; leg < 2; ++leg) {
    SCOPED_TRACE(leg);
    ExpectLeg(phases.legs[static_cast<std::size_t>(leg)], EventsOf(c, leg, leg, leg));
    EXPECT_EQ(phases.legs[static_cast<std::size_t>(leg)].touchdowns.size(), 1u);
  }
}

TEST(FlightPhases, ARecordThatEndsInTheAirHasNoLanding) {
  const double field = 700;
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  // The second slows below its lift-off speed, as a landing roll does, but 2300 ft up.
  const std::vector<Case> cases{
      {"cut in the climb", Join({Departure(field), {{"", 40, 75, field + 1470, kRunwayDeg}}})},
      {"cut slowing down level at 3000 ft", Join({Departure(field),
                                                  {{"", 180, 100, 3000, kRunwayDeg},
                                                   {"", 60, 110, 3000, kRunwayDeg},
                                                   {"", 40, 50, 3000, kRunwayDeg}}})},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const Crafted c = Craft(k.steps);
    const Flight flight = Build(c.points);
    const FlightPhases phases = FindFlightPhases(flight);
    ASSERT_EQ(phases.legs.size(), 1u);
    const FlightLeg& leg = phases.legs[0];
    ASSERT_TRUE(leg.takeoff.has_value());
    EXPECT_NEAR(leg.takeoff->liftoff, c.First("climb"), kSlack);
    EXPECT_TRUE(leg.touchdowns.empty());
    EXPECT_FALSE(leg.Landing().has_value());
    EXPECT_FALSE(phases.LastLandingRollEnd(flight).has_value());
    EXPECT_FALSE(phases.onGround.back());
  }
}

TEST(FlightPhases, ARecordFromTheAirToTheLandingRollHasOneTouchdownAndRollsToItsEnd) {
  const double field = 700;
  const Crafted c = Craft({{"", 30, 140, field + 1500, kRunwayDeg},
                           {"final", 121, 135, field + 50, kRunwayDeg},
                           {"flare", 10, 130, field, kRunwayDeg},
                           {"rollout", 20, 90, field, kRunwayDeg}});
  const Flight flight = Build(c.points);
  const FlightPhases phases = FindFlightPhases(flight);
  ASSERT_EQ(phases.legs.size(), 1u);
  const FlightLeg& leg = phases.legs[0];
  EXPECT_FALSE(leg.takeoff.has_value());
  ASSERT_EQ(leg.touchdowns.size(), 1u);
  EXPECT_NEAR(leg.touchdowns[0].index, c.Last("flare"), kSlack);
  EXPECT_FALSE(leg.landingRollEnd.has_value());
  EXPECT_EQ(phases.LastLandingRollEnd(flight), flight.lastSampleIndex());
  EXPECT_FALSE(leg.blocks.in.has_value());
}

TEST(FlightPhases, ARecordThatStartsSlowHighUpAndSpeedsUpDescendingHasNoTakeoff) {
  const double field = 700;
  // Speeding up from low speed, as a take-off roll does, but 3000 ft above the field.
  const Crafted c = Craft(
      Join({{{"", 30, 50, field + 3000, kRunwayDeg}, {"", 240, 110, field + 1000, kRunwayDeg}},
            Approach(field),
            FullStop(field)}));
  const FlightPhases phases = FindFlightPhases(Build(c.points));
  ASSERT_EQ(phases.legs.size(), 1u);
  const FlightLeg& leg = phases.legs[0];
  EXPECT_FALSE(leg.takeoff.has_value());
  ASSERT_TRUE(leg.Landing().has_value());
  EXPECT_NEAR(leg.Landing()->index, c.Last("flare"), kSlack);
  ExpectAt("in", leg.blocks.in, c.Last("stopping"));
}

TEST(FlightPhases, LandingRateAndWhatMakesItDoubtful) {
  const Crafted c = Craft(PlainCircuit(700));
  std::vector<TrackPoint> rounded = c.points, sparse;
  for (TrackPoint& p : rounded) p.altitudeFt = std::round(p.altitudeFt / 25) * 25;
  // Every fourth sample, the touchdown among them.
  for (std::size_t i = static_cast<std::size_t>(c.Last("flare") % 4); i < c.points.size(); i += 4) {
    sparse.push_back(c.points[i]);
  }
  struct Case {
    const char* name;
    const std::vector<TrackPoint>& points;
    const char* doubt;  // nothing: none
  };
  const std::vector<Case> cases{
      {"exact altitudes a second apart", c.points, nullptr},
      {"altitudes in 25 ft steps", rounded, "altitude in steps of 25 ft"},
      {"samples 4 s apart", sparse, "samples 4 s apart"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const Flight flight = Build(k.points);
    const auto landing = FindFlightPhases(flight).LastLanding();
    ASSERT_TRUE(landing.has_value());
    const auto rate = FindLandingRate(flight, landing->index);
    ASSERT_TRUE(rate.has_value());
    EXPECT_FALSE(rate->fromSource);
    if (k.doubt == nullptr) {
      EXPECT_NEAR(rate->fpm, 180, 20);
      EXPECT_TRUE(rate->doubts.empty());
    } else {
      EXPECT_NE(std::find(rate->doubts.begin(), rate->doubts.end(), k.doubt), rate->doubts.end())
          << (rate->doubts.empty() ? "no doubts" : rate->doubts.front());
    }
  }
}

// The shared ADS-B landing at Amsterdam; 2018-05-30 at the given time of day.
const std::filesystem::path kRealWorld =
    std::filesystem::path(QUARN_SHARED_TESTDATA_DIR) / "real-world";
double May30(int h, int m, int s) {
  return 1527638400.0 + h * 3600 + m * 60 + s;
}

// The shared landing touches down once, on runway 06 at 20:18:09.
void ExpectRealTouchdown(const Flight& flight, const Touchdown& touchdown) {
  const double at = flight.samples[static_cast<std::size_t>(touchdown.index)].utcSeconds;
  EXPECT_GE(at, May30(20, 18, 0));
  EXPECT_LE(at, May30(20, 18, 12));
}

// The flight as it was known at `cut`: its samples up to then.
Flight CutAt(const Flight& whole, double cut) {
  Flight f;
  f.format = whole.format;
  f.date = whole.date;
  f.channels = whole.channels;
  f.recordPath = whole.recordPath;
  for (const FlightSample& s : whole.samples) {
    if (s.utcSeconds <= cut) f.samples.push_back(s);
  }
  return f;
}

TEST(FlightPhases, SharedRealLandingCutAtEveryMinuteOfItsRoll) {
  const auto path = kRealWorld / "belevingsvlucht_EHAM_rwy06_final.csv";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is missing";
  const auto loaded = ReadFlight(path.string());
  ASSERT_TRUE(loaded.ok()) << loaded.error().message;
  const Flight& whole = loaded->flight;
  const double end = whole.samples.back().utcSeconds;
  for (double cut = May30(20, 18, 20); cut < end + 60; cut += 60) {
    SCOPED_TRACE(cut - May30(20, 0, 0));
    const Flight flight = CutAt(whole, cut);
    const FlightPhases phases = FindFlightPhases(flight);
    int touchdowns = 0;
    for (const FlightLeg& leg : phases.legs) touchdowns += static_cast<int>(leg.touchdowns.size());
    EXPECT_EQ(touchdowns, 1);
    const auto landing = phases.LastLanding();
    ASSERT_TRUE(landing.has_value());
    ExpectRealTouchdown(flight, *landing);
  }
}

TEST(FlightPhases, SharedRealFlightHasNoTakeoffAndOneLanding) {
  const auto path = kRealWorld / "belevingsvlucht.json.gz";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is missing";
  const auto loaded = ReadFlight(path.string());
  ASSERT_TRUE(loaded.ok()) << loaded.error().message;
  const Flight& flight = loaded->flight;
  const FlightPhases phases = FindFlightPhases(flight);
  ASSERT_FALSE(phases.legs.empty());
  EXPECT_FALSE(phases.legs[0].takeoff.has_value());
  int landings = 0;
  for (const FlightLeg& leg : phases.legs) {
    if (const auto landing = leg.Landing()) {
      ++landings;
      ExpectRealTouchdown(flight, *landing);
    }
  }
  EXPECT_EQ(landings, 1);
}

TEST(FlightPhases, ExampleRecordHasOneLegFromTakeoffToTouchdown) {
  const auto loaded = ReadFlight(QUARN_EXAMPLES_DIR "/flight.dat");
  ASSERT_TRUE(loaded.ok()) << loaded.error().message;
  const Flight& flight = loaded->flight;
  const FlightPhases phases = FindFlightPhases(flight);
  ASSERT_EQ(phases.legs.size(), 1u);
  EXPECT_TRUE(phases.legs[0].takeoff.has_value());
  ASSERT_EQ(phases.legs[0].touchdowns.size(), 1u);
  const double at =
      flight.samples[static_cast<std::size_t>(phases.legs[0].touchdowns[0].index)].timeHours * 3600;
  EXPECT_NEAR(at, 9 * 3600 + 28 * 60 + 19, 0.5);
}

}  // namespace
}  // namespace quarn

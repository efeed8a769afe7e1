// The offset that lays a compared flight on the current one: which sample each
// alignment takes, what stands in for an event a flight does not have, and the
// phases found from a real record.

#include "record/flight_alignment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/flight_reader.h"

namespace quarn {
namespace {

// Samples a minute apart from the given hour.
Flight Minutes(double startHours, int count) {
  Flight f;
  for (int i = 0; i < count; ++i) {
    FlightSample s;
    s.timeHours = startHours + i / 60.0;
    f.samples.push_back(s);
  }
  return f;
}

FlightLeg Leg(std::optional<int> liftoff, std::vector<int> touchdowns,
              std::vector<int> touchAndGoes = {}) {
  FlightLeg leg;
  if (liftoff) leg.takeoff = TakeoffEvents{*liftoff > 0 ? *liftoff - 1 : 0, *liftoff};
  for (int t : touchdowns) leg.touchdowns.push_back(Touchdown{t, 0});
  leg.touchAndGoes = std::move(touchAndGoes);
  return leg;
}

FlightPhases Phases(std::vector<FlightLeg> legs) {
  FlightPhases p;
  p.legs = std::move(legs);
  return p;
}

TEST(FlightAlignment, EachAlignmentTakesItsSampleOrTheStart) {
  const Flight flight = Minutes(10, 60);
  struct Case {
    const char* what;
    FlightPhases phases;
    CompareAlignment alignment;
    int expected;
  };
  const Case cases[] = {
      {"start", Phases({Leg(5, {40})}), CompareAlignment::Start, 0},
      {"lift-off", Phases({Leg(5, {40})}), CompareAlignment::Takeoff, 5},
      {"touchdown", Phases({Leg(5, {40})}), CompareAlignment::Touchdown, 40},
      {"first lift-off of two legs", Phases({Leg(5, {20}), Leg(30, {50})}),
       CompareAlignment::Takeoff, 5},
      {"lift-off of a record that starts rolling in the second leg",
       Phases({Leg(std::nullopt, {20}), Leg(30, {50})}), CompareAlignment::Takeoff, 30},
      {"last landing of two legs", Phases({Leg(5, {20}), Leg(30, {50})}),
       CompareAlignment::Touchdown, 50},
      {"landing after a touch-and-go", Phases({Leg(5, {25, 45}, {25})}),
       CompareAlignment::Touchdown, 45},
      {"no take-off: the start", Phases({Leg(std::nullopt, {40})}), CompareAlignment::Takeoff, 0},
      {"ends in a touch-and-go: the start", Phases({Leg(5, {25}, {25})}),
       CompareAlignment::Touchdown, 0},
      {"no phases at all: the start", Phases({}), CompareAlignment::Touchdown, 0},
      {"an event past the flight: the start", Phases({Leg(5, {99})}), CompareAlignment::Touchdown,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(AlignmentSample(flight, c.phases, c.alignment), c.expected);
  }
  EXPECT_EQ(AlignmentSample(Flight{}, Phases({}), CompareAlignment::Start), std::nullopt);
}

TEST(FlightAlignment, TheOffsetPutsTheComparedEventOnTheCurrentOne) {
  // The current flight lifts off at 10:05 and lands at 10:40; the compared one starts
  // at 14:00, lifts off at 14:10 and lands at 14:50.
  const Flight current = Minutes(10, 60);
  const FlightPhases currentPhases = Phases({Leg(5, {40})});
  const Flight compared = Minutes(14, 60);
  const FlightPhases comparedPhases = Phases({Leg(10, {50})});
  struct Case {
    CompareAlignment alignment;
    double hours;
  };
  const Case cases[] = {
      {CompareAlignment::Start, -4.0},
      {CompareAlignment::Takeoff, (10 + 5 / 60.0) - (14 + 10 / 60.0)},
      {CompareAlignment::Touchdown, (10 + 40 / 60.0) - (14 + 50 / 60.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(CompareAlignmentName(c.alignment)));
    EXPECT_NEAR(AlignmentOffsetHours(current, currentPhases, compared, comparedPhases, c.alignment),
                c.hours, 1e-12);
  }
  // An empty flight has nothing to align.
  EXPECT_EQ(AlignmentOffsetHours(current, currentPhases, Flight{}, {}, CompareAlignment::Start), 0);
}

TEST(FlightAlignment, TheExampleFlightFlownLaterLiesOnItselfAtEveryAlignment) {
  auto read = ReadFlight(QUARN_EXAMPLES_DIR "/flight.dat");
  ASSERT_TRUE(read.ok());
  const Flight& flight = read->flight;
  Flight later = flight;
  for (FlightSample& s : later.samples) s.timeHours += 5.5;
  // Only the approach: no take-off in it, so the take-off falls back to its start.
  Flight approach = flight;
  approach.samples.erase(approach.samples.begin(),
                         approach.samples.begin() + flight.sampleCount() * 3 / 4);
  const FlightPhases phases = FindFlightPhases(flight);
  ASSERT_FALSE(phases.legs.empty());
  ASSERT_TRUE(phases.legs.front().takeoff.has_value());
  ASSERT_TRUE(phases.LastLanding().has_value());
  const double liftoffHours = flight.SampleAt(phases.legs.front().takeoff->liftoff).timeHours;

  for (const CompareAlignment a :
       {CompareAlignment::Start, CompareAlignment::Takeoff, CompareAlignment::Touchdown}) {
    SCOPED_TRACE(std::string(CompareAlignmentName(a)));
    EXPECT_NEAR(AlignmentOffsetHours(flight, later, a), -5.5, 1e-9);
  }
  EXPECT_NEAR(AlignmentOffsetHours(flight, approach, CompareAlignment::Takeoff),
              liftoffHours - approach.samples.front().timeHours, 1e-9);
  EXPECT_NEAR(AlignmentOffsetHours(flight, approach, CompareAlignment::Touchdown), 0.0,
              2 / 3600.0);  // the same touchdown, found within seconds
}

TEST(FlightAlignment, NamesReadBack) {
  for (const CompareAlignment a :
       {CompareAlignment::Start, CompareAlignment::Takeoff, CompareAlignment::Touchdown}) {
    EXPECT_EQ(ParseCompareAlignment(CompareAlignmentName(a)), a);
  }
  EXPECT_EQ(ParseCompareAlignment("Touchdown"), std::nullopt);
  EXPECT_EQ(ParseCompareAlignment(""), std::nullopt);
}

}  // namespace
}  // namespace quarn

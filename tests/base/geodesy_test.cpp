#include "base/geodesy.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quarn {
namespace {

TEST(DistanceAndBearing, BearingsAndDistancesOfSimpleCases) {
  struct Case {
    double lat1, lon1, lat2, lon2;
    double metres, bearing;
  };
  const double oneDegree = 0.01745329252 * 12734623.61651354 / 2;
  const Case cases[] = {
      {10, 20, 10, 20, 0, 0},         // identical points
      {0, 0, 1, 0, oneDegree, 0},     // due north along a meridian
      {0, 0, 0, 1, oneDegree, 90},    // due east on the equator
      {0, 0, 0, -1, oneDegree, 270},  // due west: -90 brought into [0, 360)
      {1, 0, 0, 0, oneDegree, 180},   // due south
  };
  for (const auto& c : cases) {
    const auto r = DistanceAndBearing(c.lat1, c.lon1, c.lat2, c.lon2);
    EXPECT_NEAR(r.metres, c.metres, 1e-6) << c.lat2 << "," << c.lon2;
    EXPECT_NEAR(r.bearingDeg, c.bearing, 1e-9) << c.lat2 << "," << c.lon2;
  }
}

TEST(DistanceAndBearing, OneDegreeOfLatitudeIsSixtyNauticalMiles) {
  const auto r = DistanceAndBearing(50, 5, 51, 5);
  EXPECT_NEAR(r.metres / kMetresPerNauticalMile, 60.0, 0.05);
}

TEST(DistanceAndBearing, UsesTheProgramsRoundedRadianFactor) {
  // The rounded factor 0.01745329252 differs from pi/180 in the 12th digit; over a
  // quarter of the globe that shows in the metres.
  const auto r = DistanceAndBearing(0, 0, 0, 90);
  EXPECT_DOUBLE_EQ(r.metres, std::asin(std::sin(90 * 0.01745329252 / 2)) * 12734623.61651354);
}

TEST(IntPart, ToleranceAndNegativeValues) {
  const struct {
    double x, expected;
  } cases[] = {
      {-0.5, 0},        {0, 0},          {2.9999990, 3}, {2.999997, 2},
      {59.9999985, 60}, {59.999997, 59}, {7.25, 7},      {123456.7, 123456},
  };
  for (const auto& c : cases) EXPECT_EQ(IntPart(c.x), c.expected) << c.x;
}

}  // namespace
}  // namespace quarn

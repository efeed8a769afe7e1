#pragma once
// Great-circle distance and initial bearing, and the integer part used to split
// times and angles into whole units.

namespace quarn {

// Metres to nautical miles (1852 metres each).
inline constexpr double kMetresToNm = 0.0005399568034557236;

// The program's own constants: degrees to radians as a rounded decimal, and twice
// the Earth radius in metres.
inline constexpr double kDegToRad = 0.01745329252;
inline constexpr double kRadToDeg = 57.295779512896175;
inline constexpr double kEarthDiameterMetres = 12734623.61651354;
inline constexpr double kMetresPerNauticalMile = 1852.0;

struct DistanceBearing {
  double metres = 0;
  double bearingDeg = 0;  // initial true bearing, [0, 360)
};

DistanceBearing DistanceAndBearing(double lat1, double lon1, double lat2, double lon2);
// The distance part alone, the same value to the last bit, for loops that need no
// bearing.
double GreatCircleMetres(double lat1, double lon1, double lat2, double lon2);

// The largest whole number not above x + 0.000002, and 0 for negative results: the
// small tolerance lets 59.9999985 count as 60.
double IntPart(double x);

}  // namespace quarn

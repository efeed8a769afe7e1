#include "base/geodesy.h"

#include <cmath>

namespace quarn {

double GreatCircleMetres(double lat1, double lon1, double lat2, double lon2) {
  const double phi1 = lat1 * kDegToRad;
  const double phi2 = lat2 * kDegToRad;
  const double dLambda = (lon2 - lon1) * kDegToRad;
  const double sHalfPhi = std::sin((phi2 - phi1) / 2);
  const double sHalfLambda = std::sin(dLambda / 2);
  return std::asin(std::sqrt(sHalfPhi * sHalfPhi +
                             std::cos(phi1) * std::cos(phi2) * sHalfLambda * sHalfLambda)) *
         kEarthDiameterMetres;
}

DistanceBearing DistanceAndBearing(double lat1, double lon1, double lat2, double lon2) {
  const double phi1 = lat1 * kDegToRad;
  const double phi2 = lat2 * kDegToRad;
  const double dLambda = (lon2 - lon1) * kDegToRad;

  double bearing = std::atan2(std::sin(dLambda), std::tan(phi2) * std::cos(phi1) -
                                                     std::cos(dLambda) * std::sin(phi1)) *
                   kRadToDeg;
  if (bearing < 0) bearing += 360;
  return DistanceBearing{GreatCircleMetres(lat1, lon1, lat2, lon2), bearing};
}

double IntPart(double x) {
  const double y = x + 0.000002;
  if (!(y >= 0)) return 0;  // negative, or NaN
  return std::floor(y);
}

}  // namespace quarn

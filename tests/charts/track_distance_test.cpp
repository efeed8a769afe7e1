// The indexed search for a navaid's distance from the track must give the plain
// scan's value to the last bit, wherever the point and the track lie.

#include "charts/track_distance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "base/flight.h"

namespace quarn {
namespace {

struct TrackCase {
  const char* name;
  double lat0, lon0;  // start
  double dLat, dLon;  // drift per sample
  double noise;       // random wander per sample, degrees
  int samples;
};

Flight Track(const TrackCase& c, std::mt19937& rng) {
  std::uniform_real_distribution<double> wander(-c.noise, c.noise);
  Flight flight;
  double lat = c.lat0, lon = c.lon0;
  for (int i = 0; i < c.samples; ++i) {
    FlightSample s;
    s.latitudeDeg = lat;
    s.longitudeDeg = lon;
    flight.samples.push_back(s);
    lat += c.dLat + wander(rng);
    lon += c.dLon + wander(rng);
  }
  return flight;
}

TEST(TrackDistance, IndexedSearchEqualsTheScan) {
  const TrackCase cases[] = {
      {"circuit-like wander", 52, 4.5, 0, 0, 0.002, 3000},
      {"long east-west leg", 50, -10, 0.00001, 0.002, 0.0005, 10000},
      {"across the antimeridian", -20, 179.5, 0.0001, 0.0003, 0.0002, 5000},
      {"near a pole: plain scan", 88.5, 0, 0.0003, 0.01, 0.0001, 2000},
      {"one sample", 10, 10, 0, 0, 0, 1},
      {"odd length, not a whole run", 0, 0, 0.001, 0.001, 0.0001, 1001},
  };
  std::mt19937 rng(7);
  for (const TrackCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Flight flight = Track(c, rng);
    TrackDistanceCache cache;
    cache.SyncWithTrack(flight);
    std::uniform_real_distribution<double> offset(-2, 2);
    for (int k = 0; k < 200; ++k) {
      const auto& s = flight.samples[static_cast<std::size_t>(k * 37 % c.samples)];
      // Near the track, on it, and far from it (beyond the 10000 km start value too).
      double lat = s.latitudeDeg + (k % 3 == 0 ? 0 : offset(rng));
      double lon = s.longitudeDeg + (k % 3 == 0 ? 0 : offset(rng));
      if (k % 50 == 1) lat = -lat, lon += 180;
      lat = std::clamp(lat, -90.0, 90.0);
      EXPECT_EQ(cache.Metres(k, lat, lon), NearestTrackMetresByScan(flight, lat, lon))
          << lat << " " << lon;
    }
  }
}

}  // namespace
}  // namespace quarn

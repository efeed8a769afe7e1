#pragma once
// Each navaid's shortest distance from the whole track: the smallest
// distance-and-bearing result from any sample of the record. A navaid's distance
// is kept until the record's track or the navaid's position changes, so redraws
// after a cursor key cost no distance evaluation.

#include <cstdint>
#include <vector>

#include "base/flight.h"

namespace quarn {

// Metres from the point to the nearest sample of the flight, starting from 10000000:
// every sample evaluated, no index, no cache. The reference for the faster search
// below.
double NearestTrackMetresByScan(const Flight& flight, double latitude, double longitude);

class TrackDistanceCache {
 public:
  // Compares the flight's track with the one the kept distances belong to and
  // forgets them when it has changed. Called once per drawing.
  void SyncWithTrack(const Flight& flight);
  // The same value as NearestTrackMetresByScan, kept under the navaid's index.
  double Metres(int navaidIndex, double latitude, double longitude);
  void Clear();

 private:
  // A run of consecutive samples with its bounding box: the distance from a point
  // to the box is a lower bound of its distance to every sample of the run.
  struct Box {
    int first = 0;
    int last = 0;  // inclusive
    double latLo = 0, latHi = 0, lonLo = 0, lonHi = 0;
    double cosLatMin = 0;  // the smallest cosine of the latitudes in the box
  };
  struct Entry {
    std::uint64_t latBits = 0;
    std::uint64_t lonBits = 0;
    double metres = 0;
    bool valid = false;
  };

  void TakeTrack(const Flight& flight);
  Box MakeBox(int first, int last) const;
  double SearchNearest(double latitude, double longitude) const;

  std::vector<double> lat_;
  std::vector<double> lon_;
  // Runs of kRunSize samples, grouped under groups of kGroupSize runs.
  std::vector<Box> runs_;
  std::vector<Box> groups_;
  bool indexed_ = false;  // false: the track has samples the boxes cannot bound
  std::vector<Entry> entries_;
};

}  // namespace quarn

#pragma once
// The flight sample table and its companions: process-wide, filled by loading a
// flight record, read by every chart and summary.

#include <array>
#include <string>

namespace quarn {

inline constexpr int kMaxSamples = 50000;

struct FlightSample {
  double altitudeFt = 0;
  double timeHours = 0;  // time of day, not wrapped at midnight
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double pitchDeg = 0;
  double bankDeg = 0;
  double tasKt = 0;
  double iasKt = 0;
  double verticalSpeedFpm = 0;
  double gear1 = 0;
  double gear2 = 0;
  double gear3 = 0;
  double fuelLeft = 0;
  double fuelLeftAux = 0;
  double fuelRight = 0;
  double fuelRightAux = 0;
  double courseDeg = 0;
};

extern std::array<FlightSample, kMaxSamples> g_samples;
extern int g_lastSampleIndex;  // index of the last valid sample; 1 before any load
extern double g_firstTime;     // ends of the graphs' time axis, hours
extern double g_lastTime;
extern std::string g_recordPath;  // empty until a record is selected

// Back to the values at program start (tests).
void ResetSampleTable();

// The table entry at i, or an all-zero sample when i lies outside the table: no
// routine may read outside it, whatever index the view state holds.
const FlightSample& SampleAt(int i);

// The number of valid samples (0 for an empty record).
inline int SampleCount() {
  return g_lastSampleIndex + 1 > 0 ? g_lastSampleIndex + 1 : 0;
}

}  // namespace quarn

#include "record/sample_table.h"

namespace quarn {

std::array<FlightSample, kMaxSamples> g_samples{};
int g_lastSampleIndex = 1;
double g_firstTime = 0;
double g_lastTime = 0;
std::string g_recordPath;

void ResetSampleTable() {
  g_samples.fill(FlightSample{});
  g_lastSampleIndex = 1;
  g_firstTime = 0;
  g_lastTime = 0;
  g_recordPath.clear();
}

const FlightSample& SampleAt(int i) {
  static const FlightSample kZero{};
  if (i < 0 || i >= kMaxSamples) return kZero;
  return g_samples[static_cast<std::size_t>(i)];
}

}  // namespace quarn

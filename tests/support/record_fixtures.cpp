#include "support/record_fixtures.h"

namespace quarn::testing {

std::vector<SampleValues> SteadyClimb(int n, int startHours, int startMinutes, int startSeconds) {
  std::vector<SampleValues> out;
  out.reserve(static_cast<std::size_t>(n));
  const int start = startHours * 3600 + startMinutes * 60 + startSeconds;
  for (int i = 0; i < n; ++i) {
    SampleValues s;
    const int t = (start + i) % 86400;
    s.hours = t / 3600;
    s.minutes = t / 60 % 60;
    s.seconds = t % 60;
    s.latitudeDeg = 50 + i * 0.001;
    s.longitudeDeg = 5;
    s.altitudeFt = 10.0 * i;
    s.iasKt = 120;
    s.tasKt = 125;
    s.headingDeg = 0;
    out.push_back(s);
  }
  return out;
}

std::string WriteRecordFile(const std::string& dir, const std::string& name,
                            const std::vector<SampleValues>& samples) {
  const std::string path = dir + "/" + name;
  WriteBytes(path, EncodeSamples(samples));
  return path;
}

}  // namespace quarn::testing

#include "record/record_loader.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace quarn {

std::FILE* OpenRecordFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  return std::fopen(path.c_str(), "rb");
}

bool FileRecordSource::Next(std::span<std::uint8_t, kRecordSize> out) {
  return std::fread(out.data(), 1, kRecordSize, file_) == kRecordSize;
}

bool MemoryRecordSource::Next(std::span<std::uint8_t, kRecordSize> out) {
  if (bytes_.size() - pos_ < kRecordSize) return false;
  std::memcpy(out.data(), bytes_.data() + pos_, kRecordSize);
  pos_ += kRecordSize;
  return true;
}

namespace {

// Feet per minute between two samples. Every sample uses the first interval of the
// record as its time step, and a first interval of 0 counts as one second.
double VerticalSpeed(int i) {
  if (i == 0) return 0;
  const auto& s = g_samples;
  const double dt = s[1].timeHours - s[0].timeHours;
  const double climb =
      s[static_cast<std::size_t>(i)].altitudeFt - s[static_cast<std::size_t>(i - 1)].altitudeFt;
  if (dt != 0) return climb / dt * kHoursPerMinute;
  return climb * 60;
}

}  // namespace

LoadOutcome LoadSamples(RecordSource& source) {
  LoadOutcome outcome;
  std::array<std::uint8_t, kRecordSize> buffer{};
  while (source.Next(buffer)) {
    if (outcome.stored == kMaxSamples) {
      outcome.truncated = true;
      break;
    }
    const int i = outcome.stored;
    FlightSample& sample = g_samples[static_cast<std::size_t>(i)];
    sample = ToSample(ParseRawRecord(buffer));
    if (i == 0) g_firstTime = sample.timeHours;
    g_lastTime = sample.timeHours;
    sample.verticalSpeedFpm = VerticalSpeed(i);
    ++outcome.stored;
  }
  return outcome;
}

}  // namespace quarn

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

std::size_t FileRecordSource::ExpectedRecords() const {
  struct stat st {};
  if (::fstat(::fileno(file_), &st) != 0 || st.st_size <= 0) return 0;
  return static_cast<std::size_t>(st.st_size) / kRecordSize;
}

bool MemoryRecordSource::Next(std::span<std::uint8_t, kRecordSize> out) {
  if (bytes_.size() - pos_ < kRecordSize) return false;
  std::memcpy(out.data(), bytes_.data() + pos_, kRecordSize);
  pos_ += kRecordSize;
  return true;
}

namespace {

// Feet per minute between sample i and the one before it. Every sample uses the
// first interval of the record as its time step, and a first interval of 0 counts
// as one second.
double VerticalSpeed(const std::vector<FlightSample>& s, std::size_t i) {
  if (i == 0) return 0;
  const double dt = s[1].timeHours - s[0].timeHours;
  const double climb = s[i].altitudeFt - s[i - 1].altitudeFt;
  if (dt != 0) return climb / dt * kHoursPerMinute;
  return climb * 60;
}

}  // namespace

LoadOutcome LoadSamples(RecordSource& source, Flight& flight) {
  LoadOutcome outcome;
  std::array<std::uint8_t, kRecordSize> buffer{};
  std::vector<FlightSample>& samples = flight.samples;
  const std::size_t expected =
      std::min(source.ExpectedRecords(), static_cast<std::size_t>(kMaxSamples));
  samples.reserve(samples.size() + expected);
  flight.stored.reserve(flight.stored.size() + expected);
  while (source.Next(buffer)) {
    if (outcome.stored == kMaxSamples) {
      outcome.truncated = true;
      break;
    }
    const RawRecord r = ParseRawRecord(buffer);
    samples.push_back(ToSample(r));
    flight.stored.push_back(
        StoredFields{r.hours, r.minutes, r.seconds, AltitudeMetres(r), SignedHeadingDeg(r)});
    ++outcome.stored;
  }
  // The first interval is known once two samples are in.
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i].verticalSpeedFpm = VerticalSpeed(samples, i);
  }
  return outcome;
}

}  // namespace quarn

// libFuzzer target: the JSON track reader over a byte buffer. An error names the file;
// a flight holds at least one sample, at most as many as a flight may, each on the
// globe and later than the one before, and its pieces of track start inside it.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "record/json_track_reader.h"

namespace {

constexpr const char* kName = "fuzz.json";

bool SoundFlight(const quarn::Flight& f) {
  if (f.samples.empty() || f.sampleCount() > quarn::kMaxImportedSamples) return false;
  if (f.format != "json") return false;
  for (int i = 0; i < f.sampleCount(); ++i) {
    const quarn::FlightSample& s = f.samples[static_cast<std::size_t>(i)];
    if (!(std::fabs(s.latitudeDeg) <= 90) || !(std::fabs(s.longitudeDeg) <= 180)) return false;
    if (!std::isfinite(s.utcSeconds)) return false;
    if (i > 0 && !(s.utcSeconds > f.samples[static_cast<std::size_t>(i) - 1].utcSeconds)) {
      return false;
    }
  }
  int previous = 0;
  for (int start : f.segmentStarts) {
    if (start <= previous || start >= f.sampleCount()) return false;
    previous = start;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const quarn::Result<quarn::LoadedFlight> read = quarn::ReadJsonTrack(text, kName);
  if (!read.ok()) {
    if (!read.error().message.starts_with(kName)) __builtin_trap();
    return 0;
  }
  if (!SoundFlight(read->flight)) __builtin_trap();
  return 0;
}

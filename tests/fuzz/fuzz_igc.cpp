// libFuzzer target: the IGC reader over a byte buffer taken as text. A read either
// fails with a message naming the file or gives a flight whose samples are on the
// globe, finite and in increasing time.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "record/igc_reader.h"

namespace {

bool SoundSample(const quarn::FlightSample& s) {
  const double values[] = {s.altitudeFt, s.groundSpeedKt, s.trackDeg,  s.verticalSpeedFpm,
                           s.iasKt,      s.tasKt,         s.courseDeg, s.utcSeconds};
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return std::fabs(s.latitudeDeg) <= 90 && std::fabs(s.longitudeDeg) <= 180;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto read = quarn::ReadIgc(text, "fuzz.igc");
  if (!read) {
    if (read.error().message.rfind("fuzz.igc", 0) != 0) __builtin_trap();
    return 0;
  }
  const quarn::Flight& f = read->flight;
  if (f.samples.empty() || f.format != "igc") __builtin_trap();
  for (std::size_t i = 0; i < f.samples.size(); ++i) {
    if (!SoundSample(f.samples[i])) __builtin_trap();
    if (i > 0 && !(f.samples[i].utcSeconds > f.samples[i - 1].utcSeconds)) __builtin_trap();
  }
  return 0;
}

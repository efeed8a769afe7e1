// libFuzzer target: the GPX reader over any text. It gives a flight whose samples
// are in time order on the globe, or an error that names the file.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "record/gpx_reader.h"

namespace {

bool Finite(const quarn::FlightSample& s) {
  for (double v : {s.altitudeFt, s.timeHours, s.latitudeDeg, s.longitudeDeg, s.pitchDeg, s.bankDeg,
                   s.verticalSpeedFpm, s.courseDeg, s.groundSpeedKt, s.trackDeg, s.utcSeconds}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

bool Sound(const quarn::Flight& flight) {
  if (flight.format != "gpx" || flight.samples.empty()) return false;
  if (flight.sampleCount() > quarn::kMaxImportedSamples || !flight.date) return false;
  for (std::size_t i = 0; i < flight.samples.size(); ++i) {
    const quarn::FlightSample& s = flight.samples[i];
    if (!Finite(s) || std::fabs(s.latitudeDeg) > 90 || std::fabs(s.longitudeDeg) > 180) {
      return false;
    }
    if (s.timeHours < 0 || s.timeHours >= 24) return false;
    if (i > 0 && !(s.utcSeconds > flight.samples[i - 1].utcSeconds)) return false;
  }
  int before = 0;
  for (int start : flight.segmentStarts) {
    if (start <= before || start >= flight.sampleCount()) return false;
    before = start;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name = "fuzz.gpx";
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto read = quarn::ReadGpx(text, name);
  if (read.ok() ? !Sound(read->flight) : read.error().message.rfind(name, 0) != 0) {
    __builtin_trap();
  }
  return 0;
}

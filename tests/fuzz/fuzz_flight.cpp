// libFuzzer target: the registry over any bytes, as a file of any name would reach it
// (gzip inflated, the format told by content, every reader behind it). It gives a
// flight of finite samples within its limits, or an error that names the file.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "record/flight_reader.h"

namespace {

bool Sound(const quarn::Flight& flight) {
  if (flight.samples.empty()) return false;
  const int limit = flight.format == "dat" ? quarn::kMaxSamples : quarn::kMaxImportedSamples;
  if (flight.sampleCount() > limit) return false;
  for (const quarn::FlightSample& s : flight.samples) {
    // The recorder's file is taken as stored; imported tracks are checked.
    if (flight.format == "dat") continue;
    for (double v : {s.altitudeFt, s.timeHours, s.latitudeDeg, s.longitudeDeg, s.utcSeconds,
                     s.groundSpeedKt, s.trackDeg, s.verticalSpeedFpm, s.courseDeg}) {
      if (!std::isfinite(v)) return false;
    }
    if (std::fabs(s.latitudeDeg) > 90 || std::fabs(s.longitudeDeg) > 180) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name = "fuzz.track";
  const auto read = quarn::ReadFlightBytes(std::span(data, size), name);
  if (read.ok() ? !Sound(read->flight) : read.error().message.rfind(name, 0) != 0) {
    __builtin_trap();
  }
  return 0;
}

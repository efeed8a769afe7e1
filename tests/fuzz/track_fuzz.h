#pragma once
// What the GPX and KML readers must give over any text: a dated flight of the format
// whose samples are finite, on the globe and in time order, with its pieces of track
// starting inside it; or an error that names the file.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/flight.h"

namespace quarn::fuzz {

inline bool Finite(const FlightSample& s) {
  for (double v : {s.altitudeFt, s.timeHours, s.latitudeDeg, s.longitudeDeg, s.pitchDeg, s.bankDeg,
                   s.verticalSpeedFpm, s.courseDeg, s.groundSpeedKt, s.trackDeg, s.utcSeconds}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

inline bool SoundDatedTrack(const Flight& flight, std::string_view format) {
  if (flight.format != format || flight.samples.empty()) return false;
  if (flight.sampleCount() > kMaxImportedSamples || !flight.date) return false;
  for (std::size_t i = 0; i < flight.samples.size(); ++i) {
    const FlightSample& s = flight.samples[i];
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

// Reads the bytes as text of the format under the name "fuzz.<format>" and traps on
// anything unsound.
template <typename Reader>
int FuzzDatedTrackReader(const std::uint8_t* data, std::size_t size, const std::string& format,
                         Reader read) {
  const std::string name = "fuzz." + format;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto result = read(text, name);
  if (result.ok() ? !SoundDatedTrack(result->flight, format)
                  : result.error().message.rfind(name, 0) != 0) {
    __builtin_trap();
  }
  return 0;
}

}  // namespace quarn::fuzz

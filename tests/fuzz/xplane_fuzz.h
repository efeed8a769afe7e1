#pragma once
// What every X-Plane data file reader must give over any bytes taken as text, as they
// are and after a header line of one of its versions: every record on the globe with
// finite values where it has them, and every problem naming the file.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "navaid/navaid_source.h"

namespace quarn::fuzz {

inline bool OnTheGlobe(double latitude, double longitude) {
  return std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180;
}

// Unknown, or a finite value within [low, high].
inline bool UnknownOrWithin(double value, double low, double high) {
  return std::isnan(value) || (value >= low && value <= high);
}

inline void CheckSourceRead(const SourceRead& read) {
  for (const std::string& problem : read.problems) {
    if (problem.rfind("fuzz.dat, line ", 0) != 0) __builtin_trap();
  }
  for (const SourcedNavaid& r : read.records) {
    if (!OnTheGlobe(r.latitudeDeg, r.longitudeDeg) || r.line < 1) __builtin_trap();
    if (!UnknownOrWithin(r.frequency, 0, 2000) || !UnknownOrWithin(r.headingTrueDeg, 0, 360)) {
      __builtin_trap();
    }
    if (std::isnan(r.endLatitudeDeg) != std::isnan(r.endLongitudeDeg) ||
        (!std::isnan(r.endLatitudeDeg) && !OnTheGlobe(r.endLatitudeDeg, r.endLongitudeDeg))) {
      __builtin_trap();
    }
    if (!std::isnan(r.glideSlopeDeg) &&
        !OnTheGlobe(r.glideSlopeLatitudeDeg, r.glideSlopeLongitudeDeg)) {
      __builtin_trap();
    }
    if (std::isinf(r.elevationFt) || std::isinf(r.lengthM) || std::isinf(r.widthM)) {
      __builtin_trap();
    }
  }
}

// Reads the bytes as they are, and after one of the version headers (chosen by the
// input's size), checking what the reader gives each time.
template <typename Reader>
int FuzzXPlaneFile(const std::uint8_t* data, std::size_t size, Reader read,
                   std::span<const char* const> headers) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckSourceRead(read(text, "fuzz.dat"));
  CheckSourceRead(
      read(std::string(headers[size % headers.size()]) + std::string(text), "fuzz.dat"));
  return 0;
}

}  // namespace quarn::fuzz

// libFuzzer target: the X-Plane apt.dat reader over a byte buffer taken as text, as it
// is and after a header of each version. Every record is on the globe with finite
// values where it has them, and every problem names the file.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "navaid/xplane_apt.h"

namespace {

bool OnTheGlobe(double latitude, double longitude) {
  return std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180;
}

// Unknown, or a finite value within [low, high].
bool UnknownOrWithin(double value, double low, double high) {
  return std::isnan(value) || (value >= low && value <= high);
}

void Check(std::string_view text) {
  const quarn::SourceRead read = quarn::ReadXPlaneApt(text, "fuzz.dat");
  for (const std::string& problem : read.problems) {
    if (problem.rfind("fuzz.dat, line ", 0) != 0) __builtin_trap();
  }
  for (const quarn::SourcedNavaid& r : read.records) {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Check(text);
  constexpr const char* kHeaders[] = {"I\\n1000 Version\\n", "I\\n1100 Version\\n",
                                      "A\\n1200 Version\\n"};
  Check(std::string(kHeaders[size % std::size(kHeaders)]) + std::string(text));
  return 0;
}

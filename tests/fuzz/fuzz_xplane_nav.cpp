// libFuzzer target: the X-Plane earth_nav.dat reader over a byte buffer taken as text, as
// it is and after a header line of each version it reads (see xplane_fuzz.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/xplane_fuzz.h"
#include "navaid/xplane_nav.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr const char* kHeaders[] = {"I\n810 Version\n", "I\n1100 Version\n",
                                             "I\n1150 Version\n", "I\n1200 Version\n"};
  return quarn::fuzz::FuzzXPlaneFile(
      data, size,
      [](std::string_view text, const std::string& name) {
        return quarn::ReadXPlaneNav(text, name);
      },
      kHeaders);
}

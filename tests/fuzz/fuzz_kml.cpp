// libFuzzer target: the KML reader over any text. It gives a flight whose samples
// are in time order on the globe, or an error that names the file (see track_fuzz.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/track_fuzz.h"
#include "record/kml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quarn::fuzz::FuzzDatedTrackReader(
      data, size, "kml",
      [](std::string_view text, const std::string& name) { return quarn::ReadKml(text, name); });
}

// libFuzzer target: the delimited-text reader over a byte buffer taken as text,
// with no column map and with a small fixed one, and the header helpers. A read
// either fails with a message naming the file or gives a flight whose samples are
// on the globe, finite and in increasing time.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "record/delimited_reader.h"

namespace {

// Names the columns of the seed files have and some they do not.
constexpr const char* kColumnMap =
    R"({"Zeit": {"channel": "timestamp", "unit": "ms"}, "Breite": {"channel": "latitude"},)"
    R"( "Laenge": {"channel": "longitude", "unit": "rad"}, "Hoehe": {"channel": "altitude",)"
    R"( "unit": "m"}, "Fahrt": {"channel": "groundspeed", "unit": "km/h"}})";

bool SoundSample(const quarn::FlightSample& s) {
  const double values[] = {s.altitudeFt, s.groundSpeedKt, s.trackDeg,  s.verticalSpeedFpm,
                           s.iasKt,      s.tasKt,         s.courseDeg, s.pitchDeg,
                           s.bankDeg,    s.gear1,         s.onGround,  s.utcSeconds};
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return std::fabs(s.latitudeDeg) <= 90 && std::fabs(s.longitudeDeg) <= 180;
}

void Check(std::string_view text, const std::string& map) {
  const auto read = quarn::ReadDelimited(text, "fuzz.csv", map);
  if (!read) {
    if (read.error().message.rfind("fuzz.csv", 0) != 0) __builtin_trap();
    return;
  }
  const quarn::Flight& f = read->flight;
  if (f.samples.empty() || f.format != "csv") __builtin_trap();
  for (std::size_t i = 0; i < f.samples.size(); ++i) {
    if (!SoundSample(f.samples[i])) __builtin_trap();
    if (i > 0 && !(f.samples[i].utcSeconds > f.samples[i - 1].utcSeconds)) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)quarn::LooksLikeDelimited(text);
  (void)quarn::DelimitedColumnNames(text);
  Check(text, "");
  Check(text, kColumnMap);
  return 0;
}

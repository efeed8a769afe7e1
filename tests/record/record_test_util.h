#pragma once
// Helpers of the record tests: a scratch directory, crafted flights and whole files.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/flight_record_writer.h"

namespace quarn::testing {

// A fresh directory that is removed with everything in it; it is the current
// directory while the object lives.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quarn_record_XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline bool WriteWholeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

// One sample a second from a start time, altitudes in feet; the rest of the
// flight conditions follow simple patterns so every column carries a value.
struct CraftedFlight {
  int startHours = 10;
  int startMinutes = 0;
  int startSeconds = 0;
  std::vector<double> altitudesFt;
};

inline SampleValues CraftedSample(int index, int hours, int minutes, int seconds, double altitude) {
  SampleValues v;
  v.hours = hours;
  v.minutes = minutes;
  v.seconds = seconds;
  v.latitudeDeg = 40.5 + 0.001 * index;
  v.longitudeDeg = -3.5 - 0.001 * index;
  v.altitudeFt = altitude;
  v.pitchDeg = (index % 5) - 2.0;
  v.bankDeg = (index % 7) - 3.0;
  v.headingDeg = 270.0;
  v.tasKt = 100.0 + index;
  v.iasKt = 90.0 + index;
  v.fuelPercent[0] = 80.0 - 0.1 * index;
  v.fuelPercent[1] = 60.0;
  v.fuelPercent[2] = 79.0 - 0.1 * index;
  v.fuelPercent[3] = 59.0;
  v.gearDown[0] = v.gearDown[1] = v.gearDown[2] = true;
  return v;
}

inline std::vector<SampleValues> MakeCraftedFlight(const CraftedFlight& f) {
  std::vector<SampleValues> out;
  int t = f.startHours * 3600 + f.startMinutes * 60 + f.startSeconds;
  for (std::size_t i = 0; i < f.altitudesFt.size(); ++i, ++t) {
    const int wrapped = t % 86400;
    out.push_back(CraftedSample(static_cast<int>(i), wrapped / 3600, wrapped / 60 % 60,
                                wrapped % 60, f.altitudesFt[i]));
  }
  return out;
}

// A circuit: on the ground, a climb, a descent and a roll-out on the ground.
inline std::vector<double> CircuitAltitudes(int ground = 15, int climb = 10, int descent = 10,
                                            int rollout = 15) {
  std::vector<double> alt(static_cast<std::size_t>(ground), 0.0);
  for (int i = 1; i <= climb; ++i) alt.push_back(100.0 * i);
  for (int i = descent - 1; i >= 0; --i) alt.push_back(100.0 * climb * i / descent);
  alt.insert(alt.end(), static_cast<std::size_t>(rollout), 0.0);
  return alt;
}

// The circuit with the gear all up for samples 0-4 and 21-30, gear 1 alone down
// for samples 5-7, gear 3 up at sample 40, and all down otherwise.
inline std::vector<SampleValues> GearFlight() {
  auto samples = MakeCraftedFlight({10, 0, 0, CircuitAltitudes()});
  for (std::size_t i = 0; i < samples.size(); ++i) {
    bool down[3] = {true, true, true};
    if (i < 5 || (i >= 21 && i < 31)) {
      down[0] = down[1] = down[2] = false;
    } else if (i < 8) {
      down[1] = down[2] = false;
    } else if (i == 40) {
      down[2] = false;
    }
    for (std::size_t g = 0; g < 3; ++g) samples[i].gearDown[g] = down[g];
  }
  return samples;
}

}  // namespace quarn::testing

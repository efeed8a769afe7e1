#pragma once
// Writes flight records: 80-byte samples from physical values or from raw words.
// Shared by the tests and by the example-data generator in tools/.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "record/record_format.h"

namespace quarn::testing {

// One sample in physical units, as the simulator flew it.
struct SampleValues {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double altitudeFt = 0;
  double pitchDeg = 0;  // positive nose up
  double bankDeg = 0;
  double headingDeg = 0;  // 0 .. 360
  double tasKt = 0;
  double iasKt = 0;
  double fuelPercent[4] = {0, 0, 0, 0};  // left, left aux, right, right aux
  bool gearDown[3] = {false, false, false};
};

RawRecord ToRawRecord(const SampleValues& v);
std::array<std::uint8_t, kRecordSize> EncodeRecord(const RawRecord& r);

std::vector<std::uint8_t> EncodeRecords(const std::vector<RawRecord>& records);
std::vector<std::uint8_t> EncodeSamples(const std::vector<SampleValues>& samples);

// Writes bytes to a file; false when it cannot be written.
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace quarn::testing

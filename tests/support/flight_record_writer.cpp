#include "support/flight_record_writer.h"

#include <cmath>
#include <cstdio>

namespace quarn::testing {
namespace {

constexpr double kTwoTo32 = 4294967296.0;

// Sign-and-magnitude 64-bit value for positions: whole part toward zero, the
// fraction subtracted for negative whole parts. Values between -1 and 0 units
// cannot be stored that way and are written as 0.
void EncodeSignMagnitude(double units, std::int32_t& whole, std::uint32_t& fraction) {
  const double w = std::trunc(units);
  if (units < 0 && w == 0) {
    whole = 0;
    fraction = 0;
    return;
  }
  whole = static_cast<std::int32_t>(w);
  fraction = static_cast<std::uint32_t>(std::fabs(units - w) * kTwoTo32);
}

std::int32_t AngleWord(double deg) {
  double d = std::fmod(deg, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return static_cast<std::int32_t>(std::llround(d / kAngleUnitDeg));
}

std::uint32_t UnsignedWord(double value, double unit) {
  if (value <= 0) return 0;
  return static_cast<std::uint32_t>(std::llround(value / unit));
}

void Put16(std::uint8_t* p, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  p[0] = static_cast<std::uint8_t>(u);
  p[1] = static_cast<std::uint8_t>(u >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t u) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

}  // namespace

RawRecord ToRawRecord(const SampleValues& v) {
  RawRecord r;
  r.hours = static_cast<std::int16_t>(v.hours);
  r.minutes = static_cast<std::int16_t>(v.minutes);
  r.seconds = static_cast<std::int16_t>(v.seconds);
  EncodeSignMagnitude(v.latitudeDeg / kLatitudeUnitDeg, r.latitudeWhole, r.latitudeFraction);
  EncodeSignMagnitude(v.longitudeDeg / kLongitudeUnitDeg, r.longitudeWhole, r.longitudeFraction);
  const double metres = v.altitudeFt / kFeetPerMetre;
  const double whole = std::floor(metres);
  r.altitudeWhole = static_cast<std::int32_t>(whole);
  r.altitudeFraction = static_cast<std::uint32_t>((metres - whole) * kTwoTo32);
  r.pitch = -AngleWord(v.pitchDeg);  // the file holds the pitch with the opposite sign
  r.bank = AngleWord(v.bankDeg);
  r.heading = AngleWord(v.headingDeg);
  r.tas = UnsignedWord(v.tasKt, kKnotsPerSpeedUnit);
  r.ias = UnsignedWord(v.iasKt, kKnotsPerSpeedUnit);
  r.fuelLeft = UnsignedWord(v.fuelPercent[0], kPercentPerTankUnit);
  r.fuelLeftAux = UnsignedWord(v.fuelPercent[1], kPercentPerTankUnit);
  r.fuelRight = UnsignedWord(v.fuelPercent[2], kPercentPerTankUnit);
  r.fuelRightAux = UnsignedWord(v.fuelPercent[3], kPercentPerTankUnit);
  for (int i = 0; i < 3; ++i) r.gear[i] = v.gearDown[i] ? 1 : 0;
  return r;
}

std::array<std::uint8_t, kRecordSize> EncodeRecord(const RawRecord& r) {
  std::array<std::uint8_t, kRecordSize> b{};
  for (int i = 0; i < 4; ++i) Put16(&b[static_cast<std::size_t>(2 * i)], r.reserved[i]);
  Put16(&b[8], r.hours);
  Put16(&b[10], r.minutes);
  Put16(&b[12], r.seconds);
  Put32(&b[14], r.latitudeFraction);
  Put32(&b[18], static_cast<std::uint32_t>(r.latitudeWhole));
  Put32(&b[22], r.longitudeFraction);
  Put32(&b[26], static_cast<std::uint32_t>(r.longitudeWhole));
  Put32(&b[30], r.altitudeFraction);
  Put32(&b[34], static_cast<std::uint32_t>(r.altitudeWhole));
  Put32(&b[38], static_cast<std::uint32_t>(r.pitch));
  Put32(&b[42], static_cast<std::uint32_t>(r.bank));
  Put32(&b[46], static_cast<std::uint32_t>(r.heading));
  Put32(&b[50], r.tas);
  Put32(&b[54], r.ias);
  Put32(&b[58], r.fuelLeft);
  Put32(&b[62], r.fuelLeftAux);
  Put32(&b[66], r.fuelRight);
  Put32(&b[70], r.fuelRightAux);
  for (int i = 0; i < 3; ++i) Put16(&b[static_cast<std::size_t>(74 + 2 * i)], r.gear[i]);
  return b;
}

std::vector<std::uint8_t> EncodeRecords(const std::vector<RawRecord>& records) {
  std::vector<std::uint8_t> out;
  out.reserve(records.size() * kRecordSize);
  for (const auto& r : records) {
    const auto b = EncodeRecord(r);
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

std::vector<std::uint8_t> EncodeSamples(const std::vector<SampleValues>& samples) {
  std::vector<RawRecord> raw;
  raw.reserve(samples.size());
  for (const auto& s : samples) raw.push_back(ToRawRecord(s));
  return EncodeRecords(raw);
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace quarn::testing

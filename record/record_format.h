#pragma once
// The flight record file: a plain sequence of 80-byte little-endian records with no
// header. Decoding of one record, shared by the loader and the text export.

#include <cstdint>
#include <span>

#include "base/flight.h"

namespace quarn {

inline constexpr std::size_t kRecordSize = 80;

struct RawRecord {
  std::int16_t reserved[4] = {};
  std::int16_t hours = 0;
  std::int16_t minutes = 0;
  std::int16_t seconds = 0;
  std::uint32_t latitudeFraction = 0;
  std::int32_t latitudeWhole = 0;
  std::uint32_t longitudeFraction = 0;
  std::int32_t longitudeWhole = 0;
  std::uint32_t altitudeFraction = 0;
  std::int32_t altitudeWhole = 0;
  std::int32_t pitch = 0;
  std::int32_t bank = 0;
  std::int32_t heading = 0;
  std::uint32_t tas = 0;
  std::uint32_t ias = 0;
  std::uint32_t fuelLeft = 0;
  std::uint32_t fuelLeftAux = 0;
  std::uint32_t fuelRight = 0;
  std::uint32_t fuelRightAux = 0;
  std::int16_t gear[3] = {};
};

// Scale factors of the record's fields.
inline constexpr double kLatitudeUnitDeg = 8.998425275576774e-06;   // 90 / 10001750
inline constexpr double kLongitudeUnitDeg = 8.381903171539307e-08;  // 360 / 2^32
inline constexpr double kAngleUnitDeg = 8.381903171539307e-08;      // 360 / 2^32
inline constexpr double kFeetPerMetre = 3.28084;
inline constexpr double kKnotsPerSpeedUnit = 0.007593142548596113;     // (m/s x 256) to knots
inline constexpr double kPercentPerTankUnit = 1.1920928955078125e-05;  // 100 / 2^23
inline constexpr double kHoursPerMinute = 0.016666666666666666;
inline constexpr double kHoursPerSecond = 0.0002777777777777778;

RawRecord ParseRawRecord(std::span<const std::uint8_t, kRecordSize> bytes);

double LatitudeDeg(const RawRecord& r);
double LongitudeDeg(const RawRecord& r);
double AltitudeMetres(const RawRecord& r);
double AltitudeFt(const RawRecord& r);
double PitchDeg(const RawRecord& r);  // sign inverted
double BankDeg(const RawRecord& r);
double SignedHeadingDeg(const RawRecord& r);  // -180 .. +180
double TasKt(const RawRecord& r);
double IasKt(const RawRecord& r);
double TankPercent(std::uint32_t word);
double TimeHours(const RawRecord& r);
inline bool GearDown(std::int16_t word) {
  return word != 0;
}

// One sample as the table holds it; the vertical speed is left 0 for the loader.
FlightSample ToSample(const RawRecord& r);

}  // namespace quarn

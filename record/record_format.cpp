#include "record/record_format.h"

#include "platform/byte_reader.h"

namespace quarn {
namespace {

constexpr double kTwoToMinus32 = 1.0 / 4294967296.0;

// The whole word with its fraction; for negative whole words the fraction is
// subtracted, as the recorder's positions are sign-and-magnitude.
double SignMagnitude64(std::int32_t whole, std::uint32_t fraction) {
  const double f = fraction * kTwoToMinus32;
  return whole >= 0 ? whole + f : whole - f;
}

}  // namespace

RawRecord ParseRawRecord(std::span<const std::uint8_t, kRecordSize> bytes) {
  const ByteReader in(bytes);
  RawRecord r;
  for (int i = 0; i < 4; ++i) r.reserved[i] = in.I16(2 * i);
  r.hours = in.I16(8);
  r.minutes = in.I16(10);
  r.seconds = in.I16(12);
  r.latitudeFraction = in.U32(14);
  r.latitudeWhole = in.I32(18);
  r.longitudeFraction = in.U32(22);
  r.longitudeWhole = in.I32(26);
  r.altitudeFraction = in.U32(30);
  r.altitudeWhole = in.I32(34);
  r.pitch = in.I32(38);
  r.bank = in.I32(42);
  r.heading = in.I32(46);
  r.tas = in.U32(50);
  r.ias = in.U32(54);
  r.fuelLeft = in.U32(58);
  r.fuelLeftAux = in.U32(62);
  r.fuelRight = in.U32(66);
  r.fuelRightAux = in.U32(70);
  for (int i = 0; i < 3; ++i) r.gear[i] = in.I16(74 + 2 * i);
  return r;
}

double LatitudeDeg(const RawRecord& r) {
  return SignMagnitude64(r.latitudeWhole, r.latitudeFraction) * kLatitudeUnitDeg;
}

double LongitudeDeg(const RawRecord& r) {
  return SignMagnitude64(r.longitudeWhole, r.longitudeFraction) * kLongitudeUnitDeg;
}

// The altitude is a plain fixed-point number: the fraction is always added.
double AltitudeMetres(const RawRecord& r) {
  return r.altitudeWhole + r.altitudeFraction * kTwoToMinus32;
}

double AltitudeFt(const RawRecord& r) {
  return AltitudeMetres(r) * kFeetPerMetre;
}

double PitchDeg(const RawRecord& r) {
  return -(r.pitch * kAngleUnitDeg);
}

double BankDeg(const RawRecord& r) {
  return r.bank * kAngleUnitDeg;
}

double SignedHeadingDeg(const RawRecord& r) {
  return r.heading * kAngleUnitDeg;
}

double TasKt(const RawRecord& r) {
  return r.tas * kKnotsPerSpeedUnit;
}

double IasKt(const RawRecord& r) {
  return r.ias * kKnotsPerSpeedUnit;
}

double TankPercent(std::uint32_t word) {
  return word * kPercentPerTankUnit;
}

double TimeHours(const RawRecord& r) {
  return r.hours + r.minutes * kHoursPerMinute + r.seconds * kHoursPerSecond;
}

FlightSample ToSample(const RawRecord& r) {
  FlightSample s;
  s.altitudeFt = AltitudeFt(r);
  s.timeHours = TimeHours(r);
  s.latitudeDeg = LatitudeDeg(r);
  s.longitudeDeg = LongitudeDeg(r);
  s.pitchDeg = PitchDeg(r);
  s.bankDeg = BankDeg(r);
  s.tasKt = TasKt(r);
  s.iasKt = IasKt(r);
  s.verticalSpeedFpm = 0;
  s.gear1 = GearDown(r.gear[0]) ? 1.0 : 0.0;
  s.gear2 = GearDown(r.gear[1]) ? 1.0 : 0.0;
  s.gear3 = GearDown(r.gear[2]) ? 1.0 : 0.0;
  s.fuelLeft = TankPercent(r.fuelLeft);
  s.fuelLeftAux = TankPercent(r.fuelLeftAux);
  s.fuelRight = TankPercent(r.fuelRight);
  s.fuelRightAux = TankPercent(r.fuelRightAux);
  double course = SignedHeadingDeg(r);
  if (course < 0) course += 360;
  s.courseDeg = course;
  return s;
}

}  // namespace quarn

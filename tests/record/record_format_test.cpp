#include "record/record_format.h"

#include <gtest/gtest.h>

#include "support/flight_record_writer.h"

namespace quarn {
namespace {

using testing::EncodeRecord;

FlightSample Decode(const RawRecord& r) {
  return ToSample(ParseRawRecord(EncodeRecord(r)));
}

TEST(RecordFormat, PositionsSubtractTheFractionBelowZeroAltitudeAddsIt) {
  RawRecord r;
  r.latitudeWhole = -1;
  r.latitudeFraction = 0x80000000u;
  r.longitudeWhole = -1;
  r.longitudeFraction = 0x80000000u;
  r.altitudeWhole = -1;
  r.altitudeFraction = 0x80000000u;
  const FlightSample s = Decode(r);
  EXPECT_DOUBLE_EQ(s.latitudeDeg, -1.5 * kLatitudeUnitDeg);
  EXPECT_DOUBLE_EQ(s.longitudeDeg, -1.5 * kLongitudeUnitDeg);
  EXPECT_DOUBLE_EQ(s.altitudeFt, -0.5 * 3.28084);

  r.latitudeWhole = 2;
  r.latitudeFraction = 0x40000000u;
  EXPECT_DOUBLE_EQ(Decode(r).latitudeDeg, 2.25 * 8.998425275576774e-06);
}

TEST(RecordFormat, AnglesSpeedsTanksAndGear) {
  const struct {
    std::uint32_t headingWord;
    double course;
  } headings[] = {{0x80000000u, 180.0}, {0x40000000u, 90.0}, {0xC0000000u, 270.0}, {0, 0}};
  for (const auto& h : headings) {
    RawRecord r;
    r.heading = static_cast<std::int32_t>(h.headingWord);
    EXPECT_DOUBLE_EQ(Decode(r).courseDeg, h.course) << std::hex << h.headingWord;
  }
  RawRecord r;
  r.heading = -1;  // 0xFFFFFFFF: just under 360
  EXPECT_LT(Decode(r).courseDeg, 360.0);
  EXPECT_GT(Decode(r).courseDeg, 359.9999);

  r.pitch = 100;  // the sample holds the pitch with the opposite sign
  r.bank = 0x20000000;
  r.tas = 256 * 100;  // 100 m/s
  r.ias = 0;
  r.fuelLeft = 1u << 23;
  r.fuelRightAux = 1u << 22;
  r.gear[0] = 0x0100;
  r.gear[1] = 0;
  r.gear[2] = -1;
  const FlightSample s = Decode(r);
  EXPECT_DOUBLE_EQ(s.pitchDeg, -100 * 8.381903171539307e-08);
  EXPECT_DOUBLE_EQ(s.bankDeg, 45.0);
  EXPECT_NEAR(s.tasKt, 194.384, 0.001);
  EXPECT_DOUBLE_EQ(s.fuelLeft, 100.0);
  EXPECT_DOUBLE_EQ(s.fuelRightAux, 50.0);
  EXPECT_EQ(s.gear1, 1.0);
  EXPECT_EQ(s.gear2, 0.0);
  EXPECT_EQ(s.gear3, 1.0);
}

TEST(RecordFormat, TimeIsNotWrapped) {
  RawRecord r;
  r.hours = 25;
  r.minutes = 30;
  r.seconds = 36;
  EXPECT_DOUBLE_EQ(Decode(r).timeHours,
                   25 + 30 * 0.016666666666666666 + 36 * 0.0002777777777777778);
  r.hours = -1;  // no field is range-checked
  r.minutes = 0;
  r.seconds = 0;
  EXPECT_DOUBLE_EQ(Decode(r).timeHours, -1.0);
}

TEST(RecordFormat, WriterRoundTripsPhysicalValues) {
  testing::SampleValues v;
  v.hours = 9;
  v.minutes = 5;
  v.seconds = 3;
  v.latitudeDeg = 52.3;
  v.longitudeDeg = -4.7;
  v.altitudeFt = 1234.5;
  v.pitchDeg = 7.5;
  v.bankDeg = -20;
  v.headingDeg = 270;
  v.tasKt = 150;
  v.iasKt = 140;
  v.fuelPercent[1] = 42;
  v.gearDown[2] = true;
  const FlightSample s = Decode(testing::ToRawRecord(v));
  EXPECT_NEAR(s.latitudeDeg, 52.3, 1e-5);
  EXPECT_NEAR(s.longitudeDeg, -4.7, 1e-6);
  EXPECT_NEAR(s.altitudeFt, 1234.5, 1e-6);
  EXPECT_NEAR(s.pitchDeg, 7.5, 1e-6);
  EXPECT_NEAR(s.bankDeg, -20, 1e-6);
  EXPECT_NEAR(s.courseDeg, 270, 1e-6);
  EXPECT_NEAR(s.tasKt, 150, 0.01);
  EXPECT_NEAR(s.fuelLeftAux, 42, 1e-4);
  EXPECT_EQ(s.gear3, 1.0);
}

}  // namespace
}  // namespace quarn

#include "record/igc_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>

#include "record/flight_reader.h"
#include "record/text_input.h"
#include "record_test_util.h"

namespace quarn {
namespace {

constexpr double kFeetPerMetre = 1 / 0.3048;
constexpr double kKnotsPerKmh = 1 / 1.852;

std::string IgcFile(const std::string& file) {
  return testing::ReadWholeFile(std::filesystem::path(QUARN_TEST_DATA_DIR) / "igc" / file);
}

// A fix with the fixed fields only, in the northern and eastern hemispheres.
std::string Fix(const std::string& time, const std::string& lat = "5206123",
                const std::string& lon = "00432456", const std::string& altitudes = "0012300145") {
  return "B" + time + lat + "N" + lon + "EA" + altitudes;
}

TEST(IgcReaderTest, ReadsFixesHeadersAndExtensions) {
  const auto read = ReadIgc(IgcFile("basic.igc"), "basic.igc");
  ASSERT_TRUE(read) << read.error().message;
  const Flight& f = read->flight;
  EXPECT_EQ(f.format, "igc");
  EXPECT_EQ(f.pilot, "Jane Doe");
  EXPECT_EQ(f.aircraft, "ASK 21");
  EXPECT_EQ(f.callsign, "D-1234");
  ASSERT_EQ(f.sampleCount(), 4);
  EXPECT_EQ(f.date, (CivilDate{2021, 6, 15}));
  EXPECT_EQ(IsoTimeText(f.samples[0].utcSeconds), "2021-06-15T09:30:00Z");
  EXPECT_DOUBLE_EQ(f.samples[0].latitudeDeg, 52 + 6.123 / 60);
  EXPECT_DOUBLE_EQ(f.samples[0].longitudeDeg, 4 + 32.456 / 60);
  EXPECT_DOUBLE_EQ(f.samples[2].latitudeDeg, -(52 + 6.3 / 60));
  EXPECT_DOUBLE_EQ(f.samples[2].longitudeDeg, -(4 + 32.6 / 60));
  // Pressure altitude where it is not zero, else GNSS; negative ones too.
  EXPECT_NEAR(f.samples[0].altitudeFt, 123 * kFeetPerMetre, 1e-9);
  EXPECT_NEAR(f.samples[1].altitudeFt, 150 * kFeetPerMetre, 1e-9);
  EXPECT_NEAR(f.samples[2].altitudeFt, -12 * kFeetPerMetre, 1e-9);
  EXPECT_NEAR(f.samples[0].iasKt, 93 * kKnotsPerKmh, 1e-9);
  EXPECT_NEAR(f.samples[0].tasKt, 100 * kKnotsPerKmh, 1e-9);
  EXPECT_DOUBLE_EQ(f.samples[0].courseDeg, 270);
  // Blank extension values are missing and filled from the fix before.
  EXPECT_NEAR(f.samples[2].iasKt, 95 * kKnotsPerKmh, 1e-9);
  EXPECT_DOUBLE_EQ(f.samples[2].courseDeg, 271);
  EXPECT_NEAR(f.samples[3].tasKt, 104 * kKnotsPerKmh, 1e-9);
  for (Channel c : {Channel::Altitude, Channel::Ias, Channel::Tas, Channel::Heading}) {
    EXPECT_EQ(f.channels[c], ChannelState::Recorded) << ChannelName(c);
  }
  EXPECT_EQ(f.channels[Channel::GroundSpeed], ChannelState::Derived);
  EXPECT_EQ(f.channels[Channel::Pitch], ChannelState::Absent);
}

TEST(IgcReaderTest, CrossesMidnightAndHandlesInvalidFixes) {
  const auto read = ReadIgc(IgcFile("midnight_long_date.igc"), "night.igc");
  ASSERT_TRUE(read) << read.error().message;
  const Flight& f = read->flight;
  EXPECT_EQ(f.pilot, "John Smith");
  EXPECT_EQ(f.date, (CivilDate{1999, 12, 31}));
  // The V fix at 0°N 0°E is a logger without a position: left out.
  ASSERT_EQ(f.sampleCount(), 4);
  EXPECT_EQ(IsoTimeText(f.samples[0].utcSeconds), "1999-12-31T23:59:58Z");
  EXPECT_EQ(IsoTimeText(f.samples[2].utcSeconds), "2000-01-01T00:00:02Z");
  EXPECT_EQ(IsoTimeText(f.samples[3].utcSeconds), "2000-01-01T00:00:04Z");
  // The V fix keeps its position but not its GNSS altitude.
  EXPECT_NEAR(f.samples[1].latitudeDeg, 45 + 0.1 / 60, 1e-9);
  EXPECT_NEAR(f.samples[1].altitudeFt, 1000 * kFeetPerMetre, 1e-9);
  // A magnetic heading stands in where no true one is declared.
  EXPECT_EQ(f.channels[Channel::Heading], ChannelState::Recorded);
  EXPECT_DOUBLE_EQ(f.samples[2].courseDeg, 182);
}

TEST(IgcReaderTest, ReadsBothDateFormsAndTwoDigitYears) {
  const struct {
    const char* record;
    CivilDate date;
  } cases[] = {
      {"HFDTE150621", {2021, 6, 15}},     {"HFDTEDATE:150621,01", {2021, 6, 15}},
      {"HFDTEDATE:010185", {1985, 1, 1}}, {"HFDTE290280", {1980, 2, 29}},
      {"HFDTE311279", {2079, 12, 31}},
  };
  for (const auto& c : cases) {
    const auto read = ReadIgc("AXXX\n" + std::string(c.record) + "\n" + Fix("120000") + "\n", "d");
    ASSERT_TRUE(read) << c.record << ": " << read.error().message;
    EXPECT_EQ(read->flight.date, c.date) << c.record;
    EXPECT_DOUBLE_EQ(read->flight.samples[0].timeHours, 12) << c.record;
  }
}

TEST(IgcReaderTest, FaultsNameTheFileAndLine) {
  const std::string head = "AXXX\nHFDTE150621\n";
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {head + Fix("120000") + "\n" + Fix("120001").substr(0, 30) + "\n",
       "t.igc, line 4: a B record of 30 bytes, too short"},
      {head + "I013638IAS\n" + Fix("120000") + "\n", "t.igc, line 4: a B record of 35 bytes"},
      {"AXXX\n" + Fix("120000") + "\nHFDTE150621\n", "t.igc, line 2: a fix before the date"},
      {"AXXX\nHFDTE310621\n" + Fix("120000") + "\n", "t.igc, line 2: unreadable date"},
      {head + Fix("120000", "52X6123") + "\n", "t.igc, line 3: unreadable latitude"},
      {head + Fix("126000") + "\n", "t.igc, line 3: unreadable time of day"},
      {head + "I013633IAS\n", "t.igc, line 3: extension IAS at bytes 36 to 33"},
      {head + "I02363\n", "t.igc, line 3: an I record too short for its 2 extensions"},
      {head + "I013638IAS\n" + Fix("120000") + "1x3\n", "t.igc, line 4: unreadable IAS value"},
      // An hour back is a clock going backwards, not midnight.
      {head + Fix("120000") + "\n" + Fix("110000") + "\n", "t.igc, line 4: the time goes back"},
      {head + Fix("120000", "9106123") + "\n", "t.igc, line 3: latitude 91.1"},
      {head, "t.igc: no track point"},
  };
  for (const auto& c : cases) {
    const auto read = ReadIgc(c.text, "t.igc");
    ASSERT_FALSE(read) << c.text;
    EXPECT_EQ(read.error().message.rfind(c.message, 0), 0u)
        << read.error().message << "\n  expected: " << c.message;
  }
}

TEST(IgcReaderTest, TheRegistryReadsIgcByContent) {
  const std::string text = IgcFile("basic.igc");
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  const auto read = ReadFlightBytes(bytes, "flight.log");
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(read->flight.format, "igc");
  EXPECT_EQ(read->flight.recordPath, "flight.log");
  EXPECT_EQ(read->flight.sampleCount(), 4);
}

}  // namespace
}  // namespace quarn

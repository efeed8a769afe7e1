#include "record/delimited_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "record/flight_reader.h"
#include "record/text_input.h"
#include "record_test_util.h"

namespace quarn {
namespace {

constexpr double kFeetPerMetre = 1 / 0.3048;
constexpr double kKnotsPerMetrePerSecond = 3600 / 1852.0;
constexpr double kFpmPerMetrePerSecond = 60 / 0.3048;

std::string CsvFile(const std::string& file) {
  return testing::ReadWholeFile(std::filesystem::path(QUARN_TEST_DATA_DIR) / "csv" / file);
}

const std::string kSharedCsv =
    std::string(QUARN_SHARED_TESTDATA_DIR) + "/real-world/belevingsvlucht_EHAM_rwy06_final.csv";

Result<LoadedFlight> ReadThroughRegistry(const std::string& text, const std::string& name) {
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return ReadFlightBytes(bytes, name);
}

TEST(DelimitedReaderTest, ReadsOpenSkyStateVectorsInTheirUnits) {
  const auto read = ReadDelimited(CsvFile("opensky_states.csv"), "states.csv", "");
  ASSERT_TRUE(read) << read.error().message;
  const Flight& f = read->flight;
  ASSERT_EQ(f.sampleCount(), 3);
  EXPECT_EQ(f.format, "csv");
  EXPECT_EQ(f.callsign, "KLM1234");
  EXPECT_EQ(f.aircraft, "4ca7b1");
  EXPECT_EQ(f.date, (CivilDate{2021, 10, 4}));
  EXPECT_DOUBLE_EQ(f.samples[1].utcSeconds, 1633331560);
  EXPECT_NEAR(f.samples[1].groundSpeedKt, 100 * kKnotsPerMetrePerSecond, 1e-9);
  EXPECT_NEAR(f.samples[1].verticalSpeedFpm, -5 * kFpmPerMetrePerSecond, 1e-9);
  // OpenSky's heading is the track; the heading is derived from it.
  EXPECT_DOUBLE_EQ(f.samples[1].trackDeg, 90);
  EXPECT_DOUBLE_EQ(f.samples[1].courseDeg, 90);
  EXPECT_EQ(f.channels[Channel::Track], ChannelState::Recorded);
  EXPECT_EQ(f.channels[Channel::Heading], ChannelState::Derived);
  // Barometric altitude, the geometric one where it is empty, the first filled.
  EXPECT_NEAR(f.samples[0].altitudeFt, 1000 * kFeetPerMetre, 1e-9);
  EXPECT_NEAR(f.samples[1].altitudeFt, 1000 * kFeetPerMetre, 1e-9);
  EXPECT_NEAR(f.samples[2].altitudeFt, 1020 * kFeetPerMetre, 1e-9);
  EXPECT_EQ(f.samples[0].onGround, 1);
  EXPECT_EQ(f.samples[1].onGround, 0);
  EXPECT_EQ(f.samples[2].onGround, 0);
}

TEST(DelimitedReaderTest, ReadsTrafficNamesWithThisProgramsChannels) {
  const auto read = ReadDelimited(CsvFile("traffic_export.csv"), "export.csv", "");
  ASSERT_TRUE(read) << read.error().message;
  const Flight& f = read->flight;
  ASSERT_EQ(f.sampleCount(), 3);
  EXPECT_EQ(f.callsign, "TRA051");
  EXPECT_EQ(f.aircraft, "484506");
  EXPECT_EQ(IsoTimeText(f.samples[1].utcSeconds), "2021-10-04T07:12:31Z");
  const FlightSample& s = f.samples[1];
  EXPECT_DOUBLE_EQ(s.latitudeDeg, 52.3005);
  EXPECT_DOUBLE_EQ(s.altitudeFt, 1488);
  EXPECT_DOUBLE_EQ(s.groundSpeedKt, 139);
  EXPECT_DOUBLE_EQ(s.trackDeg, 57.6);
  EXPECT_DOUBLE_EQ(s.verticalSpeedFpm, -710);
  EXPECT_DOUBLE_EQ(s.iasKt, 134);
  EXPECT_DOUBLE_EQ(s.tasKt, 137);
  EXPECT_DOUBLE_EQ(s.courseDeg, 60.5);
  EXPECT_DOUBLE_EQ(s.pitchDeg, -2.6);
  EXPECT_DOUBLE_EQ(s.bankDeg, 1.0);
  EXPECT_DOUBLE_EQ(s.gear1, 0.5);
  for (int c = 0; c < kChannelCount; ++c) {
    const auto channel = static_cast<Channel>(c);
    const auto expected = channel == Channel::Fuel ? ChannelState::Absent : ChannelState::Recorded;
    EXPECT_EQ(f.channels[channel], expected) << ChannelName(channel);
  }
}

TEST(DelimitedReaderTest, ReadsXPlaneDataOutputWithoutADate) {
  const auto read = ReadDelimited(CsvFile("xplane_data.txt"), "Data.txt", "");
  ASSERT_TRUE(read) << read.error().message;
  const Flight& f = read->flight;
  ASSERT_EQ(f.sampleCount(), 3);
  EXPECT_FALSE(f.date.has_value());
  EXPECT_DOUBLE_EQ(f.samples[2].utcSeconds, 122.5);
  const FlightSample& s = f.samples[1];
  EXPECT_DOUBLE_EQ(s.iasKt, 65);
  EXPECT_DOUBLE_EQ(s.tasKt, 66);
  EXPECT_DOUBLE_EQ(s.groundSpeedKt, 64);
  EXPECT_DOUBLE_EQ(s.pitchDeg, 8);
  EXPECT_DOUBLE_EQ(s.bankDeg, -1.5);
  EXPECT_DOUBLE_EQ(s.courseDeg, 257);  // true, not magnetic
  EXPECT_DOUBLE_EQ(s.latitudeDeg, 34.095);
  EXPECT_DOUBLE_EQ(s.longitudeDeg, -118.254);
  EXPECT_DOUBLE_EQ(s.altitudeFt, 330);  // above sea level, not the ground
  EXPECT_EQ(f.samples[0].onGround, 1);
  EXPECT_EQ(s.onGround, 0);
  EXPECT_EQ(f.channels[Channel::VerticalRate], ChannelState::Derived);
  EXPECT_EQ(f.channels[Channel::Track], ChannelState::Derived);
}

TEST(DelimitedReaderTest, AColumnMapSaysWhatColumnsHoldAndInWhatUnit) {
  const std::string map = R"({"Zeit": {"channel": "timestamp", "unit": "ms"},
    "Breite": {"channel": "latitude"}, "Laenge": {"channel": "longitude", "unit": "deg"},
    "Hoehe": {"channel": "altitude", "unit": "m"}, "Fahrt": {"channel": "groundspeed",
    "unit": "km/h"}, "Steigen": {"channel": "vertical_rate", "unit": "m/s"}})";
  const auto read = ReadDelimited(CsvFile("mapped_logger.csv"), "logger.csv", map);
  ASSERT_TRUE(read) << read.error().message;
  const FlightSample& s = read->flight.samples[0];
  EXPECT_DOUBLE_EQ(s.utcSeconds, 1633331550);
  EXPECT_DOUBLE_EQ(s.latitudeDeg, 47.5);
  EXPECT_NEAR(s.altitudeFt, 1000 * kFeetPerMetre, 1e-9);
  EXPECT_NEAR(s.groundSpeedKt, 180 / 1.852, 1e-9);
  EXPECT_NEAR(s.verticalSpeedFpm, 2 * kFpmPerMetrePerSecond, 1e-9);

  // A map overrides what a known name would say; the other columns keep theirs.
  const std::string text = "timestamp,latitude,longitude,altitude,tas\n1000000000,1,2,100,90\n";
  const auto metres =
      ReadDelimited(text, "m.csv", R"({"altitude": {"channel": "altitude", "unit": "m"}})");
  ASSERT_TRUE(metres) << metres.error().message;
  EXPECT_NEAR(metres->flight.samples[0].altitudeFt, 100 * kFeetPerMetre, 1e-9);
  EXPECT_DOUBLE_EQ(metres->flight.samples[0].tasKt, 90);
  const auto moved = ReadDelimited(text, "m.csv", R"({"altitude": {"channel": "ias"}})");
  ASSERT_TRUE(moved) << moved.error().message;
  EXPECT_EQ(moved->flight.channels[Channel::Altitude], ChannelState::Absent);
  EXPECT_DOUBLE_EQ(moved->flight.samples[0].iasKt, 100);
}

TEST(DelimitedReaderTest, ReadsQuotedFieldsWithSeparatorsAndQuotes) {
  const auto read = ReadDelimited(CsvFile("quoted_fields.csv"), "q.csv", "");
  ASSERT_TRUE(read) << read.error().message;
  ASSERT_EQ(read->flight.sampleCount(), 2);
  EXPECT_EQ(read->flight.callsign, "KLM \"12\", heavy");
  EXPECT_DOUBLE_EQ(read->flight.samples[1].latitudeDeg, 52.3413);
  EXPECT_DOUBLE_EQ(read->flight.samples[1].altitudeFt, 7400);
}

TEST(DelimitedReaderTest, ReadsMissingValuesAndOnGroundFlags) {
  const auto read = ReadDelimited(
      "timestamp,latitude,longitude,altitude,onground\n1,1,2,NaN,yes\n2,1,2,100,0.0\n"
      "3,1,2,null,T\n4,1,2,,\n5,1,2,None,FALSE\n",
      "m.csv", "");
  ASSERT_TRUE(read) << read.error().message;
  const auto& s = read->flight.samples;
  ASSERT_EQ(s.size(), 5u);
  const double altitudes[] = {100, 100, 100, 100, 100};
  const double onGround[] = {1, 0, 1, 1, 0};
  for (std::size_t i = 0; i < s.size(); ++i) {
    EXPECT_DOUBLE_EQ(s[i].altitudeFt, altitudes[i]) << i;
    EXPECT_DOUBLE_EQ(s[i].onGround, onGround[i]) << i;
  }
}

TEST(DelimitedReaderTest, TellsTimeFormsApart) {
  const struct {
    const char* cell;
    double utcSeconds;
  } cases[] = {
      {"1527711043", 1527711043},
      {"1527711043.5", 1527711043.5},
      {"1527711043250", 1527711043.25},
      {"2018-05-30T20:10:43Z", 1527711043},
      {"2018-05-30 22:10:43+02:00", 1527711043},
      {"\"2018-05-30T20:10:43.250Z\"", 1527711043.25},
  };
  for (const auto& c : cases) {
    const auto read =
        ReadDelimited("timestamp;latitude;longitude\n" + std::string(c.cell) + ";1;2\n", "t", "");
    ASSERT_TRUE(read) << c.cell << ": " << read.error().message;
    EXPECT_DOUBLE_EQ(read->flight.samples[0].utcSeconds, c.utcSeconds) << c.cell;
  }
}

TEST(DelimitedReaderTest, ReadsTheSharedAdsbTrack) {
  if (!std::filesystem::exists(kSharedCsv)) GTEST_SKIP() << kSharedCsv << " is missing";
  const auto read = ReadThroughRegistry(testing::ReadWholeFile(kSharedCsv), "final.csv");
  ASSERT_TRUE(read) << read.error().message;
  const Flight& f = read->flight;
  EXPECT_EQ(f.format, "csv");
  ASSERT_EQ(f.sampleCount(), 705);
  const FlightSample& s = f.samples[0];
  EXPECT_EQ(IsoTimeText(s.utcSeconds), "2018-05-30T20:10:43Z");
  EXPECT_EQ(IsoTimeText(f.samples.back().utcSeconds), "2018-05-30T20:22:56Z");
  EXPECT_DOUBLE_EQ(s.latitudeDeg, 52.342255);
  EXPECT_DOUBLE_EQ(s.longitudeDeg, 4.403839);
  EXPECT_DOUBLE_EQ(s.altitudeFt, 7425);
  EXPECT_DOUBLE_EQ(s.groundSpeedKt, 237);
  EXPECT_DOUBLE_EQ(s.trackDeg, 212);
  EXPECT_DOUBLE_EQ(s.verticalSpeedFpm, -1536);
  for (Channel c :
       {Channel::Altitude, Channel::GroundSpeed, Channel::Track, Channel::VerticalRate}) {
    EXPECT_EQ(f.channels[c], ChannelState::Recorded) << ChannelName(c);
  }
  EXPECT_EQ(f.channels[Channel::Heading], ChannelState::Derived);
  for (Channel c : {Channel::Ias, Channel::Tas, Channel::Gear, Channel::Roll, Channel::Pitch,
                    Channel::OnGround, Channel::Fuel}) {
    EXPECT_EQ(f.channels[c], ChannelState::Absent) << ChannelName(c);
  }
}

TEST(DelimitedReaderTest, TheRegistryTellsKnownHeadersByContent) {
  for (const char* file :
       {"opensky_states.csv", "traffic_export.csv", "xplane_data.txt", "quoted_fields.csv"}) {
    const auto read = ReadThroughRegistry(CsvFile(file), "flight.txt");
    ASSERT_TRUE(read) << file << ": " << read.error().message;
    EXPECT_EQ(read->flight.format, "csv") << file;
  }
}

TEST(DelimitedReaderTest, ClaimsOnlyHeadersOfKnownLayouts) {
  const std::string longLine(70 * 1024, 'x');
  const struct {
    std::string head;
    bool claimed;
  } cases[] = {
      {"unix_ms,utc,latitude_deg,longitude_deg,baro_altitude_ft\n1,2", true},
      {"time,icao24,lat,lon,velocity\n", true},
      {"\xEF\xBB\xBFTimestamp\tLatitude\tLongitude\r\n", true},
      {"   _real,_time|   __lat,__deg|   __lon,__deg|\n", true},
      {"\"timestamp\";\"latitude\";\"longitude\"", true},
      {"time,lat,altitude\n", false},
      {"name,value,unit\n", false},
      {"timestamp latitude longitude\n", false},
      {"AXXX timestamp,latitude,longitude", false},
      {longLine + ",timestamp,latitude,longitude\n", false},
      {"timestamp,latitude,longitude," + longLine, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LooksLikeDelimited(c.head), c.claimed) << c.head.substr(0, 60);
  }
}

TEST(DelimitedReaderTest, ListsTheHeadersColumnNames) {
  const auto xplane = DelimitedColumnNames(CsvFile("xplane_data.txt"));
  ASSERT_EQ(xplane.size(), 16u);
  EXPECT_EQ(xplane.front(), "_real,_time");
  EXPECT_EQ(xplane.back(), "__lon,_west");
  EXPECT_EQ(DelimitedColumnNames("\n Zeit ;\"Breite; N\";Laenge\n1;2;3\n"),
            (std::vector<std::string>{"Zeit", "Breite; N", "Laenge"}));
  EXPECT_TRUE(DelimitedColumnNames("just one column\n1\n").empty());
}

TEST(DelimitedReaderTest, FaultsNameTheFileAndLine) {
  const std::string head = "timestamp,latitude,longitude,altitude\n";
  const struct {
    std::string text;
    std::string map;
    std::string message;
  } cases[] = {
      {"name,value\n1,2\n", "",
       "e.csv, line 1: no time, latitude and longitude column; a column map can say"},
      {"\n\ntimestamp,altitude\n1,2\n", "", "e.csv, line 3: no latitude and longitude column"},
      {head + "10,95,4,0\n", "", "e.csv, line 2: latitude 95 out of range"},
      {head + "10,1,2,0\n5,1,2,0\n", "", "e.csv, line 3: the time goes back"},
      {head + "10,1,2,0\n11,1,2\n", "", "e.csv, line 3: 3 fields where the header has 4"},
      {head + "10,1,2,abc\n", "", "e.csv, line 2: unreadable value \"abc\" in column altitude"},
      {head + "yesterday,1,2,0\n", "", "e.csv, line 2: unreadable value \"yesterday\""},
      {head + ",1,2,0\n", "", "e.csv, line 2: no time"},
      // Values beyond any flight's are damage, not data.
      {head + "1e300,1,2,0\n", "",
       "e.csv, line 2: out-of-range value \"1e300\" in column timestamp"},
      {head + "10,1,2,-2e7\n", "", "e.csv, line 2: out-of-range value \"-2e7\" in column altitude"},
      {head + "10,\"1,2,0\n", "", "e.csv, line 2: a quoted field is not closed"},
      {head, "", "e.csv: no track point"},
      {head, R"({"altitude": {"channel": "height"}})",
       "e.csv, line 1: column map: unknown channel \"height\" of column \"altitude\""},
      {head, R"({"altitude": {"channel": "altitude", "unit": "furlong"}})",
       "e.csv, line 1: column map: unknown unit \"furlong\" of column \"altitude\" (altitude "
       "takes ft, m)"},
      {head, R"({"alt": {"channel": "altitude"}})",
       "e.csv, line 1: the column map names column \"alt\", which the header does not have"},
      {head, R"({"altitude": {"channel": "altitude"}, "latitude": {"channel": "altitude"}})",
       "e.csv, line 1: column map: columns \"altitude\" and \"latitude\" are given the same"},
      {head, "{\"altitude\": ", "e.csv, line 1: column map: not valid JSON"},
      {head, "[1]", "e.csv, line 1: column map: not a JSON object"},
  };
  for (const auto& c : cases) {
    const auto read = ReadDelimited(c.text, "e.csv", c.map);
    ASSERT_FALSE(read) << c.text;
    EXPECT_EQ(read.error().message.rfind(c.message, 0), 0u)
        << read.error().message << "\n  expected: " << c.message;
  }
}

}  // namespace
}  // namespace quarn

#include "record/json_track_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "record/flight_reader.h"
#include "record/text_input.h"
#include "record_test_util.h"

namespace quarn {
namespace {

const std::filesystem::path kJsonData = std::filesystem::path(QUARN_TEST_DATA_DIR) / "json";
const std::filesystem::path kRealWorld =
    std::filesystem::path(QUARN_SHARED_TESTDATA_DIR) / "real-world";

LoadedFlight ReadDataFile(const std::string& file) {
  const std::string text = testing::ReadWholeFile(kJsonData / file);
  Result<LoadedFlight> read = ReadJsonTrack(text, file);
  EXPECT_TRUE(read.ok()) << (read.ok() ? "" : read.error().message);
  return read.ok() ? std::move(*read) : LoadedFlight{};
}

std::vector<double> Values(const Flight& f, double FlightSample::*field) {
  std::vector<double> values;
  for (const FlightSample& s : f.samples) values.push_back(s.*field);
  return values;
}

TEST(JsonTrackReader, ReadsRecordsFillingNullAndMissingValues) {
  const Flight f = ReadDataFile("records_ms.json").flight;
  ASSERT_EQ(f.sampleCount(), 4);
  EXPECT_EQ(f.format, "json");
  EXPECT_EQ(f.callsign, "TRA051");
  EXPECT_EQ(f.aircraft, "484506");
  EXPECT_EQ(f.date, (CivilDate{2018, 5, 30}));
  EXPECT_EQ(Values(f, &FlightSample::utcSeconds),
            (std::vector<double>{1527693698, 1527693699, 1527693700, 1527693702}));
  EXPECT_DOUBLE_EQ(f.samples[1].latitudeDeg, 52.3246668153);
  EXPECT_DOUBLE_EQ(f.samples[1].longitudeDeg, 4.739516122);
  // Null altitude and vertical rate, a missing ground speed and ground flag: the value
  // before stands in; the ias of the one record that has it fills the whole flight.
  EXPECT_EQ(Values(f, &FlightSample::altitudeFt), (std::vector<double>{224, 224, 300, 350}));
  EXPECT_EQ(Values(f, &FlightSample::verticalSpeedFpm),
            (std::vector<double>{2240, 2240, 2100, 1500}));
  EXPECT_EQ(Values(f, &FlightSample::groundSpeedKt), (std::vector<double>{155, 156, 156, 158}));
  EXPECT_EQ(Values(f, &FlightSample::trackDeg), (std::vector<double>{3, 4, 5, 6}));
  EXPECT_EQ(Values(f, &FlightSample::onGround), (std::vector<double>{0, 0, 0, 0}));
  EXPECT_EQ(Values(f, &FlightSample::iasKt), (std::vector<double>{150, 150, 150, 150}));
  for (Channel c : {Channel::Altitude, Channel::GroundSpeed, Channel::Track, Channel::VerticalRate,
                    Channel::OnGround, Channel::Ias}) {
    EXPECT_EQ(f.channels[c], ChannelState::Recorded) << ChannelName(c);
  }
  EXPECT_EQ(f.channels[Channel::Tas], ChannelState::Absent);
  EXPECT_EQ(f.channels[Channel::Heading], ChannelState::Derived);
}

TEST(JsonTrackReader, ReadsIsoTimesAndAttitudeFields) {
  const Flight f = ReadDataFile("records_iso.json").flight;
  ASSERT_EQ(f.sampleCount(), 3);
  EXPECT_EQ(Values(f, &FlightSample::utcSeconds),
            (std::vector<double>{1527711043, 1527711044.5, 1527711046}));
  EXPECT_EQ(Values(f, &FlightSample::courseDeg), (std::vector<double>{210.5, 211, 212}));
  EXPECT_EQ(Values(f, &FlightSample::pitchDeg), (std::vector<double>{-2.5, -2, -1.5}));
  EXPECT_EQ(Values(f, &FlightSample::bankDeg), (std::vector<double>{-15, -14, -13}));
  EXPECT_EQ(Values(f, &FlightSample::tasKt), (std::vector<double>{260, 259, 258}));
  EXPECT_EQ(Values(f, &FlightSample::gear1), (std::vector<double>{0, 0.5, 1}));
  EXPECT_EQ(f.channels[Channel::Heading], ChannelState::Recorded);
  EXPECT_EQ(f.channels[Channel::Gear], ChannelState::Recorded);
  // What the records do not carry comes from positions, times and altitudes.
  EXPECT_EQ(f.channels[Channel::GroundSpeed], ChannelState::Derived);
  EXPECT_EQ(f.channels[Channel::VerticalRate], ChannelState::Derived);
  EXPECT_EQ(f.channels[Channel::OnGround], ChannelState::Absent);
}

TEST(JsonTrackReader, TellsSecondsMillisecondsAndIsoTimesApart) {
  struct Case {
    const char* timestamp;
    double utcSeconds;
  };
  const Case cases[] = {
      {"1527693698", 1527693698},
      {"1527693698.25", 1527693698.25},
      {"1527693698000", 1527693698},
      {"1527693698250", 1527693698.25},
      {"1.527693698e12", 1527693698},
      {"0", 0},
      {"\"2018-05-30T15:21:38Z\"", 1527693698},
      {"\"2018-05-30T17:21:38+02:00\"", 1527693698},
      {"\"2018-05-30 15:21:38.250\"", 1527693698.25},
  };
  for (const Case& c : cases) {
    const std::string text =
        std::string(R"([{"latitude": 1, "longitude": 2, "timestamp": )") + c.timestamp + "}]";
    const Result<LoadedFlight> read = ReadJsonTrack(text, "t.json");
    ASSERT_TRUE(read.ok()) << c.timestamp << ": " << read.error().message;
    EXPECT_DOUBLE_EQ(read->flight.samples[0].utcSeconds, c.utcSeconds) << c.timestamp;
  }
}

TEST(JsonTrackReader, ReadsTraceRowsGroundAndDetails) {
  const Flight f = ReadDataFile("trace.json").flight;
  ASSERT_EQ(f.sampleCount(), 6);
  EXPECT_EQ(f.callsign, "DLH7YA");
  EXPECT_EQ(f.aircraft, "A320");
  const double start = 1663259853.016;
  EXPECT_EQ(
      Values(f, &FlightSample::utcSeconds),
      (std::vector<double>{start, start + 10.5, start + 20, start + 25, start + 30, start + 31}));
  // "ground": on the ground with no altitude of its own; a null altitude says neither.
  EXPECT_EQ(Values(f, &FlightSample::onGround), (std::vector<double>{1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(Values(f, &FlightSample::altitudeFt),
            (std::vector<double>{1200, 1200, 1200, 1400, 5000, 5000}));
  EXPECT_EQ(Values(f, &FlightSample::groundSpeedKt),
            (std::vector<double>{12, 15, 160, 170, 250, 250}));
  EXPECT_EQ(Values(f, &FlightSample::trackDeg),
            (std::vector<double>{250, 250, 252, 253, 260, 260}));
  EXPECT_EQ(Values(f, &FlightSample::verticalSpeedFpm),
            (std::vector<double>{1800, 1800, 1800, 2000, 0, 0}));
  // Airspeed and roll from the row's own fields and its details; heading and TAS from
  // the details alone.
  EXPECT_EQ(Values(f, &FlightSample::iasKt), (std::vector<double>{155, 155, 155, 165, 230, 230}));
  EXPECT_EQ(Values(f, &FlightSample::bankDeg), (std::vector<double>{1.5, 1.5, 1.5, 2, -3, -3}));
  EXPECT_EQ(Values(f, &FlightSample::tasKt), (std::vector<double>(6, 162)));
  EXPECT_EQ(Values(f, &FlightSample::courseDeg), (std::vector<double>(6, 251)));
  for (Channel c :
       {Channel::Altitude, Channel::GroundSpeed, Channel::Track, Channel::VerticalRate,
        Channel::OnGround, Channel::Ias, Channel::Tas, Channel::Roll, Channel::Heading}) {
    EXPECT_EQ(f.channels[c], ChannelState::Recorded) << ChannelName(c);
  }
  // The row flagged as a new leg starts a new piece of track.
  EXPECT_EQ(f.segmentStarts, (std::vector<int>{4}));
}

TEST(JsonTrackReader, NamesATraceAircraftByItsIdWithoutAType) {
  const Result<LoadedFlight> read = ReadJsonTrack(
      R"({"trace": [[0, 50, 8, 1000, 100, 90, 0, 0], [1, 50, 8.001, 1000, 100, 90, 0, 0]],
          "timestamp": 1600000000, "icao": "abc123", "r": "N1"})",
      "t.json");
  ASSERT_TRUE(read.ok()) << read.error().message;
  EXPECT_EQ(read->flight.aircraft, "abc123");
  EXPECT_EQ(read->flight.callsign, "");
  EXPECT_EQ(read->flight.channels[Channel::Ias], ChannelState::Absent);
}

TEST(JsonTrackReader, RefusesBadInputNamingFileAndPlace) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;
  };
  const std::string ok0 = R"({"timestamp": 1000, "latitude": 1, "longitude": 2})";
  const std::string cutShort = "[" + ok0 + ", {\"timestamp\": 1001, \"lat";
  const Case cases[] = {
      {"cut in a string", cutShort,
       "bad.json, byte " + std::to_string(cutShort.size()) + ": the JSON is cut short"},
      {"cut after a record", "[" + ok0 + ",\n",
       "bad.json, byte " + std::to_string(ok0.size() + 2) + ": the JSON is cut short"},
      {"cut in a trace", R"({"icao": "a", "timestamp": 1, "trace": [[0, 1, 2)",
       "bad.json, byte 48: the JSON is cut short"},
      {"empty", "  \n", "bad.json, byte 0: no JSON in the file"},
      {"a second list after the first", "[" + ok0 + "] []",
       "bad.json, byte " + std::to_string(ok0.size() + 3) + ": more after the end of the JSON"},
      {"an object", R"({"aircraft": []})", "bad.json: not a list of track records nor a trace"},
      {"a list of numbers", "[1, 2, 3]", "bad.json: not a list of track records nor a trace"},
      {"records of other things", R"([{"name": "x"}])",
       "bad.json: not a list of track records nor a trace"},
      {"a trace that is no list", R"({"timestamp": 1, "trace": 5})",
       "bad.json: not a list of track records nor a trace"},
      {"no records", "[]", "bad.json: no track point with a time and a position"},
      {"a record without position", "[\n" + ok0 + ",\n" + R"({"timestamp": 1001, "longitude": 2}])",
       "bad.json, line 3: record 1: no latitude"},
      {"a record without time", R"([{"latitude": 1, "longitude": 2, "timestamp": null}])",
       "bad.json, line 1: record 0: no time"},
      {"latitude out of range",
       "[" + ok0 + R"(, {"timestamp": 1001, "latitude": 95, "longitude": 2}])",
       "bad.json, line 1: record 1: latitude 95 out of range"},
      {"time going back", "[" + ok0 + R"(, {"timestamp": 999, "latitude": 1, "longitude": 2}])",
       "bad.json, line 1: record 1: the time goes back to 1970-01-01T00:16:39Z after "
       "1970-01-01T00:16:40Z"},
      {"time out of range", R"([{"timestamp": -5, "latitude": 1, "longitude": 2}])",
       "bad.json, line 1: record 0: time -5 s after 1970 is out of range"},
      {"huge time", R"([{"timestamp": 1e300, "latitude": 1, "longitude": 2}])",
       "bad.json, line 1: record 0: time 1e+297 s after 1970 is out of range"},
      {"a time that is no time", R"([{"timestamp": "yesterday", "latitude": 1, "longitude": 2}])",
       "bad.json, line 1: record 0: timestamp \"yesterday\" is not a date and time"},
      {"a time with a control character",
       R"([{"timestamp": "2018-05-30T15:21:38Z\u0000\n", "latitude": 1, "longitude": 2}])",
       "bad.json, line 1: record 0: timestamp \"2018-05-30T15:21:38Z??\" is not a date and time"},
      {"a long time that is no time",
       R"([{"timestamp": "2018-05-30T15:21:38Z and then some more words", "latitude": 1,
            "longitude": 2}])",
       "bad.json, line 1: record 0: timestamp \"2018-05-30T15:21:38Z and then some more ...\" "
       "is not a date and time"},
      {"a number in quotes", R"([{"timestamp": 1, "latitude": "52.1", "longitude": 2}])",
       "bad.json, line 1: record 0: latitude is text, not a number"},
      {"a malformed number", R"([{"timestamp": 1, "latitude": 5.2.1, "longitude": 2}])",
       "bad.json, line 1: record 0: latitude is not a valid number"},
      {"a second record that is no object", "[" + ok0 + ", [1]]",
       "bad.json, line 1: record 1: is a list, not a record"},
      {"a trace without timestamp", R"({"icao": "a", "trace": [[0, 1, 2]]})",
       "bad.json, line 1: the trace has no timestamp"},
      {"a trace row without position", R"({"timestamp": 1, "trace": [[0, 1, 2], [1, null, 2]]})",
       "bad.json, line 1: row 1: no latitude"},
      {"a trace row that is no list", R"({"timestamp": 1, "trace": [5]})",
       "bad.json, line 1: row 0: is a number, not a list"},
      {"a trace altitude of text", R"({"timestamp": 1, "trace": [[0, 1, 2, "high"]]})",
       "bad.json, line 1: row 0: altitude \"high\" is not a number"},
      {"trace time going back", "{\"timestamp\": 1,\n\"trace\": [[5, 1, 2],\n[4, 1, 2]]}",
       "bad.json, line 3: row 1: the time goes back to 1970-01-01T00:00:05Z after "
       "1970-01-01T00:00:06Z"},
  };
  for (const Case& c : cases) {
    const Result<LoadedFlight> read = ReadJsonTrack(c.text, "bad.json");
    ASSERT_FALSE(read.ok()) << c.what;
    EXPECT_EQ(read.error().message, c.message) << c.what;
  }
}

TEST(JsonTrackReader, NamesTheByteOfASyntaxError) {
  struct Case {
    std::string text;
    std::size_t byte;
  };
  const std::string deepPrefix = R"([{"timestamp": 1, "latitude": 1, "longitude": 2, "x": )";
  const Case cases[] = {
      // Lists nested beyond reason, where a walk through them would run out of stack.
      {deepPrefix + std::string(100000, '[') + std::string(100000, ']') + "}]",
       deepPrefix.size() + 64},
      // A missing comma: simdjson stops at the key after it.
      {R"([{"timestamp": 1, "latitude": 1 "longitude": 2}])", 32},
      // A control character inside a string.
      {"[{\"callsign\": \"A\x01\"}]", 16},
      // After a byte-order mark, offsets still count from the file's start.
      {"\xEF\xBB\xBF[{\"callsign\": \"A\x01\"}]", 19},
      // Broken JSON in what the flight has no use for is refused all the same.
      {R"([{"timestamp": 1, "latitude": 1, "longitude": 2, "squawk": tru}])", 59},
      {R"([{"timestamp": 1, "latitude": 1, "longitude": 2, "desc": "a\q"}])", 57},
      {R"([{"timestamp": 1, "latitude": 1, "longitude": 2, "x": {"a" 1}}])", 59},
      {R"({"timestamp": 1, "desc": nul, "trace": [[0, 1, 2]]})", 25},
      {R"({"timestamp": 1, "trace": [[0, 1, 2, 3, 4, 5, 0, 0, {"nic": [1,}]]]})", 63},
      {R"({"timestamp": 1, "trace": [[0, 1, 2, 3, 4, 5, 0, 0, null, "adsb\x"]]})", 58},
  };
  for (const Case& c : cases) {
    const Result<LoadedFlight> read = ReadJsonTrack(c.text, "bad.json");
    ASSERT_FALSE(read.ok()) << c.text;
    EXPECT_TRUE(read.error().message.starts_with("bad.json, byte " + std::to_string(c.byte) +
                                                 ": not valid JSON: "))
        << read.error().message;
  }
}

// The columns of the shared CSV of the final approach, read here by name.
struct CsvRow {
  double unixMs, latitude, longitude, altitude, groundSpeed, track, verticalRate;
};

std::vector<CsvRow> ReadApproachCsv(const std::filesystem::path& path) {
  const std::string text = testing::ReadWholeFile(path);
  LineCursor lines(text);
  std::string_view line;
  std::vector<std::string> header;
  std::vector<CsvRow> rows;
  auto fields = [](std::string_view l) {
    std::vector<std::string> out;
    for (std::size_t comma; (comma = l.find(',')) != std::string_view::npos;
         l.remove_prefix(comma + 1)) {
      out.emplace_back(l.substr(0, comma));
    }
    out.emplace_back(l);
    return out;
  };
  if (lines.Next(line)) header = fields(line);
  auto column = [&](const std::vector<std::string>& row, const std::string& name) {
    const auto at = std::find(header.begin(), header.end(), name);
    const std::optional<double> value =
        at == header.end() ? std::nullopt : ParseNumber(row[at - header.begin()]);
    EXPECT_TRUE(value.has_value()) << name << " on line " << lines.number();
    return value.value_or(NAN);
  };
  while (lines.Next(line)) {
    if (line.empty()) continue;
    const std::vector<std::string> row = fields(line);
    if (row.size() != header.size()) {
      ADD_FAILURE() << "line " << lines.number() << " has " << row.size() << " fields";
      continue;
    }
    rows.push_back({column(row, "unix_ms"), column(row, "latitude_deg"),
                    column(row, "longitude_deg"), column(row, "baro_altitude_ft"),
                    column(row, "groundspeed_kt"), column(row, "track_deg_true"),
                    column(row, "vertical_rate_fpm")});
  }
  return rows;
}

TEST(JsonTrackReader, ReadsTheSharedFlightThroughTheRegistry) {
  const std::filesystem::path json = kRealWorld / "belevingsvlucht.json.gz";
  const std::filesystem::path csv = kRealWorld / "belevingsvlucht_EHAM_rwy06_final.csv";
  if (!std::filesystem::exists(json) || !std::filesystem::exists(csv)) {
    GTEST_SKIP() << "no shared test data at " << kRealWorld;
  }
  const Result<LoadedFlight> read = ReadFlight(json.string());
  ASSERT_TRUE(read.ok()) << read.error().message;
  const Flight& f = read->flight;
  EXPECT_EQ(f.format, "json");
  // Every one of the 16,005 records has a time of its own.
  ASSERT_EQ(f.sampleCount(), 16005);
  EXPECT_EQ(f.callsign, "TRA051");
  EXPECT_EQ(f.aircraft, "484506");
  EXPECT_EQ(f.date, (CivilDate{2018, 5, 30}));
  EXPECT_EQ(f.samples[0].utcSeconds, 1527693698);
  EXPECT_EQ(f.samples[0].latitudeDeg, 52.3239704714);
  EXPECT_EQ(f.samples[0].longitudeDeg, 4.7394234794);
  EXPECT_EQ(f.samples[0].altitudeFt, 224);

  // The last records, value for value as the CSV made from them holds them.
  const std::vector<CsvRow> rows = ReadApproachCsv(csv);
  ASSERT_EQ(rows.size(), 705u);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const FlightSample& s = f.samples[15300 + k];
    const CsvRow& r = rows[k];
    SCOPED_TRACE("record " + std::to_string(15300 + k));
    EXPECT_EQ(s.utcSeconds, r.unixMs / 1000);
    EXPECT_EQ(s.latitudeDeg, r.latitude);
    EXPECT_EQ(s.longitudeDeg, r.longitude);
    EXPECT_EQ(s.altitudeFt, r.altitude);
    EXPECT_EQ(s.groundSpeedKt, r.groundSpeed);
    EXPECT_EQ(s.trackDeg, r.track);
    EXPECT_EQ(s.verticalSpeedFpm, r.verticalRate);
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace quarn

// The logbook over a folder of crafted flights in every format: the entries' times
// against the events the steps put them at, the files passed over and the ones that
// fail, what a second opening reads, and what becomes of a database that is damaged,
// older, newer or cannot be kept.

#include "app/logbook.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "app/logbook_store.h"
#include "base/format.h"
#include "record/text_input.h"
#include "support/crafted_flight.h"
#include "support/flight_record_writer.h"
#include "support/temp_dir.h"

namespace quarn {
namespace {

using namespace quarn::testing;
namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  ASSERT_TRUE(out.good()) << path;
}

void SetModified(const std::string& path, double utcSeconds) {
  const auto since = std::chrono::seconds(static_cast<long long>(utcSeconds));
  const auto system = std::chrono::system_clock::time_point(since);
  fs::last_write_time(path, std::chrono::file_clock::from_sys(system));
}

class Logbook : public ::testing::Test {
 protected:
  void SetUp() override {
    circuit_ = Craft(PlainCircuit(0));
    fs::create_directories(flights_.path() + "/sub");
    for (const char* format : {"csv", "json", "gpx", "kml", "igc"}) {
      WriteText(flights_.File(std::string("sub/circuit.") + format),
                CraftedText(format, circuit_.points));
    }
    const std::string dat = flights_.File("circuit.dat");
    ASSERT_TRUE(WriteBytes(dat, CraftedDat(circuit_.points)));
    SetModified(dat, kStartUtc + 3 * 3600);
  }
  LogbookResult Open(const std::string& dataDir) {
    LogbookRequest request;
    request.paths = {flights_.path()};
    request.dataDir = dataDir;
    return OpenLogbook(request);
  }
  double At(int sample) const {
    return circuit_.points[static_cast<std::size_t>(sample)].utcSeconds;
  }

  Crafted circuit_;
  TempDir flights_;
  TempDir data_;
};

void ExpectNear(const char* what, const std::optional<double>& found, double expected,
                const std::string& file) {
  ASSERT_TRUE(found.has_value()) << what << " of " << file;
  EXPECT_NEAR(*found, expected, 3) << what << " of " << file;
}

TEST_F(Logbook, EveryFormatGivesItsLegWithTheCircuitsTimes) {
  // Beside the flights: files of other kinds, a link back up, a FIFO, and two files of
  // a flight format that cannot be read.
  WriteText(flights_.File("notes.txt"), "nothing to see\n");
  WriteText(flights_.File("earth_nav.dat"), "I\n1100 Version\n99\n");
  fs::create_directory_symlink(flights_.path(), flights_.File("sub/up"));
  ASSERT_EQ(mkfifo(flights_.File("pipe.csv").c_str(), 0600), 0);
  WriteText(flights_.File("broken.gpx"), "<gpx version=\"1.1\"><trk><trkseg><trkpt lat=\"x\"");
  WriteText(flights_.File("one.csv"), "timestamp,latitude,longitude\n1717236000,52,5\n");

  const LogbookResult result = Open(data_.path());
  ASSERT_EQ(result.entries.size(), 6u);
  const std::vector<std::string> order = {"circuit.dat",     "sub/circuit.csv",  "sub/circuit.gpx",
                                          "sub/circuit.igc", "sub/circuit.json", "sub/circuit.kml"};
  for (std::size_t i = 0; i < order.size(); ++i) {
    const LogbookEntry& e = result.entries[i];
    EXPECT_EQ(e.file, flights_.File(order[i]));
    EXPECT_EQ(e.leg, 1);
    EXPECT_EQ(e.date, "2024-06-01") << e.file;
    ExpectNear("off", e.off, At(circuit_.Last("roll")), e.file);
    ExpectNear("on", e.on, At(circuit_.Last("flare")), e.file);
    ExpectNear("out", e.out, At(circuit_.First("taxi")), e.file);
    ExpectNear("in", e.in, At(circuit_.Last("stopping")), e.file);
    EXPECT_NEAR(e.airTimeMin.value_or(0), (*e.on - *e.off) / 60, 1e-9);
    EXPECT_NEAR(e.maxAltitudeFt.value_or(0), 1000, 5) << e.file;
    EXPECT_GT(e.distanceNm.value_or(0), 5) << e.file;
    EXPECT_TRUE(e.landingRateFpm.has_value()) << e.file;
    EXPECT_FALSE(e.missing);
  }
  EXPECT_EQ(result.entries[1].callsign, "PH-ABC");
  EXPECT_EQ(result.entries[3].callsign, "PH-ABC");  // the IGC's glider type
  ASSERT_EQ(result.failures.size(), 2u);
  EXPECT_EQ(result.failures[0].file, flights_.File("broken.gpx"));
  EXPECT_EQ(result.failures[1].file, flights_.File("one.csv"));
  EXPECT_TRUE(result.notes.empty());

  const LogbookTotals totals = LogbookTotalsOf(result.entries);
  EXPECT_EQ(totals.flights, 6);
  EXPECT_EQ(totals.landings, 6);
  EXPECT_GT(totals.airHours, 0);
}

TEST_F(Logbook, ASecondOpeningReadsOnlyWhatChangedAndKeepsWhatVanished) {
  const LogbookResult first = Open(data_.path());
  EXPECT_EQ(first.filesRead, 6);
  const LogbookResult second = Open(data_.path());
  EXPECT_EQ(second.filesRead, 0);
  EXPECT_EQ(second.filesKept, 6);
  EXPECT_EQ(second.entries, first.entries);

  // One flight written again, one gone: the first is read, the second kept as missing.
  WriteText(flights_.File("sub/circuit.csv"), CraftedText("csv", circuit_.points) + "\n");
  fs::remove(flights_.File("sub/circuit.kml"));
  const LogbookResult third = Open(data_.path());
  EXPECT_EQ(third.filesRead, 1);
  ASSERT_EQ(third.entries.size(), 6u);
  EXPECT_TRUE(third.entries.back().missing);
  EXPECT_EQ(third.entries.back().file, flights_.File("sub/circuit.kml"));
  EXPECT_NE(LogbookCsvRow(third.entries.back()).find(",missing"), std::string::npos);
  EXPECT_EQ(Open(data_.path()).filesRead, 0);
}

// A reading asked to stop lists and keeps what it read; the next opening reads the rest
// and gives what one whole reading gives.
TEST_F(Logbook, AStoppedReadingKeepsWhatItReadAndTheNextOpeningReadsTheRest) {
  const LogbookResult whole = Open(TempDir().path());
  ASSERT_EQ(whole.filesRead, 6);

  for (const bool beforeTheFirstFile : {true, false}) {
    SCOPED_TRACE(beforeTheFirstFile ? "stopped at once" : "stopped after a file");
    TempDir data;
    std::stop_source stop;
    if (beforeTheFirstFile) stop.request_stop();
    LogbookRequest request;
    request.paths = {flights_.path()};
    request.dataDir = data.path();
    request.stop = stop.get_token();
    request.progress = [&](int done, int) {
      if (done > 0) stop.request_stop();
    };
    const LogbookResult stopped = OpenLogbook(request);
    // Each core may finish the file it holds, and starts no other.
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    EXPECT_LE(stopped.filesRead, beforeTheFirstFile ? 0 : cores);
    EXPECT_EQ(stopped.filesRead + stopped.filesLeft, 6);
    EXPECT_EQ(stopped.entries.size(), static_cast<std::size_t>(stopped.filesRead));
    EXPECT_TRUE(stopped.failures.empty());

    const LogbookResult rest = Open(data.path());
    EXPECT_EQ(rest.filesRead, stopped.filesLeft);
    EXPECT_EQ(rest.filesKept, stopped.filesRead);
    EXPECT_EQ(rest.filesLeft, 0);
    EXPECT_EQ(rest.entries, whole.entries);
  }
}

TEST_F(Logbook, ADatabaseThatCannotServeIsSetAsideOrLeftAndTheLogbookStillWorks) {
  const std::string db = data_.File(kLogbookDatabaseName);
  struct Case {
    const char* what;
    std::function<void()> prepare;
    const char* note;  // in the one note expected
    bool setAside;
  };
  const Case kCases[] = {
      {"damaged", [&] { WriteText(db, std::string(4096, 'x')); }, "was damaged", true},
      {"newer",
       [&] {
         sqlite3* h = nullptr;
         ASSERT_EQ(sqlite3_open(db.c_str(), &h), SQLITE_OK);
         sqlite3_exec(h, "PRAGMA user_version = 99;", nullptr, nullptr, nullptr);
         sqlite3_close(h);
       },
       "newer QUARN", false},
  };
  for (const Case& c : kCases) {
    for (const auto& f : fs::directory_iterator(data_.path())) fs::remove(f.path());
    c.prepare();
    const auto before = fs::file_size(db);
    const LogbookResult result = Open(data_.path());
    EXPECT_EQ(result.entries.size(), 6u) << c.what;
    ASSERT_EQ(result.notes.size(), 1u) << c.what;
    EXPECT_NE(result.notes[0].find(c.note), std::string::npos) << result.notes[0];
    int asides = 0;
    for (const auto& f : fs::directory_iterator(data_.path())) {
      asides += f.path().filename().string().find(".damaged-") != std::string::npos;
    }
    EXPECT_EQ(asides, c.setAside ? 1 : 0) << c.what;
    if (c.setAside) {
      EXPECT_EQ(Open(data_.path()).filesRead, 0) << "rebuilt and kept";
    } else {
      EXPECT_EQ(fs::file_size(db), before) << "left as it was";
    }
  }
  // A data directory that cannot hold the database: the logbook works from memory.
  WriteText(data_.File("not-a-folder"), "");
  const LogbookResult memory = Open(data_.File("not-a-folder"));
  EXPECT_EQ(memory.entries.size(), 6u);
  ASSERT_EQ(memory.notes.size(), 1u);
  EXPECT_NE(memory.notes[0].find("works from memory"), std::string::npos);
}

// Another program holding the database locked: this one says so, works from memory,
// and leaves the database to the other.
TEST_F(Logbook, ABusyDatabaseIsToldAndLeftToTheOtherProgram) {
  Open(data_.path());
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(data_.File(kLogbookDatabaseName).c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
  const LogbookResult result = Open(data_.path());
  EXPECT_EQ(result.entries.size(), 6u);
  ASSERT_EQ(result.notes.size(), 1u);
  EXPECT_NE(result.notes[0].find("is busy"), std::string::npos) << result.notes[0];
  sqlite3_exec(other, "COMMIT;", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(Open(data_.path()).filesRead, 0) << "the kept entries are still there";
}

TEST_F(Logbook, AnOlderDatabaseIsUpgradedWithItsRows) {
  const std::string db = data_.File(kLogbookDatabaseName);
  sqlite3* h = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &h), SQLITE_OK);
  const std::string file = flights_.File("gone.csv");
  const std::string v1 =
      "CREATE TABLE files(path TEXT PRIMARY KEY, size INTEGER NOT NULL, modified INTEGER NOT "
      "NULL, format TEXT NOT NULL, error TEXT NOT NULL, missing INTEGER NOT NULL DEFAULT 0);"
      "CREATE TABLE entries(path TEXT NOT NULL, leg INTEGER NOT NULL, date TEXT, callsign TEXT,"
      " departure TEXT, arrival TEXT, out REAL, off REAL, on_ REAL, in_ REAL, air_time_min REAL,"
      " distance_nm REAL, max_altitude_ft REAL, landing_rate_fpm REAL,"
      " landing_rate_confidence TEXT, touchdown_past_threshold_ft REAL,"
      " touchdown_off_centreline_m REAL, verdict TEXT, PRIMARY KEY(path, leg));"
      "INSERT INTO files VALUES('" +
      file +
      "', 10, 20, 'csv', '', 0);"
      "INSERT INTO entries(path, leg, date, landing_rate_fpm) VALUES('" +
      file +
      "', 1, '2020-01-02', 250);"
      "PRAGMA user_version = 1;";
  ASSERT_EQ(sqlite3_exec(h, v1.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(h);

  const LogbookResult result = Open(data_.path());
  EXPECT_TRUE(result.notes.empty());
  ASSERT_EQ(result.entries.size(), 7u);
  const LogbookEntry& kept = result.entries[1];  // by path: after circuit.dat
  EXPECT_EQ(kept.file, file);
  EXPECT_EQ(kept.date, "2020-01-02");
  EXPECT_EQ(kept.landingRateFpm, 250);
  EXPECT_TRUE(kept.missing);
  ASSERT_EQ(sqlite3_open(db.c_str(), &h), SQLITE_OK);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(h, "PRAGMA user_version;", -1, &s, nullptr);
  ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(s, 0), kLogbookSchemaVersion);
  sqlite3_finalize(s);
  sqlite3_close(h);
}

TEST(LogbookLines, CsvAndJsonSayUnknownAsEmptyAndNull) {
  LogbookEntry e;
  e.file = "/f/a, \"b\".gpx";
  e.format = "gpx";
  e.leg = 2;
  e.date = "2024-06-01";
  e.on = 1717237000.4;
  e.landingRateFpm = 312.6;
  e.landingRateConfidence = "low";
  e.touchdownOffCentrelineM = -1.25;
  EXPECT_EQ(LogbookCsvHeader(),
            "file,format,leg,date,callsign,departure,arrival,out,off,on,in,air_time_min,"
            "distance_nm,max_altitude_ft,landing_rate_fpm,landing_rate_confidence,"
            "touchdown_past_threshold_ft,touchdown_off_centreline_m,verdict,status");
  EXPECT_EQ(LogbookCsvRow(e),
            "\"/f/a, \"\"b\"\".gpx\",gpx,2,2024-06-01,,,,,,2024-06-01T10:16:40Z,,,,,313,low,,-1.3,"
            ",ok");
  EXPECT_EQ(
      LogbookJsonLine(e),
      "{\"file\":\"/f/a, \\\"b\\\".gpx\",\"format\":\"gpx\",\"leg\":2,\"date\":\"2024-06-01\","
      "\"callsign\":null,\"departure\":null,\"arrival\":null,\"out\":null,\"off\":null,"
      "\"on\":\"2024-06-01T10:16:40Z\",\"in\":null,\"air_time_min\":null,"
      "\"distance_nm\":null,\"max_altitude_ft\":null,\"landing_rate_fpm\":313,"
      "\"landing_rate_confidence\":\"low\",\"touchdown_past_threshold_ft\":null,"
      "\"touchdown_off_centreline_m\":-1.3,\"verdict\":null,\"status\":\"ok\"}");
}

}  // namespace
}  // namespace quarn

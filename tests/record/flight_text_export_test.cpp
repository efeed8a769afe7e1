// "File Flight.txt": flight.txt and warning.txt against stored expected files, and
// the command's failure messages.
//
// The expected files live in tests/data/record/<case>.flight.txt and
// <case>.warning.txt. After a deliberate change of the output, regenerate them by
// running this test program with QUARN_REGENERATE=1 in the environment (see
// tests/data/record/README.md), then review the difference before committing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <sstream>

#include "app/quarn_app.h"
#include "platform/headless/headless_window.h"
#include "record/flight_reader.h"
#include "record_test_util.h"
#include "support/recording_ui.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
using testing::CircuitAltitudes;
using testing::CraftedFlight;
using testing::GearFlight;
using testing::MakeCraftedFlight;
using testing::ReadWholeFile;
using testing::SampleValues;
using testing::ScratchDir;

// 2026-06-01 12:34:56 UTC: the report's date line in every expected file.
constexpr std::time_t kReportTime = 1780317296;

const std::string kReminder = "Don\u00b4t forget to analice the file warning.txt!!!";

class FlightTextExport : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.view().SetClock([] { return kReportTime; });
    const char* tz = std::getenv("TZ");
    if (tz != nullptr) savedTz_ = tz;
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
  }
  void TearDown() override {
    if (savedTz_) {
      ::setenv("TZ", savedTz_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

  // The record at path as the selected flight.
  void Select(const std::string& path) {
    auto read = ReadFlight(path);
    ASSERT_TRUE(read.ok()) << path;
    app_.doc().SetFlight(std::move(read->flight));
  }
  void Export() { app_.view().OnGenerateFlightText(); }

  FixedWidthMetrics metrics_;
  HeadlessWindow window_{640, 480, metrics_};
  testing::RecordingUi ui_;
  QuarnApp app_{window_, ui_, "."};
  std::optional<std::string> savedTz_;
};

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
  const std::string s = ReadWholeFile(path);
  return {s.begin(), s.end()};
}

std::vector<std::uint8_t> Encode(const std::vector<SampleValues>& samples) {
  return testing::EncodeSamples(samples);
}

std::vector<SampleValues> PauseFlight() {
  auto samples = MakeCraftedFlight({14, 30, 0, CircuitAltitudes()});
  // Samples 20 to 24 repeat the time stamp of sample 19.
  for (std::size_t i = 20; i < 25; ++i) {
    samples[i].hours = samples[19].hours;
    samples[i].minutes = samples[19].minutes;
    samples[i].seconds = samples[19].seconds;
  }
  return samples;
}

// Every record at 00:00:00: each is a pause record, the first included.
std::vector<SampleValues> AllPauseFlight() {
  auto samples = MakeCraftedFlight({0, 0, 0, std::vector<double>(5, 0.0)});
  for (auto& s : samples) s.hours = s.minutes = s.seconds = 0;
  return samples;
}

struct ExportCase {
  const char* name;
  std::function<std::vector<std::uint8_t>()> bytes;
};

std::vector<std::uint8_t> ExampleBytes(const char* name) {
  return FileBytes(fs::path(QUARN_EXAMPLES_DIR) / name);
}

const std::vector<ExportCase>& ExportCases() {
  static const std::vector<ExportCase> cases{
      {"example_flight", [] { return ExampleBytes("flight.dat"); }},
      {"example_midnight", [] { return ExampleBytes("midnight.dat"); }},
      {"circuit",
       [] {
         return Encode(MakeCraftedFlight({10, 0, 0, CircuitAltitudes()}));
       }},
      {"gear", [] { return Encode(GearFlight()); }},
      {"pause", [] { return Encode(PauseFlight()); }},
      {"all_pause", [] { return Encode(AllPauseFlight()); }},
      // Take-off before midnight, landing after it.
      {"midnight",
       [] {
         return Encode(MakeCraftedFlight({23, 59, 40, CircuitAltitudes()}));
       }},
      // Climbs out and stays high: every record of the last 30 % lies well above
      // the end reference (which the lower records 10 to 14 pull down).
      {"takeoff_only",
       [] {
         std::vector<double> alt(10, 0.0);
         for (int i = 1; i <= 5; ++i) alt.push_back(50.0 * i);
         for (int i = 0; i < 5; ++i) alt.push_back(800.0 + 100.0 * i);
         return Encode(MakeCraftedFlight({8, 15, 30, alt}));
       }},
      {"empty", [] { return std::vector<std::uint8_t>{}; }},
  };
  return cases;
}

bool Regenerating() {
  const char* v = std::getenv("QUARN_REGENERATE");
  return v != nullptr && std::string(v) == "1";
}

fs::path ExpectedFile(const std::string& caseName, const char* output) {
  return fs::path(QUARN_TEST_DATA_DIR) / "record" / (caseName + "." + output);
}

TEST_F(FlightTextExport, OutputsMatchExpectedFiles) {
  for (const ExportCase& c : ExportCases()) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    const auto bytes = c.bytes();
    ASSERT_FALSE(std::string(c.name).rfind("example", 0) == 0 && bytes.empty())
        << "example record missing";
    ASSERT_TRUE(testing::WriteBytes(dir.File("record.dat"), bytes));
    Select("record.dat");
    ui_.messages.clear();
    Export();
    ASSERT_EQ(ui_.Texts(), std::vector<std::string>{kReminder});

    for (const char* output : {"flight.txt", "warning.txt"}) {
      SCOPED_TRACE(output);
      ASSERT_TRUE(fs::exists(dir.path() / output));
      const std::string actual = ReadWholeFile(dir.path() / output);
      const fs::path expected = ExpectedFile(c.name, output);
      if (Regenerating()) {
        ASSERT_TRUE(testing::WriteWholeFile(expected, actual));
        continue;
      }
      ASSERT_TRUE(fs::exists(expected)) << expected << " is missing; see the comment at the top";
      EXPECT_EQ(actual, ReadWholeFile(expected));
    }
  }
}

// The gear rows of warning.txt, one string a row, in the order written.
std::vector<std::string> GearRows(const std::string& warning) {
  std::vector<std::string> rows;
  std::istringstream in(warning.substr(0, warning.find("\n2. MAXIMUM")));
  for (std::string line; std::getline(in, line);) {
    if (line.size() > 8 && line[2] == ':' && line[5] == ':') rows.push_back(line);
  }
  return rows;
}

// Rows written by the "some gear down" step and by the "some gear up" step word
// DOWN for gears 2 and 3 one column apart; UP stands in the same column in both.
TEST_F(FlightTextExport, GearRowsOfBothStepsForEveryGear) {
  struct Case {
    const char* name;
    std::vector<std::array<bool, 3>> gears;  // one entry a record, gear 1 to 3 down
    std::vector<std::string> rows;
  };
  const std::vector<Case> cases{
      {"gear 1 comes up, the others stay down",
       {{true, true, true}, {false, true, true}, {true, true, true}},
       {"10:00:00     DOWN         DOWN           DOWN",
        "10:00:01       UP        DOWN          DOWN",
        "10:00:02     DOWN         DOWN           DOWN"}},
      {"mixed at the first record: both rows",
       {{false, true, false}},
       {"10:00:00       UP         DOWN             UP",
        "10:00:00       UP        DOWN             UP"}},
      {"gear 3 alone stays down",
       {{true, true, true}, {false, false, true}},
       {"10:00:00     DOWN         DOWN           DOWN",
        "10:00:01       UP           UP          DOWN"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto samples = MakeCraftedFlight({10, 0, 0, std::vector<double>(c.gears.size(), 0.0)});
    for (std::size_t i = 0; i < samples.size(); ++i) {
      for (std::size_t g = 0; g < 3; ++g) samples[i].gearDown[g] = c.gears[i][g];
    }
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteBytes(dir.File("record.dat"), Encode(samples)));
    Select("record.dat");
    Export();
    EXPECT_EQ(GearRows(ReadWholeFile(dir.path() / "warning.txt")), c.rows);
  }
}

// The date line is ctime's text of the report clock's time, and an empty line
// follows it.
TEST_F(FlightTextExport, DateLineComesFromTheReportClock) {
  ScratchDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.File("r.dat"), {}));
  Select(dir.File("r.dat"));
  app_.view().SetClock([] { return std::time_t{0}; });
  Export();
  const std::time_t zero = 0;
  const std::string expectedStart = "\n    FLIGHT MAXIMUM " + dir.File("r.dat") +
                                    "\n    Date of this analysis: " + std::ctime(&zero) + "\n";
  EXPECT_EQ(ReadWholeFile(dir.path() / "warning.txt").substr(0, expectedStart.size()),
            expectedStart);
}

// A partial record at the end is not a record: the output equals that of the file
// without it, so the last time and the last fuel row are the last complete record's.
TEST_F(FlightTextExport, TrailingPartialRecordIsIgnored) {
  const auto complete = Encode(MakeCraftedFlight({10, 0, 0, CircuitAltitudes()}));
  std::string outputs[2][2];
  for (int withTail = 0; withTail < 2; ++withTail) {
    ScratchDir dir;
    auto bytes = complete;
    if (withTail == 1) {
      // The first 40 bytes of a record with another time and full tanks.
      auto extra = MakeCraftedFlight({12, 0, 0, {0.0}});
      extra[0].fuelPercent[0] = 100;
      const auto tail = Encode(extra);
      bytes.insert(bytes.end(), tail.begin(), tail.begin() + 40);
    }
    ASSERT_TRUE(testing::WriteBytes(dir.File("record.dat"), bytes));
    Select("record.dat");
    Export();
    outputs[withTail][0] = ReadWholeFile(dir.path() / "flight.txt");
    outputs[withTail][1] = ReadWholeFile(dir.path() / "warning.txt");
  }
  EXPECT_EQ(outputs[1][0], outputs[0][0]);
  EXPECT_EQ(outputs[1][1], outputs[0][1]);
  EXPECT_NE(outputs[1][1].find("Record Time           10:00:00     10:00:49"), std::string::npos);
}

// The reminder is shown once both files are complete and in place.
TEST_F(FlightTextExport, ReminderComesOnceBothFilesAreInPlace) {
  ScratchDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.File("record.dat"),
                                  Encode(MakeCraftedFlight({10, 0, 0, CircuitAltitudes()}))));
  Select("record.dat");
  std::string seen[2];
  ui_.onMessage = [&](const std::string&) {
    seen[0] = ReadWholeFile(dir.path() / "flight.txt");
    seen[1] = ReadWholeFile(dir.path() / "warning.txt");
  };
  Export();
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{kReminder});
  EXPECT_EQ(seen[0], ReadWholeFile(dir.path() / "flight.txt"));
  EXPECT_NE(seen[1].find("4. FUEL DATA"), std::string::npos);
}

TEST_F(FlightTextExport, FailuresShowTheirMessagesAndStop) {
  const std::string acute = "\u00b4";
  struct Failure {
    const char* what;
    std::function<void(ScratchDir&)> arrange;
    std::function<std::string(ScratchDir&)> message;
  };
  const std::vector<Failure> failures{
      {"no record selected", [](ScratchDir&) {},
       [](ScratchDir&) { return std::string("Select a Aerolog File First\n"); }},
      {"warning.txt cannot be written",
       [](ScratchDir&) {
         fs::remove(fs::path("warning.txt"));
         fs::create_directory("warning.txt");
       },
       [&](ScratchDir&) { return "Can" + acute + "t open file warning.txt\n"; }},
      {"flight.txt cannot be written",
       [](ScratchDir&) {
         fs::remove(fs::path("flight.txt"));
         fs::create_directory("flight.txt");
       },
       [&](ScratchDir&) { return "Can" + acute + "t open file flight.txt\n"; }},
      // A full disk: every write fails.
      {"warning.txt on a full disk",
       [](ScratchDir&) {
         fs::remove(fs::path("warning.txt"));
         fs::create_symlink("/dev/full", "warning.txt");
       },
       [&](ScratchDir&) { return "Can" + acute + "t write warning.txt"; }},
      {"flight.txt on a full disk",
       [](ScratchDir&) {
         fs::remove(fs::path("flight.txt"));
         fs::create_symlink("/dev/full", "flight.txt");
       },
       [&](ScratchDir&) { return "Can" + acute + "t write flight.txt"; }},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.what);
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteBytes(dir.File("record.dat"),
                                    Encode(MakeCraftedFlight({10, 0, 0, CircuitAltitudes()}))));
    if (std::string(f.what) != "no record selected") Select(dir.File("record.dat"));
    ASSERT_TRUE(testing::WriteWholeFile(dir.path() / "flight.txt", "old flight"));
    ASSERT_TRUE(testing::WriteWholeFile(dir.path() / "warning.txt", "old warning"));
    f.arrange(dir);
    ui_.messages.clear();
    Export();
    // One message, and never the reminder.
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{f.message(dir)});
    // A file is replaced only when it was written whole: the other file of a full
    // disk is complete, every other file is left as it was, and no temporary file
    // stays behind.
    const bool otherComplete = std::string(f.what).find("full disk") != std::string::npos;
    for (const auto& [name, old] :
         {std::pair{"flight.txt", "old flight"}, std::pair{"warning.txt", "old warning"}}) {
      const fs::path path = dir.path() / name;
      if (fs::is_symlink(path) || fs::is_directory(path)) continue;
      if (otherComplete) {
        EXPECT_NE(ReadWholeFile(path), old) << name;
      } else {
        EXPECT_EQ(ReadWholeFile(path), old) << name;
      }
    }
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      EXPECT_EQ(entry.path().filename().string().find(".txt."), std::string::npos);
    }
  }
}

// The export writes the flight as it was loaded: the record file is not read again,
// so one that is gone or changed since gives the same files.
TEST_F(FlightTextExport, WritesTheLoadedFlightNotTheFileAsItIsNow) {
  ScratchDir dir;
  const auto bytes = Encode(MakeCraftedFlight({10, 0, 0, CircuitAltitudes()}));
  ASSERT_TRUE(testing::WriteBytes(dir.File("record.dat"), bytes));
  Select("record.dat");
  Export();
  const std::string flight = ReadWholeFile(dir.path() / "flight.txt");
  const std::string warning = ReadWholeFile(dir.path() / "warning.txt");
  for (const bool gone : {false, true}) {
    if (gone) {
      fs::remove(dir.path() / "record.dat");
    } else {
      ASSERT_TRUE(testing::WriteBytes(dir.File("record.dat"), Encode(GearFlight())));
    }
    ui_.messages.clear();
    Export();
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{kReminder});
    EXPECT_EQ(ReadWholeFile(dir.path() / "flight.txt"), flight);
    EXPECT_EQ(ReadWholeFile(dir.path() / "warning.txt"), warning);
  }
}

}  // namespace
}  // namespace quarn

// A delimited file of columns the reader does not know by name: the view asks for a
// column map, asks again after a map that does not read the file, and reads the
// next file of that header with the map it was given.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/script_host.h"
#include "platform/headless/headless_window.h"
#include "support/flight_record_writer.h"
#include "support/temp_dir.h"

namespace quarn {
namespace {

constexpr const char* kHeader = "when;north;east;height\n";
constexpr const char* kRows =
    "2018-05-30T20:00:00Z;52.30;4.76;300\n"
    "2018-05-30T20:00:01Z;52.31;4.77;310\n";
constexpr const char* kMap =
    R"({"when": {"channel": "timestamp"}, "north": {"channel": "latitude"}, )"
    R"("east": {"channel": "longitude"}, "height": {"channel": "altitude", "unit": "m"}})";

class ColumnMapTest : public ::testing::Test {
 protected:
  // Runs the lines; the transcript's lines that are the column map dialog.
  std::vector<std::string> Run(const std::string& script) {
    std::istringstream in(script);
    transcript_.str("");
    EXPECT_EQ(host_.Run(in), 0) << errors_.str();
    std::vector<std::string> dialogs;
    std::istringstream lines(transcript_.str());
    for (std::string line; std::getline(lines, line);) {
      if (line.find("\"columnMap\"") != std::string::npos) dialogs.push_back(line);
    }
    return dialogs;
  }
  std::string Write(const std::string& name) {
    const std::string path = dir_.File(name);
    const std::string text = std::string(kHeader) + kRows;
    EXPECT_TRUE(testing::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end())));
    return path;
  }
  const Flight& TheFlight() { return host_.app().doc().flight(); }

  testing::TempDir dir_;
  FixedWidthMetrics metrics_;
  std::ostringstream transcript_;
  std::ostringstream errors_;
  ScriptHost host_{metrics_, transcript_, errors_, "/tmp", ".", 640, 480};
};

TEST_F(ColumnMapTest, AskedOnceThenRememberedForTheHeader) {
  const std::string first = Write("first.txt");
  // A map that leaves the longitude out is answered by the dialog again, saying why.
  const std::string wrongMap =
      R"({"when": {"channel": "timestamp"}, "north": {"channel": "latitude"}})";
  auto dialogs = Run("answer file " + first + "\nanswer text " + wrongMap + "\nanswer text " +
                     kMap + "\ncommand ID_SELECT_RECORD_FILE\n");
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_NE(dialogs[0].find(R"("columns":["when","north","east","height"])"), std::string::npos);
  EXPECT_NE(dialogs[0].find("no time, latitude and longitude column"), std::string::npos)
      << dialogs[0];
  EXPECT_NE(dialogs[1].find("no longitude column"), std::string::npos) << dialogs[1];
  ASSERT_EQ(TheFlight().sampleCount(), 2);
  EXPECT_NEAR(TheFlight().samples[1].altitudeFt, 310 / 0.3048, 1e-9);

  // Another file with the same header opens without a dialog.
  const std::string second = Write("second.txt");
  dialogs = Run("answer file " + second + "\ncommand ID_SELECT_RECORD_FILE\n");
  EXPECT_TRUE(dialogs.empty());
  EXPECT_EQ(TheFlight().recordPath, second);
}

TEST_F(ColumnMapTest, CancellingKeepsTheFlightOnScreen) {
  const std::string file = Write("track.txt");
  Run("answer file " + file + "\ncommand ID_SELECT_RECORD_FILE\n");  // no map: cancelled
  EXPECT_NE(TheFlight().recordPath, file);
  EXPECT_NE(transcript_.str().find("a column map can say which columns hold what"),
            std::string::npos);
}

}  // namespace
}  // namespace quarn

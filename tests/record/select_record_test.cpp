#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/command_ids.h"
#include "base/flight.h"
#include "base/view_state.h"
#include "support/record_fixtures.h"
#include "support/temp_dir.h"
#include "support/test_host.h"

namespace quarn {
namespace {

using testing::SampleValues;
using testing::SteadyClimb;
using testing::TempDir;
using testing::TestHost;
using testing::WriteBytes;
using testing::WriteRecordFile;

const std::string kCannotOpen = "Can\u00b4t open file ";

std::vector<std::string> Without(std::vector<std::string> lines, const std::string& event) {
  std::erase_if(lines, [&](const std::string& l) { return l.find(event) != std::string::npos; });
  return lines;
}

TEST(SelectRecordFile, LoadsAndResetsTheView) {
  TempDir dir;
  TestHost t;
  const std::string path = WriteRecordFile(dir.path(), "f.dat", SteadyClimb(300));
  t.state().trackCursor = 17;  // kept by a load
  t.state().zoomLevel = 5;
  t.state().chartMode = kChartAltitude;
  t.doc().m_navaidsLoaded = 1;
  t.LoadRecord(path);

  EXPECT_EQ(t.TakeTranscript(),
            (std::vector<std::string>{
                "{\"event\":\"dialog\",\"name\":\"open\",\"answer\":\"" + path + "\"}",
                "{\"event\":\"status\",\"text\":\"300 Points (lat,lon) in memory\"}"}));
  EXPECT_EQ(t.flight().recordPath, path);
  EXPECT_EQ(t.flight().lastSampleIndex(), 299);
  EXPECT_EQ(t.state().chartMode, kChartBlank);
  EXPECT_EQ(t.state().zoomLevel, 1);
  EXPECT_EQ(t.state().windowFirst, 0);
  EXPECT_EQ(t.state().windowLast, 299);
  EXPECT_EQ(t.state().trackFirst, 0);
  EXPECT_EQ(t.state().trackLast, 299);
  EXPECT_EQ(t.state().trackCursor, 17);
  EXPECT_EQ(t.doc().m_navaidsLoaded, 0);
  EXPECT_DOUBLE_EQ(t.state().firstTime, 10.0);
  EXPECT_DOUBLE_EQ(t.state().lastTime, t.flight().samples[299].timeHours);
  // The area is left white: mode 0 draws nothing over it.
  ASSERT_EQ(t.screen().ops().size(), 1u);
  EXPECT_EQ(t.screen().ops()[0].color, kWhite);
}

TEST(SelectRecordFile, EndOfFileRule) {
  TempDir dir;
  const auto two = testing::EncodeSamples(SteadyClimb(2));
  const struct {
    std::size_t bytes;
    int samples;
  } cases[] = {{0, 0}, {1, 0}, {79, 0}, {80, 1}, {81, 1}, {159, 1}, {160, 2}};
  for (const auto& c : cases) {
    TestHost t;
    std::vector<std::uint8_t> bytes(two.begin(), two.begin() + static_cast<long>(c.bytes));
    WriteBytes(dir.File("f.dat"), bytes);
    t.state().firstTime = 3;
    t.state().lastTime = 4;
    t.LoadRecord(dir.File("f.dat"));
    EXPECT_EQ(t.flight().lastSampleIndex(), c.samples - 1) << c.bytes;
    EXPECT_EQ(t.state().windowLast, c.samples - 1) << c.bytes;
    EXPECT_EQ(t.TakeTranscript().back(), "{\"event\":\"status\",\"text\":\"" +
                                             std::to_string(c.samples) +
                                             " Points (lat,lon) in memory\"}");
    if (c.samples == 0) {  // nothing of the former record stays on the time axis
      EXPECT_EQ(t.state().firstTime, 0);
      EXPECT_EQ(t.state().lastTime, 0);
    }
  }
}

TEST(SelectRecordFile, VerticalSpeedUsesTheFirstIntervalForEverySample) {
  TempDir dir;
  TestHost t;
  std::vector<SampleValues> s = SteadyClimb(4);
  // Samples at 0, 2, 3 and 3 seconds: the first interval, two seconds, serves all.
  s[1].seconds = 2;
  s[2].seconds = 3;
  s[3].seconds = 3;
  s[0].altitudeFt = 0;
  s[1].altitudeFt = 100;
  s[2].altitudeFt = 200;
  s[3].altitudeFt = 150;
  t.LoadRecord(WriteRecordFile(dir.path(), "f.dat", s));
  EXPECT_EQ(t.flight().samples[0].verticalSpeedFpm, 0);
  EXPECT_NEAR(t.flight().samples[1].verticalSpeedFpm, 3000, 1e-6);
  EXPECT_NEAR(t.flight().samples[2].verticalSpeedFpm, 3000, 1e-6);
  EXPECT_NEAR(t.flight().samples[3].verticalSpeedFpm, -1500, 1e-6);
}

TEST(SelectRecordFile, EqualFirstTimesTakeOneSecondAndASingleSampleHasNoInterval) {
  TempDir dir;
  TestHost t;
  std::vector<SampleValues> s = SteadyClimb(3);
  s[1].seconds = s[0].seconds;
  t.LoadRecord(WriteRecordFile(dir.path(), "f.dat", s));
  EXPECT_NEAR(t.flight().samples[1].verticalSpeedFpm, 10 * 60, 1e-6);
  EXPECT_NEAR(t.flight().samples[2].verticalSpeedFpm, 10 * 60, 1e-6);

  t.LoadRecord(WriteRecordFile(dir.path(), "one.dat", SteadyClimb(1)));
  EXPECT_EQ(t.flight().lastSampleIndex(), 0);
  EXPECT_EQ(t.flight().samples[0].verticalSpeedFpm, 0);
}

// A flight replaces the one before it whole: nothing of a longer record stays past
// the new one's end, and the track cursor, which a load keeps, comes back into it.
TEST(SelectRecordFile, AShorterRecordLeavesNothingOfTheLongerOne) {
  TempDir dir;
  TestHost t;
  t.LoadRecord(WriteRecordFile(dir.path(), "long.dat", SteadyClimb(10)));
  t.Run({"key END"});
  ASSERT_EQ(t.state().trackCursor, 9);
  t.LoadRecord(WriteRecordFile(dir.path(), "short.dat", SteadyClimb(3, 12)));
  EXPECT_EQ(t.flight().lastSampleIndex(), 2);
  EXPECT_EQ(t.state().trackCursor, 2);
  EXPECT_DOUBLE_EQ(t.flight().samples[2].timeHours, 12 + 2 * 0.0002777777777777778);
  EXPECT_EQ(t.flight().SampleAt(9).altitudeFt, 0);
  EXPECT_EQ(t.flight().SampleAt(3).timeHours, 0);
  t.LoadRecord(WriteRecordFile(dir.path(), "empty.dat", {}));
  EXPECT_EQ(t.state().trackCursor, 0);
}

TEST(SelectRecordFile, KeepsTheFirst50000RecordsOfALongerFileAndSaysSo) {
  TempDir dir;
  TestHost t;
  const auto path = WriteRecordFile(dir.path(), "huge.dat", SteadyClimb(kMaxSamples + 5));
  t.LoadRecord(path);
  EXPECT_EQ(t.flight().lastSampleIndex(), kMaxSamples - 1);
  EXPECT_EQ(t.state().windowLast, kMaxSamples - 1);
  const auto lines = t.TakeTranscript();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "{\"event\":\"status\",\"text\":\"50000 Points (lat,lon) in memory\"}");
  EXPECT_EQ(lines[2], "{\"event\":\"message\",\"text\":\"" + path +
                          " holds more than 50000 records: only the first 50000 were loaded.\"}");

  // Exactly 50000 records is no reason for a message.
  t.LoadRecord(WriteRecordFile(dir.path(), "full.dat", SteadyClimb(kMaxSamples)));
  EXPECT_EQ(Without(t.TakeTranscript(), "message").size(), 2u);
}

// A read error is no end of the record: it is reported after what was read.
TEST(SelectRecordFile, AReadErrorIsReported) {
  TempDir dir;
  TestHost t;
  // A record file whose first read fails: what was read stays, and the failure is said.
  const std::string record = dir.File("mem.dat");
  std::filesystem::create_symlink("/proc/self/mem", record);
  t.LoadRecord(record);
  const auto lines = t.TakeTranscript();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "{\"event\":\"status\",\"text\":\"0 Points (lat,lon) in memory\"}");
  EXPECT_EQ(lines[2], "{\"event\":\"message\",\"text\":\"Can\u00b4t read " + record + "\"}");
}

TEST(SelectRecordFile, AFailedOpenKeepsTheFormerRecordAndItsPath) {
  TempDir dir;
  TestHost t;
  const auto good = WriteRecordFile(dir.path(), "good.dat", SteadyClimb(5));
  t.LoadRecord(good);
  t.TakeTranscript();
  t.state().zoomLevel = 3;
  for (const std::string& bad : {dir.File("missing.dat"), dir.path()}) {
    t.LoadRecord(bad);
    const auto lines = t.TakeTranscript();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "{\"event\":\"message\",\"text\":\"" + kCannotOpen + bad + "\\n\"}");
    EXPECT_EQ(t.flight().recordPath, good);
    EXPECT_EQ(t.flight().lastSampleIndex(), 4);
    EXPECT_EQ(t.state().zoomLevel, 3);
  }
}

TEST(SelectRecordFile, CancelLeavesAWhiteAreaAndClearsTheNavaidFlagOnly) {
  TestHost t;
  t.state().chartMode = kChartAltitude;
  t.doc().m_navaidsLoaded = 1;
  t.Run({"answer cancel", "command 32771"});
  EXPECT_EQ(t.TakeTranscript(),
            (std::vector<std::string>{"{\"event\":\"dialog\",\"name\":\"open\",\"answer\":null}"}));
  EXPECT_EQ(t.doc().m_navaidsLoaded, 0);
  EXPECT_EQ(t.state().chartMode, kChartAltitude);
  EXPECT_TRUE(t.flight().recordPath.empty());
  ASSERT_EQ(t.screen().ops().size(), 1u);
  EXPECT_EQ(t.screen().ops()[0].color, kWhite);
}

}  // namespace
}  // namespace quarn

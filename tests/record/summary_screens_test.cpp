// The general summary (mode 8) and the take-off and landing summary (mode 12) as
// the headless host draws them: texts at their positions in the display list.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>

#include "app/quarn_app.h"
#include "base/view_state.h"
#include "cli/script_host.h"
#include "record_test_util.h"

namespace quarn {
namespace {

using testing::CircuitAltitudes;
using testing::MakeCraftedFlight;
using testing::SampleValues;

using Texts = std::map<std::pair<int, int>, std::string>;  // (x, y) -> text

class SummaryScreens : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = std::make_unique<ScriptHost>(metrics_, transcript_, errors_, dir_.path().string(),
                                         dir_.path().string(), 1000, 700);
  }
  int ChartMode() { return host_->app().view().state().chartMode; }
  // The record's path as the screens show it, changed behind their backs.
  void SetPath(const std::string& path) { host_->app().doc().m_flights.front().recordPath = path; }

  void Run(const std::string& line) { ASSERT_TRUE(host_->RunLine(line)) << errors_.str(); }

  void Load(const std::vector<SampleValues>& samples) {
    ASSERT_TRUE(testing::WriteBytes(dir_.File("rec.dat"), testing::EncodeSamples(samples)));
    Run("answer file rec.dat");
    Run("command 32771");
  }

  const DisplayList& List() const { return host_->window().displayList(); }

  // Every text op; the screens draw in Arial of height 9, black on white.
  Texts TextOps() const {
    Texts out;
    for (const DrawOp& op : List().ops()) {
      if (op.kind != DrawOp::Kind::Text) continue;
      EXPECT_EQ(op.font, ArialFont(-9));
      EXPECT_EQ(op.color, kBlack);
      EXPECT_EQ(op.background, kWhite);
      EXPECT_TRUE(out.emplace(std::make_pair(op.at.x, op.at.y), op.text).second)
          << "two texts at " << op.at.x << "," << op.at.y;
    }
    return out;
  }

  std::string Path() const { return dir_.File("rec.dat"); }

  testing::ScratchDir dir_;
  FixedWidthMetrics metrics_;
  std::ostringstream transcript_;
  std::ostringstream errors_;
  std::unique_ptr<ScriptHost> host_;
};

std::string At(const Texts& t, int x, int y) {
  const auto it = t.find({x, y});
  return it == t.end() ? "<nothing at " + std::to_string(x) + "," + std::to_string(y) + ">"
                       : it->second;
}

TEST_F(SummaryScreens, GeneralSummaryGearRowsPushTheSectionsDown) {
  Load(testing::GearFlight());
  Run("command 32780");
  EXPECT_EQ(ChartMode(), kChartFlightSummary);
  ASSERT_FALSE(List().ops().empty());
  const DrawOp& fill = List().ops().front();
  EXPECT_EQ(fill.kind, DrawOp::Kind::Fill);
  EXPECT_EQ(fill.rect, (Rect{0, 0, 1000, 700}));
  EXPECT_EQ(fill.color, kWhite);

  const Texts t = TextOps();
  EXPECT_EQ(At(t, 10, 2), "                 FLIGHT MAXIMUM " + Path());
  // All gears up at the start: the first row comes before the header.
  EXPECT_EQ(At(t, 10, 19), "10:00:00");
  EXPECT_EQ(At(t, 80, 19), "UP");
  EXPECT_EQ(At(t, 210, 19), "UP");
  EXPECT_EQ(At(t, 10, 31), "1. GEAR POSITION");
  EXPECT_EQ(At(t, 10, 43), "  Time              Gear No.1        Gear No.2     Gear No.3");
  EXPECT_EQ(At(t, 10, 53),
            "  -------              ------------          -------------      -------------");
  // Gear 1 alone down: two rows per sample, for three samples.
  const int rowY[] = {65, 77, 89, 101, 113, 125};
  const char* rowTime[] = {"10:00:05", "10:00:05", "10:00:06", "10:00:06", "10:00:07", "10:00:07"};
  for (int r = 0; r < 6; ++r) {
    EXPECT_EQ(At(t, 10, rowY[r]), rowTime[r]);
    EXPECT_EQ(At(t, 80, rowY[r]), "DOWN");
    EXPECT_EQ(At(t, 150, rowY[r]), "UP");
    EXPECT_EQ(At(t, 210, rowY[r]), "UP");
  }
  EXPECT_EQ(At(t, 10, 137), "10:00:08");
  EXPECT_EQ(At(t, 10, 149), "10:00:21");
  EXPECT_EQ(At(t, 10, 161), "10:00:31");
  EXPECT_EQ(At(t, 10, 173), "10:00:40");
  EXPECT_EQ(At(t, 210, 173), "UP");
  EXPECT_EQ(At(t, 10, 185), "10:00:41");

  // Eleven rows after the header: y = 65 + 11 x 12 = 197.
  const int y = 197;
  EXPECT_EQ(At(t, 10, y + 5), "2. MAXIMUM VARIABLES AND FLIGHT CONDITIONS");
  EXPECT_EQ(At(t, 10, y + 22),
            "Variable                       Time     Altitude    Latitude Longitude  Pitch   Bank "
            "  TAS    IAS    V.Speed");
  // The highest altitude, 1000 ft at 10:00:24, shown at its stored second; its
  // vertical speed is the climb of 100 ft in the first interval of one second.
  EXPECT_EQ(At(t, 10, y + 44),
            "Altitude                     10:00:24    01000    +40.524    -03.524   +02.0   +00.0  "
            "0124   0114       +6000");
  for (int k = 0; k < 9; ++k) EXPECT_NE(At(t, 10, y + 44 + 12 * k).find(":"), 0u);
  EXPECT_EQ(At(t, 10, y + 140).substr(0, 16), "Negative V.Speed");
  EXPECT_EQ(At(t, 10, y + 157), "3. GENERAL DATA");
  EXPECT_EQ(At(t, 10, y + 203),
            "Record Time            10:00:00        10:00:49              0:49");
  EXPECT_EQ(At(t, 10, y + 215),
            "Pause Time                    --                --                    0:0 ");
  EXPECT_EQ(At(t, 10, y + 227), "Flight Time              10:00:15");
  EXPECT_EQ(At(t, 160, y + 227), "10:00:36");
  EXPECT_EQ(At(t, 220, y + 227), "     0:21");
  EXPECT_EQ(At(t, 10, y + 244), "4. FUEL DATA (percentage)");
  EXPECT_EQ(At(t, 10, y + 280), "10:00:00      80.0           60.0          79.0            59.0");
  EXPECT_EQ(At(t, 10, y + 292), "10:00:49      75.1           60.0          74.1            59.0");
  // Title, 12 gear rows of 4 texts, gear header, section 2 (3 + 9 rows),
  // section 3 (4 + 2 rows), the three Flight Time pieces, section 4 (3 + 2 rows).
  EXPECT_EQ(t.size(), 1u + 12 * 4 + 3 + 12 + 6 + 3 + 5);
}

TEST_F(SummaryScreens, GeneralSummaryOfAnEmptyRecordShowsOnlyTitlesAndHeaders) {
  Load({});
  Run("command 32780");
  const Texts t = TextOps();
  // No gear log: section 2 starts at y = 19.
  EXPECT_EQ(At(t, 10, 24), "2. MAXIMUM VARIABLES AND FLIGHT CONDITIONS");
  EXPECT_EQ(At(t, 10, 176), "3. GENERAL DATA");
  // No sample to share the record time over: the pause time is 0:0.
  EXPECT_EQ(At(t, 10, 234),
            "Pause Time                    --                --                    0:0 ");
  EXPECT_EQ(At(t, 10, 263), "4. FUEL DATA (percentage)");
  for (const auto& [pos, text] : t) {
    EXPECT_EQ(text.find("Record Time"), std::string::npos);
    EXPECT_EQ(text.find("Flight Time"), std::string::npos);
    EXPECT_NE(text.rfind("Altitude", 0), 0u);
  }
  // Title, section 2 (3), section 3 (4 + pause row), section 4 (3).
  EXPECT_EQ(t.size(), 1u + 3 + 5 + 3);
}

TEST_F(SummaryScreens, GeneralSummaryWithoutTakeoffHasNoFlightTime) {
  std::vector<double> descent(15, 500.0);
  for (int i = 1; i <= 15; ++i) descent.push_back(500.0 - 30.0 * i);
  Load(MakeCraftedFlight({10, 0, 0, descent}));
  Run("command 32780");
  const Texts t = TextOps();
  // Gear down throughout: the header and one row.
  EXPECT_EQ(At(t, 10, 19), "1. GEAR POSITION");
  EXPECT_EQ(At(t, 10, 53), "10:00:00");
  const int y = 65;
  EXPECT_EQ(t.count({10, y + 227}), 0u);
  EXPECT_EQ(t.count({160, y + 227}), 0u);
  EXPECT_EQ(At(t, 10, y + 244), "4. FUEL DATA (percentage)");
  // Never climbing: the highest vertical speed is the last sample at exactly 0.
  EXPECT_EQ(At(t, 10, y + 128).substr(0, 36), "Positive V.Speed        10:00:14    ");
}

TEST_F(SummaryScreens, TakeoffScreenWithRotationAndLanding) {
  Load(MakeCraftedFlight({10, 0, 0, CircuitAltitudes()}));
  Run("command 32830");
  EXPECT_EQ(ChartMode(), kChartTakeoffLanding);
  const Texts t = TextOps();
  EXPECT_EQ(At(t, 10, 12), "          TAKE OFF AND LANDING SUMMARY " + Path());
  EXPECT_EQ(At(t, 10, 39), "1. TAKE OFF VARIABLES AND FLIGHT CONDITIONS");
  EXPECT_EQ(
      At(t, 10, 56),
      "Event                          Time     Altitude    Latitude Longitude  Pitch   Bank   "
      "TAS    IAS    V.Speed");
  EXPECT_EQ(
      At(t, 10, 66),
      "-----------                       -------      --------      ---------     -----------  "
      " -------   -------   ------    ------   ----------");
  EXPECT_EQ(At(t, 10, 78),
            "Take Off                  10:00:15    00100    +40.515    -03.515   -02.0   -02.0  "
            "0115   0105       +6000");
  // Sample 15 at 10:00:15, 100 ft after 15 samples on the
  // ground. The first sample climbing at 3 ft/min or more is the take-off itself.
  EXPECT_EQ(At(t, 10, 90),
            "Rotation                   10:00:15    00100    +40.515    -03.515   -02.0   -02.0  "
            "0115   0105       +6000");
  EXPECT_EQ(At(t, 10, 112), "2. LANDING VARIABLES AND FLIGHT CONDITIONS");
  EXPECT_EQ(At(t, 10, 129), At(t, 10, 56));
  EXPECT_EQ(At(t, 10, 139), At(t, 10, 66));
  // M = N - 1 = 49: the last 30 % starts at sample 35, the first back on the
  // ground (the general summary, with M = 50, lands at sample 36).
  EXPECT_EQ(At(t, 10, 151),
            "Landing                    10:00:35    00000    +40.535    -03.535   -02.0   -03.0  "
            "0135   0125       +000");
  EXPECT_EQ(t.size(), 10u);
}

TEST_F(SummaryScreens, TakeoffScreenWithoutRotationMovesLandingUp) {
  // Sample 1 an hour after sample 0: every vertical speed is formed over that first
  // interval, so a climb of 100 ft a sample is below 3 ft/min.
  auto samples = MakeCraftedFlight({10, 0, 0, CircuitAltitudes()});
  samples[0].hours = 9;
  Load(samples);
  Run("command 32830");
  const Texts t = TextOps();
  EXPECT_EQ(At(t, 10, 78).substr(0, 8), "Take Off");
  // No rotation row: the landing section starts 51 pixels below the take-off
  // section's top.
  for (const auto& [pos, text] : t) EXPECT_NE(text.rfind("Rotation", 0), 0u);
  EXPECT_EQ(At(t, 10, 39 + 51), "2. LANDING VARIABLES AND FLIGHT CONDITIONS");
  EXPECT_EQ(At(t, 10, 39 + 51 + 39).substr(0, 7), "Landing");
  EXPECT_EQ(t.size(), 9u);
}

TEST_F(SummaryScreens, TakeoffScreenShowsOnlyTheTitleWithoutTakeoff) {
  struct Case {
    const char* name;
    std::vector<SampleValues> samples;
  };
  std::vector<double> descent(15, 500.0);
  for (int i = 1; i <= 15; ++i) descent.push_back(500.0 - 30.0 * i);
  const std::vector<Case> cases{
      {"level, then descending", MakeCraftedFlight({10, 0, 0, descent})},
      {"empty record", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(c.samples);
    Run("command 32830");
    const Texts t = TextOps();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(At(t, 10, 12), "          TAKE OFF AND LANDING SUMMARY " + Path());
  }
}

TEST_F(SummaryScreens, RefusedWithoutRecord) {
  for (const char* command : {"command 32780", "command 32830"}) {
    SCOPED_TRACE(command);
    transcript_.str("");
    Run(command);
    EXPECT_EQ(ChartMode(), kChartBlank);
    EXPECT_EQ(transcript_.str(),
              "{\"event\":\"message\",\"text\":\"Select a Aerolog File First\"}\n");
    EXPECT_TRUE(List().ops().empty());
  }
}

// A click redraws the general summary but leaves the take-off screen as it is; a
// repaint redraws both. The record path stands in for a change the redraw would show.
TEST_F(SummaryScreens, RedrawRules) {
  Load(MakeCraftedFlight({10, 0, 0, CircuitAltitudes()}));
  struct Case {
    const char* command;
    const char* titlePrefix;
    int titleY;
    bool clickRedraws;
  };
  const Case cases[] = {
      {"command 32780", "                 FLIGHT MAXIMUM ", 2, true},
      {"command 32830", "          TAKE OFF AND LANDING SUMMARY ", 12, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    SetPath(Path());
    Run(c.command);
    SetPath("changed");
    Run("click 300 300");
    EXPECT_EQ(At(TextOps(), 10, c.titleY),
              c.titlePrefix + (c.clickRedraws ? std::string("changed") : Path()));
    Run("command 32801");  // zoom in
    EXPECT_EQ(At(TextOps(), 10, c.titleY),
              c.titlePrefix + (c.clickRedraws ? std::string("changed") : Path()));
    Run("repaint");
    EXPECT_EQ(At(TextOps(), 10, c.titleY), c.titlePrefix + std::string("changed"));
  }
}

}  // namespace
}  // namespace quarn

// The flight report's pages: one per chart, the approach views only when a runway
// is found, and the view's state as it was afterwards.

#include "app/flight_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/program_dir.h"
#include "base/view_state.h"
#include "charts/map_state.h"
#include "support/temp_dir.h"
#include "support/test_host.h"

namespace quarn::testing {
namespace {

std::vector<std::string> Titles(const FlightReport& report) {
  std::vector<std::string> titles;
  for (const auto& page : report.pages) {
    EXPECT_EQ(page.list.width(), kReportPageWidth);
    EXPECT_EQ(page.list.height(), kReportPageHeight);
    EXPECT_FALSE(page.list.ops().empty()) << page.title;
    titles.push_back(page.title);
  }
  return titles;
}

const std::vector<std::string> kChartsWithoutApproach = {"General Summary",
                                                         "Take-off and Landing Summary",
                                                         "Altitude",
                                                         "Indicated Airspeed",
                                                         "True Airspeed",
                                                         "Vertical Speed",
                                                         "Bank",
                                                         "Pitch",
                                                         "Combined Graph",
                                                         "Track Chart"};

class FlightReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramDirectory(data_.path());
    host_.LoadRecord(QUARN_EXAMPLES_DIR "/flight.dat");
  }
  void LoadExampleScenery() {
    host_.Run({"answer text example", "answer dir " QUARN_EXAMPLES_DIR "/scenery",
               "command ID_DEFINE_GROUP", "answer file " + data_.File("example.lis"),
               "command ID_LOAD_NAVAIDS"});
    ASSERT_EQ(host_.doc().m_navaidsLoaded, 1);
  }
  // A zoomed graph with the cursor at the end, as a user leaves it.
  void LeaveAZoomedGraph() { host_.Run({"key END", "command ID_ZOOM_IN", "command ID_GRAPH_IAS"}); }

  TempDir data_;
  TestHost host_;
  FixedWidthMetrics metrics_;
};

TEST_F(FlightReportTest, WithoutNavaidsTheApproachViewsAreLeftOutWithAReason) {
  LeaveAZoomedGraph();
  const std::string before = host_.host().StateJson();
  const FlightReport report = RecordFlightReport(host_.doc(), metrics_);
  EXPECT_EQ(report.recordName, "flight.dat");
  EXPECT_EQ(report.note, "Approach views left out: no navaids were loaded, so no runway is known.");
  EXPECT_EQ(Titles(report), kChartsWithoutApproach);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_EQ(host_.host().StateJson(), before);
}

TEST_F(FlightReportTest, TheLandingRunwayBringsTheSideViewAndLeavesTheStateAsItWas) {
  LoadExampleScenery();
  LeaveAZoomedGraph();
  g_showIdFreq = false;  // the side view turns it on for itself
  const std::string before = host_.host().StateJson();
  std::vector<int> told;
  const FlightReport report = RecordFlightReport(host_.doc(), metrics_, [&](int done, int total) {
    told.push_back(done * 100 / total);
    return true;
  });
  EXPECT_EQ(report.note, "");
  std::vector<std::string> expected = kChartsWithoutApproach;
  expected.push_back("Approach Side View");
  expected.push_back("Approach Bottom View");
  expected.push_back("Approach Debrief");
  EXPECT_EQ(Titles(report), expected);
  EXPECT_EQ(told.back(), 100);
  EXPECT_EQ(host_.host().StateJson(), before);
  EXPECT_FALSE(g_showIdFreq);
  EXPECT_EQ(g_chartMode, kChartIas);
}

TEST_F(FlightReportTest, ACancelGivesNoPagesAndNoRecordNoReport) {
  LeaveAZoomedGraph();
  const std::string before = host_.host().StateJson();
  const FlightReport cancelled =
      RecordFlightReport(host_.doc(), metrics_, [](int done, int) { return done < 3; });
  EXPECT_TRUE(cancelled.pages.empty());
  EXPECT_EQ(host_.host().StateJson(), before);

  TestHost fresh;
  EXPECT_TRUE(RecordFlightReport(fresh.doc(), metrics_).pages.empty());
}

}  // namespace
}  // namespace quarn::testing

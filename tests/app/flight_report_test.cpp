// The flight report's pages: one per chart, the approach views only when a runway
// is found, the view's state untouched, the same pages every time.

#include "app/flight_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  void SetUp() override { host_.LoadRecord(QUARN_EXAMPLES_DIR "/flight.dat"); }
  FlightReport Report(const ReportProgress& progress = {}) {
    return RecordFlightReport(host_.flight(), host_.doc(), host_.map(), metrics_, progress);
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
  TestHost host_{1280, 800, data_.path()};
  FixedWidthMetrics metrics_;
};

TEST_F(FlightReportTest, WithoutNavaidsTheApproachViewsAreLeftOutWithAReason) {
  LeaveAZoomedGraph();
  const std::string before = host_.host().StateJson();
  const FlightReport report = Report();
  EXPECT_EQ(report.recordName, "flight.dat");
  EXPECT_EQ(report.note, "Approach views left out: no navaids were loaded, so no runway is known.");
  EXPECT_EQ(Titles(report), kChartsWithoutApproach);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_EQ(host_.host().StateJson(), before);
}

TEST_F(FlightReportTest, TheLandingRunwayBringsTheSideViewAndLeavesTheStateAsItWas) {
  LoadExampleScenery();
  LeaveAZoomedGraph();
  host_.map().showIdFreq = false;  // the side view turns it on for itself
  const std::string before = host_.host().StateJson();
  std::vector<int> told;
  const FlightReport report = Report([&](int done, int total) {
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
  EXPECT_FALSE(host_.map().showIdFreq);
  EXPECT_EQ(host_.state().chartMode, kChartIas);
}

TEST_F(FlightReportTest, ACancelGivesNoPagesAndNoRecordNoReport) {
  LeaveAZoomedGraph();
  const std::string before = host_.host().StateJson();
  const FlightReport cancelled = Report([](int done, int) { return done < 3; });
  EXPECT_TRUE(cancelled.pages.empty());
  EXPECT_EQ(host_.host().StateJson(), before);

  TestHost fresh;
  EXPECT_TRUE(RecordFlightReport(fresh.flight(), fresh.doc(), fresh.map(), metrics_).pages.empty());
}

// Nothing is saved and put back around the pages: a report drawn again is the same
// report, page for page.
TEST_F(FlightReportTest, TwoReportsInARowAreTheSame) {
  LoadExampleScenery();
  LeaveAZoomedGraph();
  const FlightReport first = Report();
  const FlightReport second = Report();
  ASSERT_EQ(first.pages.size(), 13u);
  ASSERT_EQ(second.pages.size(), first.pages.size());
  for (std::size_t i = 0; i < first.pages.size(); ++i) {
    EXPECT_EQ(second.pages[i].list.ToJson(), first.pages[i].list.ToJson()) << first.pages[i].title;
  }
}

}  // namespace
}  // namespace quarn::testing

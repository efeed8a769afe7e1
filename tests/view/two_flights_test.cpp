// Flights are values: a document holds two, each chart of the table draws one of
// them from what it is handed, and nothing of one reaches the drawing of the other.

#include <gtest/gtest.h>

#include <string>

#include "navaid/halbrico_doc.h"
#include "navaid/scenery_load.h"
#include "platform/headless/headless_window.h"
#include "platform/text_metrics.h"
#include "record/flight_reader.h"
#include "support/example_flight.h"
#include "support/temp_dir.h"
#include "view/chart_table.h"

namespace quarn {
namespace {

Flight Read(const std::string& path) {
  auto read = ReadFlight(path);
  EXPECT_TRUE(read.ok()) << path;
  return read.ok() ? std::move(read->flight) : Flight{};
}

// A chart of a flight in a window of its own, with the view state a load leaves.
std::string Draw(const ChartEntry& chart, const Flight& flight, const CHalbricoDoc& doc) {
  FixedWidthMetrics metrics;
  HeadlessWindow window(1000, 700, metrics);
  ViewState view;
  view.windowLast = view.trackLast = flight.lastSampleIndex();
  view.firstTime = flight.SampleAt(0).timeHours;
  view.lastTime = flight.SampleAt(flight.lastSampleIndex()).timeHours;
  view.trackCursor = flight.lastSampleIndex() / 2;
  MapState map;
  chart.draw(window, ChartInput{flight, doc, view, map});
  return window.displayList().ToJson();
}

TEST(TwoFlights, EachChartOfEachFlightIsTheSameAloneAndBesideTheOther) {
  testing::TempDir dir;
  // The example flight's circuit flown later that day and a little further east.
  auto circuit = testing::MakeExampleFlight({14, 40, 10, 0});
  for (auto& s : circuit) s.longitudeDeg += 0.004;
  const std::string later = dir.File("later.dat");
  ASSERT_TRUE(testing::WriteBytes(later, testing::EncodeSamples(circuit)));

  CHalbricoDoc both;
  QuietNotices quiet;
  LoadSceneryFile(both, QUARN_EXAMPLES_DIR "/scenery/amsterdam_old.bgl", dir.path(), quiet);
  both.RebuildIndexLists();
  both.SetFlight(Read(QUARN_EXAMPLES_DIR "/flight.dat"));
  both.m_flights.push_back(Read(later));
  ASSERT_EQ(both.m_flights.size(), 2u);

  for (const ChartEntry& chart : Charts()) {
    SCOPED_TRACE(chart.caption);
    // Drawn in turns from the document that holds both...
    const std::string first = Draw(chart, both.m_flights[0], both);
    const std::string second = Draw(chart, both.m_flights[1], both);
    EXPECT_EQ(Draw(chart, both.m_flights[0], both), first);
    EXPECT_NE(first, second);
    // ...and each alone in a document of its own.
    for (std::size_t k = 0; k < 2; ++k) {
      CHalbricoDoc alone;
      LoadSceneryFile(alone, QUARN_EXAMPLES_DIR "/scenery/amsterdam_old.bgl", dir.path(), quiet);
      alone.RebuildIndexLists();
      alone.SetFlight(both.m_flights[k]);
      EXPECT_EQ(Draw(chart, alone.flight(), alone), k == 0 ? first : second) << k;
    }
  }
}

}  // namespace
}  // namespace quarn

// A second flight drawn beside the current one: its trace shifted onto the current
// flight's time axis and scale in its own colour, its track and approach needles the
// same, its value in the status line; and with nothing compared every chart as before.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/command_ids.h"
#include "charts/compared_flight.h"
#include "charts/status_lines.h"
#include "cli/script_host.h"
#include "platform/text_metrics.h"
#include "view/chart_table.h"
#include "view/graph_frame.h"

namespace quarn {
namespace {

constexpr int kW = 1280;
constexpr int kH = 800;
const Pen kComparedPen{PenStyle::Dot, 1, kComparedColor};
const Pen kDottedBlue{PenStyle::Dot, 1, Color{0, 0, 255}};

using Segment = std::pair<Point, Point>;

// Samples 1/64 hour apart (binary fractions, so the pixels come out exact) from
// startHours, with the altitude rising by step each sample.
Flight Stepped(double startHours, int count, double step) {
  Flight f;
  f.recordPath = "/records/stepped.dat";
  f.channels = ChannelSet::AllRecorded();
  for (int i = 0; i < count; ++i) {
    FlightSample s;
    s.timeHours = startHours + i / 64.0;
    s.altitudeFt = step * i;
    f.samples.push_back(s);
  }
  return f;
}

class CompareTest : public ::testing::Test {
 protected:
  CHalbricoDoc& Doc() { return host_.app().doc(); }

  // The flight as a loaded record: the window is the whole of it.
  void Load(Flight flight) {
    Doc().SetFlight(std::move(flight));
    const Flight& f = Doc().flight();
    ViewState& v = host_.app().view().state();
    v.windowFirst = v.trackFirst = 0;
    v.windowLast = v.trackLast = f.lastSampleIndex();
    v.firstTime = f.SampleAt(0).timeHours;
    v.lastTime = f.SampleAt(f.lastSampleIndex()).timeHours;
  }

  void Run(const std::string& script, int status = 0) {
    std::istringstream in(script);
    ASSERT_EQ(host_.Run(in), status) << errors_.str();
  }

  const std::vector<DrawOp>& Ops() const { return host_.window().displayList().ops(); }
  std::string Json() const { return host_.window().displayList().ToJson(); }

  std::vector<Segment> Lines(const Pen& pen) const {
    std::vector<Segment> out;
    for (const DrawOp& op : Ops()) {
      if (op.kind == DrawOp::Kind::Line && op.pen == pen) out.emplace_back(op.from, op.to);
    }
    return out;
  }

  std::string TextAt(Point at, TextAlign align) const {
    for (const DrawOp& op : Ops()) {
      if (op.kind == DrawOp::Kind::Text && op.at == at && op.align == align) return op.text;
    }
    return "<none>";
  }

  FixedWidthMetrics metrics_;
  std::ostringstream transcript_;
  std::ostringstream errors_;
  mutable ScriptHost host_{metrics_, transcript_, errors_, QUARN_EXAMPLES_DIR "/..", ".", kW, kH};
};

TEST_F(CompareTest, TheComparedTraceIsShiftedOntoTheAxisAndScale) {
  // The current flight: 0 to 500 ft over ten steps from 10:00. The compared one starts
  // at 14:00 and climbs twice as fast for fourteen steps, of which the last four lie
  // beyond the axis once its start is laid on 10:00.
  Load(Stepped(10, 11, 50));
  Doc().SetComparedFlight(Stepped(14, 15, 100), CompareAlignment::Start);
  host_.app().ExecuteCommand(ID_GRAPH_ALTITUDE);

  // Both on one scale of 0 to 1000 ft (the compared samples beyond the axis do not
  // widen it): 118 pixels a step across, 0.7 pixels a foot up from y = 750.
  std::vector<Segment> current, compared;
  for (int i = 1; i <= 10; ++i) {
    current.emplace_back(Point{50 + 118 * (i - 1), 750 - 35 * (i - 1)},
                         Point{50 + 118 * i, 750 - 35 * i});
    compared.emplace_back(Point{50 + 118 * (i - 1), 750 - 70 * (i - 1)},
                          Point{50 + 118 * i, 750 - 70 * i});
  }
  EXPECT_EQ(Lines(kDottedBlue), current);
  EXPECT_EQ(Lines(kComparedPen), compared);
  EXPECT_EQ(TextAt({40, graph::GridY(7, kH) - 11}, TextAlign::Right), "  1000");

  // Laid at its touchdown instead (none found: its start), the same.
  Doc().SetComparedFlight(Stepped(14, 15, 100), CompareAlignment::Touchdown);
  host_.app().ExecuteCommand(ID_GRAPH_ALTITUDE);
  EXPECT_EQ(Lines(kComparedPen), compared);
}

TEST_F(CompareTest, TheStatusLineAppendsTheComparedValueAtTheCursor) {
  Load(Stepped(10, 11, 50));
  host_.app().ExecuteCommand(ID_GRAPH_IAS);
  const std::string alone = TextAt({50, 10}, TextAlign::Left);
  host_.app().ExecuteCommand(ID_GRAPH_ALTITUDE);
  const std::string aloneAltitude = TextAt({50, 10}, TextAlign::Left);
  ASSERT_EQ(alone, aloneAltitude);

  Flight b = Stepped(14, 15, 100);
  for (FlightSample& s : b.samples) s.iasKt = 120;
  b.channels.Set(Channel::Pitch, ChannelState::Absent);
  Doc().SetComparedFlight(std::move(b), CompareAlignment::Start);
  struct Case {
    int command;
    const char* appended;
  };
  const Case cases[] = {
      {ID_GRAPH_ALTITUDE, "  B: Time=14:0:0 Altitude=      0"},
      {ID_GRAPH_IAS, "  B: Time=14:0:0 IAS=    120"},
      {ID_GRAPH_PITCH, "  B: Time=14:0:0 Pitch=  n/a"},
      {ID_GRAPH_COMBINED, "  B: Time=14:0:0 Altitude=      0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.appended);
    host_.app().ExecuteCommand(c.command);
    EXPECT_EQ(TextAt({50, 10}, TextAlign::Left), alone + c.appended);
  }

  // Outside the compared flight's time the line says it has no sample there.
  const ComparedTrace trace{Doc().comparedFlight(), -4};
  EXPECT_EQ(ComparedStatusText(trace, 9.99, kStatusAltitude), "  B: -");
  EXPECT_EQ(ComparedStatusText(trace, 10 + 15 / 64.0, kStatusAltitude), "  B: -");
  EXPECT_EQ(ComparedStatusText(trace, 10 + 4 / 64.0, kStatusAltitude),
            "  B: Time=14:3:45 Altitude=    400");
  EXPECT_EQ(ComparedStatusText(ComparedTrace{}, 10, kStatusAltitude), "");
}

// The example flight compared with itself at its start: every trace, track and needle
// of the compared flight lies exactly on the current one's.
TEST_F(CompareTest, AFlightComparedWithItselfLiesOnItselfInEveryChart) {
  Run("answer file examples/flight.dat\n"
      "command ID_SELECT_RECORD_FILE\n"
      "parse examples/scenery/amsterdam_old.bgl\n"
      "compare examples/flight.dat start\n");
  ASSERT_NE(Doc().comparedFlight(), nullptr);
  // Found once, when the flight was compared, not at every redraw.
  EXPECT_EQ(Doc().m_compareOffsetHours, 0.0);
  for (int command : {ID_GRAPH_ALTITUDE, ID_GRAPH_IAS, ID_GRAPH_TAS, ID_GRAPH_VERTICAL_SPEED,
                      ID_GRAPH_BANK, ID_GRAPH_PITCH}) {
    SCOPED_TRACE(command);
    host_.app().ExecuteCommand(command);
    ASSERT_FALSE(Lines(kDottedBlue).empty());
    EXPECT_EQ(Lines(kComparedPen), Lines(kDottedBlue));
  }

  host_.app().ExecuteCommand(ID_GRAPH_COMBINED);
  std::vector<Segment> traces;
  for (const Color c :
       {Color{255, 77, 77}, Color{255, 128, 0}, Color{255, 255, 0}, Color{0, 0, 255}}) {
    const auto lines = Lines(Pen{PenStyle::Dot, 1, c});
    traces.insert(traces.end(), lines.begin(), lines.end());
  }
  EXPECT_EQ(Lines(kComparedPen), traces);

  // The track: the compared one first, under the current one.
  host_.app().ExecuteCommand(ID_GRAPH_COURSE);
  const auto track = Lines(kDottedBlue);
  ASSERT_FALSE(track.empty());
  EXPECT_EQ(Lines(kComparedPen), track);
  std::size_t firstCompared = Ops().size(), firstCurrent = Ops().size();
  for (std::size_t i = Ops().size(); i-- > 0;) {
    if (Ops()[i].kind != DrawOp::Kind::Line) continue;
    if (Ops()[i].pen == kComparedPen) firstCompared = i;
    if (Ops()[i].pen == kDottedBlue) firstCurrent = i;
  }
  EXPECT_LT(firstCompared, firstCurrent);

  // The debrief: the compared needles on the current ones, and a legend.
  host_.app().ExecuteCommand(ID_APPROACH_DEBRIEF);
  const auto needles = Lines(Pen{PenStyle::Solid, 1, Color{0, 255, 255}});
  ASSERT_FALSE(needles.empty());
  EXPECT_EQ(Lines(Pen{PenStyle::Solid, 1, kComparedColor}), needles);
  EXPECT_EQ(TextAt({kW - 20, 24}, TextAlign::Right), "B: flight.dat, runway 6");
}

TEST_F(CompareTest, NothingComparedDrawsEveryChartAsBefore) {
  Run("answer file examples/flight.dat\n"
      "command ID_SELECT_RECORD_FILE\n"
      "parse examples/scenery/amsterdam_old.bgl\n");
  // Each chart drawn from the state the load left: the map charts change it.
  const ViewState view = host_.app().view().state();
  const MapState map = host_.app().view().mapState();
  auto draw = [&](const ChartEntry& chart) {
    host_.app().view().state() = view;
    host_.app().view().mapState() = map;
    host_.app().ExecuteCommand(chart.command);
    return Json();
  };
  std::vector<std::string> before;
  for (const ChartEntry& chart : Charts()) before.push_back(draw(chart));
  // A flight kept in the document for other uses is not compared.
  Doc().m_flights.push_back(Doc().flight());
  ASSERT_EQ(Doc().comparedFlight(), nullptr);
  Doc().m_flights.resize(1);

  Run("compare examples/flight.dat takeoff\n");
  std::vector<std::string> compared;
  for (const ChartEntry& chart : Charts()) compared.push_back(draw(chart));
  Run("end compare\n");
  ASSERT_EQ(Doc().comparedFlight(), nullptr);
  for (std::size_t k = 0; k < Charts().size(); ++k) {
    const ChartEntry& chart = Charts()[k];
    SCOPED_TRACE(chart.caption);
    EXPECT_EQ(draw(chart), before[k]);
    // What shows the compared flight: the graphs, the maps and the debrief.
    const bool showsIt = chart.mode != kChartFlightSummary && chart.mode != kChartTakeoffLanding &&
                         chart.mode != kChartSideView;
    EXPECT_EQ(compared[k] != before[k], showsIt);
  }
}

TEST_F(CompareTest, AFileThatCannotBeReadIsToldAndKeepsWhatWasCompared) {
  Run("answer file examples/flight.dat\n"
      "command ID_SELECT_RECORD_FILE\n"
      "compare examples/flight.dat\n");
  ASSERT_NE(Doc().comparedFlight(), nullptr);
  EXPECT_EQ(Doc().compareAlignment(), CompareAlignment::Touchdown);
  transcript_.str("");
  Run("compare examples/no-such-flight.dat start\n");
  EXPECT_NE(transcript_.str().find("\"message\""), std::string::npos) << transcript_.str();
  ASSERT_NE(Doc().comparedFlight(), nullptr);
  EXPECT_EQ(Doc().compareAlignment(), CompareAlignment::Touchdown);
  // The menu's End Compare does what the script's line does.
  host_.app().ExecuteCommand(ID_END_COMPARE);
  EXPECT_EQ(Doc().comparedFlight(), nullptr);
  host_.app().ExecuteCommand(ID_END_COMPARE);  // nothing to end: nothing happens
  EXPECT_EQ(Doc().comparedFlight(), nullptr);
}

}  // namespace
}  // namespace quarn

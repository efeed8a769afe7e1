// The time-series graphs and the combined graph, driven through the script host
// and checked on the window's display list.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/quarn_app.h"
#include "base/flight.h"
#include "base/view_state.h"
#include "cli/script_host.h"
#include "platform/text_metrics.h"
#include "view/chart_table.h"

namespace quarn {
namespace {

constexpr int kW = 1280;
constexpr int kH = 800;
constexpr Color kGreen{0, 170, 85};
constexpr Color kBlue{0, 0, 255};
constexpr Color kRed{255, 0, 0};

double Hours(int h, int m, int s) {
  return h + m / 60.0 + s / 3600.0;
}

class GraphTest : public ::testing::Test {
 protected:
  // The program as it starts: no flight, a fresh view.
  void Reset() {
    host_.app().doc().SetFlight(ProgramStartFlight());
    State() = ViewState{};
  }
  ViewState& State() { return host_.app().view().state(); }
  Flight& TheFlight() { return host_.app().doc().m_flights.front(); }

  // The samples as a loaded record: the window is the whole of it.
  void Load(const std::vector<FlightSample>& samples) {
    Flight f;
    f.samples = samples;
    f.recordPath = "/records/test.dat";
    f.channels = ChannelSet::AllRecorded();
    host_.app().doc().SetFlight(std::move(f));
    ViewState& v = State();
    v.windowFirst = v.trackFirst = 0;
    v.windowLast = v.trackLast = TheFlight().lastSampleIndex();
    v.firstTime = samples.front().timeHours;
    v.lastTime = samples.back().timeHours;
  }

  // Samples one second apart from 10:00:00 with the field set to each value.
  static std::vector<FlightSample> Series(double FlightSample::*field,
                                          const std::vector<double>& values) {
    std::vector<FlightSample> out;
    for (std::size_t i = 0; i < values.size(); ++i) {
      FlightSample s;
      s.timeHours = Hours(10, 0, static_cast<int>(i));
      s.*field = values[i];
      out.push_back(s);
    }
    return out;
  }

  void Run(const std::string& script) {
    std::istringstream in(script);
    ASSERT_EQ(host_.Run(in), 0) << errors_.str();
  }

  const std::vector<DrawOp>& Ops() const { return host_.window().displayList().ops(); }

  std::vector<DrawOp> Texts(TextAlign align) const {
    std::vector<DrawOp> out;
    for (const DrawOp& op : Ops()) {
      if (op.kind == DrawOp::Kind::Text && op.align == align) out.push_back(op);
    }
    return out;
  }

  std::vector<DrawOp> Lines(const Pen& pen) const {
    std::vector<DrawOp> out;
    for (const DrawOp& op : Ops()) {
      if (op.kind == DrawOp::Kind::Line && op.pen == pen) out.push_back(op);
    }
    return out;
  }

  // Index of the first op that is the given text, or -1.
  int IndexOfText(const std::string& text) const {
    for (std::size_t i = 0; i < Ops().size(); ++i) {
      if (Ops()[i].kind == DrawOp::Kind::Text && Ops()[i].text == text) return static_cast<int>(i);
    }
    return -1;
  }

  // The value labels: right-aligned texts at x = 40.
  std::vector<DrawOp> ValueLabels() const {
    std::vector<DrawOp> out;
    for (const DrawOp& op : Texts(TextAlign::Right)) {
      if (op.at.x == 40) out.push_back(op);
    }
    return out;
  }

  // The time labels: centred texts on the line y = H - 30.
  std::vector<std::string> TimeLabels() const {
    std::vector<std::string> out;
    for (const DrawOp& op : Texts(TextAlign::Center)) {
      if (op.at.y == kH - 30) out.push_back(op.text);
    }
    return out;
  }

  FixedWidthMetrics metrics_;
  std::ostringstream transcript_;
  std::ostringstream errors_;
  mutable ScriptHost host_{metrics_, transcript_, errors_, "/tmp", ".", kW, kH};
};

const Pen kDottedBlue{PenStyle::Dot, 1, kBlue};
const Pen kDottedGreen{PenStyle::Dot, 1, kGreen};
const Pen kSolidGreen{PenStyle::Solid, 1, kGreen};
const Pen kDottedRed{PenStyle::Dot, 1, kRed};

TEST_F(GraphTest, ValueLabelsSplitTheScaleIntoSevenSteps) {
  struct Case {
    const char* name;
    const char* command;
    double FlightSample::*field;
    std::vector<double> values;
    std::vector<std::string> labels;  // bottom to top
  };
  const Case cases[] = {
      {"altitude 0 to 7000",
       "32773",
       &FlightSample::altitudeFt,
       {0, 3500, 7000},
       {"     0", "  1000", "  2000", "  3000", "  4000", "  5000", "  6000", "  7000"}},
      // The top of the scale is at least 0, so an all-negative window has 0 on top.
      {"all-negative altitude",
       "32773",
       &FlightSample::altitudeFt,
       {-700, -350, -100},
       {"  -700", "  -600", "  -500", "  -400", "  -300", "  -200", "  -100", "     0"}},
      {"IAS from its smallest value",
       "32774",
       &FlightSample::iasKt,
       {70, 140},
       {"    70", "    80", "    90", "   100", "   110", "   120", "   130", "   140"}},
      {"bank with one decimal",
       "32776",
       &FlightSample::bankDeg,
       {-30, 40},
       {" -30.0", " -20.0", " -10.0", "   0.0", "  10.0", "  20.0", "  30.0", "  40.0"}},
      // Vertical speed is seeded with -100,000 on top: an all-negative window keeps
      // its own largest value as the top of the scale.
      {"all-negative vertical speed",
       "32778",
       &FlightSample::verticalSpeedFpm,
       {-800, -450, -100},
       {"  -800", "  -700", "  -600", "  -500", "  -400", "  -300", "  -200", "  -100"}},
      {"all-positive bank",
       "32776",
       &FlightSample::bankDeg,
       {10, 80},
       {"  10.0", "  20.0", "  30.0", "  40.0", "  50.0", "  60.0", "  70.0", "  80.0"}},
      {"pitch with one decimal",
       "32777",
       &FlightSample::pitchDeg,
       {-3.5, 0, 3.5},
       {"  -3.5", "  -2.5", "  -1.5", "  -0.5", "   0.5", "   1.5", "   2.5", "   3.5"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    Load(Series(c.field, c.values));
    Run(std::string("command ") + c.command + "\n");
    const auto labels = ValueLabels();
    ASSERT_EQ(labels.size(), 8u);
    for (int k = 0; k < 8; ++k) {
      EXPECT_EQ(labels[k].text, c.labels[k]) << "label " << k;
      // Top-right corner 11 pixels above grid line k; the lines are 100 apart here.
      EXPECT_EQ(labels[k].at.y, kH - 50 - 100 * k - 11) << "label " << k;
      EXPECT_EQ(labels[k].color, kGreen);
      EXPECT_EQ(labels[k].background, kBlack);
    }
  }
}

TEST_F(GraphTest, TraceIsPlacedByTimeAndScale) {
  // 0 to 7000 ft over 7 seconds: every sample lands on a grid line.
  Load(Series(&FlightSample::altitudeFt, {0, 1000, 2000, 3000, 4000, 5000, 6000, 7000}));
  Run("command 32773\n");
  const auto trace = Lines(kDottedBlue);
  ASSERT_EQ(trace.size(), 7u);  // a move to the first sample, a line to each later one
  for (int i = 1; i <= 7; ++i) {
    const Point expected{50 + (kW - 100) * i / 7, kH - 50 - 100 * i};
    EXPECT_EQ(trace[i - 1].to, expected) << "sample " << i;
  }
  EXPECT_EQ(trace.front().from, (Point{50, kH - 50}));
  // Positive values up in every graph, bank included.
  Reset();
  Load(Series(&FlightSample::bankDeg, {-10, 10}));
  Run("command 32776\n");
  ASSERT_EQ(Lines(kDottedBlue).size(), 1u);
  EXPECT_EQ(Lines(kDottedBlue)[0].from, (Point{50, kH - 50}));
  EXPECT_EQ(Lines(kDottedBlue)[0].to, (Point{kW - 50, 50}));
}

TEST_F(GraphTest, ATraceIsNotJoinedAcrossAGapInTheTrack) {
  // Samples 0-3, then a new piece of track from sample 4: no line reaches sample 4.
  Load(Series(&FlightSample::altitudeFt, {0, 1000, 2000, 3000, 4000, 5000, 6000, 7000}));
  TheFlight().segmentStarts = {4};
  Run("command 32773\n");
  const auto trace = Lines(kDottedBlue);
  ASSERT_EQ(trace.size(), 6u);
  for (const DrawOp& line : trace) {
    EXPECT_NE(line.to, (Point{50 + (kW - 100) * 4 / 7, kH - 50 - 400})) << "a line into sample 4";
  }
  EXPECT_EQ(trace[3].from, (Point{50 + (kW - 100) * 4 / 7, kH - 50 - 400}));
}

TEST_F(GraphTest, TimeLabelsAcrossMidnight) {
  struct Case {
    const char* name;
    std::vector<double> times;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      // Labels are cut, not rounded: a label that computes a hair below a whole
      // second reads the second before.
      {"window starting at 23:59:30",
       {Hours(23, 59, 30), Hours(23, 59, 50), Hours(0, 0, 15)},
       {"23:59:30", "23:59:35", "23:59:39", "23:59:45", "23:59:50", "23:59:54", "0:0:0", "0:0:5",
        "0:0:9", "0:0:14"}},
      {"no leading zeros",
       {Hours(9, 5, 0), Hours(9, 5, 9)},
       {"9:5:0", "9:5:0", "9:5:2", "9:5:2", "9:5:4", "9:5:4", "9:5:6", "9:5:7", "9:5:8", "9:5:9"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    std::vector<FlightSample> samples;
    for (double t : c.times) samples.push_back(FlightSample{.timeHours = t});
    Load(samples);
    Run("command 32775\n");
    EXPECT_EQ(TimeLabels(), c.labels);
    // Label k centred at 50 + (W - 100) k / 9.
    const auto centred = Texts(TextAlign::Center);
    ASSERT_GE(centred.size(), 11u);
    EXPECT_EQ(centred[1].at.x, 50);
    EXPECT_EQ(centred[10].at.x, 50 + (kW - 100) * 9 / 9);
    EXPECT_EQ(centred[4].at.x, 50 + (kW - 100) * 3 / 9);
  }
}

TEST_F(GraphTest, MidnightRecordRunsOnToTheRight) {
  // 23:59:00 to 00:01:00, one sample every 20 seconds.
  std::vector<FlightSample> samples;
  for (int i = 0; i <= 6; ++i) {
    const int s = 23 * 3600 + 59 * 60 + 20 * i;
    samples.push_back(FlightSample{.altitudeFt = 100.0 * i, .timeHours = (s % 86400) / 3600.0});
  }
  Load(samples);
  Run("command 32773\n");
  const auto trace = Lines(kDottedBlue);
  ASSERT_EQ(trace.size(), 6u);
  int lastX = 50;
  for (const DrawOp& line : trace) {
    EXPECT_GT(line.to.x, lastX);
    lastX = line.to.x;
  }
  EXPECT_EQ(trace.back().to.x, kW - 50);          // the whole two minutes span the axis
  EXPECT_EQ(trace[2].to.x, 50 + (kW - 100) / 2);  // midnight in the middle
  const auto labels = TimeLabels();
  ASSERT_EQ(labels.size(), 10u);
  EXPECT_EQ(labels.front(), "23:59:0");
  EXPECT_EQ(labels[5], "0:0:6");
  // 00:01:00 computes a hair below the whole minute: its minutes are cut to 0 and
  // its seconds rounded up to the minute, so it reads 0:0:0.
  EXPECT_EQ(labels.back(), "0:0:0");
}

// Every chart of the table, asked for before a record is selected: its message, no
// drawing, the mode as it was. The summary screens say it without the line end.
TEST_F(GraphTest, NoRecordShowsTheMessageAndDrawsNothing) {
  for (const ChartEntry& chart : Charts()) {
    SCOPED_TRACE(chart.caption);
    Reset();
    transcript_.str("");
    State().chartMode = kChartTrack;
    const std::size_t before = Ops().size();
    Run("command " + std::to_string(chart.command) + "\n");
    const bool summary = chart.mode == kChartFlightSummary || chart.mode == kChartTakeoffLanding;
    EXPECT_EQ(transcript_.str(), std::string("{\"event\":\"message\",\"text\":\"Select a Aerolog "
                                             "File First") +
                                     (summary ? "" : "\\n") + "\"}\n");
    EXPECT_EQ(Ops().size(), before);
    EXPECT_EQ(State().chartMode, kChartTrack);
  }
}

TEST_F(GraphTest, EachCommandSetsItsModeAndRedrawsKeepIt) {
  struct Case {
    const char* command;
    int mode;
    const char* title;
  };
  const Case cases[] = {
      {"32773", kChartAltitude, "ALTITUDE"},
      {"32774", kChartIas, "INDICATED AIR SPEED IAS"},
      {"32775", kChartTas, "TRUE AIR SPEED - TAS"},
      {"32778", kChartVerticalSpeed, "VERTICAL SPEED"},
      {"32776", kChartBank, "BANK"},
      {"32777", kChartPitch, "PITCH"},
      {"32781", kChartCombined, "V.SPEED"},
  };
  Load(Series(&FlightSample::altitudeFt, {0, 100, 200, 300}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    Run(std::string("command ") + c.command + "\n");
    EXPECT_EQ(State().chartMode, c.mode);
    ASSERT_FALSE(Ops().empty());
    EXPECT_EQ(Ops().front().kind, DrawOp::Kind::Fill);
    EXPECT_EQ(Ops().front().color, kBlack);
    EXPECT_EQ(Ops().front().rect, (Rect{0, 0, kW, kH}));
    EXPECT_GE(IndexOfText(c.title), 0);
    // A repaint, a key, a click and a zoom draw the same chart again.
    Run("repaint\nkey RIGHT\nclick 400 300\ncommand 32801\ncommand 32807\n");
    EXPECT_EQ(State().chartMode, c.mode);
    EXPECT_GE(IndexOfText(c.title), 0);
  }
}

TEST_F(GraphTest, TitleAxesAndDrawingOrder) {
  Load(Series(&FlightSample::altitudeFt, {0, 700}));
  for (const char* command : {"32773", "32774"}) {
    SCOPED_TRACE(command);
    Run(std::string("command ") + command + "\n");
    const bool altitude = std::string(command) == "32773";
    const std::string title = altitude ? "ALTITUDE" : "INDICATED AIR SPEED IAS";
    const int titleAt = IndexOfText(title);
    ASSERT_GE(titleAt, 0);
    EXPECT_EQ(Ops()[titleAt].at, (Point{kW / 2, kH - 17}));
    EXPECT_EQ(Ops()[titleAt].align, TextAlign::Center);

    // The axes: dotted in the altitude graph, solid elsewhere.
    int axisAt = -1;
    for (std::size_t i = 0; i < Ops().size(); ++i) {
      if (Ops()[i].kind == DrawOp::Kind::Line && Ops()[i].from == Point{40, kH - 40} &&
          Ops()[i].to == Point{kW - 40, kH - 40}) {
        axisAt = static_cast<int>(i);
        EXPECT_EQ(Ops()[i].pen, altitude ? kDottedGreen : kSolidGreen);
        ASSERT_LT(i + 1, Ops().size());
        EXPECT_EQ(Ops()[i + 1].from, (Point{40, kH - 40}));
        EXPECT_EQ(Ops()[i + 1].to, (Point{40, 40}));
        break;
      }
    }
    ASSERT_GE(axisAt, 0);
    const int firstLabelAt = IndexOfText("     0");
    const int timeLabelAt = IndexOfText("10:0:0");
    int traceAt = -1;
    for (std::size_t i = 0; i < Ops().size() && traceAt < 0; ++i) {
      if (Ops()[i].kind == DrawOp::Kind::Line && Ops()[i].pen == kDottedBlue) {
        traceAt = static_cast<int>(i);
      }
    }
    ASSERT_GE(traceAt, 0);
    if (altitude) {
      // Grid and labels, title, axes, trace, time labels.
      EXPECT_LT(firstLabelAt, titleAt);
      EXPECT_LT(titleAt, axisAt);
      EXPECT_LT(axisAt, traceAt);
      EXPECT_LT(traceAt, timeLabelAt);
    } else {
      // Title, axes, time labels, grid and labels, trace.
      EXPECT_LT(titleAt, axisAt);
      EXPECT_LT(axisAt, timeLabelAt);
      EXPECT_LT(timeLabelAt, firstLabelAt);
      EXPECT_LT(firstLabelAt, traceAt);
    }
    // Grid lines from x = 40 to W - 50, each right after its label.
    const DrawOp& grid = Ops()[firstLabelAt + 1];
    EXPECT_EQ(grid.from, (Point{40, kH - 50}));
    EXPECT_EQ(grid.to, (Point{kW - 50, kH - 50}));
    EXPECT_EQ(grid.pen, kDottedGreen);
  }
}

TEST_F(GraphTest, CursorLineAndStatusLines) {
  std::vector<FlightSample> samples = Series(&FlightSample::altitudeFt, {0, 100, 200, 300});
  samples[2].iasKt = 123;
  Load(samples);
  // Offset 590 of 1180 is the middle of the three seconds: the status sample is the
  // first one later than 10:00:01.5.
  State().cursorOffset = 590;
  Run("command 32773\n");
  const auto cursor = Lines(kDottedRed);
  ASSERT_EQ(cursor.size(), 1u);
  EXPECT_EQ(cursor[0].from, (Point{640, kH - 40}));
  EXPECT_EQ(cursor[0].to, (Point{640, 40}));
  const auto left = Texts(TextAlign::Left);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].at, (Point{50, 10}));
  EXPECT_EQ(left[0].text, "Time=10:0:2     Altitude=    200    Latitude= 0.00    Longitude= 0.00");
  int right =
      IndexOfText("Pitch=  0.0    Bank=  0.0   TAS=      0   IAS=    123    V.Speed=      0");
  ASSERT_GE(right, 0);
  EXPECT_EQ(Ops()[right].at, (Point{kW - 50, 10}));
  EXPECT_EQ(Ops()[right].align, TextAlign::Right);
  EXPECT_EQ(Ops()[right].color, kGreen);
  EXPECT_EQ(Ops()[right].background, kBlack);
}

TEST_F(GraphTest, DegenerateWindowsDrawWithoutDividingByZero) {
  // All values equal: a level trace through the middle, every label the same.
  Load(Series(&FlightSample::iasKt, {120, 120, 120}));
  Run("command 32774\n");
  for (const DrawOp& line : Lines(kDottedBlue)) {
    EXPECT_EQ(line.from.y, 400);
    EXPECT_EQ(line.to.y, 400);
  }
  EXPECT_EQ(Lines(kDottedBlue).back().to.x, kW - 50);
  for (const DrawOp& label : ValueLabels()) EXPECT_EQ(label.text, "   120");
  EXPECT_EQ(ValueLabels().size(), 8u);

  // One sample: no duration, the trace stands at the left end of the time axis.
  Reset();
  Load(Series(&FlightSample::altitudeFt, {900, 500}));
  State().windowFirst = State().windowLast = 0;
  State().firstTime = State().lastTime = TheFlight().samples[0].timeHours;
  Run("command 32773\nkey END\n");
  EXPECT_TRUE(Lines(kDottedBlue).empty());  // a single sample is a move only
  EXPECT_EQ(TimeLabels(), std::vector<std::string>(10, "10:0:0"));
  EXPECT_EQ(ValueLabels().size(), 8u);
  EXPECT_EQ(ValueLabels()[7].text, "   900");
  // Two samples at one time: a vertical trace at the left edge.
  Reset();
  Load(Series(&FlightSample::altitudeFt, {500, 900}));
  TheFlight().samples[1].timeHours = TheFlight().samples[0].timeHours;
  State().lastTime = State().firstTime;
  Run("command 32773\n");
  ASSERT_EQ(Lines(kDottedBlue).size(), 1u);
  EXPECT_EQ(Lines(kDottedBlue)[0].from.x, 50);
  EXPECT_EQ(Lines(kDottedBlue)[0].to.x, 50);

  // A window whose first index lies above its last: no trace, labels from the
  // start values (1,000,000 at the bottom, 0 on top for altitude).
  Reset();
  Load(Series(&FlightSample::altitudeFt, {500, 900, 700}));
  State().windowFirst = 2;
  State().windowLast = 1;
  Run("command 32773\n");
  EXPECT_TRUE(Lines(kDottedBlue).empty());
  ASSERT_EQ(ValueLabels().size(), 8u);
  EXPECT_EQ(ValueLabels()[0].text, "1000000");
  EXPECT_EQ(ValueLabels()[7].text, "     0");
}

TEST_F(GraphTest, CombinedGraphLegendTracesAndNoValueLabels) {
  std::vector<FlightSample> samples;
  for (int i = 0; i < 5; ++i) {
    samples.push_back(FlightSample{.altitudeFt = 1000.0 * i,
                                   .timeHours = Hours(12, 0, i),
                                   .bankDeg = 10.0 * i - 20,
                                   .iasKt = 100.0 + 10 * i,
                                   .verticalSpeedFpm = 500.0 * i});
  }
  Load(samples);
  Run("command 32781\n");
  EXPECT_EQ(State().chartMode, kChartCombined);

  struct Legend {
    const char* text;
    int x;
    Color color;
  };
  const Legend legends[] = {{"ALTITUDE", kW / 2 - 80, {255, 77, 77}},
                            {"IAS", kW / 2 - 40, {255, 128, 0}},
                            {"BANK", kW / 2 + 20, {255, 255, 0}},
                            {"V.SPEED", kW / 2 + 80, {0, 0, 255}}};
  int previous = -1;
  for (const Legend& l : legends) {
    SCOPED_TRACE(l.text);
    const int at = IndexOfText(l.text);
    ASSERT_GT(at, previous);
    previous = at;
    EXPECT_EQ(Ops()[at].at, (Point{l.x, kH - 17}));
    EXPECT_EQ(Ops()[at].align, TextAlign::Right);
    EXPECT_EQ(Ops()[at].color, l.color);
    // Each trace in its own dotted pen, over the full plot height.
    const auto trace = Lines(Pen{PenStyle::Dot, 1, l.color});
    ASSERT_EQ(trace.size(), 4u);
    EXPECT_EQ(trace.front().from.x, 50);
    EXPECT_EQ(trace.back().to.x, kW - 50);
  }
  // Altitude and IAS span their own extremes.
  EXPECT_EQ(Lines(Pen{PenStyle::Dot, 1, {255, 77, 77}}).front().from.y, kH - 50);
  EXPECT_EQ(Lines(Pen{PenStyle::Dot, 1, {255, 77, 77}}).back().to.y, 50);
  EXPECT_EQ(Lines(Pen{PenStyle::Dot, 1, {255, 128, 0}}).front().from.y, kH - 50);
  // Bank is seeded with -100,000 at the top: its scale runs from -20 to 20.
  EXPECT_EQ(Lines(Pen{PenStyle::Dot, 1, {255, 255, 0}}).back().to.y, 50);
  // Vertical speed is seeded with 10,000 and -10,000, which any value replaces.
  EXPECT_EQ(Lines(Pen{PenStyle::Dot, 1, {0, 0, 255}}).front().from.y, kH - 50);
  EXPECT_EQ(Lines(Pen{PenStyle::Dot, 1, {0, 0, 255}}).back().to.y, 50);

  EXPECT_TRUE(ValueLabels().empty());
  EXPECT_EQ(Lines(kDottedGreen).size(), 8u);  // the grid
  EXPECT_EQ(Lines(kSolidGreen).size(), 2u);   // the axes
  EXPECT_EQ(Lines(kDottedRed).size(), 1u);    // the cursor
  EXPECT_EQ(TimeLabels().front(), "12:0:0");
  EXPECT_EQ(TimeLabels().back(), "12:0:4");
  // The status lines show sample 1, the first later than the cursor time.
  const auto left = Texts(TextAlign::Left);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].at, (Point{50, 10}));
  EXPECT_NE(left[0].text.find("Altitude=   1000"), std::string::npos) << left[0].text;
}

}  // namespace
}  // namespace quarn

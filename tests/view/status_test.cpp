#include <gtest/gtest.h>

#include "base/flight.h"
#include "base/view_state.h"
#include "charts/status_lines.h"
#include "platform/headless/headless_window.h"
#include "platform/text_metrics.h"

namespace quarn {
namespace {

// A flight of these sample times, with the graph window over all of it.
struct Timed {
  explicit Timed(const std::vector<double>& hours) {
    for (double h : hours) {
      FlightSample s;
      s.timeHours = h;
      flight.samples.push_back(s);
    }
    view.windowFirst = 0;
    view.windowLast = flight.lastSampleIndex();
    view.firstTime = hours.front();
    view.lastTime = hours.back();
  }
  Flight flight;
  ViewState view;
};

TEST(StatusSample, FirstStrictlyLaterSampleAndTheWindowEnd) {
  Timed t({10.0, 10.5, 11.0, 11.5});
  t.view.cursorOffset = 0;
  EXPECT_EQ(StatusSample(t.flight, t.view, CursorTime(t.view, 1280)), 1);
  t.view.cursorOffset = 590;  // half the axis: 10.75 h
  EXPECT_DOUBLE_EQ(CursorTime(t.view, 1280), 10.75);
  EXPECT_EQ(StatusSample(t.flight, t.view, 10.75), 2);
  // Beyond every sample of the window: the window's last sample is shown.
  EXPECT_EQ(StatusSample(t.flight, t.view, 12.0), 3);
  t.view.windowLast = 2;
  EXPECT_EQ(StatusSample(t.flight, t.view, 12.0), 2);
}

TEST(StatusSample, WalksPastMidnight) {
  Timed t({23.8, 23.9, 23.95, 0.05, 0.1, 0.2});
  // The time axis spans 0.4 hours across midnight.
  t.view.cursorOffset = 590;
  EXPECT_NEAR(CursorTime(t.view, 1280), 24.0, 1e-12);
  EXPECT_EQ(StatusSample(t.flight, t.view, 24.08), 4);  // 0.1 + 24 is the first time above
  EXPECT_EQ(StatusSample(t.flight, t.view, 23.92), 2);
}

class StatusLines : public ::testing::Test {
 protected:
  FixedWidthMetrics metrics;
  HeadlessWindow window{1280, 800, metrics};
};

TEST_F(StatusLines, TextsPositionsAndColour) {
  FlightSample s;
  s.timeHours = 9.515625;  // 9 h 30.9375 min, exact in binary
  s.altitudeFt = 1234.4;
  s.latitudeDeg = 52.3086;
  s.longitudeDeg = -4.76;
  s.pitchDeg = -2.25;
  s.bankDeg = 15;
  s.tasKt = 180.6;
  s.iasKt = 150;
  s.verticalSpeedFpm = -700;
  auto dc = window.GetDC();
  dc->FillSolidRect(Rect{0, 0, 1280, 800}, kBlack);
  DrawStatusLines(s, ChannelSet::AllRecorded(), *dc, 1280);
  const auto& ops = window.displayList().ops();
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[1].text, "Time=9:30:56     Altitude=   1234    Latitude=52.31    Longitude=-4.76");
  EXPECT_EQ(ops[1].at, (Point{50, 10}));
  EXPECT_EQ(ops[1].align, TextAlign::Left);
  EXPECT_EQ(ops[2].text,
            "Pitch= -2.2    Bank= 15.0   TAS=    181   IAS=    150    V.Speed=   -700");
  EXPECT_EQ(ops[2].at, (Point{1230, 10}));
  EXPECT_EQ(ops[2].align, TextAlign::Right);
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(ops[i].color, (Color{0, 170, 85}));
    EXPECT_EQ(ops[i].background, kBlack);  // opaque on the chart's background
  }
}

TEST_F(StatusLines, NoHoursAreTakenOffPastMidnightAndNoIndexReadsOutsideTheFlight) {
  Timed t({24.5, 25.0});
  auto dc = window.GetDC();
  DrawStatusLines(t.flight.SampleAt(0), ChannelSet::AllRecorded(), *dc, 1280);
  EXPECT_EQ(window.displayList().ops()[0].text.substr(0, 13), "Time=24:30:0 ");
  DrawStatusLines(t.flight.SampleAt(-1), ChannelSet::AllRecorded(), *dc, 1280);
  DrawStatusLines(t.flight.SampleAt(2), ChannelSet::AllRecorded(), *dc, 1280);
  EXPECT_EQ(window.displayList().ops()[2].text.substr(0, 13), "Time=0:0:0   ");
  EXPECT_EQ(window.displayList().ops()[4].text.substr(0, 13), "Time=0:0:0   ");
}

}  // namespace
}  // namespace quarn

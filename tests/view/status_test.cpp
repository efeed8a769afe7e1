#include <gtest/gtest.h>

#include "base/view_state.h"
#include "charts/status_lines.h"
#include "platform/recording_context.h"
#include "record/sample_table.h"
#include "support/test_host.h"

namespace quarn {
namespace {

using testing::TestHost;

void SetTimes(const std::vector<double>& hours) {
  for (std::size_t i = 0; i < hours.size(); ++i) g_samples[i].timeHours = hours[i];
  g_lastSampleIndex = static_cast<int>(hours.size()) - 1;
  g_windowFirst = 0;
  g_windowLast = g_lastSampleIndex;
  g_firstTime = hours.front();
  g_lastTime = hours.back();
}

TEST(StatusSample, FirstStrictlyLaterSampleAndTheWindowEnd) {
  TestHost t;
  SetTimes({10.0, 10.5, 11.0, 11.5});
  g_cursorOffset = 0;
  EXPECT_EQ(StatusSample(CursorTime(1280)), 1);
  g_cursorOffset = 590;  // half the axis: 10.75 h
  EXPECT_DOUBLE_EQ(CursorTime(1280), 10.75);
  EXPECT_EQ(StatusSample(10.75), 2);
  // Beyond every sample of the window: the window's last sample is shown.
  EXPECT_EQ(StatusSample(12.0), 3);
  g_windowLast = 2;
  EXPECT_EQ(StatusSample(12.0), 2);
}

TEST(StatusSample, WalksPastMidnight) {
  TestHost t;
  SetTimes({23.8, 23.9, 23.95, 0.05, 0.1, 0.2});
  // The time axis spans 0.4 hours across midnight.
  g_cursorOffset = 590;
  EXPECT_NEAR(CursorTime(1280), 24.0, 1e-12);
  EXPECT_EQ(StatusSample(24.08), 4);  // 0.1 + 24 is the first time above
  EXPECT_EQ(StatusSample(23.92), 2);
}

TEST(StatusLines, TextsPositionsAndColour) {
  TestHost t(1280, 800);
  FlightSample& s = g_samples[3];
  s.timeHours = 9.515625;  // 9 h 30.9375 min, exact in binary
  s.altitudeFt = 1234.4;
  s.latitudeDeg = 52.3086;
  s.longitudeDeg = -4.76;
  s.pitchDeg = -2.25;
  s.bankDeg = 15;
  s.tasKt = 180.6;
  s.iasKt = 150;
  s.verticalSpeedFpm = -700;
  auto dc = t.host().window().GetDC();
  dc->FillSolidRect(Rect{0, 0, 1280, 800}, kBlack);
  DrawStatusLines(3, *dc, 1280);
  const auto& ops = t.screen().ops();
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

TEST(StatusLines, NoHoursAreTakenOffPastMidnightAndNoIndexReadsOutsideTheTable) {
  TestHost t;
  g_samples[0].timeHours = 24.5;
  auto dc = t.host().window().GetDC();
  DrawStatusLines(0, *dc, 1280);
  EXPECT_EQ(t.screen().ops()[0].text.substr(0, 13), "Time=24:30:0 ");
  DrawStatusLines(-1, *dc, 1280);
  DrawStatusLines(kMaxSamples, *dc, 1280);
  EXPECT_EQ(t.screen().ops()[2].text.substr(0, 13), "Time=0:0:0   ");
}

}  // namespace
}  // namespace quarn

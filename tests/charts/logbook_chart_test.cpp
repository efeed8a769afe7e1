// The logbook's landing-rate chart on the recording context, over 600 x 300: the
// axes run along x = 70 and y = 270 up to y = 30 and x = 560, the landings from
// x = 80 to 550. The fixed-width metrics make a 12-pixel date label 60 pixels wide.

#include "charts/logbook_chart.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/display_list.h"
#include "platform/recording_context.h"
#include "platform/text_metrics.h"
#include "record/text_input.h"

namespace quarn {
namespace {

constexpr Rect kArea{0, 0, 600, 300};
constexpr Color kMarker{0, 0, 200};
constexpr double kDay = 86400;
const double kMarch1 = static_cast<double>(DaysFromCivil(2024, 3, 1)) * kDay;

class LandingRateChart : public ::testing::Test {
 protected:
  void Draw(const std::vector<LandingRatePoint>& points) {
    list_.Reset(kArea.right, kArea.bottom);
    RecordingContext dc(list_, metrics_);
    DrawLandingRateChart(dc, points, kArea);
  }
  std::vector<DrawOp> OpsOf(DrawOp::Kind kind) const {
    std::vector<DrawOp> found;
    for (const DrawOp& op : list_.ops()) {
      if (op.kind == kind) found.push_back(op);
    }
    return found;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const DrawOp& op : OpsOf(DrawOp::Kind::Text)) texts.push_back(op.text);
    return texts;
  }
  const DrawOp* FindText(const std::string& text) const {
    for (const DrawOp& op : list_.ops()) {
      if (op.kind == DrawOp::Kind::Text && op.text == text) return &op;
    }
    return nullptr;
  }

  FixedWidthMetrics metrics_;
  DisplayList list_;
};

TEST_F(LandingRateChart, MarksEachLandingAtItsDateAndRate) {
  Draw(
      {{kMarch1, 200, false}, {kMarch1 + 10 * kDay, 450, true}, {kMarch1 + 20 * kDay, 120, false}});

  // White first, the caption in the middle of the top.
  const auto fills = OpsOf(DrawOp::Kind::Fill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].rect, kArea);
  EXPECT_EQ(fills[0].color, kWhite);
  const DrawOp* caption = FindText("Landing rate (ft/min) by date");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->at, (Point{300, 6}));
  EXPECT_EQ(caption->align, TextAlign::Center);

  // Rates of 0 to 450 take steps of 100 up to 500, 240 pixels: 0.48 pixel a ft/min.
  // The middle landing is of low confidence, hollow.
  const auto markers = OpsOf(DrawOp::Kind::Ellipse);
  ASSERT_EQ(markers.size(), 3u);
  EXPECT_EQ(markers[0].rect, (Rect{76, 170, 84, 178}));    // y 270 - 96
  EXPECT_EQ(markers[1].rect, (Rect{311, 50, 319, 58}));    // y 270 - 216
  EXPECT_EQ(markers[2].rect, (Rect{546, 208, 554, 216}));  // y 270 - 57.6
  EXPECT_EQ(markers[0].brush, kMarker);
  EXPECT_EQ(markers[1].brush, std::nullopt);
  EXPECT_EQ(markers[2].brush, kMarker);
  for (const DrawOp& m : markers) EXPECT_EQ(m.pen, (Pen{PenStyle::Solid, 1, kMarker}));

  // The axes in black.
  const auto lines = OpsOf(DrawOp::Kind::Line);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0].from, (Point{70, 30}));
  EXPECT_EQ(lines[0].to, (Point{70, 270}));
  EXPECT_EQ(lines[1].from, (Point{70, 270}));
  EXPECT_EQ(lines[1].to, (Point{560, 270}));
  EXPECT_EQ(lines[0].pen, (Pen{PenStyle::Solid, 1, kBlack}));

  // Rate labels right of x = 64, centred on their ticks; five dates fit, 5 days apart.
  const std::vector<std::string> expected = {"Landing rate (ft/min) by date",
                                             "0",
                                             "100",
                                             "200",
                                             "300",
                                             "400",
                                             "500",
                                             "2024-03-01",
                                             "2024-03-06",
                                             "2024-03-11",
                                             "2024-03-16",
                                             "2024-03-21"};
  EXPECT_EQ(Texts(), expected);
  EXPECT_EQ(FindText("0")->at, (Point{64, 264}));
  EXPECT_EQ(FindText("300")->at, (Point{64, 120}));
  EXPECT_EQ(FindText("500")->align, TextAlign::Right);
  EXPECT_EQ(FindText("2024-03-01")->at, (Point{80, 276}));
  EXPECT_EQ(FindText("2024-03-06")->at, (Point{198, 276}));
  EXPECT_EQ(FindText("2024-03-11")->at, (Point{315, 276}));
  EXPECT_EQ(FindText("2024-03-21")->at, (Point{550, 276}));
  EXPECT_EQ(FindText("2024-03-21")->align, TextAlign::Center);
}

TEST_F(LandingRateChart, OneLandingStandsInTheMiddleUnderItsOwnDate) {
  Draw({{kMarch1 + 3600, 180, false}});
  const auto markers = OpsOf(DrawOp::Kind::Ellipse);
  ASSERT_EQ(markers.size(), 1u);
  // 0 to 180: steps of 50 up to 200, 1.2 pixels a ft/min.
  EXPECT_EQ(markers[0].rect, (Rect{311, 50, 319, 58}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Landing rate (ft/min) by date", "0", "50", "100",
                                               "150", "200", "2024-03-01"}));
  EXPECT_EQ(FindText("2024-03-01")->at, (Point{315, 276}));
}

TEST_F(LandingRateChart, AClimbAtTouchdownTakesTheAxisBelowADottedZeroLine) {
  Draw({{kMarch1, -50, true}, {kMarch1 + kDay, 150, false}});
  // -50 to 150 in steps of 50: 1.2 pixels a ft/min, zero at y = 210.
  EXPECT_EQ(FindText("-50")->at, (Point{64, 264}));
  EXPECT_EQ(FindText("0")->at, (Point{64, 204}));
  bool zeroLine = false;
  for (const DrawOp& op : OpsOf(DrawOp::Kind::Line)) {
    zeroLine |=
        op.pen.style == PenStyle::Dot && op.from == Point{71, 210} && op.to == Point{560, 210};
  }
  EXPECT_TRUE(zeroLine);
  EXPECT_EQ(OpsOf(DrawOp::Kind::Ellipse).at(0).rect, (Rect{76, 266, 84, 274}));
}

TEST_F(LandingRateChart, WithoutLandingsOnlyTheCaptionAndAWord) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::vector<LandingRatePoint>> cases = {
      {}, {{nan, 300, false}}, {{kMarch1, nan, false}}};
  for (const auto& points : cases) {
    SCOPED_TRACE(points.size());
    Draw(points);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Landing rate (ft/min) by date", "No landings"}));
    EXPECT_EQ(FindText("No landings")->at, (Point{300, 150}));
    EXPECT_TRUE(OpsOf(DrawOp::Kind::Line).empty());
    EXPECT_TRUE(OpsOf(DrawOp::Kind::Ellipse).empty());
  }
}

TEST_F(LandingRateChart, LeavesTheContextAsItFoundIt) {
  list_.Reset(kArea.right, kArea.bottom);
  RecordingContext dc(list_, metrics_);
  const Pen pen{PenStyle::Dot, 2, {1, 2, 3}};
  dc.SelectPen(pen);
  dc.SetTextAlign(TextAlign::Right);
  dc.SetBkMode(BkMode::Opaque);
  const std::vector<LandingRatePoint> points = {{kMarch1, 100, false}};
  DrawLandingRateChart(dc, points, kArea);
  EXPECT_EQ(dc.pen(), pen);
  EXPECT_EQ(dc.textAlign(), TextAlign::Right);
  EXPECT_EQ(dc.bkMode(), BkMode::Opaque);
  EXPECT_EQ(dc.font(), Font{});
}

}  // namespace
}  // namespace quarn

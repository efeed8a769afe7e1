// The approach debrief chart on the recording context: 1000 x 600, so each strip is
// (600 - 280) / 2 = 160 pixels high, 32 pixels a dot, from x = 80 to 980.

#include "charts/approach_debrief_chart.h"

#include <gtest/gtest.h>

#include "base/command_ids.h"
#include "support/debrief_test_support.h"
#include "view/halbrico_view.h"

namespace quarn::testing {
namespace {

constexpr Color kGreen{0, 255, 0};
constexpr Color kRed{255, 0, 0};

class DebriefChart : public Debrief {
 protected:
  void DrawDebrief() { DrawApproachDebrief(window, Input()); }
  const DrawOp* TextAt(Point at) const {
    for (const DrawOp& op : Ops()) {
      if (op.kind == DrawOp::Kind::Text && op.at == at) return &op;
    }
    return nullptr;
  }
};

TEST_F(DebriefChart, StripsBandsGatesTableAndFigures) {
  FlyApproach();
  DrawDebrief();
  ASSERT_NE(FindText("Approach Debrief"), nullptr);
  EXPECT_EQ(FindText("Approach Debrief")->at, (Point{20, 8}));
  ASSERT_NE(FindText("Runway 36, landing heading 000, ILS IKK 110.55 MHz, glide slope 3.0 deg"),
            nullptr);
  // The bands of each strip: two dots dark, one dot lighter, around y = 130 and 324.
  std::vector<Rect> bands;
  for (const DrawOp& op : OpsOf(DrawOp::Kind::Fill)) bands.push_back(op.rect);
  ASSERT_EQ(bands.size(), 5u);  // the background, then two bands per strip
  EXPECT_EQ(bands[1], (Rect{80, 66, 980, 194}));
  EXPECT_EQ(bands[2], (Rect{80, 98, 980, 162}));
  EXPECT_EQ(bands[3], (Rect{80, 260, 980, 388}));
  EXPECT_EQ(bands[4], (Rect{80, 292, 980, 356}));
  ASSERT_NE(FindText("10nm"), nullptr);
  EXPECT_EQ(FindText("10nm")->at, (Point{80, 407}));
  EXPECT_EQ(FindText("0nm")->at, (Point{980, 407}));
  ASSERT_NE(FindText("2 left"), nullptr);
  EXPECT_EQ(FindText("2 left")->at, (Point{74, 188}));
  ASSERT_NE(FindText("2 high"), nullptr);
  EXPECT_EQ(FindText("2 high")->at, (Point{74, 254}));
  // Both gates marked, the trace on the centre line at ten miles.
  EXPECT_NE(FindText("1000 ft"), nullptr);
  EXPECT_EQ(LinesWith(Pen{PenStyle::Dot, 1, Color{255, 255, 0}}).size(), 4u);
  const auto trace = LinesWith(Pen{PenStyle::Solid, 1, Color{0, 255, 255}});
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.front().from.y, 130);
  // The table: a row per gate, every criterion green; the verdict; the figures.
  EXPECT_EQ(TextAt({20, 428})->text, "Gate");
  EXPECT_EQ(TextAt({20, 444})->text, "1000 ft");
  EXPECT_EQ(TextAt({20, 460})->text, "500 ft");
  EXPECT_EQ(TextAt({90 + 130 * 3, 444})->text, "3 of 3 down");
  EXPECT_EQ(TextAt({90 + 130 * 3, 444})->color, kGreen);
  EXPECT_EQ(TextAt({20, 480})->text, "Stable approach");
  const DrawOp* rate = TextAt({20, 502});
  ASSERT_NE(rate, nullptr);
  EXPECT_EQ(rate->text.rfind("Landing rate: ", 0), 0u);
  EXPECT_EQ(rate->font.height, -24);
  EXPECT_EQ(TextAt({20, 534})->text, "Touchdown: 1500 ft (457 m) past the threshold, 0.0 m left");
}

TEST_F(DebriefChart, AFailedCriterionIsRedAndTheApproachUnstable) {
  FlyApproach();
  const int gate = *DebriefApproach(doc, flight).gates[1].sample;
  flight.samples[static_cast<std::size_t>(gate - 2)].altitudeFt += 30;
  DrawDebrief();
  const DrawOp* rate = TextAt({90 + 130 * 2, 460});
  ASSERT_NE(rate, nullptr);
  EXPECT_EQ(rate->color, kRed);
  EXPECT_NE(rate->text.find(" ft/min"), std::string::npos);
  EXPECT_EQ(TextAt({20, 480})->text, "Unstable approach");
  EXPECT_EQ(TextAt({20, 480})->color, kRed);
}

TEST_F(DebriefChart, WhatIsMissingIsSaidInTheChart) {
  FlyApproach(1500 * 0.3048, 0, 0, /*withIls=*/false);
  DrawDebrief();
  ASSERT_NE(FindText("No ILS serving runway 36: no needles to show"), nullptr);
  EXPECT_EQ(TextAt({90, 444})->text, "n/a");
  EXPECT_TRUE(ui.messages.empty());
  doc.ClearNavaids();
  doc.RebuildIndexLists();
  DrawDebrief();
  // What was found instead: the touchdown and that no runway is loaded.
  const DrawOp* said = TextAt({20, 24});
  ASSERT_NE(said, nullptr);
  EXPECT_EQ(said->text.rfind("No runway landed on at the touchdown at 10:05:00 (", 0), 0u)
      << said->text;
  EXPECT_NE(said->text.find("): no runways are loaded"), std::string::npos) << said->text;
  EXPECT_EQ(said->color, kRed);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DebriefChart, TheCommandDrawsItAndARepaintDrawsItAgain) {
  FlyApproach();
  doc.SetFlight(flight);
  CHalbricoView view(window, ui, doc, ".");
  ASSERT_TRUE(view.OnCommand(ID_APPROACH_DEBRIEF));
  EXPECT_EQ(view.state().chartMode, kChartApproachDebrief);
  EXPECT_EQ(FindText("2 of 3 down"), nullptr);
  const int gate = *DebriefApproach(doc, flight).gates[0].sample;
  doc.m_flights.front().samples[static_cast<std::size_t>(gate)].gear3 = 0;
  view.OnDraw();
  EXPECT_NE(FindText("2 of 3 down"), nullptr);
}

}  // namespace
}  // namespace quarn::testing

// The landing analysis and the approach side view, on crafted approaches: a runway
// of 2 nautical miles east-west at 52 N, 4 E, and a flight that comes in from the
// west along its axis.

#include "charts/approach.h"

#include <gtest/gtest.h>

#include <cmath>

#include "charts/side_view.h"
#include "support/map_test_support.h"

namespace quarn::testing {
namespace {

constexpr double kTwoNmFeet = 2 / 0.00016457883369330455;

class Approach : public MapTest {
 protected:
  // 100 samples along the latitude, 0.002 degree of longitude apart, descending to
  // the runway's elevation at sample 70 and rolling on from there; the height above
  // the runway at each sample is aboveRunwayFt(i).
  template <typename Height>
  void Fly(double course, double elevationFt, Height aboveRunwayFt) {
    std::vector<LatLon> points;
    for (int i = 0; i < 100; ++i) points.push_back({52.0, 3.83 + i * 0.002});
    SetTrack(points);
    for (int i = 0; i < 100; ++i) {
      flight.samples[static_cast<std::size_t>(i)].courseDeg = course;
      flight.samples[static_cast<std::size_t>(i)].altitudeFt = elevationFt + aboveRunwayFt(i);
    }
  }
  void FlyLevelLanding(double course = 90, double elevationFt = 0) {
    Fly(course, elevationFt, [](int i) { return i < 70 ? 10.0 * (70 - i) : 0.0; });
  }
  int AddRunway(double heading, double lengthFt = kTwoNmFeet, int elevationMetres = 0) {
    doc.AddNavaid(NavaidKind::Runway, 52.0, 4.0, elevationMetres, 0, "9", "Runway", 148, heading,
                  lengthFt);
    doc.RebuildIndexLists();
    return doc.m_navaidCount - 1;
  }
  void AddIls(double course) {
    // A 3-degree glide slope: sin(3 degrees) x 131072.
    doc.AddNavaid(NavaidKind::Ils, 52.0, 4.02, 6860, 110.3, "IAA", "IAA", 0, course, 0);
    doc.RebuildIndexLists();
  }
  ChartOutcome DrawSide() { return DrawSideView(window, Input()); }
};

TEST_F(Approach, TouchdownIsTheFirstSampleOfTheLastThirtyPercentNearTheGround) {
  FlyLevelLanding();
  EXPECT_EQ(FindTouchdown(flight), 70);  // the first on the ground after 69.3 (70 % of 99)
  // Five samples at 1000 ft: the ground level is a tenth of the four before the last
  // (400 ft), which no sample comes near.
  SetTrack({{52, 4}, {52, 4}, {52, 4}, {52, 4}, {52, 4}});
  for (int i = 0; i < 5; ++i) flight.samples[static_cast<std::size_t>(i)].altitudeFt = 1000;
  EXPECT_EQ(FindTouchdown(flight), 0);
}

// Headings compare across north; the 9- and 5-degree limits and the reciprocal stay.
TEST_F(Approach, TheRunwayLandedOnFollowsTheCourseAndTheAxis) {
  const struct {
    double runwayHeading;
    double course;
    bool found;
  } cases[] = {
      {90, 81, true},  {90, 99, true},   {90, 80, false},  {90, 100, false}, {90, 261, true},
      {90, 279, true}, {90, 260, false}, {90, 280, false}, {270, 90, true},  {91, 95, true},
  };
  for (const auto& c : cases) {
    doc.ClearNavaids();
    FlyLevelLanding(c.course);
    AddRunway(c.runwayHeading);
    EXPECT_EQ(FindLandingRunway(doc, flight, 71).record.has_value(), c.found)
        << c.runwayHeading << " " << c.course;
  }
}

TEST_F(Approach, RunwaysNearNorthAndWithoutLengthAreHandled) {
  // A flight north along 4 E onto a runway at 52.05 N.
  std::vector<LatLon> points;
  for (int i = 0; i < 100; ++i) points.push_back({51.9 + i * 0.001, 4.0});
  const struct {
    double heading, course, length;
    bool found;
  } cases[] = {
      {1, 359, kTwoNmFeet, true},      // across north
      {0.99976, 5, kTwoNmFeet, true},  // an older-layout runway 01
      {359.5, 1, kTwoNmFeet, true},
      {1, 359, 0, false},  // no length: passed over
  };
  for (const auto& c : cases) {
    doc.ClearNavaids();
    SetTrack(points);
    for (auto& s : flight.samples) s.courseDeg = c.course;
    doc.AddNavaid(NavaidKind::Runway, 52.05, 4.0, 0, 0, "1", "Runway", 148, c.heading, c.length);
    doc.RebuildIndexLists();
    EXPECT_EQ(FindLandingRunway(doc, flight, 80).record.has_value(), c.found)
        << c.heading << " " << c.course;
  }
}

TEST_F(Approach, WithoutARunwayTheViewRefusesAndDrawsNothing) {
  FlyLevelLanding();
  const ChartOutcome outcome = DrawSide();
  EXPECT_FALSE(outcome.drawn);
  EXPECT_EQ(outcome.refusal,
            "Sorry, Quarn does not find any runway near to the touch, or you are not load the "
            "navaids");
  EXPECT_TRUE(Ops().empty());
}

TEST_F(Approach, SideViewGeometryOfATwoMileRunway) {
  FlyLevelLanding();
  AddRunway(90, kTwoNmFeet, 300);
  EXPECT_TRUE(DrawSide().drawn);
  EXPECT_TRUE(mapState.showIdFreq);
  // J = trunc(975 x 2 / 9) = 216: the runway from x = 779 to 995 on the ground line.
  EXPECT_EQ(SideViewRunwayPixels(2, kMapW), 216);
  const auto bars = LinesWith(Pen{PenStyle::Geometric, 3, Color{168, 168, 168}});
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].from, (Point{779, 580}));
  EXPECT_EQ(bars[0].to, (Point{995, 580}));
  // Miles before the threshold: 0nm at the threshold, 7nm at x = 1000 - 756 - 221.
  ASSERT_NE(FindText("0nm"), nullptr);
  EXPECT_EQ(FindText("0nm")->at, (Point{779, 585}));
  ASSERT_NE(FindText("7nm"), nullptr);
  EXPECT_EQ(FindText("7nm")->at, (Point{23, 585}));
  // 300 m is 984.25 ft: 1000ft stands 16 feet above the ground, trunc(16 x 0.152) = 2.
  ASSERT_NE(FindText("1000ft"), nullptr);
  EXPECT_EQ(FindText("1000ft")->at, (Point{50, 600 - 2 - 35}));
  EXPECT_EQ(FindText("0ft"), nullptr);
  ASSERT_NE(FindText("Runway ID: 9"), nullptr);
  EXPECT_EQ(FindText("Runway ID: 9")->at, (Point{80, 35}));
  ASSERT_NE(FindText("NO ILS"), nullptr);
  EXPECT_EQ(FindText("NO ILS")->color, (Color{255, 0, 0}));
}

TEST_F(Approach, AnApproachAboveTheGlideSlopeDeviatesUp) {
  // 3000 feet above the runway until touchdown: above a 3-degree slope all the way.
  Fly(90, 0, [](int i) { return i < 70 ? 3000.0 : 0.0; });
  AddRunway(90);
  AddIls(90);
  DrawSide();
  ASSERT_NE(FindText("ILS ID: IAA 110.30 MHz."), nullptr);
  const DrawOp* deviation = nullptr;
  for (const DrawOp& op : Ops()) {
    if (op.kind == DrawOp::Kind::Text && op.text.rfind("GS DEV: ", 0) == 0) deviation = &op;
  }
  ASSERT_NE(deviation, nullptr);
  EXPECT_NE(deviation->text.find(" ft. up"), std::string::npos) << deviation->text;
  EXPECT_EQ(deviation->at, (Point{800, 35}));
  // The sector: five red lines from the threshold.
  EXPECT_EQ(LinesWith(Pen{PenStyle::Solid, 1, Color{255, 0, 0}}).size(), 5u);
}

}  // namespace
}  // namespace quarn::testing

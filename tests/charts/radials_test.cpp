// VOR radials: the right click, the radial dialog and its validation, the radial
// layer, Erase radials; through the view, on the recording context.

#include "charts/radials.h"

#include <gtest/gtest.h>

#include "base/command_ids.h"
#include "support/map_test_support.h"
#include "support/test_host.h"
#include "view/halbrico_view.h"

namespace quarn {
namespace {

using testing::LatLon;
using testing::MapTest;

constexpr Pen kRadialPen{PenStyle::Solid, 1, kVorColor};
constexpr Pen kCursorPen{PenStyle::Dot, 1, {255, 0, 0}};
const std::string kInvalid = " It is not a valid value\nUse a number between 1 and 360";

// The click point (450, 300) is the map position (50.5 N, 4.5 E).
class RadialTest : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    doc.m_navaidsLoaded = 1;
    AddNavaid(NavaidKind::Vor, {50.7, 4.6}, 113.3, "SPY ", "SPIJKERBOOR  ", 0.5);
    // The fixture's flight and windows are the view's.
    doc.SetFlight(flight);
    view.state() = state;
    DrawTrack();
  }
  void DrawTrack() { view.OnCommand(ID_GRAPH_COURSE); }
  void RightClick() { view.OnRButtonDown(450, 300); }
  // The cursor cross's horizontal line: it shows whether the chart was drawn again
  // after the cursor was moved behind its back.
  Point CrossLeft() const { return LinesWith(kCursorPen).at(0).from; }

  CHalbricoView view{window, ui, doc, "."};
};

TEST_F(RadialTest, TypedTextsAreCheckedUntilOneIsARadial) {
  struct Case {
    std::vector<std::optional<std::string>> answers;
    int stored;  // 0: nothing stored
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {{"0", "361", "-5", "abc", "360"},
       360,
       {"0" + kInvalid, "361" + kInvalid, "-5" + kInvalid, "abc" + kInvalid}},
      {{"1"}, 1, {}},
      {{"45x"}, 45, {}},
      {{" +90"}, 90, {}},
      {{"99999999999"}, 0, {"99999999999" + kInvalid}},  // then cancelled
      {{std::nullopt}, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers.front().value_or("cancel"));
    view.mapState().radialCount = 0;
    view.mapState().showRadials = false;
    ui.messages.clear();
    ui.radialDialogs.clear();
    ui.radialAnswers = c.answers;
    RightClick();
    EXPECT_EQ(ui.Texts(), c.messages);
    // The dialog shows the VOR without trailing blanks, and comes back with the text
    // that was refused.
    ASSERT_FALSE(ui.radialDialogs.empty());
    EXPECT_EQ(ui.radialDialogs[0].vorName, "SPIJKERBOOR");
    EXPECT_EQ(ui.radialDialogs[0].vorIdent, "SPY");
    EXPECT_EQ(ui.radialDialogs[0].radial, "");
    for (std::size_t i = 1; i < ui.radialDialogs.size(); ++i) {
      EXPECT_EQ(ui.radialDialogs[i].radial, *c.answers[i - 1]);
    }
    EXPECT_EQ(view.mapState().radialCount, c.stored != 0 ? 1 : 0);
    EXPECT_EQ(view.mapState().showRadials, c.stored != 0);
    if (c.stored != 0) {
      EXPECT_EQ(view.mapState().radials[0].radialDeg, c.stored);
      EXPECT_EQ(view.mapState().radials[0].latitudeDeg, 50.7);
      EXPECT_EQ(view.mapState().radials[0].longitudeDeg, 4.6);
      EXPECT_EQ(view.mapState().radials[0].magVarDeg, 0.5);
    }
  }
}

TEST_F(RadialTest, OnlyAVorWithinAQuarterDegreeIsOffered) {
  struct Case {
    LatLon vor;
    bool offered;
  };
  const Case cases[] = {
      {{50.7, 4.6}, true},   // 0.2 north, 0.1 east: 0.2236 degree
      {{50.7, 4.7}, false},  // 0.2 north, 0.2 east: 0.2828 degree
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vor.lon);
    doc.ClearNavaids();
    AddNavaid(NavaidKind::Vor, c.vor, 113.3, "SPY", "SPIJKERBOOR");
    ui.radialDialogs.clear();
    DrawTrack();
    view.state().trackCursor = 1;  // moved without a redraw
    RightClick();
    EXPECT_EQ(ui.radialDialogs.size(), c.offered ? 1u : 0u);
    // Not offered: the chart is drawn again all the same, the cross at the new cursor.
    // Offered and cancelled: the chart stays as it was.
    EXPECT_EQ(CrossLeft(), c.offered ? (Point{170, 550}) : (Point{420, 425}));
    view.state().trackCursor = 0;
  }
}

TEST_F(RadialTest, TheClickNeedsNavaidsAndAMapChart) {
  doc.m_navaidsLoaded = 0;
  RightClick();
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                            "If you like to define a Vor`s Radial, Please Load Navaids First\n"});
  ui.messages.clear();
  view.state().chartMode = kChartAltitude;
  RightClick();
  doc.m_navaidsLoaded = 1;
  RightClick();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ui.radialDialogs.empty());
}

TEST_F(RadialTest, AFullListRefusesANewRadial) {
  view.mapState().radialCount = kMaxRadials;
  ui.radialAnswers = {"90"};
  RightClick();
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                            "The list of radials is full (100 radials)\nErase radials to define "
                            "new ones"});
  EXPECT_TRUE(ui.radialDialogs.empty());
  EXPECT_EQ(view.mapState().radialCount, kMaxRadials);
}

TEST_F(RadialTest, RadialLineAndLabelByZoomAndVariation) {
  struct Case {
    double magVar;
    int zoom;
    Point end;  // the line runs from here to the VOR at (450, 425)
    Point label;
  };
  const Case cases[] = {
      {0, 1, {550, 425}, {510, 410}},    {0, 15, {1950, 425}, {510, 410}},
      {0, 20, {1950, 425}, {510, 410}},  {10, 1, {548, 408}, {509, 402}},
      {10, 15, {1927, 165}, {509, 402}},
  };
  view.mapState().showIdFreq = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.magVar << " zoom " << c.zoom);
    view.mapState().radials[0] = VorRadial{50.25, 4.5, 90, c.magVar};
    view.mapState().radialCount = 1;
    view.mapState().showRadials = true;
    view.state().zoomLevel = c.zoom;
    DrawTrack();
    const auto lines = LinesWith(kRadialPen);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from, c.end);
    EXPECT_EQ(lines[0].to, (Point{450, 425}));
    const DrawOp* label = FindText("90\xC2\xB0");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->at, c.label);
    EXPECT_EQ(label->color, kVorColor);
  }
}

TEST_F(RadialTest, EraseRadialsEmptiesTheListAndKeepsTheFlag) {
  view.mapState().radials[0] = VorRadial{50.25, 4.5, 90, 0};
  view.mapState().radialCount = 1;
  view.mapState().showRadials = true;
  DrawTrack();
  ASSERT_EQ(LinesWith(kRadialPen).size(), 1u);
  view.OnCommand(ID_ERASE_RADIALS);
  EXPECT_EQ(view.mapState().radialCount, 0);
  EXPECT_TRUE(view.mapState().showRadials);
  EXPECT_TRUE(LinesWith(kRadialPen).empty());
}

// Through the scripted host: the dialog's answer, what it showed, the chart after it.
TEST(RadialScript, RightClickDefinesARadialThatTheChartShows) {
  testing::TestHost t(1000, 600);
  t.doc().SetFlight(testing::TrackFlight({{50, 4}, {50.25, 4.5}, {50.5, 5}}));
  t.state() = testing::WholeFlightState(t.flight());
  t.doc().AddNavaid(NavaidKind::Vor, 50.25, 4.5, 0, 113.3, "SPY", "SPIJKERBOOR", 0, 0, 0);
  t.doc().RebuildIndexLists();
  t.doc().m_navaidsLoaded = 1;
  t.Run({"command 32779", "answer text 90", "rclick 450 425"});
  const auto transcript = t.TakeTranscript();
  ASSERT_EQ(transcript.size(), 1u);
  EXPECT_EQ(transcript[0],
            R"({"event":"dialog","name":"radial","answer":"90","vorName":"SPIJKERBOOR",)"
            R"("vorIdent":"SPY","radial":""})");
  bool drawn = false;
  for (const DrawOp& op : t.screen().ops()) {
    drawn |= op.kind == DrawOp::Kind::Line && op.pen == kRadialPen && op.from == Point{550, 425};
  }
  EXPECT_TRUE(drawn);
}

}  // namespace
}  // namespace quarn

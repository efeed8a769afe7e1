// The approach bottom view on crafted landings: the approach start, the track window
// it forces, the localizer wedge and the identification texts.

#include "charts/bottom_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "charts/approach.h"
#include "charts/map_projection.h"
#include "support/map_test_support.h"
#include "support/test_host.h"

namespace quarn::testing {
namespace {

const Pen kTrackPen{PenStyle::Dot, 1, Color{0, 0, 255}};
const Pen kLocalizerPen{PenStyle::Solid, 1, Color{255, 0, 0}};

class BottomView : public MapTest {
 protected:
  // 200 samples flying west along 60 N, 0.002 degree of longitude apart, on course
  // 270, descending to the ground at sample 150 (the touchdown) and rolling on.
  void FlyWestAtSixty() {
    std::vector<LatLon> points;
    for (int i = 0; i < 200; ++i) points.push_back({60.0, 5.0 - i * 0.002});
    SetTrack(points);
    for (int i = 0; i < 200; ++i) {
      flight.samples[static_cast<std::size_t>(i)].courseDeg = 270;
      flight.samples[static_cast<std::size_t>(i)].altitudeFt = i < 150 ? 10.0 * (150 - i) : 0.0;
    }
  }
  // The runway 27, its ILS and the airport around the touchdown point (60 N, 4.7 E).
  void AddLandingNavaids() {
    doc.AddNavaid(NavaidKind::Runway, 60.0, 4.69, 0, 0, "27", "Runway", 148, 270, 6000);
    doc.AddNavaid(NavaidKind::Ils, 60.0, 4.68, 6860, 110.3, "IWS", "IWS", 0, 270, 0);
    doc.AddNavaid(NavaidKind::Airport, 60.005, 4.7, 0, 0, "", "westfield", 0, 0, 0);
    doc.RebuildIndexLists();
  }
  void DrawBottom() { DrawBottomView(window, Input()); }
  MapProjection Map() const { return MapProjection::FromMapState(mapState, kMapH); }

  // 1000 samples, far away until sample 700 and within 7 nautical miles of the
  // touchdown point (sample 900) from there on.
  void LandAfterAFarLeg();
};

void BottomView::LandAfterAFarLeg() {
  std::vector<LatLon> points;
  for (int i = 0; i < 1000; ++i) {
    points.push_back(i < 700 ? LatLon{51.0, 4.0} : LatLon{52.0, 4.0 + (i - 700) * 0.0001});
  }
  SetTrack(points);
  for (int i = 0; i < 1000; ++i) {
    flight.samples[static_cast<std::size_t>(i)].altitudeFt = i < 900 ? 1000.0 : 0.0;
  }
}

TEST_F(BottomView, TheTrackWindowMovesOntoTheApproachAndStays) {
  const struct {
    int first, last;
    int wantFirst, wantLast;
  } cases[] = {
      {0, 999, 700, 999},    // a whole-record window: 0 counts as unset
      {800, 950, 800, 999},  // a zoomed window keeps its start; t + 100 is past the end
      {600, 980, 700, 999},
      {750, 999, 750, 999},
  };
  for (const auto& c : cases) {
    ResetView();
    LandAfterAFarLeg();
    ASSERT_EQ(FindTouchdown(flight), 900);
    EXPECT_EQ(ApproachStart(flight, 900), 700);
    state.trackFirst = c.first;
    state.trackLast = c.last;
    DrawBottom();
    EXPECT_EQ(state.trackFirst, c.wantFirst) << c.first << ".." << c.last;
    EXPECT_EQ(state.trackLast, c.wantLast) << c.first << ".." << c.last;
    // The track chart chosen next shows the approach window.
    Draw();
    EXPECT_EQ(state.trackFirst, c.wantFirst);
  }
  // Every sample within 7 nautical miles: the walk stops 360 samples before touchdown.
  SetTrack(std::vector<LatLon>(1000, LatLon{52.0, 4.0}));
  EXPECT_EQ(ApproachStart(flight, 900), 540);
  EXPECT_EQ(ApproachStart(flight, 100), 0);
}

TEST_F(BottomView, TheTrackIsDrawnFrom400SamplesBeforeTouchdown) {
  const struct {
    bool farLeg;
    int firstDrawn;
  } cases[] = {{false, 0}, {true, 500}};  // touchdown 150: from 0; touchdown 900: from 500
  for (const auto& c : cases) {
    ResetView();
    if (c.farLeg) {
      LandAfterAFarLeg();
    } else {
      FlyWestAtSixty();
    }
    window.Resize(kMapW, kMapH);
    DrawBottom();
    const auto track = LinesWith(kTrackPen);
    ASSERT_FALSE(track.empty());
    const FlightSample& s = flight.samples[static_cast<std::size_t>(c.firstDrawn)];
    EXPECT_EQ(track.front().from, Map().ToPixel(s.latitudeDeg, s.longitudeDeg)) << c.firstDrawn;
    // One segment a sample up to the end of the window, when all lie inside the client.
    if (!c.farLeg) {
      EXPECT_EQ(track.size(), static_cast<std::size_t>(state.trackLast - c.firstDrawn + 1));
    }
  }
}

TEST_F(BottomView, TheLocalizerIsStretchedEastWestByOneOverCosLatitude) {
  FlyWestAtSixty();
  AddLandingNavaids();
  DrawBottom();
  const MapProjection map = Map();
  const Point ils = map.ToPixel(60.0, 4.68);
  const int q = map.MetresToMapPixels(12593.6);
  ASSERT_GT(q, 10);
  const auto lines = LinesWith(kLocalizerPen);
  ASSERT_EQ(lines.size(), 5u);
  // The centre line runs east of the ILS, twice its length in map pixels (1 / cos 60).
  EXPECT_EQ(lines[0].from, (Point{ils.x + 2 * q, ils.y}));
  EXPECT_EQ(lines[0].to, ils);
  // The corners 3 degrees either side at 7 nautical miles, joined to the centre line's
  // end and to the ILS.
  EXPECT_EQ(lines[1].to, lines[0].from);
  EXPECT_EQ(lines[2].to, ils);
  EXPECT_EQ(lines[3].to, lines[0].from);
  EXPECT_EQ(lines[4].to, ils);
  EXPECT_EQ(lines[1].from, lines[2].from);
  EXPECT_EQ(lines[3].from, lines[4].from);
  // Mirrored across the axis, farther east than the centre line's end.
  EXPECT_EQ(lines[1].from.y + lines[3].from.y, 2 * ils.y);
  EXPECT_GT(lines[1].from.x, ils.x + 2 * q);
}

TEST_F(BottomView, IdentificationTextsAndTheirAbsence) {
  struct Text {
    const char* text;
    Point at;
  };
  const struct {
    bool navaids;
    std::vector<Text> shown;
    std::vector<const char*> absent;
  } cases[] = {
      {true,
       {{"Airport name: westfield", {820, 60}},
        {"Runway ID: 27", {820, 72}},
        {"ILS ID: IWS 110.30 MHz.", {820, 83}}},
       {"NO ILS"}},
      // No navaids: no runway text and no message box, "NO ILS".
      {false, {{"NO ILS", {820, 83}}}, {"Runway ID: 27", "Airport name: westfield"}},
  };
  for (const auto& c : cases) {
    ResetView();
    doc.ClearNavaids();
    window.Resize(kMapW, kMapH);
    FlyWestAtSixty();
    if (c.navaids) AddLandingNavaids();
    DrawBottom();
    EXPECT_TRUE(ui.messages.empty());
    for (const Text& t : c.shown) {
      const DrawOp* op = FindText(t.text);
      ASSERT_NE(op, nullptr) << t.text;
      EXPECT_EQ(op->at, t.at) << t.text;
      EXPECT_EQ(op->color, (Color{255, 0, 0})) << t.text;
    }
    for (const char* text : c.absent) EXPECT_EQ(FindText(text), nullptr) << text;
  }
}

TEST_F(BottomView, RadialsAreDrawnWithoutTheirDegreeLabels) {
  FlyWestAtSixty();
  mapState.radials[0] = VorRadial{60.0, 4.8, 90, 0};
  mapState.radialCount = 1;
  mapState.showRadials = true;
  mapState.showIdFreq = true;  // the track chart would label the radial now
  DrawBottom();
  EXPECT_EQ(LinesWith(Pen{PenStyle::Solid, 1, kVorColor}).size(), 1u);
  EXPECT_EQ(FindText("90\xC2\xB0"), nullptr);
  window.Resize(kMapW, kMapH);
  Draw();
  EXPECT_NE(FindText("90\xC2\xB0"), nullptr);
}

// The example flight lands on Amsterdam runway 06, served by the ILS KAG, and both
// approach views are chosen through the command table. The scenery pads the runway's
// identifier with a blank, which the texts keep.
TEST(ApproachViews, TheExampleFlightLandsOnRunway06WithItsIls) {
  TestHost t(1280, 800);
  t.LoadRecord(QUARN_EXAMPLES_DIR "/flight.dat");
  t.Run({"parse " QUARN_EXAMPLES_DIR "/scenery/amsterdam_old.bgl", "command 32826"});
  EXPECT_EQ(t.state().chartMode, kChartBottomView);
  auto textAt = [&](const std::string& text) -> std::optional<Point> {
    for (const DrawOp& op : t.screen().ops()) {
      if (op.kind == DrawOp::Kind::Text && op.text == text) return op.at;
    }
    return std::nullopt;
  };
  EXPECT_EQ(textAt("Runway ID: 6 "), (Point{1100, 72}));
  EXPECT_EQ(textAt("ILS ID: KAG 110.55 MHz."), (Point{1100, 83}));
  EXPECT_EQ(textAt("Airport name: Amsterdam Airport Schiphol"), (Point{1100, 60}));
  const int touchdown = FindTouchdown(t.flight());
  EXPECT_LE(t.state().trackFirst, touchdown);
  EXPECT_GE(t.state().trackLast, std::min(touchdown + 100, t.flight().lastSampleIndex()));
  t.Run({"command 32825"});
  EXPECT_EQ(t.state().chartMode, kChartSideView);
  EXPECT_EQ(textAt("Runway ID: 6 "), (Point{80, 35}));
  EXPECT_EQ(textAt("ILS ID: KAG 110.55 MHz."), (Point{1080, 22}));
}

}  // namespace
}  // namespace quarn::testing

// The track chart on the recording context: map extents and grid, every layer's
// symbols and texts, the cursor and the track, the layer commands.

#include <gtest/gtest.h>

#include <cmath>

#include "base/command_ids.h"
#include "base/geodesy.h"
#include "charts/map_projection.h"
#include "support/map_test_support.h"
#include "support/record_fixtures.h"
#include "support/temp_dir.h"
#include "support/test_host.h"

namespace quarn {
namespace {

using testing::LatLon;
using testing::MapTest;

constexpr Color kNdbGreen{0, 255, 0};
constexpr Color kRunwayGrey{168, 168, 168};
constexpr Color kLightGrey{192, 192, 192};
constexpr Pen kVorPen{PenStyle::Solid, 1, kVorColor};
constexpr Pen kTrackPen{PenStyle::Dot, 1, {0, 0, 255}};
constexpr Pen kCursorPen{PenStyle::Dot, 1, {255, 0, 0}};

// Degrees of latitude that the distance routine takes as this many metres.
double LatitudeDegreesFor(double metres) {
  return 2 * metres / kEarthDiameterMetres / kDegToRad;
}

class TrackChartTest : public MapTest {};

TEST_F(TrackChartTest, TheLargerSpanMakesTheSquareMapAndItsMetres) {
  struct Case {
    const char* name;
    std::vector<LatLon> track;
    double spanDeg;
    double metres;  // the distance routine along the equator or the zero meridian
    const char* latLabels[4];
    const char* lonLabels[4];
  };
  const Case cases[] = {
      {"east-west",
       {{50, 4}, {50.25, 5}},
       1,
       GreatCircleMetres(0, 5, 0, 4),
       // The latitude grid runs past the track's last latitude, 50.25.
       {"50.00", "50.33", "50.67", "51.00"},
       {"  4.00", "  4.33", "  4.67", "  5.00"}},
      {"north-south",
       {{50, 4}, {51, 4.25}},
       1,
       GreatCircleMetres(51, 0, 50, 0),
       {"50.00", "50.33", "50.67", "51.00"},
       {"  4.00", "  4.33", "  4.67", "  5.00"}},
      {"equal spans take longitude",
       {{50, 4}, {50.5, 4.5}},
       0.5,
       GreatCircleMetres(0, 4.5, 0, 4),
       {"50.00", "50.17", "50.33", "50.50"},
       {"  4.00", "  4.17", "  4.33", "  4.50"}},
  };
  const Pen gridPen{PenStyle::Dot, 1, {70, 70, 70}};
  const int xs[4] = {200, 366, 533, 700};
  const int ys[4] = {550, 384, 217, 50};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetTrack(c.track);
    Draw();
    EXPECT_EQ(mapState.mapSpanDeg, c.spanDeg);
    EXPECT_EQ(mapState.mapSpanMetres, c.metres);
    const auto grid = LinesWith(gridPen);
    ASSERT_EQ(grid.size(), 8u);
    for (int j = 0; j < 4; ++j) {
      const DrawOp* lon = FindText(c.lonLabels[j]);
      ASSERT_NE(lon, nullptr) << c.lonLabels[j];
      EXPECT_EQ(lon->at, (Point{xs[j], 570}));
      EXPECT_EQ(lon->align, TextAlign::Center);
      EXPECT_EQ(lon->color, (Color{100, 100, 100}));
      EXPECT_EQ(grid[static_cast<std::size_t>(j)].from, (Point{xs[j], 570}));
      EXPECT_EQ(grid[static_cast<std::size_t>(j)].to, (Point{xs[j], 30}));
      const DrawOp* lat = FindText(c.latLabels[j]);
      ASSERT_NE(lat, nullptr) << c.latLabels[j];
      EXPECT_EQ(lat->at, (Point{40, ys[j] - 11}));
      EXPECT_EQ(lat->align, TextAlign::Right);
      EXPECT_EQ(grid[static_cast<std::size_t>(4 + j)].from, (Point{0, ys[j]}));
      EXPECT_EQ(grid[static_cast<std::size_t>(4 + j)].to, (Point{testing::kMapW, ys[j]}));
    }
  }
}

// A window without extent would divide by a span of 0: the map is drawn around its
// point with a small span instead.
TEST_F(TrackChartTest, AWindowWithoutExtentIsDrawnAroundItsPoint) {
  struct Case {
    const char* name;
    int first, last, cursor;
    LatLon centre;
  };
  const Case cases[] = {
      {"every sample at one point", 0, 2, 1, {50.25, 4.5}},
      {"empty window: around the cursor's sample", 3, 2, 3, {51, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.first <= c.last) {
      SetTrack({{50.25, 4.5}, {50.25, 4.5}, {50.25, 4.5}});
    } else {
      SetTrack({{50, 4}, {50.25, 4.5}, {50.5, 5}, {51, 6}});
    }
    state.trackFirst = c.first;
    state.trackLast = c.last;
    state.trackCursor = c.cursor;
    Draw();
    EXPECT_NEAR(mapState.mapSpanDeg, kZeroSpanDeg, 1e-9);
    EXPECT_GT(mapState.mapSpanMetres, 2000);
    EXPECT_NEAR(mapState.mapLatMin + mapState.mapSpanDeg / 2, c.centre.lat, 1e-9);
    EXPECT_NEAR(mapState.mapLonMin + mapState.mapSpanDeg / 2, c.centre.lon, 1e-9);
    // The cursor cross stands in the middle of the map square.
    const auto cross = LinesWith(kCursorPen);
    ASSERT_EQ(cross.size(), 2u);
    EXPECT_NEAR(cross[0].from.x + 30, 450, 1);
    EXPECT_NEAR(cross[0].from.y, 300, 1);
  }
}

TEST_F(TrackChartTest, NdbSymbolGrowsWithTheFirstTwoZoomLevels) {
  AddNavaid(NavaidKind::Ndb, {50.25, 4.25}, 389, "CH");  // at (325, 425)
  const struct {
    int zoom, outer, inner;
  } cases[] = {{1, 6, 3}, {2, 12, 6}, {3, 18, 9}, {7, 18, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zoom);
    state.zoomLevel = c.zoom;
    Draw();
    const auto ellipses = OpsOf(DrawOp::Kind::Ellipse);
    ASSERT_EQ(ellipses.size(), 2u);
    EXPECT_EQ(ellipses[0].rect, (Rect{325 - c.outer, 425 - c.outer, 325 + c.outer, 425 + c.outer}));
    EXPECT_EQ(ellipses[0].brush, kLightGrey);
    EXPECT_EQ(ellipses[1].rect, (Rect{325 - c.inner, 425 - c.inner, 325 + c.inner, 425 + c.inner}));
    EXPECT_EQ(ellipses[1].brush, kBlack);
    EXPECT_EQ(ellipses[1].pen, (Pen{PenStyle::Solid, 1, kNdbGreen}));
  }
}

TEST_F(TrackChartTest, NavaidsWithinATenthOfADegreeOfTheExtentsAreDrawn) {
  const struct {
    LatLon at;
    bool drawn;
  } cases[] = {
      {{50.55, 4.5}, true},  {{49.95, 4.5}, true},  {{50.25, 5.05}, true},
      {{50.25, 3.95}, true}, {{50.7, 4.5}, false},  {{49.8, 4.5}, false},
      {{50.25, 5.2}, false}, {{50.25, 3.8}, false}, {{50.7, 5.2}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.at.lat << " " << c.at.lon);
    doc.ClearNavaids();
    AddNavaid(NavaidKind::Ndb, c.at, 300, "X");
    Draw();
    EXPECT_EQ(OpsOf(DrawOp::Kind::Ellipse).size(), c.drawn ? 2u : 0u);
  }
}

TEST_F(TrackChartTest, LabelsSitInBoxesMeasuredInTheFont) {
  mapState.showIdFreq = true;
  struct Case {
    const char* name;
    NavaidKind kind;
    double frequency;
    const char* ident;
    const char* fixName;
    int zoom;
    const char* text;
    Rect box;
    Point at;
  };
  // Every navaid at (450, 425); 5 pixels a character.
  const Case cases[] = {
      {"NDB", NavaidKind::Ndb, 389, "CH  ", "", 1, " 389 CH", {450, 438, 489, 455}, {453, 440}},
      {"NDB zoom 2",
       NavaidKind::Ndb,
       389,
       "CH",
       "",
       2,
       " 389 CH",
       {453, 453, 492, 470},
       {456, 455}},
      {"VOR",
       NavaidKind::Vor,
       113.3,
       "SPY ",
       "",
       1,
       "113.30 SPY",
       {450, 396, 505, 413},
       {453, 398}},
      {"VOR zoom 3",
       NavaidKind::Vor,
       113.3,
       "SPY",
       "",
       3,
       "113.30 SPY",
       {456, 342, 511, 359},
       {459, 344}},
      {"fix", NavaidKind::Fix, 0, "ARTIP", "ARTIP", 1, "ARTIP", {450, 432, 479, 449}, {453, 434}},
      {"outer marker",
       NavaidKind::OuterMarker,
       0,
       "LOM",
       "",
       1,
       "LOM",
       {450, 432, 469, 449},
       {453, 434}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc.ClearNavaids();
    AddNavaid(c.kind, {50.25, 4.5}, c.frequency, c.ident, c.fixName);
    state.zoomLevel = c.zoom;
    Draw();
    const auto rects = OpsOf(DrawOp::Kind::Rect);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, c.box);
    EXPECT_EQ(rects[0].brush, kBlack);
    const DrawOp* label = FindText(c.text);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->at, c.at);
    EXPECT_EQ(label->color, rects[0].pen.color);
    EXPECT_EQ(label->background, kBlack);
  }
}

TEST_F(TrackChartTest, VorRoseTurnsWithTheMagneticVariation) {
  struct Case {
    double magVar;
    Point pointerTip, pointerInner;  // the pointer's line
    std::vector<Point> triangle;
  };
  // At (450, 425), zoom 1: the rim at 11 pixels, the pointer from 22 to 6.
  const Case cases[] = {
      {0, {450, 403}, {450, 419}, {{450, 403}, {450, 408}, {447, 410}}},
      {90, {428, 425}, {444, 425}, {{428, 425}, {433, 425}, {425, 427}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.magVar);
    doc.ClearNavaids();
    AddNavaid(NavaidKind::Vor, {50.25, 4.5}, 113.3, "SPY", "", c.magVar);
    Draw();
    const auto ellipses = OpsOf(DrawOp::Kind::Ellipse);
    ASSERT_EQ(ellipses.size(), 2u);
    EXPECT_EQ(ellipses[0].rect, (Rect{439, 414, 461, 436}));
    EXPECT_EQ(ellipses[1].rect, (Rect{443, 418, 457, 432}));
    const auto lines = LinesWith(kVorPen);
    ASSERT_EQ(lines.size(), 13u);  // twelve ticks and the pointer
    EXPECT_EQ(lines[12].from, c.pointerTip);
    EXPECT_EQ(lines[12].to, c.pointerInner);
    const auto polygons = OpsOf(DrawOp::Kind::Polygon);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].points, c.triangle);
    EXPECT_EQ(polygons[0].fillMode, FillMode::Winding);
    EXPECT_EQ(polygons[0].brush, kBlack);
  }
}

TEST_F(TrackChartTest, RunwayBarsFollowTheHeadingWithTheCosineCorrection) {
  SetTrack({{60, 10}, {60.5, 11}});
  const double span = GreatCircleMetres(0, 11, 0, 10);
  const double length100px = (0.2 * span + 0.5) / 0.3048;  // feet that make 100 pixels
  const double width3px = (3 * span / 500 + 0.5) / 0.3048;
  mapState.showIdFreq = true;
  struct Case {
    double course, widthFt;
    Point from, to;
    int penWidth;
  };
  // The runway's centre at (450, 425); at 60 N the east part doubles.
  const Case cases[] = {
      {90, 0, {350, 425}, {550, 425}, 1},
      {0, width3px, {450, 475}, {450, 375}, 3},
      {180, 0, {450, 375}, {450, 475}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.course);
    doc.ClearNavaids();
    AddNavaid(NavaidKind::Runway, {60.25, 10.5}, 1, "09 ", "Runway", c.widthFt, c.course,
              length100px);
    Draw();
    const auto bars = LinesWith(Pen{PenStyle::Geometric, c.penWidth, kRunwayGrey});
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].from, c.from);
    EXPECT_EQ(bars[0].to, c.to);
    const DrawOp* label = FindText("09 ");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->at, (Point{c.from.x + 10, c.from.y - 15}));
    EXPECT_EQ(label->color, kRunwayGrey);
  }
}

TEST_F(TrackChartTest, AirportNamesShowWhateverTheLabelFlag) {
  mapState.showAirport = true;
  AddNavaid(NavaidKind::Airport, {50.25, 4.5}, 0, "", "Schiphol");
  Draw();
  const DrawOp* name = FindText("Schiphol");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->at, (Point{450, 405}));
  EXPECT_EQ(name->color, kVorColor);
}

TEST_F(TrackChartTest, DistanceFromTheWholeTrackInNauticalMiles) {
  mapState.showDistance = true;
  struct Case {
    const char* name;
    NavaidKind kind;
    LatLon at;
    const char* text;
    Point textAt;  // checked when x is not 0
  };
  const double mile = LatitudeDegreesFor(1852);
  const Case cases[] = {
      {"NDB under the track", NavaidKind::Ndb, {50.25, 4.5}, "0.0 nm", {453, 407}},
      {"VOR under the track", NavaidKind::Vor, {50.25, 4.5}, "0.0 nm", {400, 425}},
      {"NDB a mile north of the last sample", NavaidKind::Ndb, {50.5 + mile, 5}, "1.0 nm", {}},
      {"fix a mile south of the first", NavaidKind::Fix, {50 - mile, 4}, "1.0 nm", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc.ClearNavaids();
    AddNavaid(c.kind, c.at, 100, "X", "X");
    Draw();
    const DrawOp* text = FindText(c.text);
    ASSERT_NE(text, nullptr);
    if (c.textAt.x != 0) {
      EXPECT_EQ(text->at, c.textAt);
    }
  }
}

// The kept distances must follow the track and the navaids: the picture of a redraw
// is the picture of a first draw.
TEST_F(TrackChartTest, KeptDistancesFollowTheTrackAndTheNavaid) {
  mapState.showDistance = true;
  AddNavaid(NavaidKind::Ndb, {50.25, 4.5}, 100, "X");
  Draw();
  EXPECT_NE(FindText("0.0 nm"), nullptr);
  const double mile = LatitudeDegreesFor(1852);
  SetTrack({{50, 4}, {50.25 + 2 * mile, 4.5}, {50.5, 5}});
  Draw();
  EXPECT_NE(FindText("2.0 nm"), nullptr);
  doc.m_navaids[0].latitude = 50.25 + 3 * mile;
  Draw();
  EXPECT_NE(FindText("1.0 nm"), nullptr);
}

TEST_F(TrackChartTest, ASampleOutsideTheClientBreaksTheTrack) {
  SetTrack({{50, 4}, {50.25, 4.5}, {50.5, 5}, {55, 4.5}, {50.25, 4.75}});
  state.trackLast = 2;  // the map of the first three; the fourth lies far above the client
  Draw();
  const auto track = LinesWith(kTrackPen);
  const std::vector<std::pair<Point, Point>> expected{
      {{200, 550}, {200, 550}},
      {{200, 550}, {450, 425}},
      {{450, 425}, {700, 300}},
      {{450, -1950}, {575, 425}},
  };
  ASSERT_EQ(track.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(track[i].from, expected[i].first) << i;
    EXPECT_EQ(track[i].to, expected[i].second) << i;
  }
}

TEST_F(TrackChartTest, RepeatedPixelsAddNoLineAndGapsBreakTheTrack) {
  struct Case {
    const char* name;
    std::vector<LatLon> track;
    std::vector<int> segmentStarts;
    std::vector<std::pair<Point, Point>> lines;
  };
  const Case cases[] = {
      {"a sample on the pixel of the one before",
       {{50, 4}, {50, 4}, {50.25, 4.5}, {50.25, 4.5}, {50.5, 5}},
       {},
       {{{200, 550}, {200, 550}}, {{200, 550}, {450, 425}}, {{450, 425}, {700, 300}}}},
      {"a piece after a gap",
       {{50, 4}, {50.25, 4.5}, {50.5, 5}},
       {2},
       {{{200, 550}, {200, 550}}, {{200, 550}, {450, 425}}}},
      {"a piece after a gap on the same pixel",
       {{50, 4}, {50.25, 4.5}, {50.25, 4.5}, {50.5, 5}},
       {2},
       {{{200, 550}, {200, 550}}, {{200, 550}, {450, 425}}, {{450, 425}, {700, 300}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetTrack(c.track);
    flight.segmentStarts = c.segmentStarts;
    window.Resize(window.ClientWidth(), window.ClientHeight());  // a fresh list
    Draw();
    const auto track = LinesWith(kTrackPen);
    ASSERT_EQ(track.size(), c.lines.size());
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      EXPECT_EQ(track[i].from, c.lines[i].first) << i;
      EXPECT_EQ(track[i].to, c.lines[i].second) << i;
    }
  }
}

TEST_F(TrackChartTest, CursorCrossAndStatusLinesShowTheTrackCursor) {
  state.trackCursor = 1;
  flight.samples[1].altitudeFt = 1234;
  flight.samples[1].timeHours = 10.5;
  Draw();
  const auto cross = LinesWith(kCursorPen);
  ASSERT_EQ(cross.size(), 2u);
  EXPECT_EQ(cross[0].from, (Point{420, 425}));
  EXPECT_EQ(cross[0].to, (Point{480, 425}));
  EXPECT_EQ(cross[1].from, (Point{450, 395}));
  EXPECT_EQ(cross[1].to, (Point{450, 455}));
  const DrawOp* status =
      FindText("Time=10:30:0     Altitude=   1234    Latitude=50.25    Longitude= 4.50");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->color, (Color{0, 170, 85}));
}

TEST_F(TrackChartTest, LayerCommandsRedrawTheChartsThatShowTheLayer) {
  struct Case {
    int id;
    bool* flag;
    bool sideView;  // the side view shows it too
  };
  const Case cases[] = {
      {ID_SHOW_VOR, &mapState.showVor, true},
      {ID_SHOW_NDB, &mapState.showNdb, true},
      {ID_SHOW_FIX, &mapState.showFix, false},
      {ID_SHOW_RUNWAY, &mapState.showRunway, false},
      {ID_SHOW_AIRPORT, &mapState.showAirport, false},
      {ID_SHOW_ID_FREQ, &mapState.showIdFreq, true},
      {ID_SHOW_DISTANCE, &mapState.showDistance, false},
      {ID_SHOW_MARKERS, &mapState.showMarkers, true},
      {ID_SHOW_RADIALS, &mapState.showRadials, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    for (int mode : {kChartTrack, kChartSideView, kChartBottomView, kChartAltitude}) {
      state.chartMode = mode;
      const bool before = *c.flag;
      const bool redraw = ApplyLayerCommand(mapState, state.chartMode, c.id);
      EXPECT_EQ(*c.flag, !before);
      EXPECT_EQ(redraw, mode == kChartTrack || mode == kChartBottomView ||
                            (mode == kChartSideView && c.sideView))
          << mode;
    }
  }
}

TEST_F(TrackChartTest, SelectAllTwiceTurnsTheLayersOnThenOffButNotTheRadials) {
  bool* const layers[] = {&mapState.showVor,      &mapState.showNdb,     &mapState.showFix,
                          &mapState.showRunway,   &mapState.showAirport, &mapState.showIdFreq,
                          &mapState.showDistance, &mapState.showMarkers};
  state.chartMode = kChartTrack;
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on);
    EXPECT_TRUE(ApplyLayerCommand(mapState, state.chartMode, ID_SELECT_ALL));
    for (bool* flag : layers) EXPECT_EQ(*flag, on);
    EXPECT_FALSE(mapState.showRadials);
    EXPECT_EQ(mapState.selectAllTurnsOn, !on);  // the item is checked after the first use
  }
  state.chartMode = kChartSideView;
  EXPECT_FALSE(ApplyLayerCommand(mapState, state.chartMode, ID_SELECT_ALL));
}

// Through the program: the keys, a click and the zoom move the cursor and the window
// that the chart shows.
TEST(TrackChartInteraction, KeysClickAndZoomMoveTheCursorAndTheWindow) {
  testing::TempDir dir;
  testing::TestHost t(1000, 600);
  t.LoadRecord(testing::WriteRecordFile(dir.path(), "f.dat", testing::SteadyClimb(2000)));
  t.Run({"command 32779", "key RIGHT", "key ADD"});
  EXPECT_EQ(t.state().chartMode, kChartTrack);
  EXPECT_EQ(t.state().trackCursor, 11);
  // The record climbs north along 5 E: its 2000 samples span 1.999 degrees.
  EXPECT_DOUBLE_EQ(t.map().mapSpanDeg,
                   t.flight().samples[1999].latitudeDeg - t.flight().samples[0].latitudeDeg);
  t.Run({"click 450 301"});  // just below the middle of the map
  EXPECT_EQ(t.state().trackCursor, 996);
  t.Run({"command ID_ZOOM_IN"});
  EXPECT_EQ(t.state().trackFirst, 496);
  EXPECT_EQ(t.state().trackLast, 1496);
  EXPECT_DOUBLE_EQ(t.map().mapLatMin, t.flight().samples[496].latitudeDeg);
  EXPECT_DOUBLE_EQ(t.map().mapLatMax, t.flight().samples[1496].latitudeDeg);
  const Point cursor =
      MapProjection::FromMapState(t.map(), 600)
          .ToPixel(t.flight().samples[996].latitudeDeg, t.flight().samples[996].longitudeDeg);
  EXPECT_NEAR(cursor.y, 300, 1);  // the cursor's sample is the window's middle
  bool crossDrawn = false;
  for (const DrawOp& op : t.screen().ops()) {
    crossDrawn |= op.kind == DrawOp::Kind::Line && op.pen == kCursorPen &&
                  op.from == Point{cursor.x - 30, cursor.y} &&
                  op.to == Point{cursor.x + 30, cursor.y};
  }
  EXPECT_TRUE(crossDrawn);
}

}  // namespace
}  // namespace quarn

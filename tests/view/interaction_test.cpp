#include <gtest/gtest.h>

#include "base/flight.h"
#include "base/view_state.h"
#include "charts/map_state.h"
#include "platform/file_services.h"
#include "platform/json.h"
#include "support/record_fixtures.h"
#include "support/temp_dir.h"
#include "support/test_host.h"

namespace quarn {
namespace {

using testing::SteadyClimb;
using testing::TempDir;
using testing::TestHost;
using testing::WriteRecordFile;

constexpr int kW = 1280;

class ViewTest : public ::testing::Test {
 protected:
  void Load(int samples) {
    t.LoadRecord(WriteRecordFile(dir.path(), "f.dat", SteadyClimb(samples)));
    t.TakeTranscript();
  }
  TempDir dir;
  TestHost t{kW, 800};
};

TEST_F(ViewTest, KeysMoveBothCursorsWithinTheirLimits) {
  Load(100);
  t.state().trackFirst = 20;
  t.state().trackLast = 60;
  t.state().trackCursor = 30;
  struct Step {
    const char* key;
    int offset, track;
  };
  const Step steps[] = {
      {"HOME", 0, 20},
      {"LEFT", 0, 20},
      {"RIGHT", 1, 21},
      {"END", kW - 100, 60},
      {"RIGHT", kW - 100, 60},
      {"ADD", kW - 101, 60},
      {"RIGHT", kW - 100, 60},
      {"SUBTRACT", kW - 110, 50},
      {"SUBTRACT", kW - 120, 40},
      {"HOME", 0, 20},
      {"ADD", 10, 30},
      {"ADD", 20, 40},
      {"SUBTRACT", 10, 30},
      {"SUBTRACT", 0, 20},
      {"LEFT", 0, 20},
  };
  for (const auto& s : steps) {
    t.Run({std::string("key ") + s.key});
    EXPECT_EQ(t.state().cursorOffset, s.offset) << s.key;
    EXPECT_EQ(t.state().trackCursor, s.track) << s.key;
  }
  // Up and down change nothing.
  t.Run({"key UP", "key DOWN"});
  EXPECT_EQ(t.state().cursorOffset, 0);
  EXPECT_EQ(t.state().trackCursor, 20);
}

TEST_F(ViewTest, AddNearTheEndsGoesToTheLastPlaces) {
  Load(100);
  t.state().trackCursor = 95;
  t.state().cursorOffset = kW - 112;
  t.Run({"key ADD"});
  EXPECT_EQ(t.state().trackCursor, 99);
  EXPECT_EQ(t.state().cursorOffset, kW - 102);
  t.Run({"key ADD"});
  EXPECT_EQ(t.state().cursorOffset, kW - 101);
}

TEST_F(ViewTest, CursorButtonsAreTheArrowKeys) {
  Load(100);
  t.Run({"command ID_CURSOR_RIGHT", "command ID_CURSOR_RIGHT", "command ID_CURSOR_LEFT"});
  EXPECT_EQ(t.state().cursorOffset, 1);
  EXPECT_EQ(t.state().trackCursor, 1);
}

TEST_F(ViewTest, ClickPlacesTheGraphCursorAndFullRedrawLimitsIt) {
  Load(100);
  const struct {
    int x, offset;
  } cases[] = {{30, 0}, {50, 0}, {51, 1}, {kW - 50, kW - 100}, {kW - 49, kW - 50}, {5000, kW - 50}};
  for (const auto& c : cases) {
    t.Run({"click " + std::to_string(c.x) + " 300"});
    EXPECT_EQ(t.state().cursorOffset, c.offset) << c.x;
  }
  t.Run({"repaint"});
  EXPECT_EQ(t.state().cursorOffset, kW - 50);
  t.Run({"size 600 400"});
  EXPECT_EQ(t.state().cursorOffset, 550);
}

TEST_F(ViewTest, ClickTakesTheNearestSampleOfTheWholeRecord) {
  Load(100);                                       // samples at 50 N + i * 0.001, 5 E
  t.state().trackFirst = t.state().trackLast = 0;  // the track window does not limit the search
  // Map with its lower-left corner at (50.05 N, 5 E) and a span of 0.1 degree on a
  // square of 700 pixels: a click at (200, 750) is that corner.
  t.map().mapLatMin = 50.05;
  t.map().mapLonMin = 5;
  t.map().mapSpanDeg = 0.1;
  t.Run({"click 200 750"});
  EXPECT_EQ(t.state().trackCursor, 50);
  t.Run({"click 200 50"});  // the top of the map, beyond the last sample
  EXPECT_EQ(t.state().trackCursor, 99);

  // Before any map was drawn, every click maps to (0, 0): the sample nearest to it.
  t.map() = MapState{};
  t.flight().samples[7].latitudeDeg = t.flight().samples[8].latitudeDeg = 1;
  t.flight().samples[7].longitudeDeg = t.flight().samples[8].longitudeDeg = 0;
  t.Run({"click 640 400"});
  EXPECT_EQ(t.state().trackCursor, 7);  // the earlier of two equally near samples
}

TEST_F(ViewTest, ZoomInFiveTimesAndOutAgain) {
  Load(5000);
  t.state().trackCursor = 2500;
  t.state().cursorOffset = (kW - 100) / 2;  // the graph cursor on sample 2499
  const int halfWidths[] = {1000, 500, 333, 250, 200};
  for (int i = 0; i < 5; ++i) {
    t.Run({"command ID_ZOOM_IN"});
    EXPECT_EQ(t.state().zoomLevel, i + 2);
    EXPECT_EQ(t.state().trackLast - t.state().trackCursor, 500 / (i + 1));
    EXPECT_EQ(t.state().windowLast - t.state().windowFirst, 2 * halfWidths[i]);
    // The cursor stays on the centre sample, in the middle of the axis.
    EXPECT_EQ(t.state().cursorOffset, ((kW - 100) * halfWidths[i]) / (2 * halfWidths[i]));
    EXPECT_DOUBLE_EQ(t.state().firstTime,
                     t.flight().samples[static_cast<std::size_t>(t.state().windowFirst)].timeHours);
    EXPECT_DOUBLE_EQ(t.state().lastTime,
                     t.flight().samples[static_cast<std::size_t>(t.state().windowLast)].timeHours);
  }
  const int levels[] = {5, 4, 3, 2, 1};
  for (int level : levels) {
    t.Run({"command ID_ZOOM_OUT"});
    EXPECT_EQ(t.state().zoomLevel, level);
    EXPECT_EQ(t.state().windowLast - t.state().windowFirst, 2 * (1000 / level));
  }
  const int cursor = t.state().cursorOffset;
  t.Run({"command ID_ZOOM_OUT"});  // from level 1: the whole record
  EXPECT_EQ(t.state().zoomLevel, 1);
  EXPECT_EQ(t.state().windowFirst, 0);
  EXPECT_EQ(t.state().windowLast, 4999);
  EXPECT_EQ(t.state().trackFirst, 0);
  EXPECT_EQ(t.state().trackLast, 4999);
  EXPECT_EQ(t.state().cursorOffset, cursor);
  EXPECT_EQ(t.state().trackCursor, 2500);
  EXPECT_DOUBLE_EQ(t.state().lastTime, t.flight().samples[4999].timeHours);
}

TEST_F(ViewTest, ZoomInCutAtTheStartPlacesTheCursorByIndex) {
  Load(5000);
  t.state().cursorOffset = 59;  // sample (4999 * 59) / 1180 = 249
  t.Run({"command ID_ZOOM_IN"});
  EXPECT_EQ(t.state().windowFirst, 0);
  EXPECT_EQ(t.state().windowLast, 1249);
  EXPECT_EQ(t.state().cursorOffset, ((kW - 100) * 249) / 1249);
}

TEST_F(ViewTest, ZoomedTrackWindowIsCutAtBothEndsOfTheRecord) {
  const struct {
    int cursor, first, last;
  } cases[] = {{10, 0, 510}, {4990, 4490, 4999}, {2000, 1500, 2500}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cursor);
    Load(5000);
    t.state().trackCursor = c.cursor;
    t.Run({"command ID_ZOOM_IN"});
    EXPECT_EQ(t.state().trackFirst, c.first);
    EXPECT_EQ(t.state().trackLast, c.last);
    EXPECT_EQ(t.state().trackCursor, c.cursor);
  }
}

TEST_F(ViewTest, ZoomInStopsAtLevelTwenty) {
  Load(5000);
  t.state().zoomLevel = 20;
  t.state().windowFirst = 10;
  t.Run({"command ID_ZOOM_IN"});
  EXPECT_EQ(t.state().zoomLevel, 20);
  EXPECT_EQ(t.state().windowFirst, 10);
}

TEST_F(ViewTest, ZoomOnANarrowClientOrASingleSampleDividesByNothing) {
  Load(5000);
  t.Run({"size 100 400", "command ID_ZOOM_IN"});  // no time axis: nothing changes
  EXPECT_EQ(t.state().zoomLevel, 1);
  EXPECT_EQ(t.state().windowLast, 4999);
  t.state().zoomLevel = 3;
  t.Run({"command ID_ZOOM_OUT"});
  EXPECT_EQ(t.state().zoomLevel, 3);

  Load(1);  // a one-sample window: the cursor goes to the left end
  t.Run({"size 1280 800", "click 700 300", "command ID_ZOOM_IN"});
  EXPECT_EQ(t.state().zoomLevel, 2);
  EXPECT_EQ(t.state().windowFirst, 0);
  EXPECT_EQ(t.state().windowLast, 0);
  EXPECT_EQ(t.state().cursorOffset, 0);
}

TEST_F(ViewTest, ZoomOnAnEmptyRecordReadsNothingOutsideTheTable) {
  t.LoadRecord(WriteRecordFile(dir.path(), "empty.dat", {}));
  t.Run({"command ID_ZOOM_IN", "command ID_ZOOM_OUT", "command ID_ZOOM_OUT", "key END",
         "click 10 10"});
  EXPECT_EQ(t.flight().lastSampleIndex(), -1);
  EXPECT_EQ(t.state().windowLast, -1);
  EXPECT_EQ(t.state().lastTime, 0);
}

// Which events draw the current chart again: a marker drawn over the chart stays
// on screen only when the event does not redraw.
TEST_F(ViewTest, RedrawDispatchByModeAndEvent) {
  Load(100);
  const Pen marker{PenStyle::Solid, 3, Color{1, 2, 3}};
  const auto markerShown = [&] {
    for (const DrawOp& op : t.screen().ops()) {
      if (op.kind == DrawOp::Kind::Line && op.pen == marker) return true;
    }
    return false;
  };
  const struct {
    int mode;
    const char* event;
    bool redrawn;
  } cases[] = {
      {kChartAltitude, "click 640 300", true},
      {kChartAltitude, "command ID_ZOOM_IN", true},
      {kChartFlightSummary, "click 640 300", true},
      {kChartFlightSummary, "command ID_ZOOM_OUT", true},
      // The take-off and landing summary waits for the next full redraw after a
      // click or a zoom; keys, cursor buttons and repaints draw it at once.
      {kChartTakeoffLanding, "click 640 300", false},
      {kChartTakeoffLanding, "command ID_ZOOM_IN", false},
      {kChartTakeoffLanding, "command ID_ZOOM_OUT", false},
      {kChartTakeoffLanding, "key RIGHT", true},
      {kChartTakeoffLanding, "command ID_CURSOR_LEFT", true},
      {kChartTakeoffLanding, "repaint", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + " " + c.event);
    t.state().zoomLevel = 1;
    t.state().chartMode = c.mode;
    t.Run({"repaint"});
    {
      auto dc = t.host().window().GetDC();
      dc->SelectPen(marker);
      dc->MoveTo(0, 0);
      dc->LineTo(5, 5);
    }
    ASSERT_TRUE(markerShown());
    t.Run({c.event});
    EXPECT_EQ(markerShown(), !c.redrawn);
    EXPECT_EQ(t.state().chartMode, c.mode);
  }
}

// The track chart and the bottom view keep the graph cursor within H + 200, after
// the full redraw's own limits and in the redraw after a click as well.
TEST_F(ViewTest, MapModesLimitTheGraphCursorToHeightPlus200) {
  Load(100);
  const struct {
    int mode;
    int afterRepaint;  // from an offset of 1200
    int afterClick;    // at x = W - 10
  } cases[] = {
      {kChartTrack, 1000, 1000},
      {kChartBottomView, 1000, 1000},
      {kChartAltitude, 1200, kW - 50},
      {kChartSideView, 1200, kW - 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    t.state().chartMode = c.mode;
    t.state().cursorOffset = 1200;
    t.Run({"repaint"});
    EXPECT_EQ(t.state().cursorOffset, c.afterRepaint);
    t.Run({"click " + std::to_string(kW - 10) + " 300"});
    EXPECT_EQ(t.state().cursorOffset, c.afterClick);
  }
}

TEST_F(ViewTest, BlankViewFillsWhiteAndKeepsTheRest) {
  Load(100);
  t.state().chartMode = kChartAltitude;
  t.state().zoomLevel = 4;
  t.Run({"command 32837"});
  EXPECT_EQ(t.state().chartMode, kChartBlank);
  EXPECT_EQ(t.state().zoomLevel, 4);
  ASSERT_EQ(t.screen().ops().size(), 1u);
  EXPECT_EQ(t.screen().ops()[0].color, kWhite);
  t.Run({"size 800 600"});  // a resize leaves it blank
  EXPECT_TRUE(t.screen().ops().empty());
}

// After the described message, the status bar says where each export's files went.
TEST_F(ViewTest, ExportsSayWhereTheirFilesWent) {
  Load(100);  // the data directory is the current one now
  const std::string here = CurrentDirectory();
  t.doc().AddNavaid(NavaidKind::Ndb, 50, 5, 0, 300, "A", "A", 0, 0, 0);
  t.doc().RebuildIndexLists();
  t.doc().m_navaidsLoaded = 1;
  const struct {
    std::vector<std::string> lines;
    bool message;  // the command's described message comes first
    std::string written;
  } cases[] = {
      {{"command ID_GENERATE_FLIGHT_TEXT"},
       true,
       "Written: " + JoinPath(here, "flight.txt") + ", " + JoinPath(here, "warning.txt")},
      {{"answer file " + dir.File("track.kml"), "command ID_EXPORT_TRACK"},
       false,
       "Written: " + dir.File("track.kml")},
      {{"command ID_EXPORT_NAVAIDS"},
       true,
       "Written: " + JoinPath(here, "Ndbs.txt") + ", " + JoinPath(here, "fixes.txt") + ", " +
           JoinPath(here, "Ilss.txt") + ", " + JoinPath(here, "Apts.txt") + ", " +
           JoinPath(here, "Vors.txt") + ", " + JoinPath(here, "Rwys.txt")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.back());
    t.Run(c.lines);
    const auto out = t.TakeTranscript();
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out.end()[-2].rfind(R"({"event":"message")", 0) == 0, c.message) << out.end()[-2];
    EXPECT_EQ(out.back(), JsonObject().Add("event", "status").Add("text", c.written).Str());
  }
}

}  // namespace
}  // namespace quarn

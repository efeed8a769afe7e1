#include "platform/recording_context.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

class RecordingContextTest : public ::testing::Test {
 protected:
  RecordingContextTest() { list.Reset(640, 480); }
  DisplayList list;
  FixedWidthMetrics metrics;
};

TEST_F(RecordingContextTest, StartsWithGdiDefaults) {
  RecordingContext dc(list, metrics);
  EXPECT_EQ(dc.textColor(), kBlack);
  EXPECT_EQ(dc.bkColor(), kWhite);
  EXPECT_EQ(dc.bkMode(), BkMode::Opaque);
  EXPECT_EQ(dc.textAlign(), TextAlign::Left);
  EXPECT_EQ(dc.pen(), (Pen{PenStyle::Solid, 1, kBlack}));
  EXPECT_EQ(dc.brush(), Brush::Solid(kWhite));
  EXPECT_EQ(dc.currentPosition(), (Point{0, 0}));
}

TEST_F(RecordingContextTest, SelectReturnsThePreviousObject) {
  RecordingContext dc(list, metrics);
  const Pen red{PenStyle::Dot, 1, Color{255, 0, 0}};
  const Pen old = dc.SelectPen(red);
  EXPECT_EQ(old, Pen{});
  EXPECT_EQ(dc.SelectPen(old), red);
  EXPECT_EQ(dc.SetTextAlign(TextAlign::Right), TextAlign::Left);
  EXPECT_EQ(dc.SetBkMode(BkMode::Transparent), BkMode::Opaque);
}

TEST_F(RecordingContextTest, FillSetsTheBackgroundColourThatTextUses) {
  RecordingContext dc(list, metrics);
  dc.FillSolidRect(Rect{0, 0, 640, 480}, kBlack);
  dc.SetTextColor(Color{0, 170, 85});
  dc.SelectFont(ArialFont(-11));
  dc.TextOut(50, 10, "Time");
  ASSERT_EQ(list.ops().size(), 2u);
  const DrawOp& text = list.ops()[1];
  EXPECT_EQ(text.background, kBlack);
  EXPECT_EQ(text.color, (Color{0, 170, 85}));
  EXPECT_EQ(text.width, 4 * 5);  // four characters of half the 11-pixel height
  dc.SetBkMode(BkMode::Transparent);
  dc.TextOut(0, 0, "x");
  EXPECT_FALSE(list.ops().back().background.has_value());
}

TEST_F(RecordingContextTest, LinesRunFromTheCurrentPositionAndMoveToRecordsNothing) {
  RecordingContext dc(list, metrics);
  dc.MoveTo(10, 20);
  dc.LineTo(30, 40);
  dc.LineTo(50, 60);
  ASSERT_EQ(list.ops().size(), 2u);
  EXPECT_EQ(list.ops()[0].from, (Point{10, 20}));
  EXPECT_EQ(list.ops()[1].from, (Point{30, 40}));
  EXPECT_EQ(list.ops()[1].to, (Point{50, 60}));
}

TEST_F(RecordingContextTest, AWholeClientFillStartsTheListAgain) {
  RecordingContext dc(list, metrics);
  dc.FillSolidRect(Rect{0, 0, 10, 10}, kBlack);  // partial: kept
  dc.LineTo(5, 5);
  EXPECT_EQ(list.ops().size(), 2u);
  dc.FillSolidRect(Rect{0, 0, 640, 480}, kWhite);
  ASSERT_EQ(list.ops().size(), 1u);
  EXPECT_EQ(list.ops()[0].color, kWhite);
}

TEST_F(RecordingContextTest, JsonOfEveryOpKind) {
  RecordingContext dc(list, metrics);
  dc.FillSolidRect(Rect{0, 0, 640, 480}, kBlack);
  dc.SelectPen(Pen{PenStyle::Geometric, 3, Color{168, 168, 168}});
  dc.LineTo(1, 2);
  dc.SelectBrush(Brush::Hollow());
  dc.Rectangle(Rect{1, 2, 3, 4});
  dc.SelectBrush(Brush::Solid(kBlack));
  dc.Ellipse(Rect{5, 6, 7, 8});
  const Point pts[] = {{0, 0}, {4, 0}, {2, 3}};
  dc.Polygon(pts, FillMode::Winding);
  dc.SetTextAlign(TextAlign::Center);
  dc.SelectFont(ArialFont(-11));
  dc.TextOut(100, 200, "A\"b");
  const std::string json = list.ToJson();
  EXPECT_EQ(json,
            "{\"width\":640,\"height\":480,\"ops\":[\n"
            "{\"op\":\"fill\",\"rect\":[0,0,640,480],\"color\":[0,0,0]},\n"
            "{\"op\":\"line\",\"from\":[0,0],\"to\":[1,2],\"pen\":{\"style\":\"geometric\","
            "\"width\":3,\"color\":[168,168,168]}},\n"
            "{\"op\":\"rect\",\"rect\":[1,2,3,4],\"pen\":{\"style\":\"geometric\",\"width\":3,"
            "\"color\":[168,168,168]},\"brush\":null},\n"
            "{\"op\":\"ellipse\",\"rect\":[5,6,7,8],\"pen\":{\"style\":\"geometric\",\"width\":3,"
            "\"color\":[168,168,168]},\"brush\":[0,0,0]},\n"
            "{\"op\":\"polygon\",\"points\":[[0,0],[4,0],[2,3]],\"fill\":\"winding\",\"pen\":{"
            "\"style\":\"geometric\",\"width\":3,\"color\":[168,168,168]},\"brush\":[0,0,0]},\n"
            "{\"op\":\"text\",\"at\":[100,200],\"align\":\"center\",\"text\":\"A\\\"b\",\"color\":"
            "[0,0,0],\"background\":[0,0,0],\"font\":{\"face\":\"Arial\",\"height\":-11,"
            "\"weight\":400},\"width\":15}\n"
            "]}\n");
}

}  // namespace
}  // namespace quarn

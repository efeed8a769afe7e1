// The Qt drawing context draws what GDI would: dotted pens with opaque gaps and a
// pattern that runs on across line-tos, aligned opaque text, the rectangle's
// extent, and the two polygon fill modes. Checked on the pixels of an image, both
// through the direct path for 32-bit images and through Qt's own stroking.

#include "platform/qt/qt_draw_context.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/view_state.h"
#include "charts/chart_input.h"
#include "charts/map_state.h"
#include "charts/track_chart.h"
#include "platform/qt/qt_fonts.h"
#include "platform/window.h"

namespace quarn {
namespace {

constexpr Color kRed{255, 0, 0};
constexpr Color kGreen{0, 170, 85};
constexpr Color kBlue{0, 0, 255};

QColor Q(Color c) {
  return QColor(c.r, c.g, c.b);
}

class QtDrawContextTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QGuiApplication::instance() == nullptr) {
      setenv("QT_QPA_PLATFORM", "offscreen", 0);
      static int argc = 1;
      static char name[] = "test_cli";
      static char* argv[] = {name, nullptr};
      static QGuiApplication app(argc, argv);
    }
  }

  // Draws on a white image of the format; the context is flushed on return.
  template <typename Fn>
  QImage Draw(QImage::Format format, Fn fn) {
    QImage image(120, 60, format);
    QPainter painter(&image);
    {
      QtDrawContext dc(painter);
      dc.FillSolidRect(Rect{0, 0, 120, 60}, kWhite);
      fn(dc);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
  }
};

TEST_F(QtDrawContextTest, DottedRunKeepsItsPatternAcrossSegments) {
  auto drawDots = [](BkMode mode) {
    return [mode](DrawContext& dc) {
      dc.SetBkColor(kGreen);
      dc.SetBkMode(mode);
      dc.SelectPen(Pen{PenStyle::Dot, 1, kRed});
      dc.MoveTo(10, 10);
      dc.LineTo(20, 10);  // the run goes on: the pattern does not restart at 20
      dc.LineTo(40, 10);
    };
  };
  // The direct path: three on, three off from the start of the run, the gaps in
  // the background colour or left alone, the end point not drawn.
  const QImage opaque = Draw(QImage::Format_RGB32, drawDots(BkMode::Opaque));
  const QImage transparent = Draw(QImage::Format_RGB32, drawDots(BkMode::Transparent));
  for (int x = 10; x < 40; ++x) {
    const bool dot = (x - 10) % 6 < 3;
    EXPECT_EQ(opaque.pixelColor(x, 10), dot ? Q(kRed) : Q(kGreen)) << x;
    EXPECT_EQ(transparent.pixelColor(x, 10), dot ? Q(kRed) : QColor(Qt::white)) << x;
  }
  EXPECT_EQ(opaque.pixelColor(40, 10), QColor(Qt::white));

  // Qt's own stroking (a 24-bit image): dots and opaque gaps, nothing else.
  const QImage stroked = Draw(QImage::Format_RGB888, drawDots(BkMode::Opaque));
  int red = 0, green = 0;
  for (int x = 11; x < 39; ++x) {
    const QColor c = stroked.pixelColor(x, 10);
    red += c == Q(kRed);
    green += c == Q(kGreen);
    EXPECT_TRUE(c == Q(kRed) || c == Q(kGreen)) << x;
  }
  EXPECT_GT(red, 8);
  EXPECT_GT(green, 8);
}

TEST_F(QtDrawContextTest, StateChangeEndsTheRun) {
  const QImage image = Draw(QImage::Format_RGB32, [](DrawContext& dc) {
    dc.SelectPen(Pen{PenStyle::Solid, 1, kRed});
    dc.MoveTo(10, 20);
    dc.LineTo(30, 20);
    dc.SelectPen(Pen{PenStyle::Solid, 1, kBlue});
    dc.LineTo(50, 20);
  });
  EXPECT_EQ(image.pixelColor(15, 20), Q(kRed));
  EXPECT_EQ(image.pixelColor(29, 20), Q(kRed));
  EXPECT_EQ(image.pixelColor(30, 20), Q(kBlue));
  EXPECT_EQ(image.pixelColor(45, 20), Q(kBlue));
}

TEST_F(QtDrawContextTest, TextIsPlacedByItsAlignmentOnAnOpaqueCell) {
  struct Case {
    TextAlign align;
    int x;
  };
  for (const Case& c :
       {Case{TextAlign::Left, 20}, Case{TextAlign::Center, 60}, Case{TextAlign::Right, 100}}) {
    SCOPED_TRACE(static_cast<int>(c.align));
    Size extent;
    const QImage image = Draw(QImage::Format_RGB32, [&](DrawContext& dc) {
      dc.SelectFont(ArialFont(-11));
      dc.SetBkColor(kBlue);
      dc.SetTextColor(kGreen);
      dc.SetTextAlign(c.align);
      extent = dc.GetTextExtent("WWW");
      dc.TextOut(c.x, 20, "WWW");
    });
    ASSERT_GT(extent.cx, 10);
    int left = c.x;
    if (c.align == TextAlign::Center) left = c.x - extent.cx / 2;
    if (c.align == TextAlign::Right) left = c.x - extent.cx;
    // The cell: from left to left + cx - 1 and from the top down.
    EXPECT_NE(image.pixelColor(left, 20), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(left + extent.cx - 1, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(left - 1, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(left + extent.cx, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(left, 19), QColor(Qt::white));
    int ink = 0;
    for (int y = 20; y < 20 + extent.cy; ++y) {
      for (int x = left; x < left + extent.cx; ++x) ink += image.pixelColor(x, y).green() > 80;
    }
    EXPECT_GT(ink, 10);
  }
}

// Texts are shaped once and kept: what they leave on the image must be what Qt's
// plain text drawing leaves, at every redraw.
TEST_F(QtDrawContextTest, KeptShapedTextsDrawWhatPlainTextDrawingDraws) {
  const std::vector<std::string> texts = {
      "113.30 SPY", " 389 CH", "2.0 nm", "90\xC2\xB0", "Amsterdam Airport Schiphol", "AV Wa To"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    auto viaContext = [&](DrawContext& dc) {
      dc.SelectFont(ArialFont(-11));
      dc.SetBkColor(kBlue);
      dc.SetTextColor(kGreen);
      dc.TextOut(3, 20, text);
    };
    const QImage first = Draw(QImage::Format_RGB32, viaContext);
    const QImage second = Draw(QImage::Format_RGB32, viaContext);  // from the kept text
    QImage plain(120, 60, QImage::Format_RGB32);
    plain.fill(Qt::white);
    {
      QPainter painter(&plain);
      painter.setRenderHint(QPainter::TextAntialiasing, true);
      const QFont font = ToQFont(ArialFont(-11));
      const QFontMetrics metrics(font);
      const QString q = QString::fromStdString(text);
      painter.fillRect(QRect(3, 20, metrics.horizontalAdvance(q), metrics.height()), Q(kBlue));
      painter.setFont(font);
      painter.setPen(Q(kGreen));
      painter.drawText(QPoint(3, 20 + metrics.ascent()), q);
    }
    EXPECT_EQ(first, plain);
    EXPECT_EQ(second, plain);
  }
}

TEST_F(QtDrawContextTest, RectangleAndPolygonFill) {
  const QImage rect = Draw(QImage::Format_RGB32, [](DrawContext& dc) {
    dc.SelectPen(Pen{PenStyle::Solid, 1, kRed});
    dc.SelectBrush(Brush::Solid(kBlue));
    dc.Rectangle(Rect{10, 10, 20, 20});
  });
  EXPECT_EQ(rect.pixelColor(10, 10), Q(kRed));
  EXPECT_EQ(rect.pixelColor(19, 19), Q(kRed));
  EXPECT_EQ(rect.pixelColor(15, 15), Q(kBlue));
  EXPECT_EQ(rect.pixelColor(20, 20), QColor(Qt::white));

  // A five-pointed star drawn in one stroke: its middle is inside for the winding
  // rule and outside for the alternate one.
  const std::vector<Point> star = {{60, 5}, {72, 45}, {40, 20}, {80, 20}, {48, 45}};
  for (const FillMode mode : {FillMode::Winding, FillMode::Alternate}) {
    const QImage image = Draw(QImage::Format_RGB32, [&](DrawContext& dc) {
      dc.SelectPen(Pen{PenStyle::Solid, 1, kRed});
      dc.SelectBrush(Brush::Solid(kBlue));
      dc.Polygon(star, mode);
    });
    EXPECT_EQ(image.pixelColor(60, 27), mode == FillMode::Winding ? Q(kBlue) : QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(60, 10), Q(kBlue));  // a point of the star
  }
}

TEST_F(QtDrawContextTest, ClippedPainterIsLeftToQt) {
  QImage image(60, 30, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setClipRect(QRect(0, 0, 30, 30));
  {
    QtDrawContext dc(painter);
    dc.SelectPen(Pen{PenStyle::Solid, 1, kRed});
    dc.MoveTo(5, 10);
    dc.LineTo(55, 10);
  }
  painter.end();
  EXPECT_EQ(image.pixelColor(20, 10), Q(kRed));
  EXPECT_EQ(image.pixelColor(40, 10), QColor(Qt::white));
}

// A window drawn on a retained image, with or without the kept sprites and the
// queued writes.
class SpriteWindow : public Window {
 public:
  SpriteWindow(int width, int height, QtDrawContext::Sprites sprites)
      : image_(width, height, QImage::Format_RGB32), sprites_(sprites) {}
  int ClientWidth() const override { return image_.width(); }
  int ClientHeight() const override { return image_.height(); }
  std::unique_ptr<DrawContext> GetDC() override {
    return std::make_unique<Context>(image_, sprites_);
  }
  const QImage& image() const { return image_; }

 private:
  struct Painter {
    explicit Painter(QImage& image) : painter(&image) {}
    QPainter painter;
  };
  struct Context : private Painter, public QtDrawContext {
    Context(QImage& image, Sprites sprites) : Painter(image), QtDrawContext(painter, sprites) {}
  };
  QImage image_;
  QtDrawContext::Sprites sprites_;
};

// The track chart with every layer on and navaids of every kind, some cut by the
// window's edges: redrawn from kept sprites and queued writes it has exactly the
// pixels of the reference drawing, also after the cursor moved.
TEST_F(QtDrawContextTest, SpritesAndQueuedWritesDrawTheReferencePixels) {
  Flight flight;
  for (int i = 0; i < 600; ++i) {
    FlightSample s;
    s.timeHours = 9 + i / 3600.0;
    s.latitudeDeg = 52 + 0.3 * std::sin(i / 90.0);
    s.longitudeDeg = 4.5 + i * 0.001;
    s.altitudeFt = 3000;
    flight.samples.push_back(s);
  }
  flight.recordPath = "sprites.dat";
  CHalbricoDoc doc;
  const NavaidKind kinds[] = {NavaidKind::Ndb,         NavaidKind::Vor,
                              NavaidKind::Fix,         NavaidKind::Runway,
                              NavaidKind::Airport,     NavaidKind::OuterMarker,
                              NavaidKind::InnerMarker, NavaidKind::MiddleMarker};
  for (int i = 0; i < 160; ++i) {
    const NavaidKind kind = kinds[i % 8];
    doc.AddNavaid(kind, 51.6 + (i % 16) * 0.06, 4.35 + (i / 16) * 0.09, 0,
                  kind == NavaidKind::Ndb ? 300 + i : 108 + (i % 40) * 0.05,
                  "N" + std::to_string(i), "NAVAID " + std::to_string(i),
                  kind == NavaidKind::Runway ? 150 : 0.5, i * 37 % 360,
                  kind == NavaidKind::Runway ? 9000 : 0);
  }
  doc.RebuildIndexLists();
  auto drawn = [&](QtDrawContext::Sprites sprites, int redraws) {
    ViewState view;
    view.windowLast = view.trackLast = flight.lastSampleIndex();
    MapState map;
    map.showVor = map.showNdb = map.showFix = map.showRunway = map.showAirport = map.showIdFreq =
        map.showDistance = map.showMarkers = true;
    SpriteWindow window(640, 480, sprites);
    for (int k = 0; k < redraws; ++k) {
      view.trackCursor = k * 50;
      DrawTrackChart(window, ChartInput{flight, doc, view, map});
    }
    return window.image();
  };
  const QImage reference = drawn(QtDrawContext::Sprites::Off, 4);
  const QImage fast = drawn(QtDrawContext::Sprites::On, 4);
  ASSERT_EQ(fast.size(), reference.size());
  int differing = 0;
  for (int y = 0; y < reference.height(); ++y) {
    for (int x = 0; x < reference.width(); ++x)
      differing += fast.pixel(x, y) != reference.pixel(x, y);
  }
  EXPECT_EQ(differing, 0);
  // The chart drew its symbols and labels: many colours, not a blank window.
  std::set<QRgb> colours;
  for (int y = 0; y < reference.height(); y += 2) {
    for (int x = 0; x < reference.width(); x += 2) colours.insert(reference.pixel(x, y));
  }
  EXPECT_GE(colours.size(), 5u);
}

}  // namespace
}  // namespace quarn

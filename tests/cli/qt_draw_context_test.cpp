// The Qt drawing context draws what GDI would: dotted pens with opaque gaps and a
// pattern that runs on across line-tos, aligned opaque text, the rectangle's
// extent, and the two polygon fill modes. Checked on the pixels of an image, both
// through the direct path for 32-bit images and through Qt's own stroking.

#include "platform/qt/qt_draw_context.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/qt_fonts.h"

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

}  // namespace
}  // namespace quarn

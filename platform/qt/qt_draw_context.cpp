#include "platform/qt/qt_draw_context.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPaintEngine>
#include <QRect>
#include <QStaticText>
#include <QVector>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "platform/qt/qt_fonts.h"

namespace quarn {

// Shaping a text is most of the cost of drawing it, and a map with thousands of
// labels draws the same texts at every redraw. Each text is shaped once per font and
// kept, with its width, across drawing contexts (for the thread that draws).
struct ShapedText {
  QStaticText text;
  int width = 0;
};

class ShapedTexts {
 public:
  const ShapedText& Get(const QFont& font, const QFontMetrics& metrics, std::string_view text) {
    key_.assign(text);
    if (auto it = shaped_.find(key_); it != shaped_.end()) return it->second;
    if (shaped_.size() >= kMaxEntries) shaped_.clear();  // a bound on memory, rarely met
    const QString qText = ToQString(text);
    ShapedText entry;
    entry.text.setText(qText);
    entry.text.setTextFormat(Qt::PlainText);
    entry.text.prepare(QTransform(), font);
    entry.width = metrics.horizontalAdvance(qText);
    return shaped_.emplace(key_, std::move(entry)).first->second;
  }

 private:
  static constexpr std::size_t kMaxEntries = 20000;
  std::string key_;
  std::unordered_map<std::string, ShapedText> shaped_;
};

namespace {

QColor ToQColor(Color c) {
  return QColor(c.r, c.g, c.b);
}

// GDI takes a width of 0 as one pixel.
int PenWidth(const Pen& pen) {
  return pen.width < 1 ? 1 : pen.width;
}

QPen ToQPen(const Pen& pen) {
  QPen q(ToQColor(pen.color));
  q.setWidth(PenWidth(pen));
  switch (pen.style) {
    case PenStyle::Solid:
      // A wide cosmetic pen is round at its ends and corners.
      q.setCapStyle(pen.width > 1 ? Qt::RoundCap : Qt::FlatCap);
      q.setJoinStyle(pen.width > 1 ? Qt::RoundJoin : Qt::MiterJoin);
      break;
    case PenStyle::Dot:
      // Three pixels on, three off, in units of the pen width.
      q.setDashPattern({3, 3});
      q.setCapStyle(Qt::FlatCap);
      break;
    case PenStyle::Geometric:
      q.setCapStyle(Qt::SquareCap);
      q.setJoinStyle(Qt::BevelJoin);
      break;
  }
  return q;
}

// The kept texts of every font. They hold Qt fonts, so they go when the application
// object goes, not at exit after it. Drawing happens on the user-interface thread.
using ShapedTextsByFont = std::unordered_map<QString, ShapedTexts>;
ShapedTextsByFont* g_shapedTexts = nullptr;

void ForgetShapedTexts() {
  delete g_shapedTexts;
  g_shapedTexts = nullptr;
}

ShapedTexts& ShapedTextsOf(const QFont& font) {
  if (g_shapedTexts == nullptr) {
    g_shapedTexts = new ShapedTextsByFont;
    qAddPostRoutine(ForgetShapedTexts);
  }
  return (*g_shapedTexts)[font.key()];
}

}  // namespace

QtDrawContext::QtDrawContext(QPainter& painter)
    : painter_(painter),
      nativeOpaqueDashes_(painter.paintEngine() != nullptr &&
                          painter.paintEngine()->type() == QPaintEngine::Raster) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

QtDrawContext::~QtDrawContext() {
  Flush();
}

template <typename DrawFn>
void QtDrawContext::StrokeWithPen(DrawFn draw) {
  const Pen& p = pen();
  const bool opaqueGaps = p.style == PenStyle::Dot && bkMode() == BkMode::Opaque;
  if (opaqueGaps && !nativeOpaqueDashes_) {
    // The gaps of a dotted pen show the background colour: lay the line down in it
    // first, then the dots over it.
    QPen gaps(ToQColor(bkColor()));
    gaps.setWidth(PenWidth(p));
    gaps.setCapStyle(Qt::FlatCap);
    painter_.setPen(gaps);
    draw();
  }
  if (opaqueGaps && nativeOpaqueDashes_) {
    // The raster engine fills the gaps itself, in one pass over the line.
    painter_.setBackgroundMode(Qt::OpaqueMode);
    painter_.setBackground(ToQColor(bkColor()));
  }
  painter_.setPen(ToQPen(p));
  draw();
  // Text fills its own background; the painter's must not add to it.
  painter_.setBackgroundMode(Qt::TransparentMode);
}

QImage* QtDrawContext::DirectImage() const {
  QPaintDevice* device = painter_.device();
  if (device == nullptr || device->devType() != QInternal::Image) return nullptr;
  auto* image = static_cast<QImage*>(device);
  const QImage::Format format = image->format();
  if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
      format != QImage::Format_ARGB32_Premultiplied) {
    return nullptr;
  }
  // Only where a pixel of ours is a pixel of the image and nothing else applies.
  if (!image->isDetached() || painter_.deviceTransform().type() != QTransform::TxNone ||
      painter_.hasClipping() || painter_.opacity() != 1.0 ||
      painter_.compositionMode() != QPainter::CompositionMode_SourceOver) {
    return nullptr;
  }
  return image;
}

bool QtDrawContext::RasterizeRun() {
  const Pen& p = pen();
  if (p.style == PenStyle::Geometric || PenWidth(p) != 1) return false;
  QImage* image = DirectImage();
  if (image == nullptr) return false;
  const int width = image->width();
  const int height = image->height();
  // Far-off points would make long walks outside the image: leave them to Qt's
  // clipping.
  constexpr int kMargin = 4096;
  for (const QPoint& pt : run_) {
    if (pt.x() < -kMargin || pt.x() > width + kMargin || pt.y() < -kMargin ||
        pt.y() > height + kMargin) {
      return false;
    }
  }

  auto* bits = reinterpret_cast<quint32*>(const_cast<uchar*>(image->constBits()));
  const qsizetype stride = image->bytesPerLine() / 4;
  const Color c = p.color;
  const Color bk = bkColor();
  const quint32 on = 0xFF000000u | (quint32{c.r} << 16) | (quint32{c.g} << 8) | c.b;
  const quint32 off = 0xFF000000u | (quint32{bk.r} << 16) | (quint32{bk.g} << 8) | bk.b;
  const bool dotted = p.style == PenStyle::Dot;
  const bool opaque = bkMode() == BkMode::Opaque;

  // Each segment from its start up to, not including, its end, as a line-to draws;
  // the dot pattern (three on, three off) runs on from one segment to the next.
  int phase = 0;
  for (qsizetype i = 1; i < run_.size(); ++i) {
    int x = run_[i - 1].x();
    int y = run_[i - 1].y();
    const int x1 = run_[i].x();
    const int y1 = run_[i].y();
    const int dx = std::abs(x1 - x);
    const int dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1;
    const int sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
      const bool dot = !dotted || phase < 3;
      if ((dot || opaque) && x >= 0 && x < width && y >= 0 && y < height) {
        bits[y * stride + x] = dot ? on : off;
      }
      if (dotted) phase = phase == 5 ? 0 : phase + 1;
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y += sy;
      }
    }
  }
  return true;
}

void QtDrawContext::Flush() {
  if (run_.size() < 2) {
    run_.clear();
    return;
  }
  if (!RasterizeRun()) {
    painter_.setBrush(Qt::NoBrush);
    StrokeWithPen([this] { painter_.drawPolyline(run_); });
  }
  run_.clear();
}

void QtDrawContext::DoFill(const Rect& r, Color c) {
  Flush();
  painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQColor(c));
}

void QtDrawContext::DoLine(Point from, Point to) {
  const QPoint qFrom(from.x, from.y);
  const QPoint qTo(to.x, to.y);
  if (run_.isEmpty() || run_.back() != qFrom) {
    Flush();
    run_.append(qFrom);
  }
  // A line to the current position draws nothing; leaving it out of the run
  // changes no pixel and keeps long runs of unchanged samples cheap.
  if (run_.back() != qTo) run_.append(qTo);
}

void QtDrawContext::SelectBrushForFill() {
  if (brush().null) {
    painter_.setBrush(Qt::NoBrush);
  } else {
    painter_.setBrush(ToQColor(brush().color));
  }
}

void QtDrawContext::DoRectangle(const Rect& r) {
  Flush();
  // GDI's rectangle covers left..right-1 and top..bottom-1, the outline included.
  const QRect box(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
  if (!brush().null) {
    painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                      ToQColor(brush().color));
  }
  painter_.setBrush(Qt::NoBrush);
  StrokeWithPen([&] { painter_.drawRect(box); });
}

void QtDrawContext::DoEllipse(const Rect& r) {
  Flush();
  const QRect box(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
  if (!brush().null) {
    painter_.setPen(Qt::NoPen);
    SelectBrushForFill();
    painter_.drawEllipse(box);
  }
  painter_.setBrush(Qt::NoBrush);
  StrokeWithPen([&] { painter_.drawEllipse(box); });
}

void QtDrawContext::DoPolygon(std::span<const Point> points, FillMode mode) {
  Flush();
  QPolygon poly;
  poly.reserve(static_cast<qsizetype>(points.size()));
  for (const Point& p : points) poly.append(QPoint(p.x, p.y));
  const Qt::FillRule rule = mode == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill;
  if (!brush().null) {
    painter_.setPen(Qt::NoPen);
    SelectBrushForFill();
    painter_.drawPolygon(poly, rule);
  }
  painter_.setBrush(Qt::NoBrush);
  StrokeWithPen([&] { painter_.drawPolygon(poly, rule); });
}

const QFontMetrics& QtDrawContext::Metrics() {
  if (!metrics_ || font() != metricsFont_) {
    metricsFont_ = font();
    qFont_ = ToQFont(metricsFont_);
    metrics_.emplace(qFont_);
    shapedTexts_ = &ShapedTextsOf(qFont_);
  }
  return *metrics_;
}

void QtDrawContext::DoText(Point at, std::string_view text) {
  Flush();
  const QFontMetrics& metrics = Metrics();
  const ShapedText& shaped = shapedTexts_->Get(qFont_, metrics, text);
  int left = at.x;
  if (textAlign() == TextAlign::Center) left = at.x - shaped.width / 2;
  if (textAlign() == TextAlign::Right) left = at.x - shaped.width;
  if (bkMode() == BkMode::Opaque) {
    painter_.fillRect(QRect(left, at.y, shaped.width, metrics.height()), ToQColor(bkColor()));
  }
  if (painter_.font() != qFont_) painter_.setFont(qFont_);
  painter_.setPen(ToQColor(textColor()));
  painter_.drawStaticText(QPoint(left, at.y), shaped.text);
}

Size QtDrawContext::DoTextExtent(std::string_view text) {
  const QFontMetrics& metrics = Metrics();
  return Size{shapedTexts_->Get(qFont_, metrics, text).width, metrics.height()};
}

}  // namespace quarn

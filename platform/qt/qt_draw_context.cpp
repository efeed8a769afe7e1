#include "platform/qt/qt_draw_context.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPaintEngine>
#include <QRect>
#include <QStaticText>
#include <QVector>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/qt/pixel_queue.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/raster_sprites.h"

namespace quarn {

// What a text's pixels depend on besides the text and its font.
struct TextLook {
  Color text;
  Color background;
  BkMode mode = BkMode::Opaque;
  QImage::Format format = QImage::Format_Invalid;
  int hints = 0;
  bool operator==(const TextLook&) const = default;
};

// A text's sprite in one look. It is captured when the text is drawn a second time in
// that look, so that a text drawn only once (a cursor's readout) costs no capture.
struct TextSprite {
  TextLook look;
  bool tried = false;
  std::unique_ptr<Sprite> sprite;  // where queued copies find it while others are added
};

// Shaping a text is most of the cost of drawing it through Qt, and a map with
// thousands of labels draws the same texts at every redraw. Each text is shaped once
// per font and kept, with its width and its sprites, across drawing contexts (for the
// thread that draws).
struct ShapedText {
  QStaticText text;
  int width = 0;
  std::vector<TextSprite> sprites;
};

class ShapedTexts {
 public:
  ShapedText& Get(const QFont& font, const QFontMetrics& metrics, std::string_view text) {
    // A label is measured and then drawn: the same text twice running.
    if (last_ != nullptr && key_ == text) return *last_;
    key_.assign(text);
    if (auto it = shaped_.find(key_); it != shaped_.end()) return *(last_ = &it->second);
    if (shaped_.size() >= kMaxEntries) {  // a bound on memory, rarely met
      ThePixelQueue().Flush();            // copies of their sprites may be queued
      shaped_.clear();
    }
    const QString qText = ToQString(text);
    ShapedText entry;
    entry.text.setText(qText);
    entry.text.setTextFormat(Qt::PlainText);
    entry.text.prepare(QTransform(), font);
    entry.width = metrics.horizontalAdvance(qText);
    last_ = &shaped_.emplace(key_, std::move(entry)).first->second;
    return *last_;
  }

  void ForgetSprites() {
    for (auto& [text, shaped] : shaped_) shaped.sprites.clear();
  }

 private:
  static constexpr std::size_t kMaxEntries = 20000;
  std::string key_;  // the text of last_
  ShapedText* last_ = nullptr;
  std::unordered_map<std::string, ShapedText> shaped_;
};

// What a shape's pixels depend on: its kind, its size or its points relative to its
// origin, its pen, brush and background where they show, and the image's format and
// the painter's hints. Unused words stay zero.
struct ShapeKey {
  static constexpr int kMaxPoints = 8;
  static constexpr int kFixedWords = 9;
  std::array<std::int32_t, kFixedWords + 2 * kMaxPoints> words{};
  int used = kFixedWords;
  bool operator==(const ShapeKey& other) const { return words == other.words; }
};

struct ShapeKeyHash {
  std::size_t operator()(const ShapeKey& key) const {
    std::uint64_t h = 0x9E3779B97F4A7C15u;
    for (int i = 0; i < key.used; ++i) {
      h = (h ^ static_cast<std::uint32_t>(key.words[static_cast<std::size_t>(i)])) *
          0xFF51AFD7ED558CCDu;
    }
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

namespace {

// Sprite pixels kept at most (16 MB); past it every sprite goes and is made again.
constexpr std::size_t kMaxSpritePixels = std::size_t{4} << 20;
constexpr std::size_t kMaxShapes = 50000;  // shapes seen, with a sprite or not

// A shape's sprite, captured when the shape is drawn a second time.
struct KeptShape {
  bool tried = false;
  std::unique_ptr<Sprite> sprite;
};

// The shaped texts of every font and the sprites of shapes. They hold Qt fonts, so
// they go when the application object goes, not at exit after it. Drawing happens on
// the user-interface thread.
struct KeptDrawings {
  std::unordered_map<QString, ShapedTexts> textsByFont;
  std::unordered_map<ShapeKey, KeptShape, ShapeKeyHash> shapes;
  // Counted as sprites are made; texts forgotten by their font's bound are still in
  // it, which only brings the next clearing nearer.
  std::size_t spritePixels = 0;
};
KeptDrawings* g_kept = nullptr;

void ForgetKeptDrawings() {
  delete g_kept;
  g_kept = nullptr;
}

KeptDrawings& Kept() {
  if (g_kept == nullptr) {
    g_kept = new KeptDrawings;
    qAddPostRoutine(ForgetKeptDrawings);
  }
  return *g_kept;
}

void ForgetSprites() {
  ThePixelQueue().Flush();  // copies of them may be queued
  KeptDrawings& kept = Kept();
  kept.shapes.clear();
  for (auto& [font, texts] : kept.textsByFont) texts.ForgetSprites();
  kept.spritePixels = 0;
}

// Counts a new sprite's pixels, first forgetting every sprite when they would pass the
// bound: references to kept sprites do not outlive this call.
void CountSpritePixels(std::size_t pixels) {
  if (Kept().spritePixels + pixels > kMaxSpritePixels) ForgetSprites();
  Kept().spritePixels += pixels;
}

QColor ToQColor(Color c) {
  return QColor(c.r, c.g, c.b);
}

std::int32_t Rgb(Color c) {
  return (std::int32_t{c.r} << 16) | (std::int32_t{c.g} << 8) | c.b;
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

// The state a shape is drawn with.
struct ShapeStyle {
  Pen pen;
  Brush brush;
  BkMode bkMode = BkMode::Opaque;
  Color bkColor;
  bool nativeOpaqueDashes = false;  // the engine draws dash gaps in the background
};

// Outlines a path with the style's pen, gaps first where they are opaque.
template <typename DrawFn>
void StrokeWithPen(QPainter& painter, const ShapeStyle& style, DrawFn draw) {
  const Pen& p = style.pen;
  const bool opaqueGaps = p.style == PenStyle::Dot && style.bkMode == BkMode::Opaque;
  if (opaqueGaps && !style.nativeOpaqueDashes) {
    // The gaps of a dotted pen show the background colour: lay the line down in it
    // first, then the dots over it.
    QPen gaps(ToQColor(style.bkColor));
    gaps.setWidth(PenWidth(p));
    gaps.setCapStyle(Qt::FlatCap);
    painter.setPen(gaps);
    draw();
  }
  if (opaqueGaps && style.nativeOpaqueDashes) {
    // The raster engine fills the gaps itself, in one pass over the line.
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(ToQColor(style.bkColor));
  }
  painter.setPen(ToQPen(p));
  draw();
  // Text fills its own background; the painter's must not add to it.
  painter.setBackgroundMode(Qt::TransparentMode);
}

void SelectBrushForFill(QPainter& painter, const Brush& brush) {
  if (brush.null) {
    painter.setBrush(Qt::NoBrush);
  } else {
    painter.setBrush(ToQColor(brush.color));
  }
}

// GDI's rectangle covers left..right-1 and top..bottom-1, the outline included.
void PaintRectangle(QPainter& painter, const ShapeStyle& style, const Rect& r) {
  const QRect box(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
  if (!style.brush.null) {
    painter.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                     ToQColor(style.brush.color));
  }
  painter.setBrush(Qt::NoBrush);
  StrokeWithPen(painter, style, [&] { painter.drawRect(box); });
}

void PaintEllipse(QPainter& painter, const ShapeStyle& style, const Rect& r) {
  const QRect box(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
  if (!style.brush.null) {
    painter.setPen(Qt::NoPen);
    SelectBrushForFill(painter, style.brush);
    painter.drawEllipse(box);
  }
  painter.setBrush(Qt::NoBrush);
  StrokeWithPen(painter, style, [&] { painter.drawEllipse(box); });
}

void PaintPolygon(QPainter& painter, const ShapeStyle& style, const QPolygon& poly, FillMode mode) {
  const Qt::FillRule rule = mode == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill;
  if (!style.brush.null) {
    painter.setPen(Qt::NoPen);
    SelectBrushForFill(painter, style.brush);
    painter.drawPolygon(poly, rule);
  }
  painter.setBrush(Qt::NoBrush);
  StrokeWithPen(painter, style, [&] { painter.drawPolygon(poly, rule); });
}

void PaintPolyline(QPainter& painter, const ShapeStyle& style, const QPolygon& run) {
  painter.setBrush(Qt::NoBrush);
  StrokeWithPen(painter, style, [&] { painter.drawPolyline(run); });
}

// A text at the top left of its cell, the cell in the background colour when opaque.
void PaintText(QPainter& painter, QPoint topLeft, const ShapedText& shaped, const QFont& font,
               int height, const TextLook& look) {
  if (look.mode == BkMode::Opaque) {
    painter.fillRect(QRect(topLeft.x(), topLeft.y(), shaped.width, height),
                     ToQColor(look.background));
  }
  if (painter.font() != font) painter.setFont(font);
  painter.setPen(ToQColor(look.text));
  painter.drawStaticText(topLeft, shaped.text);
}

Rect Shifted(const Rect& r, QPoint by) {
  return Rect{r.left + by.x(), r.top + by.y(), r.right + by.x(), r.bottom + by.y()};
}

// The area a shape of this size at the origin is captured over: wide enough that a
// pen of this width stays clear of its border.
QRect CaptureArea(int width, int height, const Pen& pen) {
  const int margin = PenWidth(pen) + 2;
  return QRect(-margin, -margin, width + 2 * margin, height + 2 * margin);
}

quint32 OpaquePixel(Color c) {
  return 0xFF000000u | static_cast<quint32>(Rgb(c));
}

enum class ShapeKind { Rectangle = 1, Ellipse, Polygon, Polyline };

// The key of a shape with the given style; its geometry is added by the caller.
ShapeKey KeyOf(ShapeKind kind, const ShapeStyle& style, const QImage& image,
               QPainter::RenderHints hints) {
  ShapeKey key;
  auto& w = key.words;
  w[0] = static_cast<std::int32_t>(kind);
  w[1] = static_cast<std::int32_t>(image.format());
  w[2] = static_cast<std::int32_t>(hints.toInt());
  w[3] = static_cast<std::int32_t>(style.pen.style) | (PenWidth(style.pen) << 4);
  w[4] = Rgb(style.pen.color);
  w[5] = style.brush.null ? -1 : Rgb(style.brush.color);
  // The background shows only in the gaps of an opaque dotted pen.
  const bool gapsShow = style.pen.style == PenStyle::Dot && style.bkMode == BkMode::Opaque;
  w[6] = gapsShow ? Rgb(style.bkColor) : -1;
  return key;
}

// The key of a rectangle or ellipse: its size.
ShapeKey BoxKey(ShapeKind kind, const ShapeStyle& style, const QImage& image,
                QPainter::RenderHints hints, const Rect& r) {
  ShapeKey key = KeyOf(kind, style, image, hints);
  key.words[7] = r.right - r.left;
  key.words[8] = r.bottom - r.top;
  return key;
}

// The key of a polygon or a polyline of at most kMaxPoints points: the points
// relative to the top left of their bounds, and the fill mode.
ShapeKey PointsKey(ShapeKind kind, const ShapeStyle& style, const QImage& image,
                   QPainter::RenderHints hints, const QPolygon& points, FillMode mode) {
  const QPoint origin = points.boundingRect().topLeft();
  ShapeKey key = KeyOf(kind, style, image, hints);
  key.words[7] = static_cast<std::int32_t>(points.size());
  key.words[8] = static_cast<std::int32_t>(mode);
  for (qsizetype i = 0; i < points.size(); ++i) {
    const auto word = static_cast<std::size_t>(ShapeKey::kFixedWords + 2 * i);
    key.words[word] = points[i].x() - origin.x();
    key.words[word + 1] = points[i].y() - origin.y();
  }
  key.used = ShapeKey::kFixedWords + 2 * static_cast<int>(points.size());
  return key;
}

// The pixels a one-pixel pen's run sets: each segment from its start up to, not
// including, its end, as a line-to draws, the dot pattern (three on, three off)
// running on from one segment to the next; only those inside the image.
template <typename PlotFn>
void WalkRun(const QPolygon& run, bool dotted, bool opaqueGaps, quint32 on, quint32 off, int width,
             int height, PlotFn plot) {
  int phase = 0;
  for (qsizetype i = 1; i < run.size(); ++i) {
    int x = run[i - 1].x();
    int y = run[i - 1].y();
    const int x1 = run[i].x();
    const int y1 = run[i].y();
    const int dx = std::abs(x1 - x);
    const int dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1;
    const int sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
      const bool dot = !dotted || phase < 3;
      if ((dot || opaqueGaps) && x >= 0 && x < width && y >= 0 && y < height) {
        plot(x, y, dot ? on : off);
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
}

}  // namespace

QtDrawContext::QtDrawContext(QPainter& painter, Sprites sprites)
    : painter_(painter),
      nativeOpaqueDashes_(painter.paintEngine() != nullptr &&
                          painter.paintEngine()->type() == QPaintEngine::Raster),
      sprites_(sprites) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

QtDrawContext::~QtDrawContext() {
  Flush();
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

QImage* QtDrawContext::SpriteImage() const {
  if (sprites_ == Sprites::Off) return nullptr;
  QImage* image = DirectImage();
  // Sprites are captured by new painters, whose layout direction is the default one.
  if (image == nullptr || painter_.layoutDirection() != Qt::LayoutDirectionAuto) return nullptr;
  return image;
}

bool QtDrawContext::QueueSprite(QImage& image, const Sprite* sprite, QPoint origin) {
  if (sprite == nullptr ||
      !sprite->FitsInside(origin.x(), origin.y(), image.width(), image.height())) {
    return false;
  }
  PixelQueue& queue = ThePixelQueue();
  queue.Begin(image);
  queue.Copy(*sprite, origin.x(), origin.y());
  return true;
}

void QtDrawContext::DrawingThroughQt() {
  ThePixelQueue().Flush();
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
  qsizetype steps = 0;
  for (qsizetype i = 0; i < run_.size(); ++i) {
    const QPoint& pt = run_[i];
    if (pt.x() < -kMargin || pt.x() > width + kMargin || pt.y() < -kMargin ||
        pt.y() > height + kMargin) {
      return false;
    }
    if (i > 0)
      steps += std::max(std::abs(pt.x() - run_[i - 1].x()), std::abs(pt.y() - run_[i - 1].y()));
  }

  const Color c = p.color;
  const Color bk = bkColor();
  const quint32 on = OpaquePixel(c);
  const quint32 off = OpaquePixel(bk);
  const bool dotted = p.style == PenStyle::Dot;
  const bool opaque = bkMode() == BkMode::Opaque;
  // A short run (a symbol's tick, a grid line) joins the queued writes; a long one (a
  // track) is written at once, after them.
  constexpr qsizetype kQueuedSteps = 8192;
  if (sprites_ == Sprites::On && steps <= kQueuedSteps) {
    PixelQueue& queue = ThePixelQueue();
    queue.Begin(*image);
    WalkRun(run_, dotted, opaque, on, off, width, height,
            [&](int x, int y, quint32 value) { queue.Plot(x, y, value); });
    return true;
  }
  ThePixelQueue().Flush();
  auto* bits = reinterpret_cast<quint32*>(const_cast<uchar*>(image->constBits()));
  const qsizetype stride = image->bytesPerLine() / 4;
  WalkRun(run_, dotted, opaque, on, off, width, height,
          [&](int x, int y, quint32 value) { bits[y * stride + x] = value; });
  return true;
}

bool QtDrawContext::CopyRunSprite() {
  QImage* image = SpriteImage();
  if (image == nullptr || run_.size() > ShapeKey::kMaxPoints) return false;
  const ShapeStyle style{pen(), brush(), bkMode(), bkColor(), nativeOpaqueDashes_};
  const QRect bounds = run_.boundingRect();
  const QPoint origin = bounds.topLeft();
  const ShapeKey key = PointsKey(ShapeKind::Polyline, style, *image, painter_.renderHints(), run_,
                                 FillMode::Alternate);
  const QRect area = CaptureArea(bounds.width(), bounds.height(), style.pen);
  const Sprite* sprite = ShapeSprite(*image, key, area, [&](QPainter& p, QPoint shift) {
    PaintPolyline(p, style, run_.translated(shift - origin));
  });
  return QueueSprite(*image, sprite, origin);
}

void QtDrawContext::Flush() {
  FlushRun();
  ThePixelQueue().Flush();
}

void QtDrawContext::FlushRun() {
  if (run_.size() < 2) {
    run_.clear();
    return;
  }
  if (!RasterizeRun() && !CopyRunSprite()) {
    DrawingThroughQt();
    const ShapeStyle style{pen(), brush(), bkMode(), bkColor(), nativeOpaqueDashes_};
    PaintPolyline(painter_, style, run_);
  }
  run_.clear();
}

void QtDrawContext::DoFill(const Rect& r, Color c) {
  FlushRun();
  const QRect rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  QImage* image = SpriteImage();
  if (image != nullptr && r.right > r.left && r.bottom > r.top) {
    PixelQueue& queue = ThePixelQueue();
    queue.Begin(*image);
    queue.Fill(rect.intersected(image->rect()), OpaquePixel(c));
    return;
  }
  DrawingThroughQt();
  painter_.fillRect(rect, ToQColor(c));
}

void QtDrawContext::DoLine(Point from, Point to) {
  const QPoint qFrom(from.x, from.y);
  const QPoint qTo(to.x, to.y);
  if (run_.isEmpty() || run_.back() != qFrom) {
    FlushRun();
    run_.append(qFrom);
  }
  // A line to the current position draws nothing; leaving it out of the run
  // changes no pixel and keeps long runs of unchanged samples cheap.
  if (run_.back() != qTo) run_.append(qTo);
}

template <typename PaintFn>
const Sprite* QtDrawContext::ShapeSprite(const QImage& image, const ShapeKey& key,
                                         const QRect& area, PaintFn paint) {
  KeptDrawings& kept = Kept();
  auto it = kept.shapes.find(key);
  if (it == kept.shapes.end()) {
    if (kept.shapes.size() >= kMaxShapes) ForgetSprites();
    kept.shapes.emplace(key, KeptShape{});
    return nullptr;  // seen once: Qt draws it
  }
  if (it->second.tried) return it->second.sprite.get();
  std::optional<Sprite> sprite =
      Sprite::Capture(image.format(), painter_.renderHints(), area, paint);
  if (sprite) CountSpritePixels(sprite->PixelCount());  // may forget every shape
  KeptShape& entry = kept.shapes[key];
  entry.tried = true;
  if (sprite) entry.sprite = std::make_unique<Sprite>(std::move(*sprite));
  return entry.sprite.get();
}

void QtDrawContext::DoRectangle(const Rect& r) {
  DrawBoxShape(BoxShape::Rectangle, r);
}

void QtDrawContext::DoEllipse(const Rect& r) {
  DrawBoxShape(BoxShape::Ellipse, r);
}

void QtDrawContext::DrawBoxShape(BoxShape shape, const Rect& r) {
  FlushRun();
  const bool rectangle = shape == BoxShape::Rectangle;
  const ShapeKind kind = rectangle ? ShapeKind::Rectangle : ShapeKind::Ellipse;
  const auto paint = rectangle ? PaintRectangle : PaintEllipse;
  const ShapeStyle style{pen(), brush(), bkMode(), bkColor(), nativeOpaqueDashes_};
  QImage* image = SpriteImage();
  if (image != nullptr && r.right > r.left && r.bottom > r.top) {
    const ShapeKey key = BoxKey(kind, style, *image, painter_.renderHints(), r);
    const QRect area = CaptureArea(r.right - r.left, r.bottom - r.top, style.pen);
    const QPoint origin(r.left, r.top);
    const Sprite* sprite = ShapeSprite(*image, key, area, [&](QPainter& p, QPoint shift) {
      paint(p, style, Shifted(r, shift - origin));
    });
    if (QueueSprite(*image, sprite, origin)) return;
  }
  DrawingThroughQt();
  paint(painter_, style, r);
}

void QtDrawContext::DoPolygon(std::span<const Point> points, FillMode mode) {
  FlushRun();
  const ShapeStyle style{pen(), brush(), bkMode(), bkColor(), nativeOpaqueDashes_};
  QPolygon poly;
  poly.reserve(static_cast<qsizetype>(points.size()));
  for (const Point& p : points) poly.append(QPoint(p.x, p.y));
  QImage* image = SpriteImage();
  if (image != nullptr && poly.size() <= ShapeKey::kMaxPoints) {
    const QRect bounds = poly.boundingRect();
    const QPoint origin = bounds.topLeft();
    const ShapeKey key =
        PointsKey(ShapeKind::Polygon, style, *image, painter_.renderHints(), poly, mode);
    const QRect area = CaptureArea(bounds.width(), bounds.height(), style.pen);
    const Sprite* sprite = ShapeSprite(*image, key, area, [&](QPainter& p, QPoint shift) {
      PaintPolygon(p, style, poly.translated(shift - origin), mode);
    });
    if (QueueSprite(*image, sprite, origin)) return;
  }
  DrawingThroughQt();
  PaintPolygon(painter_, style, poly, mode);
}

const QFontMetrics& QtDrawContext::Metrics() {
  if (!metrics_ || font() != metricsFont_) {
    metricsFont_ = font();
    qFont_ = ToQFont(metricsFont_);
    metrics_.emplace(qFont_);
    fontHeight_ = metrics_->height();
    shapedTexts_ = &Kept().textsByFont[qFont_.key()];
  }
  return *metrics_;
}

void QtDrawContext::DoText(Point at, std::string_view text) {
  FlushRun();
  const QFontMetrics& metrics = Metrics();
  ShapedText& shaped = shapedTexts_->Get(qFont_, metrics, text);
  int left = at.x;
  if (textAlign() == TextAlign::Center) left = at.x - shaped.width / 2;
  if (textAlign() == TextAlign::Right) left = at.x - shaped.width;
  const QPoint topLeft(left, at.y);
  QImage* image = SpriteImage();
  TextLook look{textColor(), bkColor(), bkMode()};
  if (image != nullptr) {
    look.format = image->format();
    look.hints = painter_.renderHints().toInt();
    if (QueueSprite(*image, TextSpriteOf(shaped, look), topLeft)) return;
  }
  if (getenv("TXT")) fprintf(stderr, "text %.*s\n", (int)text.size(), text.data());
  DrawingThroughQt();
  PaintText(painter_, topLeft, shaped, qFont_, fontHeight_, look);
}

const Sprite* QtDrawContext::TextSpriteOf(ShapedText& shaped, const TextLook& look) {
  auto sameLook = [&](const TextSprite& s) { return s.look == look; };
  auto it = std::find_if(shaped.sprites.begin(), shaped.sprites.end(), sameLook);
  if (it == shaped.sprites.end()) {
    shaped.sprites.push_back(TextSprite{look, false, nullptr});
    return nullptr;  // seen once: Qt draws it
  }
  if (it->tried) return it->sprite.get();
  // Ink may stand out of the cell a little; it is in the sprite only if it covers
  // its pixels outright.
  const int height = fontHeight_;
  const int margin = height;
  const QRect area(-margin, -margin, shaped.width + 2 * margin, height + 2 * margin);
  std::optional<Sprite> sprite = Sprite::Capture(
      look.format, painter_.renderHints(), area,
      [&](QPainter& p, QPoint shift) { PaintText(p, shift, shaped, qFont_, height, look); });
  if (sprite) CountSpritePixels(sprite->PixelCount());  // may forget every text's sprites
  it = std::find_if(shaped.sprites.begin(), shaped.sprites.end(), sameLook);
  if (it == shaped.sprites.end()) {
    it = shaped.sprites.insert(shaped.sprites.end(), TextSprite{look, false, nullptr});
  }
  it->tried = true;
  if (sprite) it->sprite = std::make_unique<Sprite>(std::move(*sprite));
  return it->sprite.get();
}

Size QtDrawContext::DoTextExtent(std::string_view text) {
  const QFontMetrics& metrics = Metrics();
  return Size{shapedTexts_->Get(qFont_, metrics, text).width, fontHeight_};
}

}  // namespace quarn

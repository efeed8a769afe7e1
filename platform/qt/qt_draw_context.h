#pragma once
// The drawing context on a QPainter, with GDI's meaning: dotted pens and text put
// their gaps and their cell in the background colour when the background mode is
// opaque, text is placed by its alignment at the top, geometric pens have square
// caps and bevel joins. Runs of line-tos in one state are drawn as one polyline, so a
// dot pattern runs on across the segments, as GDI draws it.
//
// On a 32-bit image, the rectangles, ellipses, polygons, short polylines and texts
// that repeat (a map's symbols and labels, from one redraw to the next) are drawn by
// Qt once and then copied as sprites, and fills, sprites and one-pixel runs are
// queued and written band by band (see PixelQueue): the same pixels, without Qt's
// rasterizing each time nor a wait on memory at each row. Everything is in the image
// when the context goes or is flushed.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <optional>

#include "platform/draw_context.h"

namespace quarn {

class ShapedTexts;
class Sprite;
struct ShapedText;
struct ShapeKey;
struct TextLook;

class QtDrawContext : public DrawContext {
 public:
  // Off draws every operation through Qt or straight into the image at once, as a
  // reference for the sprites' and the queue's pixels.
  enum class Sprites { On, Off };

  explicit QtDrawContext(QPainter& painter, Sprites sprites = Sprites::On);
  ~QtDrawContext() override;  // flushes
  QtDrawContext(const QtDrawContext&) = delete;
  QtDrawContext& operator=(const QtDrawContext&) = delete;

  // Draws the pending run of line-tos and every queued write now.
  void Flush();

 protected:
  void DoFill(const Rect& r, Color c) override;
  void DoLine(Point from, Point to) override;
  void DoRectangle(const Rect& r) override;
  void DoEllipse(const Rect& r) override;
  void DoPolygon(std::span<const Point> points, FillMode mode) override;
  void DoText(Point at, std::string_view text) override;
  Size DoTextExtent(std::string_view text) override;
  void StateChanging() override { FlushRun(); }

 private:
  enum class BoxShape { Rectangle, Ellipse };
  // A rectangle or an ellipse in the box: stamped from its kept sprite where it can
  // be, else painted through Qt.
  void DrawBoxShape(BoxShape shape, const Rect& r);
  // Draws the pending run of line-tos, queued where it can be.
  void FlushRun();
  // A one-pixel pen's run written into the pixels of a 32-bit image (the window's
  // back image), several times faster than Qt's dash stroker; false when the
  // painter's device or state needs Qt's own stroking.
  bool RasterizeRun();
  // The pending run as a sprite (a runway's wide bar); false when Qt must draw it.
  bool CopyRunSprite();
  QImage* DirectImage() const;
  // The image sprites may be copied into, or null when every operation goes to Qt.
  QImage* SpriteImage() const;
  // Queues the sprite with its origin there; false when there is none or it does not
  // fit in the image.
  bool QueueSprite(QImage& image, const Sprite* sprite, QPoint origin);
  // Qt is about to draw: the queued writes come before.
  void DrawingThroughQt();
  // The kept sprite of the shape, or null when it is to be drawn by Qt this time;
  // paint draws it, shifted, on a painter.
  template <typename PaintFn>
  const Sprite* ShapeSprite(const QImage& image, const ShapeKey& key, const QRect& area,
                            PaintFn paint);
  // The kept sprite of the text in the look, or null when it is to be drawn by Qt.
  const Sprite* TextSpriteOf(ShapedText& shaped, const TextLook& look);
  // The Qt font, metrics and kept texts of the selected font, made again only when it
  // changes.
  const QFontMetrics& Metrics();

  QPainter& painter_;
  const bool nativeOpaqueDashes_;  // the engine draws dash gaps in the background
  const Sprites sprites_;
  QPolygon run_;  // the pending polyline
  Font metricsFont_;
  QFont qFont_;
  std::optional<QFontMetrics> metrics_;
  int fontHeight_ = 0;
  // The texts already shaped in the selected font, kept between contexts.
  ShapedTexts* shapedTexts_ = nullptr;
};

}  // namespace quarn

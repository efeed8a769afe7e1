#pragma once
// The drawing context on a QPainter, with GDI's meaning: dotted pens and text put
// their gaps and their cell in the background colour when the background mode is
// opaque, text is placed by its alignment at the top, geometric pens have square
// caps and bevel joins. Runs of line-tos in one state are drawn as one polyline, so a
// dot pattern runs on across the segments, as GDI draws it.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <optional>

#include "platform/draw_context.h"

namespace quarn {

class ShapedTexts;

class QtDrawContext : public DrawContext {
 public:
  explicit QtDrawContext(QPainter& painter);
  ~QtDrawContext() override;  // flushes
  QtDrawContext(const QtDrawContext&) = delete;
  QtDrawContext& operator=(const QtDrawContext&) = delete;

  // Draws the pending run of line-tos now.
  void Flush();

 protected:
  void DoFill(const Rect& r, Color c) override;
  void DoLine(Point from, Point to) override;
  void DoRectangle(const Rect& r) override;
  void DoEllipse(const Rect& r) override;
  void DoPolygon(std::span<const Point> points, FillMode mode) override;
  void DoText(Point at, std::string_view text) override;
  Size DoTextExtent(std::string_view text) override;
  void StateChanging() override { Flush(); }

 private:
  // Outlines a path with the selected pen, gaps first where they are opaque.
  template <typename DrawFn>
  void StrokeWithPen(DrawFn draw);
  void SelectBrushForFill();
  // A one-pixel pen's run written straight into the pixels of a 32-bit image (the
  // window's back image), several times faster than Qt's dash stroker; false when
  // the painter's device or state needs Qt's own stroking.
  bool RasterizeRun();
  QImage* DirectImage() const;
  // The Qt font, metrics and kept texts of the selected font, made again only when it
  // changes.
  const QFontMetrics& Metrics();

  QPainter& painter_;
  const bool nativeOpaqueDashes_;  // the engine draws dash gaps in the background
  QPolygon run_;                   // the pending polyline
  Font metricsFont_;
  QFont qFont_;
  std::optional<QFontMetrics> metrics_;
  // The texts already shaped in the selected font, kept between contexts.
  ShapedTexts* shapedTexts_ = nullptr;
};

}  // namespace quarn

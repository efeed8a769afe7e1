#include "platform/recording_context.h"

namespace quarn {

std::optional<Color> RecordingContext::BrushColor() const {
  if (brush().null) return std::nullopt;
  return brush().color;
}

void RecordingContext::DoFill(const Rect& r, Color c) {
  DrawOp op;
  op.kind = DrawOp::Kind::Fill;
  op.rect = r;
  op.color = c;
  list_.Append(std::move(op));
}

void RecordingContext::DoLine(Point from, Point to) {
  DrawOp op;
  op.kind = DrawOp::Kind::Line;
  op.from = from;
  op.to = to;
  op.pen = pen();
  list_.Append(std::move(op));
}

void RecordingContext::DoRectangle(const Rect& r) {
  DrawOp op;
  op.kind = DrawOp::Kind::Rect;
  op.rect = r;
  op.pen = pen();
  op.brush = BrushColor();
  list_.Append(std::move(op));
}

void RecordingContext::DoEllipse(const Rect& r) {
  DrawOp op;
  op.kind = DrawOp::Kind::Ellipse;
  op.rect = r;
  op.pen = pen();
  op.brush = BrushColor();
  list_.Append(std::move(op));
}

void RecordingContext::DoPolygon(std::span<const Point> points, FillMode mode) {
  DrawOp op;
  op.kind = DrawOp::Kind::Polygon;
  op.points.assign(points.begin(), points.end());
  op.fillMode = mode;
  op.pen = pen();
  op.brush = BrushColor();
  list_.Append(std::move(op));
}

void RecordingContext::DoText(Point at, std::string_view text) {
  DrawOp op;
  op.kind = DrawOp::Kind::Text;
  op.at = at;
  op.align = textAlign();
  op.text = std::string(text);
  op.color = textColor();
  if (bkMode() == BkMode::Opaque) op.background = bkColor();
  op.font = font();
  op.width = metrics_.Extent(font(), text).cx;
  list_.Append(std::move(op));
}

Size RecordingContext::DoTextExtent(std::string_view text) {
  return metrics_.Extent(font(), text);
}

}  // namespace quarn

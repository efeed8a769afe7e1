#include "platform/draw_context.h"

#include <utility>

namespace quarn {

Pen DrawContext::SelectPen(const Pen& pen) {
  StateChanging();
  return std::exchange(pen_, pen);
}

Brush DrawContext::SelectBrush(const Brush& brush) {
  StateChanging();
  return std::exchange(brush_, brush);
}

Font DrawContext::SelectFont(const Font& font) {
  StateChanging();
  return std::exchange(font_, font);
}

Color DrawContext::SetTextColor(Color c) {
  StateChanging();
  return std::exchange(textColor_, c);
}

Color DrawContext::SetBkColor(Color c) {
  StateChanging();
  return std::exchange(bkColor_, c);
}

BkMode DrawContext::SetBkMode(BkMode mode) {
  StateChanging();
  return std::exchange(bkMode_, mode);
}

TextAlign DrawContext::SetTextAlign(TextAlign align) {
  StateChanging();
  return std::exchange(textAlign_, align);
}

void DrawContext::FillSolidRect(const Rect& r, Color c) {
  StateChanging();
  bkColor_ = c;
  DoFill(r, c);
}

void DrawContext::MoveTo(int x, int y) {
  pos_ = Point{x, y};
}

void DrawContext::LineTo(int x, int y) {
  const Point to{x, y};
  DoLine(pos_, to);
  pos_ = to;
}

void DrawContext::Rectangle(const Rect& r) {
  DoRectangle(r);
}

void DrawContext::Ellipse(const Rect& r) {
  DoEllipse(r);
}

void DrawContext::Polygon(std::span<const Point> points, FillMode mode) {
  if (points.size() < 2) return;
  DoPolygon(points, mode);
}

void DrawContext::TextOut(int x, int y, std::string_view text) {
  DoText(Point{x, y}, text);
}

Size DrawContext::GetTextExtent(std::string_view text) {
  return DoTextExtent(text);
}

}  // namespace quarn

#pragma once
// What a window shows, as the list of drawing operations that made it. The list
// starts at the last fill that covered the whole client area.

#include <optional>
#include <string>
#include <vector>

#include "platform/draw_context.h"

namespace quarn {

struct DrawOp {
  enum class Kind { Fill, Line, Rect, Ellipse, Polygon, Text };
  Kind kind = Kind::Fill;
  Rect rect{};                // fill, rect, ellipse
  Point from{}, to{};         // line
  std::vector<Point> points;  // polygon
  FillMode fillMode = FillMode::Alternate;
  Pen pen{};                   // line, rect, ellipse, polygon
  std::optional<Color> brush;  // rect, ellipse, polygon: nullopt for a hollow brush
  Color color{};               // fill colour, text colour
  Point at{};                  // text
  TextAlign align = TextAlign::Left;
  std::string text;
  std::optional<Color> background;  // text: nullopt when transparent
  Font font{};
  int width = 0;  // text extent
};

class DisplayList {
 public:
  void Reset(int width, int height);
  void Append(DrawOp op);
  const std::vector<DrawOp>& ops() const { return ops_; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::string ToJson() const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<DrawOp> ops_;
};

std::string DrawOpToJson(const DrawOp& op);

}  // namespace quarn

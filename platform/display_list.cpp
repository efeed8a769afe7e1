#include "platform/display_list.h"

#include <initializer_list>
#include <string>

#include "platform/json.h"

namespace quarn {
namespace {

// "[a,b,...]". Built by appending: g++ 12 at -O3 takes "[" + std::to_string(...) for
// an overlapping copy (a false -Wrestrict).
std::string IntArrayJson(std::initializer_list<int> values) {
  std::string out = "[";
  for (const int v : values) {
    if (out.size() > 1) out += ',';
    out += std::to_string(v);
  }
  out += ']';
  return out;
}

std::string ColorJson(Color c) {
  return IntArrayJson({c.r, c.g, c.b});
}

std::string PointJson(Point p) {
  return IntArrayJson({p.x, p.y});
}

std::string RectJson(const Rect& r) {
  return IntArrayJson({r.left, r.top, r.right, r.bottom});
}

const char* PenStyleName(PenStyle s) {
  switch (s) {
    case PenStyle::Dot:
      return "dot";
    case PenStyle::Geometric:
      return "geometric";
    case PenStyle::Solid:
      break;
  }
  return "solid";
}

std::string PenJson(const Pen& p) {
  return JsonObject()
      .Add("style", PenStyleName(p.style))
      .Add("width", p.width)
      .AddRaw("color", ColorJson(p.color))
      .Str();
}

std::string OptionalColorJson(const std::optional<Color>& c) {
  return c ? ColorJson(*c) : "null";
}

const char* AlignName(TextAlign a) {
  switch (a) {
    case TextAlign::Center:
      return "center";
    case TextAlign::Right:
      return "right";
    case TextAlign::Left:
      break;
  }
  return "left";
}

}  // namespace

void DisplayList::Reset(int width, int height) {
  width_ = width;
  height_ = height;
  ops_.clear();
}

void DisplayList::Append(DrawOp op) {
  if (op.kind == DrawOp::Kind::Fill && op.rect.left <= 0 && op.rect.top <= 0 &&
      op.rect.right >= width_ && op.rect.bottom >= height_) {
    ops_.clear();
  }
  ops_.push_back(std::move(op));
}

std::string DrawOpToJson(const DrawOp& op) {
  JsonObject o;
  switch (op.kind) {
    case DrawOp::Kind::Fill:
      o.Add("op", "fill").AddRaw("rect", RectJson(op.rect)).AddRaw("color", ColorJson(op.color));
      break;
    case DrawOp::Kind::Line:
      o.Add("op", "line")
          .AddRaw("from", PointJson(op.from))
          .AddRaw("to", PointJson(op.to))
          .AddRaw("pen", PenJson(op.pen));
      break;
    case DrawOp::Kind::Rect:
    case DrawOp::Kind::Ellipse:
      o.Add("op", op.kind == DrawOp::Kind::Rect ? "rect" : "ellipse")
          .AddRaw("rect", RectJson(op.rect))
          .AddRaw("pen", PenJson(op.pen))
          .AddRaw("brush", OptionalColorJson(op.brush));
      break;
    case DrawOp::Kind::Polygon: {
      std::string pts = "[";
      for (std::size_t i = 0; i < op.points.size(); ++i) {
        if (i) pts += ',';
        pts += PointJson(op.points[i]);
      }
      pts += ']';
      o.Add("op", "polygon")
          .AddRaw("points", pts)
          .Add("fill", op.fillMode == FillMode::Winding ? "winding" : "alternate")
          .AddRaw("pen", PenJson(op.pen))
          .AddRaw("brush", OptionalColorJson(op.brush));
      break;
    }
    case DrawOp::Kind::Text: {
      const std::string font = JsonObject()
                                   .Add("face", op.font.face)
                                   .Add("height", op.font.height)
                                   .Add("weight", op.font.weight)
                                   .Str();
      o.Add("op", "text")
          .AddRaw("at", PointJson(op.at))
          .Add("align", AlignName(op.align))
          .Add("text", op.text)
          .AddRaw("color", ColorJson(op.color))
          .AddRaw("background", OptionalColorJson(op.background))
          .AddRaw("font", font)
          .Add("width", op.width);
      break;
    }
  }
  return o.Str();
}

std::string DisplayList::ToJson() const {
  std::string out = "{\"width\":" + std::to_string(width_) +
                    ",\"height\":" + std::to_string(height_) + ",\"ops\":[";
  for (std::size_t i = 0; i < ops_.size(); ++i) {
    out += i ? ",\n" : "\n";
    out += DrawOpToJson(ops_[i]);
  }
  out += "\n]}\n";
  return out;
}

}  // namespace quarn

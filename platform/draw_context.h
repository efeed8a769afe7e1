#pragma once
// A GDI-like drawing context: exactly as rich as the program's drawing routines need.
// It keeps the selected objects and modes itself; implementations only draw.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarn {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Rect&) const = default;
};

struct Color {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Color&) const = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};

enum class PenStyle { Solid, Dot, Geometric };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;
  Color color = kBlack;
  bool operator==(const Pen&) const = default;
};

struct Brush {
  bool null = false;  // a hollow brush fills nothing
  Color color = kWhite;
  bool operator==(const Brush&) const = default;
  static Brush Solid(Color c) { return Brush{false, c}; }
  static Brush Hollow() { return Brush{true, kBlack}; }
};

// Pitch and family values as GDI combines them (VARIABLE_PITCH | FF_SWISS = 34).
inline constexpr int kVariablePitchSwiss = 34;

struct Font {
  std::string face = "System";
  int height = -16;  // negative: character height in pixels
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int pitchAndFamily = 0;
  bool operator==(const Font&) const = default;
};

// The font every chart of the program uses, with its character height in pixels.
inline Font ArialFont(int height) {
  Font f;
  f.face = "Arial";
  f.height = height;
  f.weight = 400;
  f.pitchAndFamily = kVariablePitchSwiss;
  return f;
}

enum class TextAlign { Left, Center, Right };  // always at the top of the text
enum class BkMode { Opaque, Transparent };
enum class FillMode { Alternate, Winding };

class DrawContext {
 public:
  virtual ~DrawContext() = default;

  // Selecting returns what was selected before, so a routine can restore it.
  Pen SelectPen(const Pen& pen);
  Brush SelectBrush(const Brush& brush);
  Font SelectFont(const Font& font);
  Color SetTextColor(Color c);
  Color SetBkColor(Color c);
  BkMode SetBkMode(BkMode mode);
  TextAlign SetTextAlign(TextAlign align);

  const Pen& pen() const { return pen_; }
  const Brush& brush() const { return brush_; }
  const Font& font() const { return font_; }
  Color textColor() const { return textColor_; }
  Color bkColor() const { return bkColor_; }
  BkMode bkMode() const { return bkMode_; }
  TextAlign textAlign() const { return textAlign_; }
  Point currentPosition() const { return pos_; }

  // Fills with a solid colour. As with GDI's solid fill, the colour becomes the
  // background colour that opaque text and dotted pens use afterwards.
  void FillSolidRect(const Rect& r, Color c);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(const Rect& r);
  void Ellipse(const Rect& r);
  void Polygon(std::span<const Point> points, FillMode mode);
  void TextOut(int x, int y, std::string_view text);
  Size GetTextExtent(std::string_view text);

 protected:
  virtual void DoFill(const Rect& r, Color c) = 0;
  virtual void DoLine(Point from, Point to) = 0;
  virtual void DoRectangle(const Rect& r) = 0;
  virtual void DoEllipse(const Rect& r) = 0;
  virtual void DoPolygon(std::span<const Point> points, FillMode mode) = 0;
  virtual void DoText(Point at, std::string_view text) = 0;
  virtual Size DoTextExtent(std::string_view text) = 0;
  // Called before the state changes, so a backend can flush batched work.
  virtual void StateChanging() {}

 private:
  // A context obtained for a draw starts with GDI's defaults.
  Pen pen_{};
  Brush brush_{};
  Font font_{};
  Color textColor_ = kBlack;
  Color bkColor_ = kWhite;
  BkMode bkMode_ = BkMode::Opaque;
  TextAlign textAlign_ = TextAlign::Left;
  Point pos_{};
};

}  // namespace quarn

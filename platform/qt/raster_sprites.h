#pragma once
// What one drawing operation leaves on a 32-bit image, rendered once by Qt and then
// copied row by row into the image wherever the same operation is drawn again.
//
// A sprite keeps only the pixels the operation sets outright: pixels it leaves alone
// are skipped, and an operation that blends with what lies under it (antialiased
// edges, text ink outside its opaque cell) has no sprite and is drawn by Qt. So a
// copy sets exactly the pixels Qt would set, to exactly the values it would.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace quarn {

class Sprite {
 public:
  // Renders draw(painter, shift) twice, on two backgrounds, over the area (relative to
  // the operation's origin; draw must add shift to every coordinate). Nothing when a
  // pixel blends with its background or the drawing reaches the area's border, where
  // it may have been cut.
  static std::optional<Sprite> Capture(QImage::Format format, QPainter::RenderHints hints,
                                       const QRect& area,
                                       const std::function<void(QPainter&, QPoint)>& draw);

  // Whether the sprite, its origin at (x, y), lies inside a width x height image with
  // room to spare: only there is Qt's drawing free of clipping, as the sprite's was.
  bool FitsInside(int x, int y, int width, int height) const {
    return x + area_.left() >= 0 && y + area_.top() >= 0 && x + area_.right() < width &&
           y + area_.bottom() < height;
  }
  // Sets the sprite's pixels in the rows rowBegin..rowEnd-1 of 32-bit pixels with its
  // origin at (x, y); the sprite must fit inside them.
  void CopyRows(quint32* bits, qsizetype stride, int x, int y, int rowBegin, int rowEnd) const;
  bool Empty() const { return spans_.empty(); }
  // The first and last rows the sprite sets, relative to its origin.
  int FirstRow() const { return spans_.front().dy; }
  int LastRow() const { return spans_.back().dy; }
  std::size_t PixelCount() const { return pixels_.size(); }

 private:
  // A row's stretch of set pixels, relative to the origin, and where its values start;
  // in the order of the rows.
  struct Span {
    std::int16_t dx;
    std::int16_t dy;
    std::int32_t length;
    std::int32_t offset;
  };
  QRect area_;  // the captured area, relative to the origin
  std::vector<Span> spans_;
  std::vector<quint32> pixels_;
};

}  // namespace quarn

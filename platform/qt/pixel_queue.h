#pragma once
// Writes to a 32-bit image held back and then made band by band. A map's symbols and
// labels land all over an image far larger than the processor's cache, so writing
// each where it falls waits on memory at every row; made a band of rows at a time,
// in the order they were queued, they find their rows in the cache. The pixels are
// those of writing each in turn: within a band the order is kept, and bands do not
// share pixels.
//
// One queue serves every drawing context of the thread that draws: whatever reaches
// the image by another way must flush it first, and so must a change of image.

#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

namespace quarn {

class Sprite;

class PixelQueue {
 public:
  // Readies the queue for writes to the image; writes queued for another image are
  // made first.
  void Begin(QImage& image);
  // The calls below write to the image of the last Begin, inside it.
  void Fill(const QRect& r, quint32 value);
  void Copy(const Sprite& sprite, int x, int y);
  void Plot(int x, int y, quint32 value) {
    Band& band = bands_[static_cast<std::size_t>(y >> kBandShift)];
    // Consecutive pixels of a band are one operation.
    if (band.ops.empty() || band.ops.back().kind != Op::Kind::Pixels) {
      band.ops.push_back(
          Op{Op::Kind::Pixels, static_cast<std::int32_t>(band.pixels.size()), 0, 0, 0, 0, nullptr});
    }
    ++band.ops.back().b;
    band.pixels.push_back(PixelWrite{static_cast<std::int32_t>(y * stride_ + x), value});
  }
  // Makes every queued write.
  void Flush();
  bool Empty() const { return image_ == nullptr; }

 private:
  static constexpr int kBandShift = 6;  // 64 rows: 480 KB of a 1920-pixel-wide image

  struct Op {
    enum class Kind : std::uint8_t { Fill, Copy, Pixels };
    Kind kind;
    // A fill's rectangle (left, top, right, bottom, exclusive), a copy's origin, or
    // the first of the band's pixels and their count.
    std::int32_t a, b, c, d;
    quint32 value;
    const Sprite* sprite;
  };
  struct PixelWrite {
    std::int32_t offset;  // from the image's first pixel
    quint32 value;
  };
  struct Band {
    std::vector<Op> ops;
    std::vector<PixelWrite> pixels;
  };

  void MakeBand(Band& band, int rowBegin, int rowEnd);
  std::size_t BandOf(int row) const { return static_cast<std::size_t>(row >> kBandShift); }

  QImage* image_ = nullptr;  // null while nothing is queued
  quint32* bits_ = nullptr;
  qsizetype stride_ = 0;  // in pixels
  int width_ = 0;
  int height_ = 0;
  std::vector<Band> bands_;
};

// The queue of the thread that draws.
PixelQueue& ThePixelQueue();

}  // namespace quarn

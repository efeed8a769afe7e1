#include "platform/qt/pixel_queue.h"

#include <algorithm>
#include <cwchar>

#include "platform/qt/raster_sprites.h"

namespace quarn {
namespace {

// The C library's wide fill is the fastest way to set 32-bit values where a wide
// character is 32 bits: vector stores, and for long rows stores that need not read
// the lines they fill.
void FillPixels(quint32* pixels, int count, quint32 value) {
  if constexpr (sizeof(wchar_t) == sizeof(quint32)) {
    std::wmemset(reinterpret_cast<wchar_t*>(pixels), static_cast<wchar_t>(value),
                 static_cast<std::size_t>(count));
  } else {
    std::fill_n(pixels, count, value);
  }
}

}  // namespace

void PixelQueue::Begin(QImage& image) {
  if (image_ == &image) return;
  Flush();
  image_ = &image;
  width_ = image.width();
  height_ = image.height();
  stride_ = image.bytesPerLine() / 4;
  bands_.resize(BandOf(std::max(height_ - 1, 0)) + 1);
}

void PixelQueue::Fill(const QRect& r, quint32 value) {
  if (r.isEmpty()) return;
  const Op op{Op::Kind::Fill, r.left(), r.top(), r.right() + 1, r.bottom() + 1, value, nullptr};
  for (std::size_t b = BandOf(r.top()); b <= BandOf(r.bottom()); ++b) bands_[b].ops.push_back(op);
}

void PixelQueue::Copy(const Sprite& sprite, int x, int y) {
  if (sprite.Empty()) return;
  const Op op{Op::Kind::Copy, x, y, 0, 0, 0, &sprite};
  for (std::size_t b = BandOf(y + sprite.FirstRow()); b <= BandOf(y + sprite.LastRow()); ++b) {
    bands_[b].ops.push_back(op);
  }
}

void PixelQueue::Flush() {
  if (image_ == nullptr) return;
  QImage& image = *image_;
  image_ = nullptr;
  // Whoever shared the image since keeps what it had; a resized image has lost the
  // places the writes were for.
  const bool sameShape =
      image.width() == width_ && image.height() == height_ && image.bytesPerLine() / 4 == stride_;
  if (sameShape && !image.isDetached()) image.detach();
  bits_ = reinterpret_cast<quint32*>(const_cast<uchar*>(image.constBits()));
  for (std::size_t b = 0; b < bands_.size(); ++b) {
    Band& band = bands_[b];
    if (band.ops.empty()) continue;
    if (sameShape) {
      const int rowBegin = static_cast<int>(b) << kBandShift;
      MakeBand(band, rowBegin, std::min(height_, rowBegin + (1 << kBandShift)));
    }
    band.ops.clear();
    band.pixels.clear();
  }
}

void PixelQueue::MakeBand(Band& band, int rowBegin, int rowEnd) {
  for (const Op& op : band.ops) {
    switch (op.kind) {
      case Op::Kind::Fill: {
        const int bottom = std::min(op.d, rowEnd);
        for (int row = std::max(op.b, rowBegin); row < bottom; ++row) {
          FillPixels(bits_ + row * stride_ + op.a, op.c - op.a, op.value);
        }
        break;
      }
      case Op::Kind::Copy:
        op.sprite->CopyRows(bits_, stride_, op.a, op.b, rowBegin, rowEnd);
        break;
      case Op::Kind::Pixels: {
        const PixelWrite* write = band.pixels.data() + op.a;
        for (const PixelWrite* end = write + op.b; write != end; ++write) {
          bits_[write->offset] = write->value;
        }
        break;
      }
    }
  }
}

PixelQueue& ThePixelQueue() {
  static PixelQueue queue;
  return queue;
}

}  // namespace quarn

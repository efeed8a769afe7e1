#include "platform/qt/raster_sprites.h"

#include <array>
#include <cstring>

namespace quarn {
namespace {

// Sprites are for symbols and labels; anything larger is drawn by Qt each time.
constexpr int kMaxSide = 512;

// A pixel that blends with its background comes out differently on each of these;
// one the operation sets outright comes out the same on all three.
constexpr std::array<QRgb, 3> kBackgrounds = {0xFF000000u, 0xFFFFFFFFu, 0xFF808080u};

QImage Render(QImage::Format format, QPainter::RenderHints hints, QSize size, QRgb background,
              QPoint shift, const std::function<void(QPainter&, QPoint)>& draw) {
  QImage image(size, format);
  image.fill(background);
  QPainter painter(&image);
  painter.setRenderHints(painter.renderHints(), false);
  painter.setRenderHints(hints, true);
  draw(painter, shift);
  painter.end();
  return image;
}

const quint32* Row(const QImage& image, int y) {
  return reinterpret_cast<const quint32*>(image.constScanLine(y));
}

}  // namespace

std::optional<Sprite> Sprite::Capture(QImage::Format format, QPainter::RenderHints hints,
                                      const QRect& area,
                                      const std::function<void(QPainter&, QPoint)>& draw) {
  if (area.isEmpty() || area.width() > kMaxSide || area.height() > kMaxSide) return std::nullopt;
  std::array<QImage, kBackgrounds.size()> renders;
  for (std::size_t k = 0; k < kBackgrounds.size(); ++k) {
    renders[k] = Render(format, hints, area.size(), kBackgrounds[k], -area.topLeft(), draw);
  }

  Sprite sprite;
  sprite.area_ = area;
  const int width = area.width();
  const int height = area.height();
  for (int y = 0; y < height; ++y) {
    const quint32* dark = Row(renders[0], y);
    const quint32* light = Row(renders[1], y);
    const quint32* grey = Row(renders[2], y);
    int x = 0;
    while (x < width) {
      const bool set = dark[x] == light[x] && dark[x] == grey[x];
      if (!set) {
        const bool untouched =
            dark[x] == kBackgrounds[0] && light[x] == kBackgrounds[1] && grey[x] == kBackgrounds[2];
        if (!untouched) return std::nullopt;  // blends with what lies under it
        ++x;
        continue;
      }
      const int start = x;
      while (x < width && dark[x] == light[x] && dark[x] == grey[x]) ++x;
      const bool onBorder = y == 0 || y == height - 1 || start == 0 || x == width;
      if (onBorder) return std::nullopt;  // may go on beyond the area
      sprite.spans_.push_back(Span{
          static_cast<std::int16_t>(area.left() + start), static_cast<std::int16_t>(area.top() + y),
          static_cast<std::int32_t>(x - start), static_cast<std::int32_t>(sprite.pixels_.size())});
      sprite.pixels_.insert(sprite.pixels_.end(), dark + start, dark + x);
    }
  }
  return sprite;
}

void Sprite::CopyRows(quint32* bits, qsizetype stride, int x, int y, int rowBegin,
                      int rowEnd) const {
  const quint32* values = pixels_.data();
  for (const Span& span : spans_) {
    const int row = y + span.dy;
    if (row < rowBegin) continue;
    if (row >= rowEnd) break;
    std::memcpy(bits + row * stride + (x + span.dx), values + span.offset,
                sizeof(quint32) * static_cast<std::size_t>(span.length));
  }
}

}  // namespace quarn

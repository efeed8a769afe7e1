#pragma once
// The view's window as a retained image drawn through the Qt drawing context, as
// the desktop program's window is: for benchmarks of whole charts.

#include <QImage>
#include <QPainter>
#include <memory>

#include "platform/qt/qt_draw_context.h"
#include "platform/window.h"

namespace quarn::bench {

// The painter lives exactly as long as the context that draws with it.
struct ImagePainter {
  explicit ImagePainter(QImage& image) : painter(&image) {}
  QPainter painter;
};

class ImageContext : private ImagePainter, public QtDrawContext {
 public:
  explicit ImageContext(QImage& image) : ImagePainter(image), QtDrawContext(painter) {}
};

class ImageWindow : public Window {
 public:
  ImageWindow(int width, int height) : image_(width, height, QImage::Format_RGB32) {}
  int ClientWidth() const override { return image_.width(); }
  int ClientHeight() const override { return image_.height(); }
  std::unique_ptr<DrawContext> GetDC() override { return std::make_unique<ImageContext>(image_); }
  QImage& image() { return image_; }

 private:
  QImage image_;
};

}  // namespace quarn::bench

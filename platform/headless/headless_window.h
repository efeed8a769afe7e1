#pragma once
// A window without a screen: what is drawn on it is kept as a display list.

#include "platform/display_list.h"
#include "platform/recording_context.h"
#include "platform/text_metrics.h"
#include "platform/window.h"

namespace quarn {

class HeadlessWindow : public Window {
 public:
  HeadlessWindow(int width, int height, TextMetrics& metrics) : metrics_(metrics) {
    Resize(width, height);
  }
  int ClientWidth() const override { return list_.width(); }
  int ClientHeight() const override { return list_.height(); }
  std::unique_ptr<DrawContext> GetDC() override {
    return std::make_unique<RecordingContext>(list_, metrics_);
  }
  // A new size starts from an empty picture, as a resized back image does.
  void Resize(int width, int height) { list_.Reset(width, height); }
  const DisplayList& displayList() const { return list_; }

 private:
  TextMetrics& metrics_;
  DisplayList list_;
};

}  // namespace quarn

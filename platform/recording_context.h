#pragma once
// A drawing context that records every operation into a display list.

#include "platform/display_list.h"
#include "platform/draw_context.h"
#include "platform/text_metrics.h"

namespace quarn {

class RecordingContext : public DrawContext {
 public:
  RecordingContext(DisplayList& list, TextMetrics& metrics) : list_(list), metrics_(metrics) {}

 protected:
  void DoFill(const Rect& r, Color c) override;
  void DoLine(Point from, Point to) override;
  void DoRectangle(const Rect& r) override;
  void DoEllipse(const Rect& r) override;
  void DoPolygon(std::span<const Point> points, FillMode mode) override;
  void DoText(Point at, std::string_view text) override;
  Size DoTextExtent(std::string_view text) override;

 private:
  std::optional<Color> BrushColor() const;
  DisplayList& list_;
  TextMetrics& metrics_;
};

}  // namespace quarn

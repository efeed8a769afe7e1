#pragma once
// The logbook's landing-rate chart: every landing of the logbook as a marker, its
// rate of descent at touchdown against its date.

#include <span>

#include "platform/draw_context.h"

namespace quarn {

struct LandingRatePoint {
  double utcSeconds = 0;  // the touchdown, seconds since 1970
  double fpm = 0;         // the landing rate, positive down
  bool lowConfidence = false;
};

// Draws the chart over the whole area, on white: the caption, the axes with dates
// ("YYYY-MM-DD") along the bottom and ft/min up the left, and a marker for each
// point, hollow when its rate is of low confidence. Points that are not finite are
// passed over; without any, the caption and "No landings".
void DrawLandingRateChart(DrawContext& dc, std::span<const LandingRatePoint> points, Rect area);

}  // namespace quarn

#include "charts/logbook_chart.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/format.h"
#include "base/numeric.h"
#include "record/text_input.h"

namespace quarn {
namespace {

constexpr Color kMarkerColor{0, 0, 200};
constexpr Color kZeroLineColor{128, 128, 128};
constexpr int kCaptionHeight = -14;
constexpr int kLabelHeight = -12;
constexpr int kMarkerRadius = 4;
// Room around the plot for the caption, the rate labels and the date labels.
constexpr int kPlotLeftMargin = 70;
constexpr int kPlotRightMargin = 40;  // half a date label beyond the last landing
constexpr int kPlotTopMargin = 30;
constexpr int kPlotBottomMargin = 30;
// The markers keep this far from the ends of the time axis.
constexpr int kPlotInset = 10;
constexpr int kMaxDateLabels = 5;
constexpr double kHalfDaySeconds = 43200;

int RoundToInt(double v) {
  return TruncToInt(std::floor(v + 0.5));
}

std::string DateText(double utcSeconds) {
  const CivilDate d = CivilFromDays(static_cast<std::int64_t>(std::floor(utcSeconds / 86400)));
  return Format("%04d-%02d-%02d", d.year, d.month, d.day);
}

// The rate axis: from a multiple of the step at or below the lowest rate (and 0) to
// one at or above the highest, with about five steps of 1, 2, 2.5 or 5 times a power
// of ten, never less than 10 ft/min.
struct RateAxis {
  double low = 0;
  double high = 100;
  double step = 20;
};

RateAxis RateAxisFor(double lowest, double highest) {
  lowest = std::min(lowest, 0.0);
  highest = std::max(highest, 0.0);
  const double raw = std::max((highest - lowest) / 5, 10.0);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10 * power;
  for (const double m : {1.0, 2.0, 2.5, 5.0}) {
    if (m * power >= raw) {
      step = m * power;
      break;
    }
  }
  RateAxis axis{std::floor(lowest / step) * step, std::ceil(highest / step) * step, step};
  if (axis.high <= axis.low) axis.high = axis.low + step;
  return axis;
}

struct Plot {
  Rect frame;      // the axes run along its left and bottom
  int firstX = 0;  // where the earliest time is drawn
  int lastX = 0;   // and the latest
  double firstTime = 0;
  double lastTime = 0;
  RateAxis rates;

  int X(double t) const {
    return firstX + RoundToInt((t - firstTime) / (lastTime - firstTime) * (lastX - firstX));
  }
  int Y(double fpm) const {
    return frame.bottom -
           RoundToInt((fpm - rates.low) / (rates.high - rates.low) * (frame.bottom - frame.top));
  }
};

void DrawCaption(DrawContext& dc, const Rect& area) {
  dc.SelectFont(ArialFont(kCaptionHeight));
  dc.SetTextAlign(TextAlign::Center);
  dc.TextOut((area.left + area.right) / 2, area.top + 6, "Landing rate (ft/min) by date");
}

void DrawRateLabels(DrawContext& dc, const Plot& plot) {
  dc.SetTextAlign(TextAlign::Right);
  const int steps = RoundToInt((plot.rates.high - plot.rates.low) / plot.rates.step);
  for (int i = 0; i <= steps; ++i) {
    const double fpm = plot.rates.low + i * plot.rates.step;
    const int y = plot.Y(fpm);
    dc.MoveTo(plot.frame.left - 3, y);
    dc.LineTo(plot.frame.left, y);
    dc.TextOut(plot.frame.left - 6, y + kLabelHeight / 2, Format("%.0f", fpm));
  }
  if (plot.rates.low < 0) {
    // Climbing at touchdown is a fault of the data: the zero line sets it apart.
    const Pen old = dc.SelectPen(Pen{PenStyle::Dot, 1, kZeroLineColor});
    dc.MoveTo(plot.frame.left + 1, plot.Y(0));
    dc.LineTo(plot.frame.right, plot.Y(0));
    dc.SelectPen(old);
  }
}

// A few dates spread evenly along the time axis, as many as fit; one date only
// when all the landings were at one moment.
void DrawDateLabels(DrawContext& dc, const Plot& plot, bool oneMoment) {
  dc.SetTextAlign(TextAlign::Center);
  const int labelWidth = dc.GetTextExtent("0000-00-00").cx;
  const int fitting = (plot.lastX - plot.firstX) / std::max(1, labelWidth + 24) + 1;
  const int count = oneMoment ? 1 : std::clamp(fitting, 2, kMaxDateLabels);
  std::string previous;
  for (int i = 0; i < count; ++i) {
    const double t = oneMoment
                         ? (plot.firstTime + plot.lastTime) / 2
                         : plot.firstTime + (plot.lastTime - plot.firstTime) * i / (count - 1);
    const std::string text = DateText(t);
    if (text == previous) continue;  // several labels within one day
    previous = text;
    const int x = plot.X(t);
    dc.MoveTo(x, plot.frame.bottom);
    dc.LineTo(x, plot.frame.bottom + 3);
    dc.TextOut(x, plot.frame.bottom + 6, text);
  }
}

void DrawMarkers(DrawContext& dc, const Plot& plot, std::span<const LandingRatePoint> points) {
  dc.SelectPen(Pen{PenStyle::Solid, 1, kMarkerColor});
  for (const LandingRatePoint& p : points) {
    dc.SelectBrush(p.lowConfidence ? Brush::Hollow() : Brush::Solid(kMarkerColor));
    const int x = plot.X(p.utcSeconds);
    const int y = plot.Y(p.fpm);
    dc.Ellipse(Rect{x - kMarkerRadius, y - kMarkerRadius, x + kMarkerRadius, y + kMarkerRadius});
  }
}

}  // namespace

void DrawLandingRateChart(DrawContext& dc, std::span<const LandingRatePoint> points, Rect area) {
  const Pen oldPen = dc.SelectPen(Pen{PenStyle::Solid, 1, kBlack});
  const Brush oldBrush = dc.SelectBrush(Brush::Solid(kWhite));
  const Font oldFont = dc.font();
  const Color oldTextColor = dc.SetTextColor(kBlack);
  const BkMode oldBkMode = dc.SetBkMode(BkMode::Transparent);
  const TextAlign oldAlign = dc.textAlign();

  dc.FillSolidRect(area, kWhite);
  DrawCaption(dc, area);

  std::vector<LandingRatePoint> shown;
  for (const LandingRatePoint& p : points) {
    if (std::isfinite(p.utcSeconds) && std::isfinite(p.fpm)) shown.push_back(p);
  }
  const Rect frame{area.left + kPlotLeftMargin, area.top + kPlotTopMargin,
                   area.right - kPlotRightMargin, area.bottom - kPlotBottomMargin};
  dc.SelectFont(ArialFont(kLabelHeight));
  if (shown.empty()) {
    dc.SetTextAlign(TextAlign::Center);
    dc.TextOut((area.left + area.right) / 2, (area.top + area.bottom) / 2, "No landings");
  } else if (frame.right - frame.left > 2 * kPlotInset && frame.bottom > frame.top) {
    const auto [earliest, latest] = std::minmax_element(
        shown.begin(), shown.end(),
        [](const auto& a, const auto& b) { return a.utcSeconds < b.utcSeconds; });
    const auto [lowest, highest] = std::minmax_element(
        shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.fpm < b.fpm; });
    Plot plot{frame,
              frame.left + kPlotInset,
              frame.right - kPlotInset,
              earliest->utcSeconds,
              latest->utcSeconds,
              RateAxisFor(lowest->fpm, highest->fpm)};
    const bool oneMoment = plot.lastTime <= plot.firstTime;
    if (oneMoment) {
      plot.firstTime -= kHalfDaySeconds;
      plot.lastTime += kHalfDaySeconds;
    }
    dc.MoveTo(frame.left, frame.top);
    dc.LineTo(frame.left, frame.bottom);
    dc.LineTo(frame.right, frame.bottom);
    DrawRateLabels(dc, plot);
    DrawDateLabels(dc, plot, oneMoment);
    DrawMarkers(dc, plot, shown);
  }

  dc.SelectPen(oldPen);
  dc.SelectBrush(oldBrush);
  dc.SelectFont(oldFont);
  dc.SetTextColor(oldTextColor);
  dc.SetBkMode(oldBkMode);
  dc.SetTextAlign(oldAlign);
}

}  // namespace quarn

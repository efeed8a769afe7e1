#include "charts/approach_debrief_chart.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/format.h"
#include "base/numeric.h"
#include "charts/approach_debrief.h"
#include "charts/compared_flight.h"
#include "platform/file_services.h"

namespace quarn {
namespace {

constexpr Color kGreen{0, 255, 0};
constexpr Color kRed{255, 0, 0};
constexpr Color kGrey{160, 160, 160};
constexpr Color kTrace{0, 255, 255};
constexpr Color kGate{255, 255, 0};
constexpr Color kTwoDotBand{40, 40, 40};
constexpr Color kOneDotBand{72, 72, 72};
constexpr double kVisibleDots = 2.5;  // each side of the centre of a strip
constexpr int kColumnWidth = 130;

// One strip of deviation against distance to the threshold, 10 miles to 0.
struct Strip {
  int left = 0;
  int right = 0;
  int top = 0;
  int height = 0;

  int X(double nm) const {
    const double d = std::clamp(nm, 0.0, kDebriefRangeNm);
    return right - TruncToInt(d / kDebriefRangeNm * (right - left));
  }
  int Y(double dots) const {
    const double v = std::clamp(dots, -kVisibleDots, kVisibleDots);
    return top + height / 2 - TruncToInt(v * height / (2 * kVisibleDots));
  }
};

void DrawStripFrame(DrawContext& dc, const Strip& s, const char* title, const char* up,
                    const char* down) {
  dc.FillSolidRect(Rect{s.left, s.Y(2), s.right, s.Y(-2)}, kTwoDotBand);
  dc.FillSolidRect(Rect{s.left, s.Y(1), s.right, s.Y(-1)}, kOneDotBand);
  dc.SelectPen(Pen{PenStyle::Solid, 1, kGrey});
  dc.MoveTo(s.left, s.Y(0));
  dc.LineTo(s.right, s.Y(0));
  dc.SetTextColor(kGreen);
  dc.SetTextAlign(TextAlign::Left);
  dc.TextOut(s.left, s.top - 14, title);
  dc.SetTextAlign(TextAlign::Right);
  dc.TextOut(s.left - 6, s.Y(2) - 6, Format("2 %s", up));
  dc.TextOut(s.left - 6, s.Y(1) - 6, "1");
  dc.TextOut(s.left - 6, s.Y(-1) - 6, "1");
  dc.TextOut(s.left - 6, s.Y(-2) - 6, Format("2 %s", down));
  dc.SetTextAlign(TextAlign::Left);
}

void DrawDistanceAxis(DrawContext& dc, const Strip& s) {
  dc.SetTextColor(kGreen);
  dc.SetTextAlign(TextAlign::Center);
  for (int k = 0; k <= 10; ++k) {
    dc.TextOut(s.X(k), s.top + s.height + 3, Format("%dnm", k));
  }
  dc.SetTextAlign(TextAlign::Left);
}

void DrawGateMarks(DrawContext& dc, const Strip& s, const ApproachDebrief& d, bool labels) {
  dc.SelectPen(Pen{PenStyle::Dot, 1, kGate});
  dc.SetTextColor(kGate);
  dc.SetTextAlign(TextAlign::Center);
  for (const GateResult& g : d.gates) {
    if (!g.sample) continue;
    const int x = s.X(g.distanceNm);
    dc.MoveTo(x, s.top);
    dc.LineTo(x, s.top + s.height);
    if (labels) dc.TextOut(x, s.top - 14, Format("%.0f ft", g.heightFt));
  }
  dc.SetTextAlign(TextAlign::Left);
}

template <typename Dots>
void DrawTrace(DrawContext& dc, const Strip& s, const ApproachDebrief& d, Dots dots,
               Color color = kTrace) {
  dc.SelectPen(Pen{PenStyle::Solid, 1, color});
  bool started = false;
  for (const DebriefSample& sample : d.samples) {
    const std::optional<double> v = dots(sample);
    if (!v || sample.distanceNm < 0) continue;
    if (started) {
      dc.LineTo(s.X(sample.distanceNm), s.Y(*v));
    } else {
      dc.MoveTo(s.X(sample.distanceNm), s.Y(*v));
      started = true;
    }
  }
}

std::string CriterionText(const CriterionResult& c) {
  if (c.verdict == Verdict::NotAvailable) return "n/a";
  const double v = c.value;
  switch (c.criterion) {
    case Criterion::Localizer:
      return Format("%.2f dot %s", std::fabs(v), LateralSide(v));
    case Criterion::GlideSlope:
      return Format("%.2f dot %s", std::fabs(v), VerticalSide(v));
    case Criterion::DescentRate:
      return Format("%.0f ft/min", v);
    case Criterion::Gear:
      return Format("%.0f of 3 down", v);
    case Criterion::Bank:
      return Format("%.1f deg", v);
    case Criterion::IasChange:
      return Format("%+.1f kt", v);
  }
  return "";
}

Color VerdictColor(Verdict v) {
  return v == Verdict::Pass ? kGreen : v == Verdict::Fail ? kRed : kGrey;
}

// The gates, one row each, every criterion in its colour; then the verdict.
void DrawGateTable(DrawContext& dc, int left, int top, const ApproachDebrief& d) {
  static constexpr const char* kHeaders[kCriterionCount] = {
      "Localizer", "Glide slope", "Descent rate", "Gear", "Bank", "IAS change (30 s)"};
  dc.SetTextAlign(TextAlign::Left);
  dc.SetTextColor(kGreen);
  dc.TextOut(left, top, "Gate");
  for (int k = 0; k < kCriterionCount; ++k) {
    dc.TextOut(left + 70 + k * kColumnWidth, top, kHeaders[k]);
  }
  int y = top;
  for (const GateResult& g : d.gates) {
    y += 16;
    dc.SetTextColor(kGreen);
    dc.TextOut(left, y, Format("%.0f ft", g.heightFt));
    if (!g.sample) {
      dc.SetTextColor(kGrey);
      dc.TextOut(left + 70, y, "not reached");
      continue;
    }
    for (int k = 0; k < kCriterionCount; ++k) {
      const CriterionResult& c = g.criteria[static_cast<std::size_t>(k)];
      dc.SetTextColor(VerdictColor(c.verdict));
      dc.TextOut(left + 70 + k * kColumnWidth, y, CriterionText(c));
    }
  }
  y += 20;
  dc.SetTextColor(!d.stable ? kGrey : *d.stable ? kGreen : kRed);
  dc.TextOut(left, y, VerdictText(d));
}

void DrawLargeFigures(DrawContext& dc, int left, int top, const ApproachDebrief& d) {
  const Font old = dc.SelectFont(ArialFont(-24));
  dc.SetTextColor(kGreen);
  dc.SetTextAlign(TextAlign::Left);
  dc.TextOut(left, top,
             d.landingRate ? Format("Landing rate: %.0f ft/min%s", d.landingRate->fpm,
                                    d.landingRate->lowConfidence() ? ", low confidence" : "")
                           : std::string("Landing rate: n/a"));
  if (d.touchdownPoint) {
    const TouchdownPoint& p = *d.touchdownPoint;
    dc.TextOut(left, top + 32,
               Format("Touchdown: %.0f ft (%.0f m) %s, %.1f m %s",
                      std::fabs(p.pastThresholdM) / 0.3048, std::fabs(p.pastThresholdM),
                      p.pastThresholdM < 0 ? "short of the threshold" : "past the threshold",
                      std::fabs(p.offsetM), LateralSide(p.offsetM)));
  }
  dc.SelectFont(old);
  // Why the landing rate may be off, under the figures.
  if (d.landingRate && d.landingRate->lowConfidence()) {
    std::string why;
    for (const std::string& doubt : d.landingRate->doubts) why += (why.empty() ? "" : ", ") + doubt;
    dc.SetTextColor(kGrey);
    dc.TextOut(left, top + 64, "Landing rate of low confidence: " + why);
  }
}

// The compared flight's approach, its needles against its own localizer and glide
// slope, over the same distances; a legend above the strips names the flight.
void DrawComparedNeedles(DrawContext& dc, const Strip& loc, const Strip& gs, const ChartInput& in) {
  const Flight* compared = in.navaids.comparedFlight();
  if (compared == nullptr) return;
  const ApproachDebrief d = DebriefApproach(in.navaids, *compared);
  dc.SetTextColor(kComparedColor);
  dc.SetTextAlign(TextAlign::Right);
  const std::string name = FileNameOf(compared->recordPath);
  if (!d.runway || !d.ils) {
    dc.TextOut(loc.right, 24, "B: " + name + ": no ILS approach to show");
    dc.SetTextAlign(TextAlign::Left);
    return;
  }
  dc.TextOut(loc.right, 24, "B: " + name + ", runway " + d.runway->ident);
  dc.SetTextAlign(TextAlign::Left);
  DrawTrace(
      dc, loc, d, [](const DebriefSample& s) { return s.locDots; }, kComparedColor);
  DrawTrace(
      dc, gs, d, [](const DebriefSample& s) { return s.gsDots; }, kComparedColor);
}

}  // namespace

void DrawApproachDebrief(Window& window, const ChartInput& in) {
  const ApproachDebrief d = DebriefApproach(in.navaids, in.flight);
  const int w = window.ClientWidth(), h = window.ClientHeight();
  auto dc = window.GetDC();
  const Font oldFont = dc->SelectFont(ArialFont(-11));
  const Pen oldPen = dc->SelectPen(Pen{});
  dc->FillSolidRect(Rect{0, 0, w, h}, kBlack);
  dc->SetBkMode(BkMode::Transparent);
  dc->SetTextColor(kGreen);
  dc->SetTextAlign(TextAlign::Left);
  dc->TextOut(20, 8, "Approach Debrief");

  // A strip pair over the upper part, the table and the figures below it.
  const int stripHeight = std::max(40, (h - 280) / 2);
  const Strip loc{80, w - 20, 50, stripHeight};
  const Strip gs{80, w - 20, 50 + stripHeight + 34, stripHeight};
  const int tableTop = gs.top + gs.height + 24;

  if (!d.runway) {
    // Said in the chart: a message box would come back at every repaint.
    dc->SetTextColor(kRed);
    dc->TextOut(20, 24, d.noRunway);
    DrawLargeFigures(*dc, 20, tableTop + 74, d);
    dc->SelectPen(oldPen);
    dc->SelectFont(oldFont);
    return;
  }
  std::string heading =
      Format("Runway %s, landing heading %03.0f", d.runway->ident.c_str(), d.runway->headingDeg);
  if (d.ils) {
    heading += Format(", ILS %s %.2f MHz, glide slope %.1f deg", d.ils->ident.c_str(),
                      d.ils->frequency, d.ils->glideSlopeDeg);
  }
  dc->TextOut(200, 8, heading);

  DrawStripFrame(*dc, loc, "Localizer (dots)", "right", "left");
  DrawStripFrame(*dc, gs, "Glide slope (dots)", "high", "low");
  DrawDistanceAxis(*dc, gs);
  DrawGateMarks(*dc, loc, d, true);
  DrawGateMarks(*dc, gs, d, false);
  if (d.ils) {
    DrawTrace(*dc, loc, d, [](const DebriefSample& s) { return s.locDots; });
    DrawTrace(*dc, gs, d, [](const DebriefSample& s) { return s.gsDots; });
    DrawComparedNeedles(*dc, loc, gs, in);
  } else {
    dc->SetTextColor(kRed);
    dc->SetTextAlign(TextAlign::Center);
    dc->TextOut((loc.left + loc.right) / 2, loc.top + loc.height / 2 - 20,
                Format("No ILS serving runway %s: no needles to show", d.runway->ident.c_str()));
    dc->SetTextAlign(TextAlign::Left);
  }
  DrawGateTable(*dc, 20, tableTop, d);
  DrawLargeFigures(*dc, 20, tableTop + 74, d);
  dc->SelectPen(oldPen);
  dc->SelectFont(oldFont);
}

}  // namespace quarn

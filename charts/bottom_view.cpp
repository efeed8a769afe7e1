#include "charts/bottom_view.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/format.h"
#include "base/geodesy.h"
#include "base/numeric.h"
#include "charts/approach.h"
#include "charts/map_layers.h"
#include "charts/map_projection.h"
#include "charts/radials.h"

namespace quarn {
namespace {

constexpr Color kRed{255, 0, 0};
constexpr double kDegToRad = 0.01745329252;
constexpr double kSevenNmMetres = 12964;
constexpr double kLocalizerCentreMetres = 12593.6;  // 6.8 nautical miles

// The 6-degree localizer wedge out to 7 nautical miles from the ILS, on the side
// from which aircraft approach on its course.
void DrawLocalizer(DrawContext& dc, const MapProjection& map, const NavaidRecord& ils) {
  const Point origin = map.ToPixel(ils.latitude, ils.longitude);
  const double course = ils.course * kDegToRad;
  const double cosLat = std::cos(ils.latitude * kDegToRad);
  // East offsets are stretched by 1 / cos(latitude), as the map draws a degree of
  // longitude as long as a degree of latitude.
  auto pointAt = [&](double metres, double direction) {
    const int q = map.MetresToMapPixels(metres);
    return Point{origin.x - MapPixel(TruncToInt(q * std::sin(direction)) / cosLat),
                 origin.y + TruncToInt(q * std::cos(direction))};
  };
  const Point centre = pointAt(kLocalizerCentreMetres, course);
  const Point p1 = pointAt(kSevenNmMetres, course + 3 * kDegToRad);
  const Point p2 = pointAt(kSevenNmMetres, course - 3 * kDegToRad);
  auto line = [&](Point a, Point b) {
    dc.MoveTo(a.x, a.y);
    dc.LineTo(b.x, b.y);
  };
  dc.SelectPen(Pen{PenStyle::Solid, 1, kRed});
  line(centre, origin);
  line(p1, centre);
  line(p1, origin);
  line(p2, centre);
  line(p2, origin);
}

}  // namespace

int ApproachStart(const Flight& flight, int touchdown) {
  const FlightSample& down = flight.SampleAt(touchdown);
  const int earliest = std::max(touchdown - 360, 0);
  int start = touchdown;
  for (int i = touchdown; i >= earliest; --i) {
    const FlightSample& s = flight.SampleAt(i);
    const double metres =
        DistanceAndBearing(down.latitudeDeg, down.longitudeDeg, s.latitudeDeg, s.longitudeDeg)
            .metres;
    if (metres >= kSevenNmMetres) break;
    start = i;
  }
  return start;
}

void FitTrackWindowToApproach(ViewState& view, int lastSampleIndex, int approachStart,
                              int touchdown) {
  if (view.trackFirst < approachStart || view.trackFirst == 0) view.trackFirst = approachStart;
  if (view.trackLast < touchdown + 100) view.trackLast = touchdown + 100;
  view.trackFirst = std::max(view.trackFirst, 0);
  view.trackLast = std::min(view.trackLast, lastSampleIndex);
}

void DrawBottomView(Window& window, const ChartInput& in) {
  const CHalbricoDoc& doc = in.navaids;
  const Flight& flight = in.flight;
  auto dc = window.GetDC();
  const int width = window.ClientWidth();
  const int height = window.ClientHeight();
  dc->FillSolidRect(Rect{0, 0, width, height}, kBlack);

  const int t = FindTouchdown(flight);
  const int a0 = ApproachStart(flight, t);
  // A failed runway search only leaves out the runway text: no message here.
  const ApproachNavaid runway = FindLandingRunway(doc, flight, t);
  FitTrackWindowToApproach(in.view, flight.lastSampleIndex(), a0, t);

  const MapChartScope chart(*dc, width, height, in);
  const MapProjection& map = chart.map();
  DrawRadials(*dc, map, in.map, in.view.zoomLevel, false);

  dc->SetTextColor(kRed);
  dc->SetTextAlign(TextAlign::Left);
  if (const ApproachNavaid ils = FindApproachIls(doc, flight, t); WithinTwoNm(ils)) {
    const NavaidRecord& r = RecordOf(doc, *ils.record);
    dc->TextOut(width - 180, 83,
                Format("ILS ID: %s %.2lf MHz.", std::string(r.Ident()).c_str(), r.frequency));
    DrawLocalizer(*dc, map, r);
  } else {
    dc->TextOut(width - 180, 83, "NO ILS");
  }

  DrawTrackCursor(*dc, map, flight, in.view.trackCursor);
  DrawTrack(*dc, map, flight, std::max(t - 400, 0), in.view.trackLast, width, height);

  dc->SetTextColor(kRed);
  dc->SetTextAlign(TextAlign::Left);
  if (WithinTwoNm(runway)) {
    dc->TextOut(
        width - 180, 72,
        Format("Runway ID: %s", std::string(RecordOf(doc, *runway.record).Ident()).c_str()));
  }
  // The airport nearest to the touchdown point, not to the runway.
  const FlightSample& down = flight.SampleAt(t);
  if (const ApproachNavaid airport = NearestAirport(doc, down.latitudeDeg, down.longitudeDeg);
      WithinTwoNm(airport)) {
    dc->TextOut(
        width - 180, 60,
        Format("Airport name: %s", std::string(RecordOf(doc, *airport.record).Name()).c_str()));
  }
}

}  // namespace quarn

#include "charts/side_view.h"

#include <cmath>
#include <string>

#include "base/format.h"
#include "base/geodesy.h"
#include "base/numeric.h"
#include "charts/approach.h"
#include "charts/map_projection.h"

namespace quarn {
namespace {

constexpr double kFeetToNm = 0.00016457883369330455;
constexpr double kFeetPerMetre = 3.280839895013123;
constexpr double kSectorHalfWidth = 0.024434609527999997;  // 1.4 degrees

constexpr Color kGreen{0, 255, 0};
constexpr Color kRed{255, 0, 0};
constexpr Color kBlue{0, 0, 255};
constexpr Color kDarkGrey{64, 64, 64};

// The side view's horizontal and vertical scales.
struct SideGeometry {
  int width = 0;
  int height = 0;
  double lengthNm = 0;       // L
  int runwayPixels = 0;      // J
  double pixelsPerFoot = 0;  // p

  // x of a point P nautical miles from the runway's centre, on the approach side.
  int X(double nm) const {
    const int u = TruncToInt((nm + lengthNm * 0.5) * runwayPixels / lengthNm);
    return width - u - 5;
  }
  // y of a height in feet above the runway.
  int Y(double feet) const { return TruncToInt((height - 20) - feet * pixelsPerFoot); }
};

// Markers, NDBs and VORs that lie under the approach, before the runway.
void DrawApproachNavaids(DrawContext& dc, const CHalbricoDoc& doc, const MapState& map,
                         const SideGeometry& g, const NavaidRecord& runway, double course) {
  dc.SelectPen(Pen{PenStyle::Solid, 1, kRunwayGrey});
  dc.SetTextColor(kRunwayGrey);
  dc.SetTextAlign(TextAlign::Center);
  const int h = g.height;
  struct Layer {
    bool shown;
    const std::vector<std::int32_t>* list;
    int halfBase;
    Color fill;
    FillMode mode;
    int labelY;
  };
  const Layer layers[] = {
      {map.showMarkers, &doc.m_markerIdx, 15, kDarkGrey, FillMode::Alternate, h - 380},
      {map.showNdb, &doc.m_ndbIdx, 5, kLightGrey, FillMode::Winding, h - 365},
      {map.showVor, &doc.m_vorIdx, 5, kLightGrey, FillMode::Winding, h - 380},
  };
  for (const Layer& layer : layers) {
    if (!layer.shown) continue;
    for (const std::int32_t index : *layer.list) {
      if (index < 0 || index >= doc.m_navaidCount) continue;
      const NavaidRecord& r = RecordOf(doc, index);
      const bool marker = r.kind == NavaidKind::InnerMarker || r.kind == NavaidKind::MiddleMarker ||
                          r.kind == NavaidKind::OuterMarker;
      const bool matches = layer.list == &doc.m_markerIdx ? marker
                           : layer.list == &doc.m_ndbIdx  ? r.kind == NavaidKind::Ndb
                                                          : r.kind == NavaidKind::Vor;
      if (!matches) continue;
      const DistanceBearing db =
          DistanceAndBearing(r.latitude, r.longitude, runway.latitude, runway.longitude);
      const double nm = db.metres * kMetresToNm;
      if (!(nm < g.lengthNm + 7) || std::fabs(HeadingDifference(course, db.bearingDeg)) > 5) {
        continue;
      }
      const int xa = g.X(nm);
      const Point triangle[] = {
          {xa - layer.halfBase, h - 350}, {xa + layer.halfBase, h - 350}, {xa, h - 20}};
      const Brush old = dc.SelectBrush(Brush::Solid(layer.fill));
      dc.Polygon(triangle, layer.mode);
      dc.SelectBrush(old);
      const std::string ident = TrimTrailingBlanks(r.Ident());
      std::string label;
      if (marker) {
        label = Format("%s", ident.c_str());
      } else if (r.kind == NavaidKind::Ndb) {
        label = Format("%4.0f %s", r.frequency, ident.c_str());
      } else {
        label = Format("%6.2f %s", r.frequency, ident.c_str());
      }
      dc.TextOut(xa, layer.labelY, label);
    }
  }
  dc.SetTextAlign(TextAlign::Left);
}

// Heights of the glide slope and its sector's edges, in whole feet, at the given
// distances before the threshold.
void DrawGlideSlopeSector(DrawContext& dc, const SideGeometry& g, double gamma,
                          double ilsFromCentre) {
  const double l = g.lengthNm;
  const int hC = TruncToInt(std::tan(gamma) * (l * 926 + 12038 - ilsFromCentre) * kFeetPerMetre);
  const int hLo = TruncToInt((l * 926 + 12964 - ilsFromCentre) *
                             std::tan(gamma - kSectorHalfWidth) * kFeetPerMetre);
  const int hHi = TruncToInt((l * 926 + 12964 - ilsFromCentre) *
                             std::tan(gamma + kSectorHalfWidth) * kFeetPerMetre);
  dc.SelectPen(Pen{PenStyle::Solid, 1, kRed});
  const int xT = g.width - g.runwayPixels - 5;
  const int yG = g.height - 20;
  const int x65 = TruncToInt(g.runwayPixels / l * 0.5) + 20;
  auto line = [&](int x1, int y1, int x2, int y2) {
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
  };
  line(xT, yG, x65, g.Y(hC));
  line(xT, yG, 20, g.Y(hLo));
  line(20, g.Y(hLo), x65, g.Y(hC));
  line(xT, yG, 20, g.Y(hHi));
  line(20, g.Y(hHi), x65, g.Y(hC));
}

void DrawAxes(DrawContext& dc, const SideGeometry& g, double elevationFeet) {
  const int w = g.width, h = g.height, j = g.runwayPixels;
  dc.SelectPen(Pen{PenStyle::Solid, 1, kGreen});
  dc.SetTextColor(kGreen);
  dc.MoveTo(w - j - 5, h - 20);
  dc.LineTo(20, h - 20);
  dc.SetTextAlign(TextAlign::Center);
  for (int k = 0; k <= 7; ++k) {
    const int x = w - TruncToInt(j * k / g.lengthNm) - j - 5;
    dc.TextOut(x, h - 15, Format("%1.0lfnm", static_cast<double>(k)));
    dc.MoveTo(x, h - 20);
    dc.LineTo(x, h - 16);
  }
  // Altitudes above sea level in steps of 500 feet, each at its height above the runway.
  dc.SetTextAlign(TextAlign::Left);
  for (int f = 0; f <= 2500; ++f) {
    const int a = TruncToInt(elevationFeet + f);
    if (a % 500 != 0) continue;
    const int y = h - TruncToInt(f * g.pixelsPerFoot);
    dc.TextOut(50, y - 35, Format("%dft", a));
    dc.MoveTo(50, y - 20);
    dc.LineTo(46, y - 20);
  }
}

}  // namespace

int SideViewRunwayPixels(double lengthNm, int clientWidth) {
  return TruncToInt((clientWidth - 25) * lengthNm / (lengthNm + 7));
}

ChartOutcome DrawSideView(Window& window, const ChartInput& in) {
  const CHalbricoDoc& doc = in.navaids;
  const Flight& flight = in.flight;
  const int t = FindTouchdown(flight);
  const ApproachNavaid runwayFound = FindLandingRunway(doc, flight, t);
  // The chart mode stays as it was, so a repaint does not ask again.
  if (!RunwayLandedOn(runwayFound)) return ChartOutcome::Refused(kNoRunwayAtTouchdown);
  auto dc = window.GetDC();
  const Font oldFont = dc->SelectFont(ArialFont(-11));
  const Pen oldPen = dc->SelectPen(Pen{});
  SideGeometry g;
  g.width = window.ClientWidth();
  g.height = window.ClientHeight();
  dc->FillSolidRect(Rect{0, 0, g.width, g.height}, kBlack);

  const NavaidRecord& runway = RecordOf(doc, *runwayFound.record);
  const double course = flight.SampleAt(t).courseDeg;
  dc->SetTextColor(kGreen);
  dc->SetTextAlign(TextAlign::Left);
  if (const ApproachNavaid airport = NearestAirport(doc, runway.latitude, runway.longitude);
      WithinTwoNm(airport)) {
    dc->TextOut(
        80, 22,
        Format("Airport Name: %s", std::string(RecordOf(doc, *airport.record).Name()).c_str()));
  }
  dc->TextOut(80, 35, Format("Runway ID: %s", std::string(runway.Ident()).c_str()));

  g.lengthNm = runway.extra * kFeetToNm;
  g.runwayPixels = SideViewRunwayPixels(g.lengthNm, g.width);
  g.pixelsPerFoot = (g.height - 220) * 0.0004;
  dc->SelectPen(Pen{PenStyle::Geometric, 3, kRunwayGrey});
  dc->MoveTo(g.width - g.runwayPixels - 5, g.height - 20);
  dc->LineTo(g.width - 5, g.height - 20);

  // The labels of this view are always drawn, and stay on for the map charts.
  in.map.showIdFreq = true;
  DrawApproachNavaids(*dc, doc, in.map, g, runway, course);

  // The ILS serving the runway, when one lies within 2 nautical miles of the touchdown.
  const ApproachNavaid ilsFound = FindApproachIls(doc, flight, t);
  const bool haveIls = WithinTwoNm(ilsFound);
  double gamma = 0, ilsFromCentre = 0;
  if (!haveIls) {
    dc->SetTextColor(kRed);
    dc->TextOut(g.width - 200, 22, "NO ILS");
  } else {
    const NavaidRecord& ils = RecordOf(doc, *ilsFound.record);
    gamma = std::asin(ils.intValue / 131072.0);
    dc->SetTextColor(kGreen);
    dc->TextOut(g.width - 200, 22,
                Format("ILS ID: %s %.2lf MHz.", std::string(ils.Ident()).c_str(), ils.frequency));
    ilsFromCentre =
        DistanceAndBearing(runway.latitude, runway.longitude, ils.latitude, ils.longitude).metres;
    DrawGlideSlopeSector(*dc, g, gamma, ilsFromCentre);
  }
  const bool measureDeviation = haveIls && ilsFromCentre * kMetresToNm < 2;

  // The profile from the middle of the record to just after touchdown, and the
  // deviation from the glide slope over the last seven miles.
  const double elevationFeet = runway.intValue * kFeetPerMetre;
  dc->SelectPen(Pen{PenStyle::Solid, 1, kBlue});
  double signedSum = 0, magnitudeSum = 0;
  int counted = 0;
  bool started = false;
  const int n = LandingRecordEnd(flight);
  for (int i = n / 2; i <= t + 10 && i <= flight.lastSampleIndex(); ++i) {
    const FlightSample& s = flight.SampleAt(i);
    const double d =
        DistanceAndBearing(runway.latitude, runway.longitude, s.latitudeDeg, s.longitudeDeg).metres;
    const double nm = d * kMetresToNm;
    const double height = s.altitudeFt - elevationFeet;
    if (nm < g.lengthNm + 7) {
      const int x = g.X(nm), y = g.Y(height);
      if (started) {
        dc->LineTo(x, y);
      } else {
        dc->MoveTo(x, y);
        started = true;
      }
    }
    if (measureDeviation && nm < 7 && i > t - 360) {
      const double deviation = std::tan(gamma) * (d - ilsFromCentre) * kFeetPerMetre - height;
      signedSum += deviation;
      magnitudeSum += std::fabs(deviation);
      ++counted;
    }
  }

  DrawAxes(*dc, g, elevationFeet);

  if (measureDeviation) {
    dc->SetTextColor(kGreen);
    dc->SetTextAlign(TextAlign::Left);
    dc->TextOut(g.width - 200, 35,
                signedSum > 0 ? Format("GS DEV: %5.1lf ft. down", signedSum)
                              : Format("GS DEV: %5.1lf ft. up", -signedSum));
    // No sample over the last seven miles: the mean is shown as 0.0.
    const double mean = counted > 0 ? magnitudeSum / counted : 0.0;
    dc->TextOut(g.width - 200, 48, Format("Average GS DEV: %5.1lf ft.", mean));
  }
  dc->SelectPen(oldPen);
  dc->SelectFont(oldFont);
  return ChartOutcome::Drawn();
}

}  // namespace quarn

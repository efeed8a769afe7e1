#include "charts/map_layers.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "base/format.h"
#include "base/geodesy.h"
#include "charts/compared_flight.h"
#include "charts/status_lines.h"

namespace quarn {
namespace {

constexpr Color kGridLineGrey{70, 70, 70};
constexpr Color kGridLabelGrey{100, 100, 100};
constexpr Color kNdbGreen{0, 255, 0};
constexpr Color kFixRed{255, 0, 0};
constexpr Color kMarkerWhite{255, 255, 255};
constexpr Color kRed{255, 0, 0};

constexpr double kThird = 0.3333333333333333;
constexpr double kFeetToMetres = 0.3048;

// Everything a layer draws with.
struct MapDraw {
  DrawContext& dc;
  const MapProjection& map;
  const CHalbricoDoc& doc;
  const ChartInput& in;
  int s;  // symbol scale: the zoom level, at most 3
};

enum class Symbol { Ndb, Triangle, VorRose };
enum class LabelText { FrequencyKhzIdent, Name, Ident, FrequencyMhzIdent };

// The navaid layers drawn as a symbol at a point, with a label box and a distance
// text; offsets are in units of the symbol scale.
struct PointLayer {
  bool MapState::*flag;
  std::vector<std::int32_t> CHalbricoDoc::*list;
  NavaidKind kindLo;  // the kinds the layer draws: kindLo .. kindHi
  NavaidKind kindHi;
  Color color;
  Symbol symbol;
  LabelText label;
  int labelDy;        // label box and text at (x + 3s, y + labelDy * s)
  int boxRightExtra;  // the box's right edge: x + 3s + cx + boxRightExtra
  int distanceDx;     // distance text at (x + distanceDx * s, y + distanceDy * s)
  int distanceDy;
};

const std::array<PointLayer, 4> kPointLayers{{
    {&MapState::showNdb, &CHalbricoDoc::m_ndbIdx, NavaidKind::Ndb, NavaidKind::Ndb, kNdbGreen,
     Symbol::Ndb, LabelText::FrequencyKhzIdent, 15, 1, 3, -18},
    {&MapState::showFix, &CHalbricoDoc::m_fixIdx, NavaidKind::Fix, NavaidKind::Fix, kFixRed,
     Symbol::Triangle, LabelText::Name, 9, 1, 3, -15},
    {&MapState::showMarkers, &CHalbricoDoc::m_markerIdx, NavaidKind::InnerMarker,
     NavaidKind::OuterMarker, kMarkerWhite, Symbol::Triangle, LabelText::Ident, 9, 1, 3, -15},
    {&MapState::showVor, &CHalbricoDoc::m_vorIdx, NavaidKind::Vor, NavaidKind::Vor, kVorColor,
     Symbol::VorRose, LabelText::FrequencyMhzIdent, -27, 2, -50, 0},
}};

Rect Circle(Point c, int r) {
  return Rect{c.x - r, c.y - r, c.x + r, c.y + r};
}

// Calls draw(index, record, pixel) for each record of an index list that is of the
// kinds asked for and lies inside the map with its margin.
template <typename Draw>
void ForEachVisible(const MapDraw& m, const std::vector<std::int32_t>& list, NavaidKind lo,
                    NavaidKind hi, Draw draw) {
  const auto count = std::min<std::size_t>(
      m.doc.m_navaids.size(), static_cast<std::size_t>(std::max(0, m.doc.m_navaidCount)));
  // A large table is looked up by cell: only the records near the map are visited.
  constexpr double kLookupMarginDeg = 0.2;  // wider than the map's own margin
  const MapState& map = m.in.map;
  std::vector<std::int32_t> near;
  const bool looked =
      m.doc.ListNear(list, map.mapLatMin - kLookupMarginDeg, map.mapLatMax + kLookupMarginDeg,
                     map.mapLonMin - kLookupMarginDeg, map.mapLonMax + kLookupMarginDeg, near);
  for (const std::int32_t i : looked ? near : list) {
    if (i < 0 || static_cast<std::size_t>(i) >= count) continue;
    const NavaidRecord& r = m.doc.m_navaids[static_cast<std::size_t>(i)];
    if (r.kind < lo || r.kind > hi) continue;
    if (!InsideMapMargin(m.in.map, r.latitude, r.longitude)) continue;
    draw(i, r, m.map.ToPixel(r.latitude, r.longitude));
  }
}

void DrawGrid(DrawContext& dc, const MapProjection& map, int width, int height) {
  dc.SelectPen(Pen{PenStyle::Dot, 1, kGridLineGrey});
  dc.SetTextColor(kGridLabelGrey);
  const double side = height - 100;
  dc.SetTextAlign(TextAlign::Center);
  for (int j = 0; j < 4; ++j) {
    const int x = 200 + MapPixel(side * j * kThird);
    dc.TextOut(x, height - 30, Format("%6.2lf", map.lonMin + map.spanDeg * j * kThird));
    dc.MoveTo(x, height - 30);
    dc.LineTo(x, 30);
  }
  dc.SetTextAlign(TextAlign::Right);
  for (int j = 0; j < 4; ++j) {
    const int y = height - 50 - MapPixel(side * j * kThird);
    dc.TextOut(40, y - 11, Format("%5.2lf", map.latMin + map.spanDeg * j * kThird));
    dc.MoveTo(0, y);
    dc.LineTo(width, y);
  }
}

// Twelve ticks every 30 degrees and the north pointer, turned by the VOR's magnetic
// variation, between a black disc and a smaller black disc over the ticks' inner ends.
void DrawVorRose(DrawContext& dc, Point p, int s, double magVar) {
  dc.SelectBrush(Brush::Solid(kBlack));
  dc.Ellipse(Circle(p, 11 * s));
  double u0 = 0, v0 = 0;
  for (int a = 0; a <= 150; a += 30) {
    const double theta = (a + magVar) * kDegToRad;
    const double u = s * 11 * std::sin(theta);
    const double v = s * 11 * std::cos(theta);
    if (a == 0) {
      u0 = u;
      v0 = v;
    }
    dc.MoveTo(p.x + MapPixel(u), p.y + MapPixel(v));
    dc.LineTo(p.x + MapPixel(0.6 * u), p.y + MapPixel(0.6 * v));
    dc.MoveTo(p.x - MapPixel(u), p.y - MapPixel(v));
    dc.LineTo(p.x - MapPixel(0.6 * u), p.y - MapPixel(0.6 * v));
  }
  // Screen y grows downward, so the pointer at -(u, v) points north.
  const Point p0{p.x - MapPixel(2 * u0), p.y - MapPixel(2 * v0)};
  const Point p1{p.x - MapPixel(1.6 * u0), p.y - MapPixel(1.6 * v0)};
  dc.MoveTo(p0.x, p0.y);
  dc.LineTo(p.x - MapPixel(0.6 * u0), p.y - MapPixel(0.6 * v0));
  const std::array<Point, 3> pointer{p0, p1, Point{p0.x - 3, p1.y + 2}};
  dc.Polygon(pointer, FillMode::Winding);
  dc.Ellipse(Circle(p, 7 * s));
}

void DrawSymbol(DrawContext& dc, Symbol symbol, Point p, int s, const NavaidRecord& r) {
  switch (symbol) {
    case Symbol::Ndb:
      dc.SelectBrush(Brush::Solid(kLightGrey));
      dc.Ellipse(Circle(p, 6 * s));
      dc.SelectBrush(Brush::Solid(kBlack));
      dc.Ellipse(Circle(p, 3 * s));
      break;
    case Symbol::Triangle: {
      dc.SelectBrush(Brush::Solid(kBlack));
      const std::array<Point, 3> triangle{Point{p.x - 4 * s, p.y}, Point{p.x, p.y - 5 * s},
                                          Point{p.x + 4 * s, p.y}};
      dc.Polygon(triangle, FillMode::Winding);
      break;
    }
    case Symbol::VorRose:
      DrawVorRose(dc, p, s, r.magVar);
      break;
  }
}

std::string LabelOf(LabelText label, const NavaidRecord& r) {
  switch (label) {
    case LabelText::FrequencyKhzIdent:
      return Format("%4.0f %s", r.frequency, TrimTrailingBlanks(r.Ident()).c_str());
    case LabelText::Name:
      return std::string(r.Name());
    case LabelText::Ident:
      return std::string(r.Ident());
    case LabelText::FrequencyMhzIdent:
      return Format("%6.2f %s", r.frequency, TrimTrailingBlanks(r.Ident()).c_str());
  }
  return {};
}

void DrawPointLayer(const MapDraw& m, const PointLayer& layer) {
  DrawContext& dc = m.dc;
  const int s = m.s;
  dc.SelectPen(Pen{PenStyle::Solid, 1, layer.color});
  dc.SetTextColor(layer.color);
  ForEachVisible(m, m.doc.*layer.list, layer.kindLo, layer.kindHi,
                 [&](int index, const NavaidRecord& r, Point p) {
                   DrawSymbol(dc, layer.symbol, p, s, r);
                   if (m.in.map.showIdFreq) {
                     // The label in a black box measured in the current font.
                     const std::string text = LabelOf(layer.label, r);
                     const int cx = dc.GetTextExtent(text).cx;
                     const int tx = p.x + 3 * s;
                     const int ty = p.y + layer.labelDy * s;
                     dc.SelectBrush(Brush::Solid(kBlack));
                     dc.Rectangle(Rect{tx - 3, ty - 2, tx + cx + layer.boxRightExtra, ty + 15});
                     dc.TextOut(tx, ty, text);
                   }
                   if (m.in.map.showDistance) {
                     const double metres =
                         m.in.map.trackDistances.Metres(index, r.latitude, r.longitude);
                     dc.TextOut(p.x + layer.distanceDx * s, p.y + layer.distanceDy * s,
                                Format("%2.1f nm", metres * kMetresToNm));
                   }
                 });
}

// Runway bars: the record's position is the runway's centre, its length and width
// are in feet, its course is the true heading.
void DrawRunways(const MapDraw& m) {
  DrawContext& dc = m.dc;
  dc.SetTextColor(kRunwayGrey);
  ForEachVisible(m, m.doc.m_runwayIdx, NavaidKind::Runway, NavaidKind::Runway,
                 [&](int, const NavaidRecord& r, Point p) {
                   const int length = m.map.MetresToMapPixels(r.extra * kFeetToMetres);
                   const double theta = r.course * kDegToRad;
                   const double phi = r.latitude * kDegToRad;
                   // The east part is stretched by 1 / cos(latitude): the map draws a
                   // degree of longitude as long as a degree of latitude.
                   const int dx = MapPixel(MapPixel(length * std::sin(theta)) / std::cos(phi));
                   const int dy = MapPixel(-length * std::cos(theta));
                   const int width = std::max(1, m.map.MetresToMapPixels(r.magVar * kFeetToMetres));
                   dc.SelectPen(Pen{PenStyle::Geometric, width, kRunwayGrey});
                   dc.MoveTo(p.x - dx / 2, p.y - dy / 2);
                   dc.LineTo(p.x + dx / 2, p.y + dy / 2);
                   if (m.in.map.showIdFreq) {
                     dc.TextOut(p.x - dx / 2 + 10, p.y - dy / 2 - 15, std::string(r.Ident()));
                   }
                 });
}

// Airports have no symbol: their name shows whenever the layer is on.
void DrawAirports(const MapDraw& m) {
  m.dc.SetTextColor(kVorColor);
  ForEachVisible(m, m.doc.m_airportIdx, NavaidKind::Airport, NavaidKind::Airport,
                 [&](int, const NavaidRecord& r, Point p) {
                   m.dc.TextOut(p.x, p.y - 20, std::string(r.Name()));
                 });
}

}  // namespace

void DrawMapLayers(DrawContext& dc, const MapProjection& map, int width, int height,
                   const ChartInput& in) {
  DrawGrid(dc, map, width, height);
  const FlightSample& cursor = in.flight.SampleAt(in.view.trackCursor);
  DrawStatusLines(cursor, in.flight.channels, dc, width,
                  ComparedStatusText(ComparedTraceOf(in), cursor.timeHours, kStatusAltitude));

  dc.SetTextAlign(TextAlign::Left);
  if (in.map.showDistance) in.map.trackDistances.SyncWithTrack(in.flight);
  const MapDraw m{dc, map, in.navaids, in, std::min(in.view.zoomLevel, 3)};
  for (const PointLayer& layer : kPointLayers) {
    if (in.map.*layer.flag) DrawPointLayer(m, layer);
  }
  if (in.map.showRunway) DrawRunways(m);
  if (in.map.showAirport) DrawAirports(m);
}

void DrawTrackCursor(DrawContext& dc, const MapProjection& map, const Flight& flight,
                     int trackCursor) {
  const FlightSample& s = flight.SampleAt(trackCursor);
  const Point p = map.ToPixel(s.latitudeDeg, s.longitudeDeg);
  dc.SelectPen(Pen{PenStyle::Dot, 1, kRed});
  dc.MoveTo(p.x - 30, p.y);
  dc.LineTo(p.x + 30, p.y);
  dc.MoveTo(p.x, p.y - 30);
  dc.LineTo(p.x, p.y + 30);
}

namespace {

// Samples per task when a long track is projected on every core.
constexpr std::size_t kProjectGrain = 65536;
constexpr std::size_t kAhead = 16;  // samples read ahead of the one projected

// The pixels of the samples first to last, projected on every core.
std::vector<Point> ProjectTrack(const MapProjection& map, const Flight& flight, int first,
                                int last) {
  std::vector<Point> pixels(static_cast<std::size_t>(last - first + 1));
  tbb::parallel_for(tbb::blocked_range<std::size_t>(0, pixels.size(), kProjectGrain),
                    [&](const tbb::blocked_range<std::size_t>& range) {
                      for (std::size_t k = range.begin(); k != range.end(); ++k) {
                        // Samples are far apart in memory: ask for the ones ahead early.
                        if (k + kAhead < pixels.size()) {
                          __builtin_prefetch(&flight.samples[first + k + kAhead]);
                        }
                        const FlightSample& s = flight.samples[first + k];
                        pixels[k] = map.ToPixel(s.latitudeDeg, s.longitudeDeg);
                      }
                    });
  return pixels;
}

}  // namespace

void DrawTrack(DrawContext& dc, const MapProjection& map, const Flight& flight, int first, int last,
               int width, int height, Color color) {
  dc.SelectPen(Pen{PenStyle::Dot, 1, color});
  first = std::max(first, 0);
  last = std::min(last, flight.lastSampleIndex());
  if (first > last) return;
  const std::vector<Point> pixels = ProjectTrack(map, flight, first, last);
  // A piece of track that starts after a gap is not joined to the one before.
  auto nextStart =
      std::upper_bound(flight.segmentStarts.begin(), flight.segmentStarts.end(), first);
  dc.MoveTo(pixels[0].x, pixels[0].y);
  for (std::size_t k = 0; k < pixels.size(); ++k) {
    const Point p = pixels[k];
    const int i = first + static_cast<int>(k);
    const bool startsPiece = nextStart != flight.segmentStarts.end() && *nextStart == i;
    if (startsPiece) ++nextStart;
    // A sample on the pixel of the one before adds a line of no length: a long track
    // has many, and leaving them out changes no pixel.
    if (k > 0 && !startsPiece && p.x == pixels[k - 1].x && p.y == pixels[k - 1].y) continue;
    if (!startsPiece && p.x >= 0 && p.x <= width && p.y >= 0 && p.y <= height) dc.LineTo(p.x, p.y);
    dc.MoveTo(p.x, p.y);
  }
}

namespace {

MapProjection FitMapToTrackWindow(const ChartInput& in, int height) {
  SetMapExtentsFromTrackWindow(in.map, in.flight, in.view);
  return MapProjection::FromMapState(in.map, height);
}

}  // namespace

MapChartScope::MapChartScope(DrawContext& dc, int width, int height, const ChartInput& in)
    : dc_(dc),
      map_(FitMapToTrackWindow(in, height)),
      oldFont_(dc.SelectFont(ArialFont(-11))),
      oldPen_(dc.pen()),
      oldBrush_(dc.brush()) {
  DrawMapLayers(dc, map_, width, height, in);
}

MapChartScope::~MapChartScope() {
  dc_.SelectFont(oldFont_);
  dc_.SelectPen(oldPen_);
  dc_.SelectBrush(oldBrush_);
}

}  // namespace quarn

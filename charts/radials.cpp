#include "charts/radials.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "base/format.h"
#include "base/geodesy.h"
#include "base/numeric.h"

namespace quarn {
namespace {

constexpr double kNearVorDeg = 0.25;

// The VOR of the index list nearest to a position by plain degrees, the earlier of
// equally near ones; -1 when the list holds none.
int NearestVor(const CHalbricoDoc& doc, const MapPosition& pos, double& distanceDeg) {
  distanceDeg = 1000000;
  int nearest = -1;
  for (const std::int32_t i : doc.m_vorIdx) {
    if (i < 0 || i >= doc.m_navaidCount || static_cast<std::size_t>(i) >= doc.m_navaids.size()) {
      continue;
    }
    const NavaidRecord& r = doc.m_navaids[static_cast<std::size_t>(i)];
    if (r.kind != NavaidKind::Vor) continue;
    const double dLon = pos.longitude - r.longitude;
    const double dLat = pos.latitude - r.latitude;
    const double e = std::sqrt(dLon * dLon + dLat * dLat);
    if (e < distanceDeg) {
      distanceDeg = e;
      nearest = i;
    }
  }
  return nearest;
}

}  // namespace

int LeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr long long kLimit = 10000000000LL;  // beyond every int
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = std::min(kLimit, value * 10 + (text[i] - '0'));
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

std::optional<std::int32_t> VorNearClick(const CHalbricoDoc& doc, const MapPosition& pos) {
  double distanceDeg = 0;
  const int vorIndex = NearestVor(doc, pos, distanceDeg);
  if (vorIndex < 0 || distanceDeg > kNearVorDeg) return std::nullopt;
  return vorIndex;
}

// The list is fixed in size: a definition beyond it is refused, not written past it.
std::optional<std::string> RadialListProblem(const MapState& map) {
  if (map.radialCount < kMaxRadials) return std::nullopt;
  return Format(
      "The list of radials is full (%d radials)\nErase radials to define "
      "new ones",
      kMaxRadials);
}

Result<int> ParseRadialText(const std::string& text) {
  const int n = LeadingInteger(text);
  if (n >= 1 && n <= 360) return n;
  return Error{Format("%s It is not a valid value\nUse a number between 1 and 360", text.c_str())};
}

void AddRadial(MapState& map, const NavaidRecord& vor, int radialDeg) {
  if (map.radialCount < 0 || map.radialCount >= kMaxRadials) return;
  map.radials[static_cast<std::size_t>(map.radialCount)] =
      VorRadial{vor.latitude, vor.longitude, radialDeg, vor.magVar};
  ++map.radialCount;
  map.showRadials = true;
}

void EraseRadials(MapState& map) {
  map.radialCount = 0;
}

void DrawRadials(DrawContext& dc, const MapProjection& projection, const MapState& map,
                 int zoomLevel, bool withLabels) {
  if (!map.showRadials) return;
  const Pen oldPen = dc.SelectPen(Pen{PenStyle::Solid, 1, kVorColor});
  dc.SetTextColor(kVorColor);
  dc.SetTextAlign(TextAlign::Left);
  const int w = std::min(zoomLevel, 15);
  const int count = std::clamp(map.radialCount, 0, kMaxRadials);
  for (int i = 0; i < count; ++i) {
    const VorRadial& r = map.radials[static_cast<std::size_t>(i)];
    if (!InsideMapMargin(map, r.latitudeDeg, r.longitudeDeg)) continue;
    const Point p = projection.ToPixel(r.latitudeDeg, r.longitudeDeg);
    // The true direction on the map, north up: the magnetic radial less the variation.
    const double theta = (r.radialDeg - r.magVarDeg) * kDegToRad;
    const double u = 100 * std::sin(theta);
    const double v = 100 * std::cos(theta);
    dc.MoveTo(p.x + TruncToInt(w * u), p.y - TruncToInt(w * v));
    dc.LineTo(p.x, p.y);
    if (withLabels) {
      // Half way out along the radial at every zoom level, shifted right and up.
      dc.TextOut(p.x + TruncToInt(u) / 2 + 10, p.y - TruncToInt(v) / 2 - 15,
                 Format("%d\xC2\xB0", r.radialDeg));  // a degree sign, in UTF-8
    }
  }
  dc.SelectPen(oldPen);
}

}  // namespace quarn

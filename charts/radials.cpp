#include "charts/radials.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "base/format.h"
#include "base/geodesy.h"
#include "base/numeric.h"
#include "base/view_state.h"
#include "charts/map_state.h"

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

// Shows the radial dialog until it is cancelled or gives a radial from 1 to 360;
// the number, or 0 when cancelled.
int AskValidRadial(Ui& ui, RadialDialogFields fields) {
  for (;;) {
    const auto text = ui.AskRadial(fields);
    if (!text) return 0;
    const int n = LeadingInteger(*text);
    if (n >= 1 && n <= 360) return n;
    ui.ShowMessage(
        Format("%s It is not a valid value\nUse a number between 1 and 360", text->c_str()));
    fields.radial = *text;  // the dialog comes back with the typed text
  }
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

bool DefineRadialAt(int x, int y, Window& window, Ui& ui, CHalbricoDoc& doc) {
  if (g_chartMode != kChartTrack && g_chartMode != kChartBottomView) return false;
  if (doc.m_navaidsLoaded != 1) {
    ui.ShowMessage("If you like to define a Vor`s Radial, Please Load Navaids First\n");
    return false;
  }

  const MapPosition pos = ClientPointToMap(x, y, window.ClientHeight());
  double distanceDeg = 0;
  const int vorIndex = NearestVor(doc, pos, distanceDeg);
  if (vorIndex < 0 || distanceDeg > kNearVorDeg) return true;  // nothing near: redraw only

  // The list is fixed in size: a definition beyond it is refused, not written past it.
  if (g_radialCount >= kMaxRadials) {
    ui.ShowMessage(
        Format("The list of radials is full (%d radials)\nErase radials to define "
               "new ones",
               kMaxRadials));
    return false;
  }

  const NavaidRecord& vor = doc.m_navaids[static_cast<std::size_t>(vorIndex)];
  const int radial =
      AskValidRadial(ui, RadialDialogFields{TrimTrailingBlanks(vor.Name()),
                                            TrimTrailingBlanks(vor.Ident()), std::string()});
  if (radial == 0) return false;  // cancelled: the chart stays as it is

  g_radials[static_cast<std::size_t>(g_radialCount)] =
      VorRadial{vor.latitude, vor.longitude, radial, vor.magVar};
  ++g_radialCount;
  g_showRadials = true;
  return true;
}

void EraseRadials() {
  g_radialCount = 0;
}

void DrawRadials(DrawContext& dc, const MapProjection& map, bool withLabels) {
  if (!g_showRadials) return;
  const Pen oldPen = dc.SelectPen(Pen{PenStyle::Solid, 1, kVorColor});
  dc.SetTextColor(kVorColor);
  dc.SetTextAlign(TextAlign::Left);
  const int w = std::min(g_zoomLevel, 15);
  const int count = std::clamp(g_radialCount, 0, kMaxRadials);
  for (int i = 0; i < count; ++i) {
    const VorRadial& r = g_radials[static_cast<std::size_t>(i)];
    if (!InsideMapMargin(r.latitudeDeg, r.longitudeDeg)) continue;
    const Point p = map.ToPixel(r.latitudeDeg, r.longitudeDeg);
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

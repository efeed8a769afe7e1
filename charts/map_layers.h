#pragma once
// The map that the track chart and the approach bottom view share: its grid, the
// status lines, the navaid layers, the track cursor and the track.

#include "charts/chart_input.h"
#include "charts/map_projection.h"
#include "platform/draw_context.h"

namespace quarn {

// The grid with its labels, the status lines for the track cursor, and the navaid
// layers that are on, in their order: NDBs, fixes, markers, VORs, runways, airports.
// Each navaid is drawn when it lies within the margin of the map extents. Texts use
// the selected font.
void DrawMapLayers(DrawContext& dc, const MapProjection& map, int width, int height,
                   const ChartInput& in);

// The opening of a map chart, shared by the track chart and the bottom view: the
// extents fitted to the track window, the chart font selected and the navaid layers
// drawn. The drawing context gets its font, pen and brush back when it ends.
class MapChartScope {
 public:
  MapChartScope(DrawContext& dc, int width, int height, const ChartInput& in);
  MapChartScope(const MapChartScope&) = delete;
  MapChartScope& operator=(const MapChartScope&) = delete;
  ~MapChartScope();

  const MapProjection& map() const { return map_; }

 private:
  DrawContext& dc_;
  MapProjection map_;
  Font oldFont_;
  Pen oldPen_;
  Brush oldBrush_;
};

// The red dotted cross at the track cursor's sample.
void DrawTrackCursor(DrawContext& dc, const MapProjection& map, const Flight& flight,
                     int trackCursor);

inline constexpr Color kTrackColor{0, 0, 255};

// The dotted track of samples first .. last, in the track colour unless told: a segment is drawn
// exactly when its end point lies inside the client area, so the map clips what lies
// beyond it.
void DrawTrack(DrawContext& dc, const MapProjection& map, const Flight& flight, int first, int last,
               int width, int height, Color color = kTrackColor);

}  // namespace quarn

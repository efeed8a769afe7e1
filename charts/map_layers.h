#pragma once
// The map that the track chart and the approach bottom view share: its grid, the
// status lines, the navaid layers, the track cursor and the track.

#include "charts/map_projection.h"
#include "navaid/halbrico_doc.h"
#include "platform/draw_context.h"

namespace quarn {

// The grid with its labels, the status lines for the track cursor, and the navaid
// layers that are on, in their order: NDBs, fixes, markers, VORs, runways, airports.
// Each navaid is drawn when it lies within the margin of the map extents. Texts use
// the selected font.
void DrawMapLayers(DrawContext& dc, const MapProjection& map, int width, int height,
                   const CHalbricoDoc& doc);

// The red dotted cross at the track cursor's sample.
void DrawTrackCursor(DrawContext& dc, const MapProjection& map);

// The blue dotted track of samples first .. last: a segment is drawn exactly when its
// end point lies inside the client area, so the map clips what lies beyond it.
void DrawTrack(DrawContext& dc, const MapProjection& map, int first, int last, int width,
               int height);

}  // namespace quarn

#pragma once
// The cursor's time and the two green status lines at the top of the graphs and the
// track charts, from the view state and the sample table.

#include "platform/draw_context.h"

namespace quarn {

// The time under the graph cursor for a client of this width.
double CursorTime(int width);
// The sample whose time the status lines show for a cursor time.
int StatusSample(double cursorTime);
void DrawStatusLines(int sampleIndex, DrawContext& dc, int width);

}  // namespace quarn

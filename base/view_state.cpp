#include "base/view_state.h"

namespace quarn {

int g_chartMode = kChartBlank;
int g_windowFirst = 0;
int g_windowLast = 0;
int g_cursorOffset = 0;
int g_trackFirst = 0;
int g_trackLast = 0;
int g_trackCursor = 0;
int g_zoomLevel = 1;

void ResetViewState() {
  g_chartMode = kChartBlank;
  g_windowFirst = g_windowLast = 0;
  g_cursorOffset = 0;
  g_trackFirst = g_trackLast = 0;
  g_trackCursor = 0;
  g_zoomLevel = 1;
}

}  // namespace quarn

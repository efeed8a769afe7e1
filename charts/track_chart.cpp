#include "charts/track_chart.h"

namespace quarn {

// The track chart and its layer toggles arrive with their own change.
void DrawTrackChart(Window& /*window*/, Ui& /*ui*/, CHalbricoDoc& /*doc*/) {}

void ApplyLayerCommand(int /*id*/, Window& /*window*/, Ui& /*ui*/, CHalbricoDoc& /*doc*/) {}

}  // namespace quarn

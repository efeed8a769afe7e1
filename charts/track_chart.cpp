#include "view/halbrico_view.h"

namespace quarn {

// The track chart and its layer toggles arrive with their own change.
void CHalbricoView::DrawTrackChart() {}

void CHalbricoView::OnLayerCommand(int /*id*/) {}

}  // namespace quarn

#pragma once
// The check every chart and report makes before it reads the record.

#include "platform/ui.h"

namespace quarn {

// Whether a flight record is selected; when none is, shows the message made of the
// format and the (empty) path, as every chart and report does before it refuses.
bool RecordSelected(Ui& ui, const char* messageFormat);

}  // namespace quarn

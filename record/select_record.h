#pragma once
// "Select Aerolog File": the open dialog, then the record into the sample table.

#include <string>

#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

// Makes the program's directory current, blanks the window and asks for a record;
// true when a record was loaded and the window is to be drawn again.
bool SelectRecordFile(Window& window, Ui& ui, const std::string& programDir);

}  // namespace quarn

#pragma once
// "Export Navaids": the navaid tables as text files.

#include <string>

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"

namespace quarn {

// Writes the export files into outputDir.
void ExportNavaids(Ui& ui, const CHalbricoDoc& doc, const std::string& outputDir);

}  // namespace quarn

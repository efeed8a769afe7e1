#pragma once
// "Load Navaids": every BGL file of a scenery list into the navaid tables, then the
// fixes of quarn.fix.

#include <string>

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"

namespace quarn {

// The command: the list the user picks in dataDir, then the fixes when the list was
// loaded. dataDir becomes the current directory, where the exports then land.
void OnLoadNavaids(Ui& ui, CHalbricoDoc& doc, const std::string& dataDir);

// Asks for a list and parses every file it names; m_navaidsLoaded is 1 when the list
// was read. At most kMaxBglFiles files are loaded; the rest are left out with a message.
void LoadSceneryList(Ui& ui, CHalbricoDoc& doc, const std::string& dataDir);

// Appends the fixes of quarn.fix in dataDir and shows the totals.
void LoadFixes(Ui& ui, CHalbricoDoc& doc, const std::string& dataDir);

}  // namespace quarn

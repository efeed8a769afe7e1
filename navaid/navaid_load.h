#pragma once
// "Load Navaids": every BGL file of a scenery list into the navaid tables, then the
// fixes of quarn.fix.

#include <string>

#include "navaid/halbrico_doc.h"
#include "platform/notices.h"

namespace quarn {

// The list at listPath, then the fixes of dataDir when the list was loaded.
void LoadNavaids(CHalbricoDoc& doc, const std::string& listPath, const std::string& dataDir,
                 Notices& notices);

// Parses every file the list names; m_navaidsLoaded is 1 when the list was read. At
// most kMaxBglFiles files are loaded; the rest are left out with a message.
void LoadSceneryList(CHalbricoDoc& doc, const std::string& listPath, const std::string& dataDir,
                     Notices& notices);

// Appends the fixes of quarn.fix in dataDir and shows the totals, also when the file
// cannot be read.
void LoadFixes(CHalbricoDoc& doc, const std::string& dataDir, Notices& notices);

}  // namespace quarn

#pragma once
// "Define Group of BGL files": a named scenery list of the BGL files under a
// directory that hold at least one navaid.

#include <string>
#include <vector>

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

// The command: asks for the group, clears the chart area, searches and writes the
// list into dataDir, and leaves the navaid tables empty.
void OnDefineGroup(Window& window, Ui& ui, CHalbricoDoc& doc, const std::string& dataDir);

// Asks for a group name until one is given that no list in dataDir has yet; the
// list's file name goes to m_groupFile. False on Cancel.
bool AskGroupName(Ui& ui, CHalbricoDoc& doc, const std::string& dataDir);

// Asks for the directory to search, extends the list named by m_groupFile with the
// files found there and writes it into dataDir.
void DefineGroup(Ui& ui, CHalbricoDoc& doc, const std::string& dataDir);

// Appends to `list` every BGL file under `directory` (its subdirectories first when
// recursing) that is not listed yet and holds a navaid; returns how many it added.
// Probes go through the parser in the document's probing mode; a grid a probe finds
// is kept in magvar.nav in dataDir.
int SearchBgls(Ui& ui, CHalbricoDoc& doc, const std::string& dataDir, const std::string& directory,
               std::vector<std::string>& list, bool recurse);

}  // namespace quarn

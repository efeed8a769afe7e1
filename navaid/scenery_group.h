#pragma once
// "Define Group of BGL files": a named scenery list of the BGL files under a
// directory that hold at least one navaid.

#include <string>
#include <vector>

#include "base/result.h"
#include "navaid/halbrico_doc.h"
#include "platform/notices.h"

namespace quarn {

// Where to search for a group's BGL files.
struct BglSearchRequest {
  std::string directory;
  bool recurse = false;
  bool fs2000 = false;  // probe for the newer layout's facility data
};

// The name the group dialog starts with.
inline constexpr const char* kUntitledGroup = "Untitled.lis";

// The list's file name for a name the user entered: ".lis" added unless the name
// ends in it (in any case), then lower-cased. An error when dataDir holds a list of
// that name already.
Result<std::string> NewGroupFileName(const std::string& entered, const std::string& dataDir);

// Extends the list named by doc.m_groupFile in dataDir with the BGL files found under
// the directory of the answer and writes it; the navaid tables are left empty. False
// when the list could not be written.
bool DefineGroup(CHalbricoDoc& doc, const std::string& dataDir, const BglSearchRequest& where,
                 Notices& notices);

// Appends to `list` every BGL file under `directory` (its subdirectories first when
// recursing) that is not listed yet and holds a navaid; returns how many it added.
// Probes go through the parser in the document's probing mode; a grid a probe finds
// is kept in magvar.nav in dataDir.
int SearchBgls(CHalbricoDoc& doc, const std::string& dataDir, const std::string& directory,
               std::vector<std::string>& list, bool recurse, Notices& notices);

}  // namespace quarn

#pragma once
// The load of one scenery file, as "Load Navaids" takes each file of its list.

#include <cstdint>
#include <span>
#include <string>

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"

namespace quarn {

// Parses a file into the tables under the next file number, in loading mode, and
// keeps a grid it carries in magvar.nav in dataDir. The index lists are left to the
// caller.
void LoadSceneryFile(CHalbricoDoc& doc, const std::string& path, const std::string& dataDir);

// Replaces magvar.nav in dataDir with these bytes; a failure is shown naming the
// file, and the former file stays as it was.
bool WriteMagVarFile(Ui& ui, const std::string& dataDir, std::span<const std::uint8_t> bytes);

}  // namespace quarn

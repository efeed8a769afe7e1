#pragma once
// The load of one scenery file, as "Load Navaids" takes each file of its list.

#include <cstdint>
#include <span>
#include <string>

#include "navaid/halbrico_doc.h"
#include "navaid/navaid_source.h"
#include "platform/notices.h"

namespace quarn {

// Parses a file into the tables under the next file number, in loading mode, and
// keeps a grid it carries in magvar.nav in dataDir; a file that cannot be read is
// told to the user. X-Plane's data files and folders and the OurAirports tables are
// read by their own readers. The index lists are left to the caller.
void LoadSceneryFile(CHalbricoDoc& doc, const std::string& path, const std::string& dataDir,
                     Notices& notices);

// Loads a source of today (records already read) as the next file of a list: its
// records into the tables, its problems told in one message.
void LoadSourceRecords(CHalbricoDoc& doc, const std::string& path, const SourceRead& read,
                       Notices& notices);

// Tells why a scenery file could not be parsed, when it could not.
void ShowParseProblem(const BglParseResult& found, Notices& notices);

// Replaces magvar.nav in dataDir with these bytes; a failure is shown naming the
// file, and the former file stays as it was.
bool WriteMagVarFile(Notices& notices, const std::string& dataDir,
                     std::span<const std::uint8_t> bytes);

}  // namespace quarn

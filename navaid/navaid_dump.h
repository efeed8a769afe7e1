#pragma once
// The navaid table as JSON, one object a record: the table's fields under their own
// names, where the record came from (`source`), and for a source of today its typed
// values under keys of their own in snake case with their unit.

#include <string>

#include "navaid/halbrico_doc.h"

namespace quarn {

std::string NavaidJson(const CHalbricoDoc& doc, const NavaidRecord& r);

}  // namespace quarn

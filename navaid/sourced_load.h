#pragma once
// Records of today's sources into the navaid tables: each in the table's terms (the
// fields the charts and exports read, as a scenery file's record of its kind carries
// them), with its typed values kept beside it in m_details.

#include <span>
#include <string>
#include <vector>

#include "navaid/halbrico_doc.h"
#include "navaid/navaid_source.h"

namespace quarn {

// Adds the records: the two ends of a runway become one runway record (at its centre,
// along the first end's heading), every other record one of its kind. A navaid the
// table already holds (of the same kind and ident within 1 km, the same airport code,
// or the same runway: the same ends within 1 km) is replaced where it stands, so the
// source later in a list wins and the table holds it once. The index lists are left
// to the caller.
void AddSourcedNavaids(CHalbricoDoc& doc, std::span<const SourcedNavaid> records);

// The table's record of a source's navaid (a runway from one end and, where known,
// the other).
NavaidRecord TableRecordOf(const SourcedNavaid& n, const SourcedNavaid* otherEnd = nullptr);

// A runway number without leading zeros or blanks, for comparing "06" with "6 ".
std::string RunwayNumberKey(std::string_view ident);

}  // namespace quarn

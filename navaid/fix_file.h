#pragma once
// The fixes file, quarn.fix: one fix a line in fixed-width fields (ident in columns
// 0-5, latitude in 7-18 and longitude in 20-31, decimal degrees, north and east
// positive).

#include <string>
#include <string_view>
#include <vector>

namespace quarn {

struct FixEntry {
  std::string ident;  // the six characters as written, blanks included
  double latitude = 0;
  double longitude = 0;
};

// The fixes in file order. A line too short for the three fields, with more than
// blanks after them, or with a coordinate that is no finite number ends the fixes
// there: its fields would be read from the wrong columns.
std::vector<FixEntry> ParseFixes(std::string_view text);

// A decimal number at the start of a field, after leading blanks; 0 when the field
// starts with no number. The number ends at the first character that cannot continue
// it; the reading does not depend on the locale.
double FieldNumber(std::string_view field);

}  // namespace quarn

#pragma once
// Reading a flight from delimited text with a header line.

#include <string>
#include <string_view>

#include "base/result.h"
#include "record/flight_reader.h"

namespace quarn {

// Whether the text's first line is a header of delimited columns this reader knows.
bool LooksLikeDelimited(std::string_view head);

// columnMap: the JSON text of a column map, or empty.
Result<LoadedFlight> ReadDelimited(std::string_view text, const std::string& name,
                                   const std::string& columnMap);

}  // namespace quarn

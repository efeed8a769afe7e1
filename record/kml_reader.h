#pragma once
// Reading a flight from KML.

#include <string>
#include <string_view>

#include "base/result.h"
#include "record/flight_reader.h"

namespace quarn {

Result<LoadedFlight> ReadKml(std::string_view text, const std::string& name);

}  // namespace quarn

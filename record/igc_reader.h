#pragma once
// Reading a flight from IGC.

#include <string>
#include <string_view>

#include "base/result.h"
#include "record/flight_reader.h"

namespace quarn {

Result<LoadedFlight> ReadIgc(std::string_view text, const std::string& name);

}  // namespace quarn

#pragma once
// Reading a flight from GPX.

#include <string>
#include <string_view>

#include "base/result.h"
#include "record/flight_reader.h"

namespace quarn {

// Every trkseg of every trk in document order; each segment after the first starts
// a new piece of track.
Result<LoadedFlight> ReadGpx(std::string_view text, const std::string& name);

}  // namespace quarn

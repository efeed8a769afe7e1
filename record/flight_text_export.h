#pragma once
// "File Flight.txt": flight.txt and warning.txt from a flight.

#include <ctime>
#include <string>
#include <vector>

#include "base/flight.h"

namespace quarn {

// Writes both files into outputDir, the analysis dated analysisTime. The messages
// of what failed; none when both files are in place.
std::vector<std::string> GenerateFlightText(const Flight& flight, const std::string& outputDir,
                                            std::time_t analysisTime);

}  // namespace quarn

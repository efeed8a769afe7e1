#pragma once
// "File Flight.txt": flight.txt and warning.txt from the selected record.

#include <string>

#include "platform/ui.h"

namespace quarn {

// Writes both files into outputDir.
void GenerateFlightText(Ui& ui, const std::string& outputDir);

}  // namespace quarn

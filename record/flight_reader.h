#pragma once
// Reading a flight from a file: no dialog, no view state, no message box. The
// caller shows the error or the notes.

#include <string>
#include <vector>

#include "base/flight.h"
#include "base/result.h"

namespace quarn {

struct LoadedFlight {
  Flight flight;
  // What the user is to know besides: a read error that ended the flight early, a
  // file longer than a flight can hold.
  std::vector<std::string> notes;
};

// The recorder's file at path. An error when it cannot be opened.
Result<LoadedFlight> ReadFlight(const std::string& path);

}  // namespace quarn

#include "record/igc_reader.h"

namespace quarn {

Result<LoadedFlight> ReadIgc(std::string_view, const std::string& name) {
  return Error{name + ": IGC is not read yet"};
}

}  // namespace quarn

#include "record/gpx_reader.h"

namespace quarn {

Result<LoadedFlight> ReadGpx(std::string_view, const std::string& name) {
  return Error{name + ": GPX is not read yet"};
}

}  // namespace quarn

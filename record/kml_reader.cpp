#include "record/kml_reader.h"

namespace quarn {

Result<LoadedFlight> ReadKml(std::string_view, const std::string& name) {
  return Error{name + ": KML is not read yet"};
}

}  // namespace quarn

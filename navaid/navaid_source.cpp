#include "navaid/navaid_source.h"

namespace quarn {

const char* SourceName(NavaidSource source) {
  switch (source) {
    case NavaidSource::XPlane:
      return "xplane";
    case NavaidSource::OurAirports:
      return "ourairports";
    default:
      return "bgl";
  }
}

}  // namespace quarn

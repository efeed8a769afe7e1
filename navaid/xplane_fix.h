#pragma once
// X-Plane's fix file, earth_fix.dat.

#include <string>
#include <string_view>

#include "navaid/navaid_source.h"

namespace quarn {

// The fixes of an earth_fix.dat (versions 600 to 1200): rows "lat lon ident" and, from
// version 1100 on, the terminal area ("ENRT" or the airport's code, kept as airport),
// the ICAO region and the waypoint type, and from 1200 on a name that may hold blanks.
// Kind Fix; "99" ends the file. A text without the X-Plane header gives one problem
// and no records; a bad row gives a problem naming its line and is left out.
SourceRead ReadXPlaneFix(std::string_view text, const std::string& name);

}  // namespace quarn

#pragma once
// X-Plane's airport file, apt.dat, versions 1000 to 1200.

#include <string>
#include <string_view>

#include "navaid/navaid_source.h"

namespace quarn {

// The airports of an apt.dat with their runways and ATIS:
//   Airport (rows 1, 16 and 17): ident the ICAO code (row 1302 icao_code where given,
//     else the header's code), its name and elevation (feet), placed at its datum (rows
//     1302 datum_lat and datum_lon) or else at the middle of its runway ends, water
//     runway ends and helipads; an airport with none of these is left out with its rows.
//   Runway (row 100): one record per end at that end, toward the other end
//     (headingTrueDeg, lengthM, endLatitude/LongitudeDeg), with its width and
//     displaced threshold (metres), the airport's elevation and code; runway and ident
//     the end's number, name the airport's.
//   Atis (rows 50 in 10 kHz units and 1050 in kHz): at the airport's place, frequency
//     in MHz, ident the airport's code, name the row's text; one record per channel.
// Every other row is skipped without being split into fields; "99" ends the file. A
// text without the X-Plane header gives one problem and no records; a bad row gives a
// problem naming its line and is left out (a bad airport header, its airport's rows).
SourceRead ReadXPlaneApt(std::string_view text, const std::string& name);

}  // namespace quarn

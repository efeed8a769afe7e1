#pragma once
// Navaid data of today's sources (X-Plane's data files, the OurAirports tables) as
// their readers give it: typed records in real units, never in a scenery file's
// encodings. The load turns them into the table's records and keeps these values
// beside them for the approach checks and the table's dump.

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "navaid/navaid_record.h"

namespace quarn {

// "bgl", "xplane", "ourairports".
const char* SourceName(NavaidSource source);

inline constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

// One navaid as a source gives it; NaN (kUnknown) where it gives no value.
//   Airport: the airport's reference point; ident the ICAO (or local) code.
//   Runway: one record per landing direction, at that end's threshold as the source
//     places it (the runway's end; a displaced threshold lies thresholdDisplacedM
//     further along); runway the end's number ("06", "24L").
//   Ils: the localizer antenna; headingTrueDeg its course; the glide slope's angle
//     and antenna where the source has one.
//   Vor, Ndb: the station; a VOR's slaved variation.
//   Outer/Middle/InnerMarker: the beacon; headingTrueDeg the approach course.
//   Atis: the airport's reference point; frequency the ATIS's.
//   Fix: the point.
struct SourcedNavaid {
  NavaidKind kind = NavaidKind::Ndb;
  NavaidSource source = NavaidSource::XPlane;
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double elevationFt = kUnknown;
  std::string ident;
  std::string name;
  std::string airport;  // the ICAO code of the airport it belongs to, where known
  std::string runway;   // runways, ILS and markers: the runway end's number
  // MHz for VOR, ILS and ATIS (110.55); kHz for NDB (375).
  double frequency = kUnknown;
  double magneticVariationDeg = kUnknown;  // a VOR's slaved variation, east positive
  bool dme = false;                        // a DME stands with it
  double headingTrueDeg = kUnknown;
  // Runways.
  double lengthM = kUnknown;
  double widthM = kUnknown;
  double thresholdDisplacedM = kUnknown;
  double endLatitudeDeg = kUnknown;  // the opposite end's threshold
  double endLongitudeDeg = kUnknown;
  // ILS.
  double glideSlopeDeg = kUnknown;
  double glideSlopeLatitudeDeg = kUnknown;
  double glideSlopeLongitudeDeg = kUnknown;
  double glideSlopeElevationFt = kUnknown;
  int line = 0;  // in its file, for messages
};

// What a reader gives: the records it read, and a message for each row it left out
// ("earth_nav.dat, line 12: ..."); the rest of the file is read where that is safe.
struct SourceRead {
  std::vector<SourcedNavaid> records;
  std::vector<std::string> problems;
};

inline bool Known(double v) {
  return !std::isnan(v);
}

// The typed values of a table record from a source of today: the navaid as the source
// gave it, and for a runway the position of its other end's values in the same list
// (-1 when the source gave one end only).
struct NavaidDetail {
  SourcedNavaid navaid;
  std::int32_t otherEnd = -1;
};

}  // namespace quarn

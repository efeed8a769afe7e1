#pragma once
// The OurAirports tables, comma-separated with a header line naming the columns (in
// any order): airports.csv, runways.csv, navaids.csv and airport-frequencies.csv,
// joined into navaids of this program's kinds.
//
//   airports: one Airport per large, medium and small airport and seaplane base, at
//     its reference point; ident its ICAO code (icao_code, else gps_code, else ident).
//   runways: one Runway per end that has a position, open runways of airports kept
//     (or of airports the airports table does not hold); the heading is the end's
//     true heading, else the bearing toward the other end.
//   navaids: VOR, VOR-DME and VORTAC as Vor (MHz), NDB and NDB-DME as Ndb (kHz); a
//     DME or TACAN only marks a VOR of its ident within 1 km as having a DME.
//   airport-frequencies: ATIS and D-ATIS as Atis at their airport's reference point.
//
// A table whose header lacks a column the reader needs is not read (one problem); a
// row that cannot be read is left out with a problem naming the file and line, and
// the rest of its table is read.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "navaid/navaid_source.h"

namespace quarn {

// The texts of the four tables and the names messages give them; a text is empty
// where its file is absent. problems: files that were found but could not be read.
struct OurAirportsTables {
  std::string airports, runways, navaids, frequencies;
  std::string airportsName, runwaysName, navaidsName, frequenciesName;
  std::vector<std::string> problems;
};

enum class OurAirportsTable { None, Airports, Runways, Navaids, Frequencies };

// Which table a text is, told from its header line (the text's first line); None for
// any other text.
OurAirportsTable OurAirportsTableOf(std::string_view text);
bool IsOurAirportsFile(std::string_view header);

// The file name the tables have in a dump: "airports.csv", "runways.csv",
// "navaids.csv", "airport-frequencies.csv"; empty for None.
const char* OurAirportsFileName(OurAirportsTable table);

// The records of the four tables joined: airports first, then runways, navaids and
// ATIS, each in its file's order. The rows are read in pieces on every core, with
// the same records and problems as a reading from start to end.
SourceRead ReadOurAirports(const OurAirportsTables& tables);
// The same with pieces of about pieceBytes (at least a line each), for tests.
SourceRead ReadOurAirports(const OurAirportsTables& tables, std::size_t pieceBytes);

// The four tables of a folder, found by their file names (without regard to case);
// a file that is not there gives an empty text.
OurAirportsTables ReadOurAirportsFolder(const std::string& folder);

}  // namespace quarn

// libFuzzer target: the four OurAirports tables joined. The bytes are split at their
// first three zero bytes into airports, runways, navaids and frequencies; bytes
// without a zero byte are the one table their header names (airports otherwise), so
// that a single table file seeds its own reader. The tables read in small pieces
// must give what they give read whole.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "navaid/ourairports.h"

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  quarn::OurAirportsTables tables;
  tables.airportsName = "A.csv";
  tables.runwaysName = "R.csv";
  tables.navaidsName = "N.csv";
  tables.frequenciesName = "F.csv";
  std::string* parts[] = {&tables.airports, &tables.runways, &tables.navaids, &tables.frequencies};
  if (rest.find('\0') == std::string_view::npos) {
    switch (quarn::OurAirportsTableOf(rest)) {
      case quarn::OurAirportsTable::Runways:
        tables.runways = rest;
        break;
      case quarn::OurAirportsTable::Navaids:
        tables.navaids = rest;
        break;
      case quarn::OurAirportsTable::Frequencies:
        tables.frequencies = rest;
        break;
      default:
        tables.airports = rest;
    }
  } else {
    for (std::size_t i = 0; i < 4; ++i) {
      const std::size_t zero = i < 3 ? rest.find('\0') : std::string_view::npos;
      *parts[i] = rest.substr(0, zero);
      if (zero == std::string_view::npos) break;
      rest.remove_prefix(zero + 1);
    }
  }

  const quarn::SourceRead read = quarn::ReadOurAirports(tables, std::size_t{1} << 30);
  for (const quarn::SourcedNavaid& r : read.records) {
    if (r.source != quarn::NavaidSource::OurAirports) std::abort();
    if (!(std::fabs(r.latitudeDeg) <= 90) || !(std::fabs(r.longitudeDeg) <= 180)) std::abort();
    if (quarn::Known(r.endLatitudeDeg) &&
        (!(std::fabs(r.endLatitudeDeg) <= 90) || !(std::fabs(r.endLongitudeDeg) <= 180))) {
      std::abort();
    }
    if (quarn::Known(r.frequency) && !std::isfinite(r.frequency)) std::abort();
    if (r.line < 2) std::abort();
  }
  for (const std::string& problem : read.problems) {
    if (!StartsWith(problem, tables.airportsName + ", line ") &&
        !StartsWith(problem, tables.runwaysName + ", line ") &&
        !StartsWith(problem, tables.navaidsName + ", line ") &&
        !StartsWith(problem, tables.frequenciesName + ", line ")) {
      std::abort();
    }
  }
  const quarn::SourceRead pieces = quarn::ReadOurAirports(tables, 1 + size % 97);
  if (pieces.problems != read.problems || pieces.records.size() != read.records.size()) {
    std::abort();
  }
  for (std::size_t i = 0; i < read.records.size(); ++i) {
    const quarn::SourcedNavaid& a = read.records[i];
    const quarn::SourcedNavaid& b = pieces.records[i];
    if (a.kind != b.kind || a.line != b.line || a.ident != b.ident || a.name != b.name ||
        a.airport != b.airport || a.runway != b.runway || a.latitudeDeg != b.latitudeDeg ||
        a.longitudeDeg != b.longitudeDeg || a.dme != b.dme) {
      std::abort();
    }
  }
  return 0;
}

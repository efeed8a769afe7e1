#include "navaid/ourairports.h"

#include <tbb/parallel_for.h>
#include <tbb/parallel_invoke.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <unordered_map>
#include <utility>

#include "base/format.h"
#include "base/geodesy.h"
#include "base/text_scan.h"
#include "navaid/csv_table.h"
#include "platform/file_services.h"

namespace quarn {
namespace {

constexpr double kFeetToMetres = 0.3048;
// A DME or TACAN this close to a VOR of its ident stands with it.
constexpr double kDmeJoinMetres = 1000;

// Frequency bands a row must lie in: VOR in kHz as the table gives it, NDB in kHz,
// ATIS in MHz (VHF, and the UHF band military fields broadcast theirs on).
constexpr double kVorMinKhz = 108000, kVorMaxKhz = 118000;
constexpr double kNdbMinKhz = 100, kNdbMaxKhz = 1800;
constexpr double kAtisVhfMinMhz = 108, kAtisVhfMaxMhz = 137;
constexpr double kAtisUhfMinMhz = 225, kAtisUhfMaxMhz = 400;

// An optional number: unknown when the field is empty or holds no number.
double OptionalNumber(std::string_view field) {
  const std::optional<double> value = ParseNumber(field);
  return value ? *value : kUnknown;
}

std::optional<std::int64_t> WholeNumber(std::string_view field) {
  field = TrimBlanks(field);
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (ec != std::errc() || end != field.data() + field.size()) return std::nullopt;
  return value;
}

bool IsYes(std::string_view field) {
  field = TrimBlanks(field);
  return field == "1" || EqualIgnoringCase(field, "yes") || EqualIgnoringCase(field, "true");
}

// A row's position from its latitude and longitude fields.
enum class PositionRead { Ok, Missing, Bad };

PositionRead ReadPosition(std::string_view latitudeField, std::string_view longitudeField,
                          double& latitude, double& longitude, std::string& problem) {
  latitudeField = TrimBlanks(latitudeField);
  longitudeField = TrimBlanks(longitudeField);
  if (latitudeField.empty() || longitudeField.empty()) return PositionRead::Missing;
  const std::optional<double> lat = ParseNumber(latitudeField);
  const std::optional<double> lon = ParseNumber(longitudeField);
  if (!lat) {
    problem = Format("latitude \"%s\" is no number", FieldExcerpt(latitudeField).c_str());
  } else if (!lon) {
    problem = Format("longitude \"%s\" is no number", FieldExcerpt(longitudeField).c_str());
  } else if (std::fabs(*lat) > 90) {
    problem = Format("latitude %g is beyond 90", *lat);
  } else if (std::fabs(*lon) > 180) {
    problem = Format("longitude %g is beyond 180", *lon);
  } else {
    latitude = *lat;
    longitude = *lon;
    return PositionRead::Ok;
  }
  return PositionRead::Bad;
}

// A table's header: its columns, and the rows after it.
struct TableHeader {
  CsvHeader columns;
  std::string_view body;
  int linesBefore = 0;         // the lines up to and with the header, blank ones included
  std::size_t pieceBytes = 0;  // the rows are read in pieces of about this size
};

std::optional<TableHeader> ReadTableHeader(std::string_view text, std::size_t pieceBytes) {
  CsvReader csv(text);
  if (csv.Next() != CsvReader::Status::Record) return std::nullopt;
  return TableHeader{CsvHeader(csv.fields()), csv.rest(), csv.linesRead(),
                     std::max<std::size_t>(pieceBytes, 1)};
}

// The columns a table needs, each entry met by any one of its columns.
struct Need {
  std::initializer_list<int> columns;
  const char* names;
};

// True when every needed column is there; else one problem for the table, which is
// then not read.
bool HasColumns(const TableHeader& header, std::initializer_list<Need> needs, const char* table,
                const std::string& name, SourceRead& out) {
  std::string missing;
  for (const Need& need : needs) {
    bool found = false;
    for (const int column : need.columns) found = found || column >= 0;
    if (!found) missing += (missing.empty() ? "" : ", ") + std::string(need.names);
  }
  if (missing.empty()) return true;
  out.problems.push_back(ReadErrorAt(name, header.linesBefore,
                                     Format("no column %s: not an OurAirports %s table, not read",
                                            missing.c_str(), table))
                             .message);
  return false;
}

// An airport as the other tables join to it. Its texts are short enough to live in
// the entry itself, so that a join touches no more than a slot and the entry.
struct AirportEntry {
  std::string code;  // the code the records name the airport by
  std::string ident;
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double elevationFt = kUnknown;
  std::int64_t id = 0;
  bool hasId = false;
  bool kept = false;  // of a kind the reader gives; the others' runways are left out too
};

// A DME or TACAN waiting for the VOR it stands with.
struct LoneDme {
  std::string ident;
  double latitudeDeg = 0;
  double longitudeDeg = 0;
};

// What the rows of one piece of a table give; lines are counted within the piece.
struct PieceRead {
  std::vector<SourcedNavaid> records;
  std::vector<std::pair<int, std::string>> problems;  // line, what was wrong
  std::vector<AirportEntry> airports;                 // of airports.csv
  std::vector<LoneDme> dmes;                          // of navaids.csv
  int unplacedAtis = 0;                               // of airport-frequencies.csv
  int firstUnplacedLine = 0;
  int lines = 0;
  bool ranOutInQuote = false;
};

// The rows of one piece of a table, each with as many fields as the header names; a
// row that cannot be split so is reported and passed over.
class TableRows {
 public:
  TableRows(std::string_view piece, const TableHeader& header, PieceRead& out)
      : csv_(CsvReader::Within(piece)), header_(header), out_(out) {
    csv_.ExpectFields(header_.columns.size());
  }
  TableRows(const TableRows&) = delete;
  TableRows& operator=(const TableRows&) = delete;

  // Notes how far the piece went, once its rows are read.
  void Finish() {
    out_.lines = csv_.linesRead();
    out_.ranOutInQuote = csv_.ranOutInQuote();
  }

  bool Next() {
    const std::size_t columns = header_.columns.size();
    for (;;) {
      const CsvReader::Status status = csv_.Next();
      if (status == CsvReader::Status::End) return false;
      if (status == CsvReader::Status::UnclosedQuote) {
        Problem("a quoted field is not closed");
        continue;
      }
      const std::size_t count = csv_.fields().size();
      if (count < columns || (count > columns && !ExtraFieldsEmpty())) {
        Problem(Format("the row has %zu fields, the header names %zu", count, columns));
        continue;
      }
      return true;
    }
  }

  std::string_view Field(int column) const {
    return column < 0 ? std::string_view() : csv_.fields()[static_cast<std::size_t>(column)];
  }
  std::string_view Trimmed(int column) const { return TrimBlanks(Field(column)); }
  int line() const { return csv_.line(); }
  void Problem(std::string what) { out_.problems.emplace_back(line(), std::move(what)); }

 private:
  bool ExtraFieldsEmpty() const {
    const auto fields = csv_.fields();
    for (std::size_t i = header_.columns.size(); i < fields.size(); ++i) {
      if (!TrimBlanks(fields[i]).empty()) return false;
    }
    return true;
  }

  CsvReader csv_;
  const TableHeader& header_;
  PieceRead& out_;
};

// The body of a table cut at line ends into pieces of about pieceBytes.
std::vector<std::string_view> CutIntoPieces(std::string_view body, std::size_t pieceBytes) {
  std::vector<std::string_view> pieces;
  while (body.size() > pieceBytes) {
    const std::size_t end = body.find('\n', pieceBytes);
    if (end == std::string_view::npos) break;
    pieces.push_back(body.substr(0, end + 1));
    body.remove_prefix(end + 1);
  }
  if (!body.empty()) pieces.push_back(body);
  return pieces;
}

// Reads the rows of a table in pieces on every core: readRow(rows, piece) reads the
// current row of rows into its piece's result, for which room for recordsPerRow
// records a row is made. A quoted field that runs over the end
// of a piece other than the last would be read differently in one go: then the
// whole body is read again as one piece, which is what a damaged file may cost.
template <typename ReadRow>
std::vector<PieceRead> ReadRows(const TableHeader& header, std::size_t recordsPerRow,
                                const ReadRow& readRow) {
  const std::vector<std::string_view> parts = CutIntoPieces(header.body, header.pieceBytes);
  const auto readPiece = [&](std::string_view part, PieceRead& piece) {
    piece.records.reserve(EstimateLines(part) * recordsPerRow);
    TableRows rows(part, header, piece);
    while (rows.Next()) readRow(rows, piece);
    rows.Finish();
  };
  std::vector<PieceRead> pieces(parts.size());
  tbb::parallel_for(std::size_t{0}, parts.size(),
                    [&](std::size_t k) { readPiece(parts[k], pieces[k]); });
  for (std::size_t k = 0; k + 1 < pieces.size(); ++k) {
    if (pieces[k].ranOutInQuote) {
      pieces.assign(1, PieceRead{});
      readPiece(header.body, pieces.front());
      break;
    }
  }
  return pieces;
}

// The lines of the file before each piece.
std::vector<int> LinesBeforePieces(const TableHeader& header,
                                   const std::vector<PieceRead>& pieces) {
  std::vector<int> before;
  before.reserve(pieces.size());
  int lines = header.linesBefore;
  for (const PieceRead& piece : pieces) {
    before.push_back(lines);
    lines += piece.lines;
  }
  return before;
}

// Moves the pieces' records to out and words their problems, with the lines of the
// file.
void MergePieces(std::vector<PieceRead>& pieces, const std::vector<int>& linesBefore,
                 const std::string& name, SourceRead& out) {
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    for (SourcedNavaid& record : pieces[k].records) {
      record.line += linesBefore[k];
      out.records.push_back(std::move(record));
    }
    for (const auto& [line, what] : pieces[k].problems) {
      out.problems.push_back(ReadErrorAt(name, line + linesBefore[k], what).message);
    }
    std::vector<SourcedNavaid>().swap(pieces[k].records);
  }
}

std::size_t RecordsOf(const std::vector<PieceRead>& pieces) {
  std::size_t count = 0;
  for (const PieceRead& piece : pieces) count += piece.records.size();
  return count;
}

// The airports by the numeric id (the other tables' airport_ref) and by the ident
// (their airport_ident): open addressing with linear probing over two tables of
// slots, built once all airports are in. A slot holds a key's hash in its upper half
// and the entry's index + 1 in its lower half (0: empty).
class AirportIndex {
 public:
  void Add(std::vector<AirportEntry>& entries) {
    if (entries_.empty()) {
      entries_ = std::move(entries);
    } else {
      std::move(entries.begin(), entries.end(), std::back_inserter(entries_));
    }
    std::vector<AirportEntry>().swap(entries);
  }

  // Makes the joins; the first of airports with the same id or ident is found.
  void Build() {
    std::size_t capacity = 16;
    while (capacity < 2 * entries_.size()) capacity *= 2;
    mask_ = capacity - 1;
    byId_.assign(capacity, 0);
    byIdent_.assign(capacity, 0);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      const AirportEntry& e = entries_[i];
      if (e.hasId) {
        InsertNew(byId_, HashId(e.id), i, [&](const AirportEntry& o) { return o.id == e.id; });
      }
      if (!e.ident.empty()) {
        InsertNew(byIdent_, HashText(e.ident), i,
                  [&](const AirportEntry& o) { return o.ident == e.ident; });
      }
    }
  }

  // The airport a row of another table names by its airport_ref or airport_ident.
  const AirportEntry* Find(std::string_view refField, std::string_view identField) const {
    if (const std::optional<std::int64_t> id = WholeNumber(refField)) {
      if (const AirportEntry* found = FindById(*id)) return found;
    }
    return FindByIdent(TrimBlanks(identField));
  }

  const AirportEntry* FindById(std::int64_t id) const {
    return Probe(byId_, HashId(id), [&](const AirportEntry& e) { return e.hasId && e.id == id; });
  }

  const AirportEntry* FindByIdent(std::string_view ident) const {
    if (ident.empty()) return nullptr;
    return Probe(byIdent_, HashText(ident),
                 [&](const AirportEntry& e) { return e.ident == ident; });
  }

 private:
  static std::uint32_t HashId(std::int64_t id) {
    // The finalizer of splitmix64: ids that follow one another spread over the slots.
    auto x = static_cast<std::uint64_t>(id);
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return static_cast<std::uint32_t>(x ^ (x >> 31));
  }
  static std::uint32_t HashText(std::string_view text) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(text));
  }

  // Puts entry index in the first free slot of its hash, unless an entry with the
  // same key comes first.
  template <typename SameKey>
  void InsertNew(std::vector<std::uint64_t>& slots, std::uint32_t hash, std::size_t index,
                 SameKey sameKey) {
    std::size_t at = hash & mask_;
    for (; slots[at] != 0; at = (at + 1) & mask_) {
      if (static_cast<std::uint32_t>(slots[at] >> 32) == hash &&
          sameKey(entries_[(slots[at] & 0xFFFFFFFFu) - 1])) {
        return;
      }
    }
    slots[at] = static_cast<std::uint64_t>(hash) << 32 | (index + 1);
  }

  template <typename Matches>
  const AirportEntry* Probe(const std::vector<std::uint64_t>& slots, std::uint32_t hash,
                            Matches matches) const {
    if (slots.empty()) return nullptr;
    for (std::size_t at = hash & mask_; slots[at] != 0; at = (at + 1) & mask_) {
      if (static_cast<std::uint32_t>(slots[at] >> 32) != hash) continue;
      const AirportEntry& e = entries_[(slots[at] & 0xFFFFFFFFu) - 1];
      if (matches(e)) return &e;
    }
    return nullptr;
  }

  std::vector<AirportEntry> entries_;
  std::vector<std::uint64_t> byId_;
  std::vector<std::uint64_t> byIdent_;
  std::size_t mask_ = 0;
};

// A table read: its pieces and the lines before each.
struct TableRead {
  std::vector<PieceRead> pieces;
  std::vector<int> linesBefore;
};

// Airports of these types are given; heliports, balloon ports and closed airports are
// not: they are no places to fly an approach to, and their runways are pads.
bool IsAirportKept(std::string_view type) {
  return type == "large_airport" || type == "medium_airport" || type == "small_airport" ||
         type == "seaplane_base";
}

TableRead ReadAirports(std::string_view text, const std::string& name, std::size_t pieceBytes,
                       SourceRead& out) {
  const std::optional<TableHeader> header = ReadTableHeader(text, pieceBytes);
  if (!header) return {};
  const CsvHeader& h = header->columns;
  const int id = h.Find("id");
  const int ident = h.Find("ident");
  const int type = h.Find("type");
  const int airportName = h.Find("name");
  const int latitudeColumn = h.Find("latitude_deg");
  const int longitudeColumn = h.Find("longitude_deg");
  const int elevation = h.Find("elevation_ft");
  const int gpsCode = h.Find("gps_code");
  const int icaoCode = h.Find("icao_code");
  if (!HasColumns(*header,
                  {{{ident}, "ident"},
                   {{type}, "type"},
                   {{latitudeColumn}, "latitude_deg"},
                   {{longitudeColumn}, "longitude_deg"}},
                  "airports", name, out)) {
    return {};
  }
  TableRead read;
  read.pieces = ReadRows(*header, 1, [&](const TableRows& rows, PieceRead& piece) {
    double latitude = 0, longitude = 0;
    std::string problem;
    const PositionRead position = ReadPosition(
        rows.Field(latitudeColumn), rows.Field(longitudeColumn), latitude, longitude, problem);
    if (position != PositionRead::Ok) {
      piece.problems.emplace_back(rows.line(),
                                  position == PositionRead::Missing ? "no position" : problem);
      return;
    }
    const std::string_view identText = rows.Trimmed(ident);
    std::string_view code = rows.Trimmed(icaoCode);
    if (code.empty()) code = rows.Trimmed(gpsCode);
    if (code.empty()) code = identText;
    const double elevationFt = OptionalNumber(rows.Field(elevation));
    const bool kept = IsAirportKept(rows.Trimmed(type));
    const std::optional<std::int64_t> rowId = WholeNumber(rows.Field(id));
    piece.airports.push_back({std::string(code), std::string(identText), latitude, longitude,
                              elevationFt, rowId.value_or(0), rowId.has_value(), kept});
    if (!kept) return;

    SourcedNavaid& airport = piece.records.emplace_back();
    airport.kind = NavaidKind::Airport;
    airport.source = NavaidSource::OurAirports;
    airport.latitudeDeg = latitude;
    airport.longitudeDeg = longitude;
    airport.elevationFt = elevationFt;
    airport.ident = code;
    airport.airport = code;
    airport.name = rows.Trimmed(airportName);
    airport.line = rows.line();
  });
  read.linesBefore = LinesBeforePieces(*header, read.pieces);
  return read;
}

// One end of a runway as its row gives it.
struct RunwayEnd {
  std::string_view ident;
  PositionRead position = PositionRead::Missing;
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double elevationFt = kUnknown;
  double headingTrueDeg = kUnknown;
  double displacedFt = kUnknown;
};

struct RunwayEndColumns {
  int ident, latitude, longitude, elevation, heading, displaced;
};

RunwayEndColumns FindRunwayEndColumns(const CsvHeader& h, const char* prefix) {
  const std::string p(prefix);
  return {h.Find(p + "_ident"),         h.Find(p + "_latitude_deg"),
          h.Find(p + "_longitude_deg"), h.Find(p + "_elevation_ft"),
          h.Find(p + "_heading_degt"),  h.Find(p + "_displaced_threshold_ft")};
}

RunwayEnd ReadRunwayEnd(const TableRows& rows, const RunwayEndColumns& c, std::string& problem) {
  RunwayEnd end;
  end.ident = rows.Trimmed(c.ident);
  end.position = ReadPosition(rows.Field(c.latitude), rows.Field(c.longitude), end.latitudeDeg,
                              end.longitudeDeg, problem);
  if (end.position != PositionRead::Ok) return end;
  end.elevationFt = OptionalNumber(rows.Field(c.elevation));
  end.headingTrueDeg = OptionalNumber(rows.Field(c.heading));
  end.displacedFt = OptionalNumber(rows.Field(c.displaced));
  return end;
}

void AddRunwayEnd(const RunwayEnd& end, const RunwayEnd& other, std::string_view airportCode,
                  const AirportEntry* airport, double lengthFt, double widthFt, int line,
                  std::vector<SourcedNavaid>& records) {
  SourcedNavaid& runway = records.emplace_back();
  runway.kind = NavaidKind::Runway;
  runway.source = NavaidSource::OurAirports;
  runway.latitudeDeg = end.latitudeDeg;
  runway.longitudeDeg = end.longitudeDeg;
  runway.elevationFt =
      Known(end.elevationFt) || airport == nullptr ? end.elevationFt : airport->elevationFt;
  runway.ident = airportCode;
  runway.airport = airportCode;
  runway.runway = end.ident;
  runway.headingTrueDeg = end.headingTrueDeg;
  if (other.position == PositionRead::Ok) {
    runway.endLatitudeDeg = other.latitudeDeg;
    runway.endLongitudeDeg = other.longitudeDeg;
    if (!Known(runway.headingTrueDeg)) {
      runway.headingTrueDeg = DistanceAndBearing(end.latitudeDeg, end.longitudeDeg,
                                                 other.latitudeDeg, other.longitudeDeg)
                                  .bearingDeg;
    }
  }
  runway.lengthM = lengthFt * kFeetToMetres;
  runway.widthM = widthFt * kFeetToMetres;
  runway.thresholdDisplacedM = end.displacedFt * kFeetToMetres;
  runway.line = line;
}

TableRead ReadRunways(std::string_view text, const std::string& name, const AirportIndex& index,
                      std::size_t pieceBytes, SourceRead& out) {
  const std::optional<TableHeader> header = ReadTableHeader(text, pieceBytes);
  if (!header) return {};
  const CsvHeader& h = header->columns;
  const int airportRef = h.Find("airport_ref");
  const int airportIdent = h.Find("airport_ident");
  const int length = h.Find("length_ft");
  const int width = h.Find("width_ft");
  const int closed = h.Find("closed");
  const RunwayEndColumns low = FindRunwayEndColumns(h, "le");
  const RunwayEndColumns high = FindRunwayEndColumns(h, "he");
  if (!HasColumns(*header,
                  {{{airportRef, airportIdent}, "airport_ref or airport_ident"},
                   {{low.ident}, "le_ident"},
                   {{low.latitude}, "le_latitude_deg"},
                   {{low.longitude}, "le_longitude_deg"},
                   {{high.ident}, "he_ident"},
                   {{high.latitude}, "he_latitude_deg"},
                   {{high.longitude}, "he_longitude_deg"}},
                  "runways", name, out)) {
    return {};
  }
  TableRead read;
  read.pieces = ReadRows(*header, 2, [&](const TableRows& rows, PieceRead& piece) {
    if (IsYes(rows.Field(closed))) return;
    std::string problem;
    const RunwayEnd lowEnd = ReadRunwayEnd(rows, low, problem);
    if (lowEnd.position == PositionRead::Bad) {
      piece.problems.emplace_back(rows.line(), "le end: " + problem);
      return;
    }
    const RunwayEnd highEnd = ReadRunwayEnd(rows, high, problem);
    if (highEnd.position == PositionRead::Bad) {
      piece.problems.emplace_back(rows.line(), "he end: " + problem);
      return;
    }
    // An end without a position gives no record: many small fields have none.
    if (lowEnd.position != PositionRead::Ok && highEnd.position != PositionRead::Ok) return;
    const AirportEntry* airport = index.Find(rows.Field(airportRef), rows.Field(airportIdent));
    if (airport != nullptr && !airport->kept) return;
    const std::string_view code = airport != nullptr ? airport->code : rows.Trimmed(airportIdent);
    const double lengthFt = OptionalNumber(rows.Field(length));
    const double widthFt = OptionalNumber(rows.Field(width));
    if (lowEnd.position == PositionRead::Ok) {
      AddRunwayEnd(lowEnd, highEnd, code, airport, lengthFt, widthFt, rows.line(), piece.records);
    }
    if (highEnd.position == PositionRead::Ok) {
      AddRunwayEnd(highEnd, lowEnd, code, airport, lengthFt, widthFt, rows.line(), piece.records);
    }
  });
  read.linesBefore = LinesBeforePieces(*header, read.pieces);
  return read;
}

enum class NavaidType { Other, Vor, VorDme, Ndb, NdbDme, Dme };

NavaidType NavaidTypeOf(std::string_view type) {
  if (EqualIgnoringCase(type, "VOR")) return NavaidType::Vor;
  if (EqualIgnoringCase(type, "VOR-DME") || EqualIgnoringCase(type, "VORTAC")) {
    return NavaidType::VorDme;
  }
  if (EqualIgnoringCase(type, "NDB")) return NavaidType::Ndb;
  if (EqualIgnoringCase(type, "NDB-DME")) return NavaidType::NdbDme;
  if (EqualIgnoringCase(type, "DME") || EqualIgnoringCase(type, "TACAN")) return NavaidType::Dme;
  return NavaidType::Other;
}

// Marks the VORs of [first, end) of the records that a DME of their ident stands
// within kDmeJoinMetres of; DMEs standing alone are no navaid of the table.
void JoinDmesToVors(const std::vector<PieceRead>& pieces, std::size_t first, SourceRead& out) {
  std::unordered_multimap<std::string_view, std::size_t> vors;
  for (std::size_t i = first; i < out.records.size(); ++i) {
    if (out.records[i].kind == NavaidKind::Vor) vors.emplace(out.records[i].ident, i);
  }
  for (const PieceRead& piece : pieces) {
    for (const LoneDme& dme : piece.dmes) {
      const auto [begin, end] = vors.equal_range(dme.ident);
      for (auto it = begin; it != end; ++it) {
        SourcedNavaid& vor = out.records[it->second];
        if (GreatCircleMetres(vor.latitudeDeg, vor.longitudeDeg, dme.latitudeDeg,
                              dme.longitudeDeg) <= kDmeJoinMetres) {
          vor.dme = true;
        }
      }
    }
  }
}

// A station's frequency in the table's kHz, within its band; the problem otherwise.
std::optional<double> StationKhz(std::string_view field, bool vor, std::string& problem) {
  field = TrimBlanks(field);
  const char* what = vor ? "VOR" : "NDB";
  if (field.empty()) {
    problem = Format("%s without a frequency", what);
    return std::nullopt;
  }
  const std::optional<double> khz = ParseNumber(field);
  if (!khz) {
    problem = Format("frequency \"%s\" is no number", FieldExcerpt(field).c_str());
    return std::nullopt;
  }
  if (vor && (*khz < kVorMinKhz || *khz > kVorMaxKhz)) {
    problem = Format("VOR frequency %g MHz is outside 108 to 118 MHz", *khz / 1000);
    return std::nullopt;
  }
  if (!vor && (*khz < kNdbMinKhz || *khz > kNdbMaxKhz)) {
    problem = Format("NDB frequency %g kHz is outside 100 to 1800 kHz", *khz);
    return std::nullopt;
  }
  return khz;
}

TableRead ReadNavaids(std::string_view text, const std::string& name, const AirportIndex& index,
                      std::size_t pieceBytes, SourceRead& out) {
  const std::optional<TableHeader> header = ReadTableHeader(text, pieceBytes);
  if (!header) return {};
  const CsvHeader& h = header->columns;
  const int ident = h.Find("ident");
  const int navaidName = h.Find("name");
  const int type = h.Find("type");
  const int frequency = h.Find("frequency_khz");
  const int latitude = h.Find("latitude_deg");
  const int longitude = h.Find("longitude_deg");
  const int elevation = h.Find("elevation_ft");
  const int slavedVariation = h.Find("slaved_variation_deg");
  const int associatedAirport = h.Find("associated_airport");
  if (!HasColumns(*header,
                  {{{ident}, "ident"},
                   {{type}, "type"},
                   {{frequency}, "frequency_khz"},
                   {{latitude}, "latitude_deg"},
                   {{longitude}, "longitude_deg"}},
                  "navaids", name, out)) {
    return {};
  }
  TableRead read;
  read.pieces = ReadRows(*header, 1, [&](const TableRows& rows, PieceRead& piece) {
    const NavaidType navaidType = NavaidTypeOf(rows.Trimmed(type));
    if (navaidType == NavaidType::Other) return;
    double lat = 0, lon = 0;
    std::string problem;
    const PositionRead position =
        ReadPosition(rows.Field(latitude), rows.Field(longitude), lat, lon, problem);
    if (position != PositionRead::Ok) {
      piece.problems.emplace_back(rows.line(),
                                  position == PositionRead::Missing ? "no position" : problem);
      return;
    }
    if (navaidType == NavaidType::Dme) {
      piece.dmes.push_back({std::string(rows.Trimmed(ident)), lat, lon});
      return;
    }
    const bool vor = navaidType == NavaidType::Vor || navaidType == NavaidType::VorDme;
    const std::optional<double> khz = StationKhz(rows.Field(frequency), vor, problem);
    if (!khz) {
      piece.problems.emplace_back(rows.line(), problem);
      return;
    }
    SourcedNavaid& navaid = piece.records.emplace_back();
    navaid.kind = vor ? NavaidKind::Vor : NavaidKind::Ndb;
    navaid.source = NavaidSource::OurAirports;
    navaid.latitudeDeg = lat;
    navaid.longitudeDeg = lon;
    navaid.elevationFt = OptionalNumber(rows.Field(elevation));
    navaid.ident = rows.Trimmed(ident);
    navaid.name = rows.Trimmed(navaidName);
    const std::string_view airportIdent = rows.Trimmed(associatedAirport);
    const AirportEntry* airport = index.FindByIdent(airportIdent);
    navaid.airport = airport != nullptr ? std::string_view(airport->code) : airportIdent;
    navaid.frequency = vor ? *khz / 1000 : *khz;
    navaid.dme = navaidType == NavaidType::VorDme || navaidType == NavaidType::NdbDme;
    if (vor) navaid.magneticVariationDeg = OptionalNumber(rows.Field(slavedVariation));
    navaid.line = rows.line();
  });
  read.linesBefore = LinesBeforePieces(*header, read.pieces);
  return read;
}

bool IsAtis(std::string_view type) {
  return EqualIgnoringCase(type, "ATIS") || EqualIgnoringCase(type, "D-ATIS");
}

std::optional<double> AtisMhz(std::string_view field, std::string& problem) {
  field = TrimBlanks(field);
  if (field.empty()) {
    problem = "ATIS without a frequency";
    return std::nullopt;
  }
  const std::optional<double> mhz = ParseNumber(field);
  if (!mhz) {
    problem = Format("frequency \"%s\" is no number", FieldExcerpt(field).c_str());
    return std::nullopt;
  }
  if ((*mhz < kAtisVhfMinMhz || *mhz > kAtisVhfMaxMhz) &&
      (*mhz < kAtisUhfMinMhz || *mhz > kAtisUhfMaxMhz)) {
    problem = Format("ATIS frequency %g MHz is outside 108 to 137 and 225 to 400 MHz", *mhz);
    return std::nullopt;
  }
  return mhz;
}

TableRead ReadFrequencies(std::string_view text, const std::string& name, const AirportIndex& index,
                          std::size_t pieceBytes, SourceRead& out) {
  const std::optional<TableHeader> header = ReadTableHeader(text, pieceBytes);
  if (!header) return {};
  const CsvHeader& h = header->columns;
  const int airportRef = h.Find("airport_ref");
  const int airportIdent = h.Find("airport_ident");
  const int type = h.Find("type");
  const int description = h.Find("description");
  const int frequency = h.Find("frequency_mhz");
  if (!HasColumns(*header,
                  {{{airportRef, airportIdent}, "airport_ref or airport_ident"},
                   {{type}, "type"},
                   {{frequency}, "frequency_mhz"}},
                  "airport-frequencies", name, out)) {
    return {};
  }
  TableRead read;
  read.pieces = ReadRows(*header, 0, [&](const TableRows& rows, PieceRead& piece) {
    if (!IsAtis(rows.Trimmed(type))) return;
    const AirportEntry* airport = index.Find(rows.Field(airportRef), rows.Field(airportIdent));
    if (airport == nullptr) {
      // Told once for the table, at the first of them: see ReportUnplacedAtis.
      if (piece.unplacedAtis++ == 0) piece.firstUnplacedLine = rows.line();
      return;
    }
    if (!airport->kept) return;
    std::string problem;
    const std::optional<double> mhz = AtisMhz(rows.Field(frequency), problem);
    if (!mhz) {
      piece.problems.emplace_back(rows.line(), problem);
      return;
    }
    SourcedNavaid& atis = piece.records.emplace_back();
    atis.kind = NavaidKind::Atis;
    atis.source = NavaidSource::OurAirports;
    atis.latitudeDeg = airport->latitudeDeg;
    atis.longitudeDeg = airport->longitudeDeg;
    atis.elevationFt = airport->elevationFt;
    atis.ident = "ATIS";
    atis.airport = airport->code;
    atis.name = rows.Trimmed(description);
    atis.frequency = *mhz;
    atis.line = rows.line();
  });
  read.linesBefore = LinesBeforePieces(*header, read.pieces);
  return read;
}

// ATIS of airports the airports table does not hold have no position: one problem
// for them all, at the first.
void ReportUnplacedAtis(const TableRead& read, const std::string& name, SourceRead& out) {
  int count = 0;
  int firstLine = 0;
  for (std::size_t k = 0; k < read.pieces.size(); ++k) {
    const PieceRead& piece = read.pieces[k];
    if (piece.unplacedAtis > 0 && count == 0)
      firstLine = piece.firstUnplacedLine + read.linesBefore[k];
    count += piece.unplacedAtis;
  }
  if (count == 0) return;
  out.problems.push_back(
      ReadErrorAt(name, firstLine,
                  Format("%d ATIS left out from here on: their airports are not in the "
                         "airports table",
                         count))
          .message);
}

std::string NameOr(const std::string& name, OurAirportsTable table) {
  return name.empty() ? std::string(OurAirportsFileName(table)) : name;
}

}  // namespace
const char* OurAirportsFileName(OurAirportsTable table) {
  switch (table) {
    case OurAirportsTable::Airports:
      return "airports.csv";
    case OurAirportsTable::Runways:
      return "runways.csv";
    case OurAirportsTable::Navaids:
      return "navaids.csv";
    case OurAirportsTable::Frequencies:
      return "airport-frequencies.csv";
    default:
      return "";
  }
}

OurAirportsTable OurAirportsTableOf(std::string_view text) {
  CsvReader csv(text);
  if (csv.Next() != CsvReader::Status::Record) return OurAirportsTable::None;
  const CsvHeader header(csv.fields());
  const auto has = [&](std::string_view column) { return header.Find(column) >= 0; };
  const bool joinsAirport = has("airport_ref") || has("airport_ident");
  if (joinsAirport && has("le_ident") && has("he_ident")) return OurAirportsTable::Runways;
  if (joinsAirport && has("frequency_mhz")) return OurAirportsTable::Frequencies;
  if (has("ident") && has("type") && has("frequency_khz")) return OurAirportsTable::Navaids;
  if (has("ident") && has("type") && has("latitude_deg") && has("longitude_deg")) {
    return OurAirportsTable::Airports;
  }
  return OurAirportsTable::None;
}

bool IsOurAirportsFile(std::string_view header) {
  return OurAirportsTableOf(header) != OurAirportsTable::None;
}

SourceRead ReadOurAirports(const OurAirportsTables& tables) {
  // Pieces large enough that their handing out costs nothing beside their reading.
  constexpr std::size_t kPieceBytes = 256 * 1024;
  return ReadOurAirports(tables, kPieceBytes);
}

SourceRead ReadOurAirports(const OurAirportsTables& tables, std::size_t pieceBytes) {
  SourceRead out;
  out.problems = tables.problems;
  const std::string airportsName = NameOr(tables.airportsName, OurAirportsTable::Airports);
  const std::string runwaysName = NameOr(tables.runwaysName, OurAirportsTable::Runways);
  const std::string navaidsName = NameOr(tables.navaidsName, OurAirportsTable::Navaids);
  const std::string frequenciesName = NameOr(tables.frequenciesName, OurAirportsTable::Frequencies);

  // The airports first: the other tables join to them. The header problems of each
  // table are told before the rows' problems of all, in the tables' order.
  SourceRead headerProblems[3];
  TableRead airports = ReadAirports(tables.airports, airportsName, pieceBytes, out);
  AirportIndex index;
  for (PieceRead& piece : airports.pieces) index.Add(piece.airports);
  index.Build();
  TableRead runways, navaids, frequencies;
  tbb::parallel_invoke(
      [&] {
        runways = ReadRunways(tables.runways, runwaysName, index, pieceBytes, headerProblems[0]);
      },
      [&] {
        navaids = ReadNavaids(tables.navaids, navaidsName, index, pieceBytes, headerProblems[1]);
      },
      [&] {
        frequencies = ReadFrequencies(tables.frequencies, frequenciesName, index, pieceBytes,
                                      headerProblems[2]);
      });

  out.records.reserve(RecordsOf(airports.pieces) + RecordsOf(runways.pieces) +
                      RecordsOf(navaids.pieces) + RecordsOf(frequencies.pieces));
  const auto takeHeaderProblems = [&](SourceRead& from) {
    for (std::string& problem : from.problems) out.problems.push_back(std::move(problem));
  };
  MergePieces(airports.pieces, airports.linesBefore, airportsName, out);
  takeHeaderProblems(headerProblems[0]);
  MergePieces(runways.pieces, runways.linesBefore, runwaysName, out);
  takeHeaderProblems(headerProblems[1]);
  const std::size_t firstNavaid = out.records.size();
  MergePieces(navaids.pieces, navaids.linesBefore, navaidsName, out);
  JoinDmesToVors(navaids.pieces, firstNavaid, out);
  takeHeaderProblems(headerProblems[2]);
  MergePieces(frequencies.pieces, frequencies.linesBefore, frequenciesName, out);
  ReportUnplacedAtis(frequencies, frequenciesName, out);
  return out;
}

OurAirportsTables ReadOurAirportsFolder(const std::string& folder) {
  OurAirportsTables tables;
  const auto readTable = [&](OurAirportsTable table, std::string& text, std::string& name) {
    for (const DirEntry& entry : FindFiles(folder, OurAirportsFileName(table))) {
      if (entry.isDirectory) continue;
      name = JoinPath(folder, entry.name);
      if (std::optional<std::string> contents = ReadWholeFile(name)) {
        text = std::move(*contents);
      } else {
        tables.problems.push_back(name + ": cannot be read");
      }
      return;
    }
  };
  readTable(OurAirportsTable::Airports, tables.airports, tables.airportsName);
  readTable(OurAirportsTable::Runways, tables.runways, tables.runwaysName);
  readTable(OurAirportsTable::Navaids, tables.navaids, tables.navaidsName);
  readTable(OurAirportsTable::Frequencies, tables.frequencies, tables.frequenciesName);
  return tables;
}

}  // namespace quarn

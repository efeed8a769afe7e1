#include "navaid/xplane_nav.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "base/geodesy.h"

namespace quarn {
namespace xplane {

RowFields::RowFields(std::string_view line, std::size_t most) : line_(line) {
  most = std::min(most, kMaxFields);
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t at = 0;
  while (count_ < most) {
    while (at < line.size() && blank(line[at])) ++at;
    if (at == line.size()) break;
    start_[count_] = at;
    while (at < line.size() && !blank(line[at])) ++at;
    end_[count_++] = at;
  }
}

std::string_view RowFields::From(std::size_t k) const {
  if (k >= count_) return {};
  return TrimBlanks(line_.substr(start_[k]));
}

std::optional<int> ReadHeader(LineCursor& lines) {
  std::string_view line;
  if (!lines.Next(line)) return std::nullopt;
  const std::string_view origin = TrimBlanks(line);
  if (!origin.empty() && origin != "I" && origin != "A") return std::nullopt;
  if (!lines.Next(line)) return std::nullopt;
  const RowFields fields(line);
  if (fields.size() == 0) return std::nullopt;
  int version = 0;
  const std::string_view first = fields[0];
  const auto [end, ec] = std::from_chars(first.data(), first.data() + first.size(), version);
  if (ec != std::errc() || end != first.data() + first.size() || version <= 0) return std::nullopt;
  return version;
}

void RowCheck::Fail(const std::string& what) const {
  problems_.push_back(ReadErrorAt(file_, line_, what).message);
}

bool RowCheck::HasFields(const RowFields& fields, std::size_t needed, const char* row) const {
  if (fields.size() >= needed) return true;
  Fail(std::string("too few fields for ") + row + " (" + std::to_string(fields.size()) + " of " +
       std::to_string(needed) + ")");
  return false;
}

std::optional<double> RowCheck::Number(std::string_view field, const char* what) const {
  const auto value = ParseNumber(field);
  if (!value) Fail(std::string(what) + " \"" + std::string(field) + "\" is not a number");
  return value;
}

std::optional<double> RowCheck::NumberWithin(std::string_view field, double low, double high,
                                             const char* what) const {
  const auto value = Number(field, what);
  if (!value) return std::nullopt;
  if (*value < low || *value > high) {
    Fail(std::string(what) + " " + std::string(field) + " is out of range");
    return std::nullopt;
  }
  return value;
}

bool RowCheck::Position(std::string_view latitude, std::string_view longitude, double& latitudeDeg,
                        double& longitudeDeg) const {
  const auto lat = NumberWithin(latitude, -90, 90, "latitude");
  if (!lat) return false;
  const auto lon = NumberWithin(longitude, -180, 180, "longitude");
  if (!lon) return false;
  latitudeDeg = *lat;
  longitudeDeg = *lon;
  return true;
}

}  // namespace xplane

namespace {

using xplane::RowCheck;
using xplane::RowFields;

// Row codes of earth_nav.dat.
enum NavRow : int {
  kNdb = 2,
  kVor = 3,
  kLocalizerWithGlideSlope = 4,
  kLocalizerAlone = 5,
  kGlideSlope = 6,
  kOuterMarker = 7,
  kMiddleMarker = 8,
  kInnerMarker = 9,
  kDmeWithStation = 12,
  kDmeAlone = 13,
};

// Field positions every version shares: the row code, position, elevation (feet),
// frequency, range, a row-dependent value and the ident.
constexpr std::size_t kLatitude = 1, kLongitude = 2, kElevation = 3, kFrequency = 4, kValue = 6,
                      kIdent = 7, kAirport = 8;

// Glide slope angles a real approach can have (steep approaches reach about 7).
constexpr double kMaxGlideSlopeDeg = 10;
// A DME farther than this from the VOR or ILS of its ident stands alone.
constexpr double kDmeJoinMetres = 1000;

// Where a version puts the fields after the ident.
struct NavLayout {
  bool regions = false;         // 1100 on: terminal area and ICAO region columns
  bool magneticCourse = false;  // 1150 on: localizer course = magnetic x 360 + true
  std::size_t StationName() const { return regions ? 10 : 8; }
  std::size_t IlsRunway() const { return regions ? 10 : 9; }
  std::size_t IlsName() const { return IlsRunway() + 1; }
};

std::optional<NavLayout> LayoutOf(int version) {
  switch (version) {
    case 810:
      return NavLayout{false, false};
    case 1100:
      return NavLayout{true, false};
    case 1150:
    case 1200:
      return NavLayout{true, true};
    default:
      return std::nullopt;
  }
}

struct PendingGlideSlope {
  std::string airport, runway, ident;
  double frequency = 0;
  double latitudeDeg = 0, longitudeDeg = 0, elevationFt = 0, angleDeg = 0;
};

struct PendingDme {
  std::string ident;
  double latitudeDeg = 0, longitudeDeg = 0;
};

// Records grouped by a text of theirs, in file order, without a container per group:
// each record of a group links to the next. The records must not change meanwhile.
class RecordGroups {
 public:
  static constexpr std::size_t kEnd = static_cast<std::size_t>(-1);

  // key(record): the record's text to group by, or nothing to leave it out.
  template <typename Key>
  RecordGroups(const std::vector<SourcedNavaid>& records, Key key) : next_(records.size(), kEnd) {
    first_.reserve(records.size());
    for (std::size_t i = records.size(); i-- > 0;) {
      const std::optional<std::string_view> k = key(records[i]);
      if (!k) continue;
      const auto [at, added] = first_.try_emplace(*k, i);
      if (!added) {
        next_[i] = at->second;
        at->second = i;
      }
    }
  }
  std::size_t First(std::string_view key) const {
    const auto found = first_.find(key);
    return found == first_.end() ? kEnd : found->second;
  }
  std::size_t Next(std::size_t index) const { return next_[index]; }

 private:
  std::unordered_map<std::string_view, std::size_t> first_;
  std::vector<std::size_t> next_;
};

class NavReader {
 public:
  NavReader(const std::string& name, NavLayout layout) : name_(name), layout_(layout) {}

  void Row(std::string_view line, int number) {
    const int code = xplane::RowCode(line);
    if (code < kNdb || code > kDmeAlone || code == 10 || code == 11) return;
    // No row needs more fields told apart than a localizer's up to its name.
    const RowFields fields(line, layout_.IlsName() + 1);
    const RowCheck check(name_, number, read_.problems);
    switch (code) {
      case kNdb:
      case kVor:
        AddRecord([&](SourcedNavaid& out) { return Station(code, fields, check, number, out); });
        break;
      case kLocalizerWithGlideSlope:
      case kLocalizerAlone:
        AddRecord([&](SourcedNavaid& out) { return Localizer(fields, check, number, out); });
        break;
      case kGlideSlope:
        GlideSlope(fields, check);
        break;
      case kOuterMarker:
      case kMiddleMarker:
      case kInnerMarker:
        AddRecord([&](SourcedNavaid& out) { return Marker(code, fields, check, number, out); });
        break;
      default:
        Dme(fields, check);
        break;
    }
  }

  SourceRead Finish() {
    JoinGlideSlopes();
    JoinDmes();
    return std::move(read_);
  }

  void Reserve(std::size_t rows) { read_.records.reserve(rows); }
  std::vector<std::string>& problems() { return read_.problems; }

 private:
  // Reads a row into a new record in place, which is dropped when the row does not read.
  template <typename Read>
  void AddRecord(Read read) {
    SourcedNavaid& out = read_.records.emplace_back();
    if (!read(out)) read_.records.pop_back();
  }

  // The fields every row with a position shares; false (with a message) when they
  // do not read.
  bool Common(const RowFields& fields, const RowCheck& check, std::size_t needed, const char* row,
              SourcedNavaid& out, int number) const {
    if (!check.HasFields(fields, needed, row)) return false;
    if (!check.Position(fields[kLatitude], fields[kLongitude], out.latitudeDeg, out.longitudeDeg)) {
      return false;
    }
    const auto elevation = check.Number(fields[kElevation], "elevation");
    if (!elevation) return false;
    out.elevationFt = *elevation;
    out.ident = std::string(fields[kIdent]);
    out.source = NavaidSource::XPlane;
    out.line = number;
    return true;
  }

  bool Station(int code, const RowFields& fields, const RowCheck& check, int number,
               SourcedNavaid& out) const {
    const bool vor = code == kVor;
    out.kind = vor ? NavaidKind::Vor : NavaidKind::Ndb;
    const char* row = vor ? "a VOR" : "an NDB";
    if (!Common(fields, check, layout_.StationName(), row, out, number)) return false;
    // VORs in 10 kHz units, NDBs in kHz.
    const auto frequency =
        vor ? check.NumberWithin(fields[kFrequency], 10800, 11800, "VOR frequency")
            : check.NumberWithin(fields[kFrequency], 100, 1800, "NDB frequency");
    if (!frequency) return false;
    out.frequency = vor ? *frequency / 100 : *frequency;
    if (vor) {
      const auto variation = check.NumberWithin(fields[kValue], -180, 180, "slaved variation");
      if (!variation) return false;
      out.magneticVariationDeg = *variation;
    }
    if (layout_.regions && fields[kAirport] != "ENRT") out.airport = std::string(fields[kAirport]);
    out.name = std::string(fields.From(layout_.StationName()));
    return true;
  }

  // A course field: the true course, which from version 1150 on follows the
  // magnetic course times 360.
  std::optional<double> Course(std::string_view field, const RowCheck& check) const {
    const double high = layout_.magneticCourse ? 360.0 * 361 : 360;
    const auto course = check.NumberWithin(field, 0, high, "course");
    if (!course) return std::nullopt;
    return std::fmod(*course, 360.0);
  }

  bool Localizer(const RowFields& fields, const RowCheck& check, int number,
                 SourcedNavaid& out) const {
    out.kind = NavaidKind::Ils;
    if (!Common(fields, check, layout_.IlsName(), "a localizer", out, number)) return false;
    const auto frequency =
        check.NumberWithin(fields[kFrequency], 10800, 11800, "localizer frequency");
    if (!frequency) return false;
    const auto course = Course(fields[kValue], check);
    if (!course) return false;
    out.frequency = *frequency / 100;
    out.headingTrueDeg = *course;
    out.airport = std::string(fields[kAirport]);
    out.runway = std::string(fields[layout_.IlsRunway()]);
    out.name = std::string(fields.From(layout_.IlsName()));
    return true;
  }

  void GlideSlope(const RowFields& fields, const RowCheck& check) {
    SourcedNavaid position;
    if (!Common(fields, check, layout_.IlsName(), "a glide slope", position, 0)) return;
    const auto frequency =
        check.NumberWithin(fields[kFrequency], 10800, 11800, "glide slope frequency");
    if (!frequency) return;
    // The angle times 100000 (whole hundredths of a degree times 1000), plus the course.
    const auto encoded = check.Number(fields[kValue], "glide slope angle and course");
    if (!encoded) return;
    const double angle = std::floor(*encoded / 1000) / 100;
    if (!(angle > 0 && angle <= kMaxGlideSlopeDeg)) {
      check.Fail("glide slope angle in " + std::string(fields[kValue]) + " is out of range");
      return;
    }
    pendingGlideSlopes_.push_back({std::string(fields[kAirport]),
                                   std::string(fields[layout_.IlsRunway()]), position.ident,
                                   *frequency / 100, position.latitudeDeg, position.longitudeDeg,
                                   position.elevationFt, angle});
  }

  bool Marker(int code, const RowFields& fields, const RowCheck& check, int number,
              SourcedNavaid& out) const {
    out.kind = code == kOuterMarker    ? NavaidKind::OuterMarker
               : code == kMiddleMarker ? NavaidKind::MiddleMarker
                                       : NavaidKind::InnerMarker;
    if (!Common(fields, check, layout_.IlsName(), "a marker", out, number)) return false;
    const auto course = Course(fields[kValue], check);
    if (!course) return false;
    out.headingTrueDeg = *course;
    out.airport = std::string(fields[kAirport]);
    out.runway = std::string(fields[layout_.IlsRunway()]);
    out.name = std::string(fields.From(layout_.IlsName()));
    return true;
  }

  void Dme(const RowFields& fields, const RowCheck& check) {
    if (!check.HasFields(fields, kIdent + 1, "a DME")) return;
    PendingDme dme;
    if (!check.Position(fields[kLatitude], fields[kLongitude], dme.latitudeDeg, dme.longitudeDeg)) {
      return;
    }
    dme.ident = std::string(fields[kIdent]);
    pendingDmes_.push_back(std::move(dme));
  }

  // Gives each localizer the glide slope of its airport and runway with its ident, or,
  // where the glide slope's ident is a placeholder, with its frequency.
  void JoinGlideSlopes() {
    const RecordGroups byAirport(read_.records, [](const SourcedNavaid& r) {
      return r.kind == NavaidKind::Ils ? std::optional<std::string_view>(r.airport) : std::nullopt;
    });
    for (const PendingGlideSlope& gs : pendingGlideSlopes_) {
      SourcedNavaid* target = nullptr;
      for (std::size_t i = byAirport.First(gs.airport); i != RecordGroups::kEnd;
           i = byAirport.Next(i)) {
        SourcedNavaid& ils = read_.records[i];
        if (ils.runway != gs.runway || Known(ils.glideSlopeDeg)) continue;
        if (ils.ident == gs.ident) {
          target = &ils;
          break;
        }
        if (!target && std::fabs(ils.frequency - gs.frequency) < 0.001) target = &ils;
      }
      if (!target) continue;
      target->glideSlopeDeg = gs.angleDeg;
      target->glideSlopeLatitudeDeg = gs.latitudeDeg;
      target->glideSlopeLongitudeDeg = gs.longitudeDeg;
      target->glideSlopeElevationFt = gs.elevationFt;
    }
  }

  // Metres between two points where they are close enough to join, else more: points
  // whose latitudes alone lie farther apart are not measured.
  static double JoinMetres(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kJoinLatitudeDeg = 0.01;  // over 1 km on any meridian
    if (std::fabs(lat1 - lat2) > kJoinLatitudeDeg) return 2 * kDmeJoinMetres;
    return GreatCircleMetres(lat1, lon1, lat2, lon2);
  }

  // How far a DME stands from a station: an ILS's DME stands by its localizer or by
  // its glide slope antenna, as many at the far end of the runway do.
  static double MetresFrom(const PendingDme& dme, const SourcedNavaid& station) {
    double metres =
        JoinMetres(dme.latitudeDeg, dme.longitudeDeg, station.latitudeDeg, station.longitudeDeg);
    if (Known(station.glideSlopeLatitudeDeg)) {
      metres = std::min(metres,
                        JoinMetres(dme.latitudeDeg, dme.longitudeDeg, station.glideSlopeLatitudeDeg,
                                   station.glideSlopeLongitudeDeg));
    }
    return metres;
  }

  // Marks the VOR or ILS nearest to each DME of its ident, within kDmeJoinMetres.
  void JoinDmes() {
    const RecordGroups byIdent(read_.records, [](const SourcedNavaid& r) {
      return r.kind == NavaidKind::Vor || r.kind == NavaidKind::Ils
                 ? std::optional<std::string_view>(r.ident)
                 : std::nullopt;
    });
    for (const PendingDme& dme : pendingDmes_) {
      SourcedNavaid* nearest = nullptr;
      double nearestMetres = kDmeJoinMetres;
      for (std::size_t i = byIdent.First(dme.ident); i != RecordGroups::kEnd; i = byIdent.Next(i)) {
        const double metres = MetresFrom(dme, read_.records[i]);
        if (metres <= nearestMetres) {
          nearest = &read_.records[i];
          nearestMetres = metres;
        }
      }
      if (nearest) nearest->dme = true;
    }
  }

  const std::string& name_;
  NavLayout layout_;
  SourceRead read_;
  std::vector<PendingGlideSlope> pendingGlideSlopes_;
  std::vector<PendingDme> pendingDmes_;
};

}  // namespace

SourceRead ReadXPlaneNav(std::string_view text, const std::string& name) {
  LineCursor lines(text);
  const auto version = xplane::ReadHeader(lines);
  if (!version) {
    SourceRead read;
    read.problems.push_back(ReadErrorAt(name, 1, "not an X-Plane navigation data file").message);
    return read;
  }
  const auto layout = LayoutOf(*version);
  if (!layout) {
    SourceRead read;
    read.problems.push_back(ReadErrorAt(name, 2,
                                        "version " + std::to_string(*version) +
                                            " of the navigation data is not one this reader "
                                            "knows (810, 1100, 1150, 1200)")
                                .message);
    return read;
  }
  NavReader reader(name, *layout);
  reader.Reserve(EstimateLines(lines.rest()));
  xplane::ForEachRow(lines, name, reader.problems(),
                     [&](std::string_view line, int number) { reader.Row(line, number); });
  return reader.Finish();
}

}  // namespace quarn

#include "navaid/xplane_apt.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "base/geodesy.h"
#include "base/text_scan.h"
#include "navaid/xplane_nav.h"

namespace quarn {
namespace {

using xplane::RowCheck;
using xplane::RowFields;

// Row codes of apt.dat that carry what is read; every other one is skipped.
enum AptRow : int {
  kLandAirport = 1,
  kSeaplaneBase = 16,
  kHeliport = 17,
  kRunway = 100,
  kWaterRunway = 101,
  kHelipad = 102,
  kAtis = 50,         // 10 kHz units
  kAtisInKhz = 1050,  // kHz, for 8.33 kHz channels
  kMetadata = 1302,
};

constexpr int kFirstVersion = 1000, kLastVersion = 1200;

// A runway row: the row code, seven fields of the whole runway, then nine of each end.
constexpr std::size_t kRunwayFields = 26, kRunwayWidth = 1, kFirstEnd = 8, kSecondEnd = 17;
// Within an end: its number, position and displaced threshold.
constexpr std::size_t kEndNumber = 0, kEndLatitude = 1, kEndLongitude = 2, kEndDisplaced = 3;

// ATIS frequencies (MHz) of the air band and the VOR band (an ATIS on a VOR's voice).
constexpr double kLowestAtisMhz = 108, kHighestAtisMhz = 137;
// A row 50 rounds an 8.33 kHz channel to 10 kHz: closer ATIS frequencies are one.
constexpr double kSameChannelMhz = 0.0051;
// Ends closer than this give no direction: no runway.
constexpr double kShortestRunwayM = 1;

// The middle of points that may lie on both sides of the antimeridian: longitudes
// are taken relative to the first point.
class Middle {
 public:
  void Add(double latitudeDeg, double longitudeDeg) {
    if (count_ == 0) firstLongitude_ = longitudeDeg;
    double offset = longitudeDeg - firstLongitude_;
    if (offset > 180) offset -= 360;
    if (offset < -180) offset += 360;
    latitudeSum_ += latitudeDeg;
    offsetSum_ += offset;
    ++count_;
  }
  bool empty() const { return count_ == 0; }
  double LatitudeDeg() const { return latitudeSum_ / count_; }
  double LongitudeDeg() const {
    double longitude = firstLongitude_ + offsetSum_ / count_;
    if (longitude > 180) longitude -= 360;
    if (longitude < -180) longitude += 360;
    return longitude;
  }

 private:
  double latitudeSum_ = 0, offsetSum_ = 0, firstLongitude_ = 0;
  int count_ = 0;
};

class AptReader {
 public:
  AptReader(const std::string& name, SourceRead& read) : name_(name), read_(read) {}

  void Row(std::string_view line, int number) {
    const int code = xplane::RowCode(line);
    switch (code) {
      case kLandAirport:
      case kSeaplaneBase:
      case kHeliport:
        Close();
        Open(line, number);
        return;
      case kRunway:
      case kWaterRunway:
      case kHelipad:
      case kAtis:
      case kAtisInKhz:
      case kMetadata:
        break;
      default:
        return;
    }
    const RowCheck check(name_, number, read_.problems);
    if (!open_) {
      if (!skipping_) check.Fail("a row of code " + std::to_string(code) + " outside any airport");
      return;
    }
    const RowFields fields(line);
    switch (code) {
      case kRunway:
        Runway(fields, check, number);
        break;
      case kWaterRunway:
        Places(fields, check, {4, 7}, "a water runway");
        break;
      case kHelipad:
        Places(fields, check, {2}, "a helipad");
        break;
      case kMetadata:
        Metadata(fields, check);
        break;
      default:
        Atis(code, fields, check, number);
        break;
    }
  }

  // A line too long to read: when it is an airport's header, that airport's rows are
  // skipped rather than taken for the airport before.
  void TooLong(int code) {
    if (code != kLandAirport && code != kSeaplaneBase && code != kHeliport) return;
    Close();
    skipping_ = true;
  }

  // Ends the airport being read: places it and its ATIS, or leaves it out.
  void Close() {
    if (!open_) return;
    open_ = false;
    std::vector<SourcedNavaid>& records = read_.records;
    double latitude = 0, longitude = 0;
    if (Known(datumLatitude_) && Known(datumLongitude_)) {
      latitude = datumLatitude_;
      longitude = datumLongitude_;
    } else if (!places_.empty()) {
      latitude = places_.LatitudeDeg();
      longitude = places_.LongitudeDeg();
    } else {
      records.resize(first_);
      return;
    }
    const std::string code = icaoCode_.empty() ? records[first_].ident : icaoCode_;
    for (std::size_t i = first_; i < records.size(); ++i) {
      SourcedNavaid& r = records[i];
      r.airport = code;
      if (r.kind == NavaidKind::Runway) continue;
      r.ident = code;
      r.latitudeDeg = latitude;
      r.longitudeDeg = longitude;
    }
  }

 private:
  void Open(std::string_view line, int number) {
    const RowFields fields(line);
    const RowCheck check(name_, number, read_.problems);
    skipping_ = true;
    if (!check.HasFields(fields, 5, "an airport header")) return;
    const auto elevation = check.Number(fields[1], "airport elevation");
    if (!elevation) return;
    skipping_ = false;
    open_ = true;
    first_ = read_.records.size();
    icaoCode_.clear();
    datumLatitude_ = datumLongitude_ = kUnknown;
    places_ = Middle();
    SourcedNavaid& airport = read_.records.emplace_back();
    airport.kind = NavaidKind::Airport;
    airport.source = NavaidSource::XPlane;
    airport.ident = std::string(fields[4]);
    airport.name = std::string(fields.From(5));
    airport.elevationFt = *elevation;
    airport.line = number;
  }

  const SourcedNavaid& Airport() const { return read_.records[first_]; }

  void Metadata(const RowFields& fields, const RowCheck& check) {
    // Keys without a value are rows the data has no value for.
    if (fields.size() < 3) return;
    const std::string_view key = fields[1];
    if (key == "icao_code") {
      icaoCode_ = std::string(fields[2]);
    } else if (key == "datum_lat") {
      const auto latitude = check.NumberWithin(fields[2], -90, 90, "datum latitude");
      if (latitude) datumLatitude_ = *latitude;
    } else if (key == "datum_lon") {
      const auto longitude = check.NumberWithin(fields[2], -180, 180, "datum longitude");
      if (longitude) datumLongitude_ = *longitude;
    }
  }

  struct End {
    std::string_view number;
    double latitudeDeg = 0, longitudeDeg = 0, displacedM = 0;
  };

  static std::optional<End> ReadEnd(const RowFields& fields, std::size_t at,
                                    const RowCheck& check) {
    End end;
    end.number = fields[at + kEndNumber];
    if (!check.Position(fields[at + kEndLatitude], fields[at + kEndLongitude], end.latitudeDeg,
                        end.longitudeDeg)) {
      return std::nullopt;
    }
    const auto displaced =
        check.NumberWithin(fields[at + kEndDisplaced], 0, 1e5, "displaced threshold");
    if (!displaced) return std::nullopt;
    end.displacedM = *displaced;
    return end;
  }

  void Runway(const RowFields& fields, const RowCheck& check, int number) {
    if (!check.HasFields(fields, kRunwayFields, "a runway")) return;
    const auto width = check.NumberWithin(fields[kRunwayWidth], 0, 1000, "runway width");
    if (!width) return;
    const auto first = ReadEnd(fields, kFirstEnd, check);
    if (!first) return;
    const auto second = ReadEnd(fields, kSecondEnd, check);
    if (!second) return;
    const DistanceBearing along = DistanceAndBearing(first->latitudeDeg, first->longitudeDeg,
                                                     second->latitudeDeg, second->longitudeDeg);
    if (along.metres < kShortestRunwayM) {
      check.Fail("the runway's ends are at the same place");
      return;
    }
    const DistanceBearing back = DistanceAndBearing(second->latitudeDeg, second->longitudeDeg,
                                                    first->latitudeDeg, first->longitudeDeg);
    AddRunwayEnd(*first, *second, along.bearingDeg, along.metres, *width, number);
    AddRunwayEnd(*second, *first, back.bearingDeg, along.metres, *width, number);
    places_.Add(first->latitudeDeg, first->longitudeDeg);
    places_.Add(second->latitudeDeg, second->longitudeDeg);
  }

  void AddRunwayEnd(const End& end, const End& other, double headingDeg, double lengthM,
                    double widthM, int number) {
    SourcedNavaid r;
    r.kind = NavaidKind::Runway;
    r.source = NavaidSource::XPlane;
    r.latitudeDeg = end.latitudeDeg;
    r.longitudeDeg = end.longitudeDeg;
    r.elevationFt = Airport().elevationFt;
    r.ident = std::string(end.number);
    r.runway = r.ident;
    r.name = Airport().name;
    r.headingTrueDeg = headingDeg;
    r.lengthM = lengthM;
    r.widthM = widthM;
    r.thresholdDisplacedM = end.displacedM;
    r.endLatitudeDeg = other.latitudeDeg;
    r.endLongitudeDeg = other.longitudeDeg;
    r.line = number;
    read_.records.push_back(std::move(r));
  }

  // Water runways and helipads only help to place an airport without a datum: the
  // positions whose latitudes are at the given fields, longitudes after them.
  void Places(const RowFields& fields, const RowCheck& check,
              std::initializer_list<std::size_t> latitudeFields, const char* row) {
    if (!check.HasFields(fields, std::max(latitudeFields) + 2, row)) return;
    Middle withRow = places_;
    for (const std::size_t at : latitudeFields) {
      double latitude = 0, longitude = 0;
      if (!check.Position(fields[at], fields[at + 1], latitude, longitude)) return;
      withRow.Add(latitude, longitude);
    }
    places_ = withRow;
  }

  void Atis(int code, const RowFields& fields, const RowCheck& check, int number) {
    if (!check.HasFields(fields, 2, "an ATIS")) return;
    const double perMhz = code == kAtisInKhz ? 1000 : 100;
    const auto frequency = check.NumberWithin(fields[1], kLowestAtisMhz * perMhz,
                                              kHighestAtisMhz * perMhz, "ATIS frequency");
    if (!frequency) return;
    const double mhz = *frequency / perMhz;
    // The same ATIS in both units: keep one record, with the finer frequency.
    for (std::size_t i = first_ + 1; i < read_.records.size(); ++i) {
      SourcedNavaid& r = read_.records[i];
      if (r.kind == NavaidKind::Atis && std::fabs(r.frequency - mhz) <= kSameChannelMhz) {
        if (code == kAtisInKhz) r.frequency = mhz;
        return;
      }
    }
    SourcedNavaid& atis = read_.records.emplace_back();
    atis.kind = NavaidKind::Atis;
    atis.source = NavaidSource::XPlane;
    atis.frequency = mhz;
    atis.name = std::string(fields.From(2));
    atis.line = number;
  }

  const std::string& name_;
  SourceRead& read_;
  bool open_ = false;      // an airport's rows are being read
  bool skipping_ = false;  // an airport header did not read: its rows are skipped
  std::size_t first_ = 0;  // the airport's record
  std::string icaoCode_;
  double datumLatitude_ = kUnknown, datumLongitude_ = kUnknown;
  Middle places_;
};

}  // namespace

SourceRead ReadXPlaneApt(std::string_view text, const std::string& name) {
  SourceRead read;
  LineCursor lines(text);
  const auto version = xplane::ReadHeader(lines);
  if (!version) {
    read.problems.push_back(ReadErrorAt(name, 1, "not an X-Plane airport data file").message);
    return read;
  }
  if (*version < kFirstVersion || *version > kLastVersion) {
    read.problems.push_back(ReadErrorAt(name, 2,
                                        "version " + std::to_string(*version) +
                                            " of the airport data is not one this reader "
                                            "knows (1000 to 1200)")
                                .message);
    return read;
  }
  // About six records an airport, an airport in some hundred rows of its layout.
  read.records.reserve(text.size() / 2048 + 16);
  AptReader reader(name, read);
  xplane::ForEachRow(
      lines, name, read.problems,
      [&](std::string_view line, int number) { reader.Row(line, number); },
      [&](int code) { reader.TooLong(code); });
  reader.Close();
  return read;
}

}  // namespace quarn

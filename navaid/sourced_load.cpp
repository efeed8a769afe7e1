#include "navaid/sourced_load.h"

#include <tbb/parallel_for.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "base/geodesy.h"

namespace quarn {
namespace {

constexpr double kFeetPerMetre = 1 / 0.3048;
constexpr double kSameNavaidMetres = 1000;

double Or(double v, double fallback) {
  return Known(v) ? v : fallback;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

const char* MarkerIdent(NavaidKind kind) {
  switch (kind) {
    case NavaidKind::InnerMarker:
      return "IM";
    case NavaidKind::MiddleMarker:
      return "MM";
    default:
      return "LOM";
  }
}

// The midpoint of two ends, taken across the antimeridian where they lie either side.
void Midpoint(double lat1, double lon1, double lat2, double lon2, double& lat, double& lon) {
  lat = (lat1 + lat2) / 2;
  if (std::fabs(lon2 - lon1) > 180) lon2 += lon2 < lon1 ? 360 : -360;
  lon = (lon1 + lon2) / 2;
  if (lon > 180) lon -= 360;
  if (lon < -180) lon += 360;
}

bool HasOtherEnd(const SourcedNavaid& n) {
  return Known(n.endLatitudeDeg) && Known(n.endLongitudeDeg);
}

// The ends of the runways among the records, paired: an end and the end it names as
// its other, or an end alone.
struct RunwayPair {
  const SourcedNavaid* first = nullptr;
  const SourcedNavaid* second = nullptr;
};

std::string EndKey(const std::string& airport, double lat, double lon) {
  return airport + '|' + std::to_string(std::lround(lat * 1e6)) + '|' +
         std::to_string(std::lround(lon * 1e6));
}

std::vector<RunwayPair> PairRunwayEnds(std::span<const SourcedNavaid> records) {
  std::vector<RunwayPair> pairs;
  std::unordered_map<std::string, std::size_t> waiting;  // the other end's key -> pair
  for (const SourcedNavaid& n : records) {
    if (n.kind != NavaidKind::Runway) continue;
    const auto match = waiting.find(EndKey(n.airport, n.latitudeDeg, n.longitudeDeg));
    if (match != waiting.end() && pairs[match->second].second == nullptr) {
      pairs[match->second].second = &n;
      waiting.erase(match);
      continue;
    }
    pairs.push_back({&n, nullptr});
    if (HasOtherEnd(n)) {
      waiting[EndKey(n.airport, n.endLatitudeDeg, n.endLongitudeDeg)] = pairs.size() - 1;
    }
  }
  return pairs;
}

// The runway number at the other end: 18 more or less, left and right swapped.
std::string ReciprocalNumber(const std::string& key) {
  std::size_t digits = 0;
  while (digits < key.size() && std::isdigit(static_cast<unsigned char>(key[digits]))) ++digits;
  if (digits == 0) return key;
  int number = std::stoi(key.substr(0, digits));
  number = number > 18 ? number - 18 : number + 18;
  std::string side = key.substr(digits);
  if (side == "L")
    side = "R";
  else if (side == "R")
    side = "L";
  return std::to_string(number) + side;
}

bool SameRunway(const NavaidRecord& a, const NavaidRecord& b) {
  const std::string ka = RunwayNumberKey(a.Ident()), kb = RunwayNumberKey(b.Ident());
  return ka == kb || ReciprocalNumber(ka) == kb;
}

// Runways by cells of about a kilometre, so that one is compared with those near it.
constexpr double kRunwayCellDegrees = 0.01;

std::int64_t RunwayCell(double lat, double lon, int dLat, int dLon) {
  const auto row = static_cast<std::int64_t>(std::floor(lat / kRunwayCellDegrees)) + dLat;
  const auto column = static_cast<std::int64_t>(std::floor(lon / kRunwayCellDegrees)) + dLon;
  return row * 100000 + column;
}

// Kind, ident (an ATIS by its airport's name) and a cell of about 10 km: what tells
// two records for the same navaid apart from others. Idents repeat across the world
// (every marker is "OM", "MM" or "IM"), so the cell keeps each lookup small.
constexpr double kMatchCellDegrees = 0.1;

struct MatchKey {
  std::uint64_t text = 0;  // the ident's first eight letters, upper-cased
  std::int32_t row = 0;
  std::int32_t column = 0;
  std::int16_t kind = 0;
  bool operator==(const MatchKey&) const = default;
};

struct MatchKeyHash {
  std::size_t operator()(const MatchKey& k) const {
    std::uint64_t h = k.text * 0x9E3779B97F4A7C15ull;
    h ^= (static_cast<std::uint64_t>(static_cast<std::uint32_t>(k.row)) << 32 |
          static_cast<std::uint32_t>(k.column)) +
         0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h ^ static_cast<std::uint64_t>(k.kind));
  }
};

// An ident's letters as the key packs them: the first eight, upper-cased, trailing
// blanks dropped. Longer names that agree in these eight are told apart by the test
// of the whole record that follows the lookup.
std::uint64_t PackedText(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::uint64_t packed = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(text.size(), 8); ++i) {
    packed =
        packed << 8 | static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(text[i])));
  }
  return packed;
}

std::string_view MatchText(const NavaidRecord& r) {
  return r.kind == NavaidKind::Atis ? r.Name() : r.Ident();
}

MatchKey KeyOf(const NavaidRecord& r, int dLat, int dLon) {
  return {PackedText(MatchText(r)),
          static_cast<std::int32_t>(std::floor(r.latitude / kMatchCellDegrees)) + dLat,
          static_cast<std::int32_t>(std::floor(r.longitude / kMatchCellDegrees)) + dLon,
          static_cast<std::int16_t>(r.kind)};
}

// The neighbouring cells (-1, 0 or +1 either way) that a circle of the matching
// distance around the point reaches into: mostly the point's own cell alone.
struct CellReach {
  int latFrom, latTo, lonFrom, lonTo;
};

CellReach ReachOf(double latitude, double longitude, double cellDegrees) {
  constexpr double kReachDeg = 0.01;  // a little more than 1 km of latitude
  const double lonReach = kReachDeg / std::max(0.01, std::cos(latitude * kDegToRad));
  auto step = [&](double v, double reach, int dir) {
    return static_cast<int>(std::floor((v + dir * reach) / cellDegrees) -
                            std::floor(v / cellDegrees));
  };
  return {std::max(-1, step(latitude, kReachDeg, -1)), std::min(1, step(latitude, kReachDeg, 1)),
          std::max(-1, step(longitude, lonReach, -1)), std::min(1, step(longitude, lonReach, 1))};
}

}  // namespace

// The table's records by what matches them. Kept in the document from one source to
// the next: records added since (a scenery file's among them) are taken in before
// each lookup.
struct SourcedMatchIndex {
  // Chains of entries: a key's last entry, and each entry the one before it under
  // the same key. A record is entered again under its new key when a later source
  // moves it, so an entry names its record rather than being one.
  struct Entry {
    std::int32_t record;
    std::int32_t before;
  };
  std::int32_t indexedUpTo = 0;
  std::unordered_map<MatchKey, std::int32_t, MatchKeyHash> byKey;
  std::unordered_map<std::string, std::int32_t> airports;
  std::unordered_map<std::int64_t, std::int32_t> runways;
  std::vector<Entry> entries;

  template <typename Map, typename Key>
  void Enter(Map& map, const Key& key, std::int32_t record) {
    const auto [it, inserted] = map.try_emplace(key, -1);
    entries.push_back({record, it->second});
    it->second = static_cast<std::int32_t>(entries.size() - 1);
  }
  // Calls visit(record) for every entry under key until it returns true; the record
  // it stopped at, or -1.
  template <typename Map, typename Key, typename Visit>
  std::int32_t FindIn(const Map& map, const Key& key, Visit visit) const {
    const auto it = map.find(key);
    if (it == map.end()) return -1;
    for (std::int32_t e = it->second; e >= 0; e = entries[static_cast<std::size_t>(e)].before) {
      const std::int32_t record = entries[static_cast<std::size_t>(e)].record;
      if (visit(record)) return record;
    }
    return -1;
  }
};

namespace {

class TableIndex {
 public:
  TableIndex(CHalbricoDoc& doc, std::size_t coming) : doc_(doc) {
    if (!doc.m_sourcedIndex) doc.m_sourcedIndex = std::make_shared<SourcedMatchIndex>();
    index_ = doc.m_sourcedIndex.get();
    const std::size_t expected = static_cast<std::size_t>(doc.m_navaidCount) + coming;
    index_->byKey.reserve(expected);
    index_->airports.reserve(expected / 4);
    index_->runways.reserve(expected / 4);
    index_->entries.reserve(expected);
    CatchUp();
  }
  // Takes in the records added since the last lookup.
  void CatchUp() {
    for (; index_->indexedUpTo < doc_.m_navaidCount; ++index_->indexedUpTo)
      Add(index_->indexedUpTo);
  }
  void Add(std::int32_t i) {
    const NavaidRecord& r = Record(i);
    if (!(std::fabs(r.latitude) <= 90 && std::fabs(r.longitude) <= 360)) return;
    if (r.kind == NavaidKind::Runway) {
      index_->Enter(index_->runways, RunwayCell(r.latitude, r.longitude, 0, 0), i);
      return;
    }
    if (r.kind == NavaidKind::Airport && !Upper(r.Ident()).empty()) {
      index_->airports[Upper(r.Ident())] = i;
    }
    index_->Enter(index_->byKey, KeyOf(r, 0, 0), i);
  }
  // The record this one replaces, or -1.
  std::int32_t Find(const NavaidRecord& r) const {
    if (r.kind == NavaidKind::Runway) return FindRunway(r);
    if (r.kind == NavaidKind::Airport && !Upper(r.Ident()).empty()) {
      const auto it = index_->airports.find(Upper(r.Ident()));
      if (it != index_->airports.end()) return it->second;
    }
    if (!(std::fabs(r.latitude) <= 90 && std::fabs(r.longitude) <= 360)) return -1;
    const CellReach reach = ReachOf(r.latitude, r.longitude, kMatchCellDegrees);
    for (int dLat = reach.latFrom; dLat <= reach.latTo; ++dLat) {
      for (int dLon = reach.lonFrom; dLon <= reach.lonTo; ++dLon) {
        const std::int32_t found = index_->FindIn(index_->byKey, KeyOf(r, dLat, dLon), [&](int i) {
          return Near(Record(i), r) && Upper(MatchText(Record(i))) == Upper(MatchText(r));
        });
        if (found >= 0) return found;
      }
    }
    return -1;
  }

 private:
  std::int32_t FindRunway(const NavaidRecord& r) const {
    if (!(std::fabs(r.latitude) <= 90 && std::fabs(r.longitude) <= 360)) return -1;
    for (int dLat = -1; dLat <= 1; ++dLat) {
      for (int dLon = -1; dLon <= 1; ++dLon) {
        const std::int32_t found =
            index_->FindIn(index_->runways, RunwayCell(r.latitude, r.longitude, dLat, dLon),
                           [&](int i) { return SameRunway(Record(i), r) && Near(Record(i), r); });
        if (found >= 0) return found;
      }
    }
    return -1;
  }
  static bool Near(const NavaidRecord& a, const NavaidRecord& b) {
    return a.kind == b.kind &&
           GreatCircleMetres(a.latitude, a.longitude, b.latitude, b.longitude) < kSameNavaidMetres;
  }
  const NavaidRecord& Record(std::int32_t i) const {
    return doc_.m_navaids[static_cast<std::size_t>(i)];
  }
  CHalbricoDoc& doc_;
  SourcedMatchIndex* index_;
};

void Put(CHalbricoDoc& doc, TableIndex& index, const NavaidRecord& record) {
  const std::int32_t replaced = index.Find(record);
  if (replaced >= 0) {
    doc.m_navaids[static_cast<std::size_t>(replaced)] = record;
    index.Add(replaced);  // also under its new position's keys
    return;
  }
  doc.AddNavaid(record.kind, record.latitude, record.longitude, record.intValue, record.frequency,
                record.Ident(), record.Name(), record.magVar, record.course, record.extra);
  NavaidRecord& added = doc.m_navaids[static_cast<std::size_t>(doc.m_navaidCount - 1)];
  added.source = record.source;
  added.detail = record.detail;
  index.CatchUp();
}

// A table record to be made from a source's navaid (and a runway's other end), with
// where its typed values go.
struct Prepared {
  const SourcedNavaid* navaid = nullptr;
  const SourcedNavaid* otherEnd = nullptr;
  std::int32_t detail = -1;
  std::int32_t otherDetail = -1;
  NavaidRecord record;
};

void CopyText(char* field, int size, std::string_view text, int limit) {
  std::fill(field, field + size, '\0');
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), static_cast<std::size_t>(limit)),
              field);
}

}  // namespace

std::string RunwayNumberKey(std::string_view ident) {
  std::string out = Upper(ident);
  out.erase(0, std::min(out.find_first_not_of("0 "), out.size()));
  return out;
}

NavaidRecord TableRecordOf(const SourcedNavaid& n, const SourcedNavaid* otherEnd) {
  NavaidRecord r;
  r.kind = n.kind;
  r.source = n.source;
  r.latitude = n.latitudeDeg;
  r.longitude = n.longitudeDeg;
  std::string ident = n.ident;
  std::string name = n.name;
  switch (n.kind) {
    case NavaidKind::Runway: {
      // At the runway's centre, along the first end's heading: as a scenery file
      // places a runway.
      double endLat = n.endLatitudeDeg, endLon = n.endLongitudeDeg;
      if (otherEnd) {
        endLat = otherEnd->latitudeDeg;
        endLon = otherEnd->longitudeDeg;
      }
      const bool bothEnds = Known(endLat) && Known(endLon);
      if (bothEnds)
        Midpoint(n.latitudeDeg, n.longitudeDeg, endLat, endLon, r.latitude, r.longitude);
      const DistanceBearing along =
          bothEnds ? DistanceAndBearing(n.latitudeDeg, n.longitudeDeg, endLat, endLon)
                   : DistanceBearing{Or(n.lengthM, 0), Or(n.headingTrueDeg, 0)};
      r.course = Or(n.headingTrueDeg, along.bearingDeg);
      r.extra = Or(n.lengthM, along.metres) * kFeetPerMetre;
      r.magVar = Or(n.widthM, 0) * kFeetPerMetre;
      r.intValue = static_cast<std::int32_t>(std::trunc(Or(n.elevationFt, 0) * 0.3048));
      ident = n.runway;
      name = "Runway";
      break;
    }
    case NavaidKind::Ils:
      r.intValue = Known(n.glideSlopeDeg) ? static_cast<std::int32_t>(std::lround(
                                                std::sin(n.glideSlopeDeg * kDegToRad) * 131072))
                                          : 0;
      r.frequency = Or(n.frequency, 0);
      r.course = Or(n.headingTrueDeg, 0);
      if (name.empty()) name = ident;
      break;
    case NavaidKind::Vor:
      r.intValue = static_cast<std::int32_t>(std::lround(Or(n.elevationFt, 0)));
      r.frequency = Or(n.frequency, 0);
      r.magVar = Or(n.magneticVariationDeg, 0);
      break;
    case NavaidKind::Ndb:
      r.frequency = Or(n.frequency, 0);
      break;
    case NavaidKind::Airport:
      r.intValue = static_cast<std::int32_t>(std::lround(Or(n.elevationFt, 0)));
      break;
    case NavaidKind::InnerMarker:
    case NavaidKind::MiddleMarker:
    case NavaidKind::OuterMarker:
      r.intValue = static_cast<std::int32_t>(std::lround(Or(n.elevationFt, 0)));
      ident = MarkerIdent(n.kind);
      name.clear();
      break;
    case NavaidKind::Atis:
      r.frequency = Or(n.frequency, 0);
      ident = "ATIS ";
      name = n.airport.empty() ? n.name : n.airport + " " + n.name;
      break;
    case NavaidKind::Fix:
      name = ident;
      break;
    default:
      break;
  }
  if (r.course < 0) r.course += 360;
  CopyText(r.ident, kIdentSize, ident, kIdentSize);
  CopyText(r.name, kNameSize, name, kNameSize - 1);
  return r;
}

void AddSourcedNavaids(CHalbricoDoc& doc, std::span<const SourcedNavaid> records) {
  // Room at once, growing by at least half: a load adds source after source.
  auto makeRoom = [](auto& v, std::size_t wanted) {
    if (wanted > v.capacity()) v.reserve(std::max(wanted, v.capacity() + v.capacity() / 2));
  };
  makeRoom(doc.m_details, doc.m_details.size() + 2 * records.size());
  makeRoom(doc.m_navaids, static_cast<std::size_t>(doc.m_navaidCount) + records.size());
  // What each record becomes, in order: the navaids but the runway ends, then the
  // runways. Where their typed values go is set here; the values and the table's
  // records are made on every core, and only the matching with the table is done one
  // record after the other.
  std::vector<Prepared> prepared;
  prepared.reserve(records.size());
  auto nextDetail = static_cast<std::int32_t>(doc.m_details.size());
  for (const SourcedNavaid& n : records) {
    if (n.kind != NavaidKind::Runway) prepared.push_back({&n, nullptr, nextDetail++, -1, {}});
  }
  for (const RunwayPair& pair : PairRunwayEnds(records)) {
    Prepared p{pair.first, pair.second, -1, -1, {}};
    if (pair.second) p.otherDetail = nextDetail++;  // the other end's values go first
    p.detail = nextDetail++;
    prepared.push_back(p);
  }
  doc.m_details.resize(static_cast<std::size_t>(nextDetail));
  tbb::parallel_for(std::size_t{0}, prepared.size(), [&](std::size_t k) {
    Prepared& p = prepared[k];
    doc.m_details[static_cast<std::size_t>(p.detail)] = NavaidDetail{*p.navaid, p.otherDetail};
    if (p.otherEnd)
      doc.m_details[static_cast<std::size_t>(p.otherDetail)] = NavaidDetail{*p.otherEnd, -1};
    p.record = TableRecordOf(*p.navaid, p.otherEnd);
    p.record.detail = p.detail;
    p.record.fileIndex =
        static_cast<std::int16_t>(static_cast<std::uint16_t>(doc.m_bglIndex & 0xFFFF));
  });
  TableIndex index(doc, records.size());
  for (const Prepared& p : prepared) Put(doc, index, p.record);
}

}  // namespace quarn

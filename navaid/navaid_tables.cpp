#include <algorithm>
#include <cctype>
#include <cmath>

#include "base/geodesy.h"
#include "base/numeric.h"
#include "navaid/halbrico_doc.h"

namespace quarn {
namespace {

// Copies text into a fixed field the way strncpy does: at most `limit` bytes, up to
// the first NUL, the rest of the field zeroed.
void CopyField(char* field, int fieldSize, std::string_view text, int limit) {
  std::fill(field, field + fieldSize, '\0');
  const auto nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  const auto n = std::min(text.size(), static_cast<std::size_t>(limit));
  std::copy_n(text.data(), n, field);
}

std::string Normalised(std::string_view s) {
  const auto last = s.find_last_not_of(' ');
  std::string out(last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1));
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::vector<std::int32_t>* ListOf(CHalbricoDoc& doc, NavaidKind kind) {
  switch (kind) {
    case NavaidKind::Ndb:
      return &doc.m_ndbIdx;
    case NavaidKind::Ils:
      return &doc.m_ilsIdx;
    case NavaidKind::Vor:
      return &doc.m_vorIdx;
    case NavaidKind::Airport:
      return &doc.m_airportIdx;
    case NavaidKind::InnerMarker:
    case NavaidKind::MiddleMarker:
    case NavaidKind::OuterMarker:
      return &doc.m_markerIdx;
    case NavaidKind::Runway:
      return &doc.m_runwayIdx;
    case NavaidKind::Atis:
      return &doc.m_atisIdx;
    case NavaidKind::Fix:
      return &doc.m_fixIdx;
    case NavaidKind::DynObj:
    case NavaidKind::DynScn:
      break;
  }
  return nullptr;
}

}  // namespace

void CHalbricoDoc::AddNavaid(NavaidKind kind, double latitude, double longitude,
                             std::int32_t intValue, double frequency, std::string_view ident,
                             std::string_view name, double magVar, double course, double extra) {
  // The table grows by at least 5000 records at a time, and by its own size once
  // larger, so a worldwide load copies each record a bounded number of times.
  if (m_navaids.size() == m_navaids.capacity()) {
    m_navaids.reserve(m_navaids.size() + std::max<std::size_t>(kNavaidGrowStep, m_navaids.size()));
  }
  NavaidRecord r;
  r.kind = kind;
  r.latitude = latitude;
  r.longitude = longitude;
  r.intValue = intValue;
  r.frequency = frequency;
  CopyField(r.ident, kIdentSize, ident, kIdentSize);
  CopyField(r.name, kNameSize, name, kNameSize - 1);
  r.magVar = magVar;
  r.course = course < 0 ? course + 360 : course;
  r.extra = extra;
  r.fileIndex = static_cast<std::int16_t>(static_cast<std::uint16_t>(m_bglIndex & 0xFFFF));
  m_navaids.resize(static_cast<std::size_t>(m_navaidCount));
  m_navaids.push_back(r);
  ++m_navaidCount;
  if (kind == NavaidKind::Airport) IndexAirport(m_navaidCount - 1);
}

namespace {

constexpr double kCellsPerDegree = 5;  // cells of 0.2 degree: twice the search distance
constexpr double kMaxCellDegrees = 1e6;
constexpr std::int64_t kCellColumns = 2 * static_cast<std::int64_t>(kMaxCellDegrees) * 5 + 3;
constexpr std::int64_t kNoCell = -1;

}  // namespace

std::int64_t CHalbricoDoc::AirportCellOf(double latitude, double longitude) {
  if (!(std::fabs(latitude) < kMaxCellDegrees && std::fabs(longitude) < kMaxCellDegrees)) {
    return kNoCell;  // NaN lands here too
  }
  const auto row = static_cast<std::int64_t>(std::floor(latitude * kCellsPerDegree)) +
                   static_cast<std::int64_t>(kMaxCellDegrees * kCellsPerDegree) + 1;
  const auto column = static_cast<std::int64_t>(std::floor(longitude * kCellsPerDegree)) +
                      static_cast<std::int64_t>(kMaxCellDegrees * kCellsPerDegree) + 1;
  return row * kCellColumns + column;
}

void CHalbricoDoc::IndexAirport(std::int32_t index) {
  const NavaidRecord& r = m_navaids[static_cast<std::size_t>(index)];
  const std::int64_t cell = AirportCellOf(r.latitude, r.longitude);
  if (cell == kNoCell) {
    airportsWithoutCell_.push_back(index);
    return;
  }
  const auto entry = static_cast<std::int32_t>(airportCellEntries_.size());
  const auto [at, added] = airportCellLast_.try_emplace(cell, entry);
  airportCellEntries_.push_back({index, added ? -1 : at->second});
  at->second = entry;
}

void CHalbricoDoc::RebuildIndexLists() {
  for (auto* list : {&m_runwayIdx, &m_ilsIdx, &m_vorIdx, &m_ndbIdx, &m_markerIdx, &m_airportIdx,
                     &m_atisIdx, &m_fixIdx}) {
    std::vector<std::int32_t>().swap(*list);
  }
  for (std::int32_t i = 0; i < m_navaidCount; ++i) {
    if (auto* list = ListOf(*this, m_navaids[static_cast<std::size_t>(i)].kind)) list->push_back(i);
  }
  const auto lists = GridLists();
  const std::span<const NavaidRecord> records(
      m_navaids.data(), std::min(m_navaids.size(), static_cast<std::size_t>(m_navaidCount)));
  for (std::size_t k = 0; k < lists.size(); ++k) {
    const std::vector<std::int32_t>& list = this->*lists[k];
    if (list.size() >= kGridMinimumEntries) {
      grids_[k].Build(records, list);
    } else {
      grids_[k].Clear();
    }
  }
}

std::array<std::vector<std::int32_t> CHalbricoDoc::*, 8> CHalbricoDoc::GridLists() const {
  return {&CHalbricoDoc::m_runwayIdx, &CHalbricoDoc::m_ilsIdx,    &CHalbricoDoc::m_vorIdx,
          &CHalbricoDoc::m_ndbIdx,    &CHalbricoDoc::m_markerIdx, &CHalbricoDoc::m_airportIdx,
          &CHalbricoDoc::m_atisIdx,   &CHalbricoDoc::m_fixIdx};
}

bool CHalbricoDoc::ListNear(const std::vector<std::int32_t>& list, double latMin, double latMax,
                            double lonMin, double lonMax, std::vector<std::int32_t>& out) const {
  const auto lists = GridLists();
  for (std::size_t k = 0; k < lists.size(); ++k) {
    if (&(this->*lists[k]) != &list) continue;
    // A grid built for a list of another length is stale: the list is walked.
    if (grids_[k].empty() || list.size() < kGridMinimumEntries) return false;
    return grids_[k].Collect(latMin, latMax, lonMin, lonMax, out);
  }
  return false;
}

void CHalbricoDoc::ClearNavaids() {
  m_navaidCount = 0;
  // The index lists would otherwise point into the emptied table until the next
  // rebuild, and a redraw in between would read outside it.
  for (auto* list : {&m_runwayIdx, &m_ilsIdx, &m_vorIdx, &m_ndbIdx, &m_markerIdx, &m_airportIdx,
                     &m_atisIdx, &m_fixIdx}) {
    list->clear();
  }
  airportCellLast_.clear();
  airportCellEntries_.clear();
  airportsWithoutCell_.clear();
  std::vector<NavaidRecord>().swap(m_navaids);
  m_navaids.reserve(kNavaidGrowStep);
  std::vector<NavaidDetail>().swap(m_details);
  m_sourcedIndex.reset();
  for (NavaidGrid& grid : grids_) grid.Clear();
}

bool CHalbricoDoc::MatchesAirport(std::int32_t index, const std::string& wanted, double latitude,
                                  double longitude) const {
  // An entry may outlive its record when the table was cut back: check it is one.
  if (index >= m_navaidCount) return false;
  const NavaidRecord& r = m_navaids[static_cast<std::size_t>(index)];
  if (r.kind != NavaidKind::Airport) return false;
  if (!(std::fabs(r.latitude - latitude) < 0.1 && std::fabs(r.longitude - longitude) < 0.1)) {
    return false;
  }
  if (DistanceAndBearing(r.latitude, r.longitude, latitude, longitude).metres < 1000.0) {
    return true;
  }
  return Normalised(r.Name()) == wanted;
}

bool CHalbricoDoc::IsDuplicateAirport(std::string_view name, double latitude,
                                      double longitude) const {
  const std::string wanted = Normalised(name);
  auto anyMatches = [&](const std::vector<std::int32_t>& indices) {
    return std::any_of(indices.begin(), indices.end(), [&](std::int32_t i) {
      return MatchesAirport(i, wanted, latitude, longitude);
    });
  };
  if (anyMatches(airportsWithoutCell_)) return true;
  const std::int64_t cell = AirportCellOf(latitude, longitude);
  if (cell == kNoCell) {
    // Rare enough to compare with every record, as without the cells.
    for (std::int32_t i = 0; i < m_navaidCount; ++i) {
      if (MatchesAirport(i, wanted, latitude, longitude)) return true;
    }
    return false;
  }
  // Within 0.1 degree either way means at most one cell away.
  for (const std::int64_t rowStep : {-kCellColumns, std::int64_t{0}, kCellColumns}) {
    for (const std::int64_t columnStep : {-1, 0, 1}) {
      const auto found = airportCellLast_.find(cell + rowStep + columnStep);
      if (found == airportCellLast_.end()) continue;
      for (std::int32_t e = found->second; e >= 0;) {
        const CellEntry& entry = airportCellEntries_[static_cast<std::size_t>(e)];
        if (MatchesAirport(entry.record, wanted, latitude, longitude)) return true;
        e = entry.next;
      }
    }
  }
  return false;
}

int CHalbricoDoc::NearestNavaid(double latitude, double longitude, NavaidKind kind) const {
  // Walks the records themselves, not the index lists: the parser asks while a file
  // is being read, before the lists are rebuilt.
  double best = 20003500.0;
  int found = -1;
  for (std::int32_t i = 0; i < m_navaidCount; ++i) {
    const NavaidRecord& r = m_navaids[static_cast<std::size_t>(i)];
    if (r.kind != kind) continue;
    const double d = DistanceAndBearing(latitude, longitude, r.latitude, r.longitude).metres;
    if (d < best) {
      best = d;
      found = i;
    }
  }
  return found;
}

double CHalbricoDoc::MagneticVariationAt(double latitude, double longitude) const {
  if (m_magVarLoaded == 1 && m_magVarTable.size() == static_cast<std::size_t>(kMagVarEntries)) {
    // Nearest whole degree. A latitude beyond the poles is held to the grid's edge
    // and any longitude wraps into 0 .. 359, so the lookup never leaves the table.
    const int lat = std::clamp(TruncToInt(std::floor(latitude + 0.5)), -90, 90);
    const int lon = TruncToInt(std::fmod(std::floor(longitude + 0.5), 360.0));
    const int row = lat + 90;
    const int column = (lon + 360) % 360;
    const std::uint16_t raw = m_magVarTable[static_cast<std::size_t>(row + column * kMagVarRows)];
    double value = raw * 360.0 / 65536.0;
    if (value > 180) value -= 360;
    return -value;
  }
  const int vor = NearestNavaid(latitude, longitude, NavaidKind::Vor);
  return vor < 0 ? 0.0 : m_navaids[static_cast<std::size_t>(vor)].magVar;
}

}  // namespace quarn

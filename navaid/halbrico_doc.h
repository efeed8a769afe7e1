#pragma once
// The document: owner of the navaid database and of the scenery-list state.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/compare_alignment.h"
#include "base/flight.h"
#include "navaid/navaid_grid.h"
#include "navaid/navaid_record.h"
#include "navaid/navaid_source.h"
#include "platform/notices.h"

namespace quarn {

inline constexpr int kNavaidGrowStep = 5000;
inline constexpr int kNdbSeenGrowStep = 100;
inline constexpr int kMaxBglFiles = 2000;
// The magnetic-variation grid: 181 latitudes (-90 .. 90) in each of 360 longitude
// columns (0 .. 359 east).
inline constexpr int kMagVarRows = 181;
inline constexpr int kMagVarColumns = 360;
inline constexpr int kMagVarEntries = kMagVarRows * kMagVarColumns;

// The bytes magvar.nav keeps of a grid: 65160 two-byte items from the section start.
inline constexpr int kMagVarFileBytes = 2 * kMagVarEntries;

// What a scenery file gave besides its records, which go into the tables.
struct BglParseResult {
  // The magnetic-variation section as magvar.nav keeps it; empty when the file
  // carries no complete grid.
  std::vector<std::uint8_t> magVarFile;
  // Why the file could not be read, for the user; empty when it was parsed.
  std::string problem;
  MessageKind problemKind = MessageKind::Info;
};

class CHalbricoDoc {
 public:
  CHalbricoDoc() = default;
  CHalbricoDoc(const CHalbricoDoc&) = delete;
  CHalbricoDoc& operator=(const CHalbricoDoc&) = delete;

  // ---- The flights ----

  // The current flight, which every chart shows; before any record is selected, the
  // zeroed flight the program starts with.
  const Flight& flight() const { return m_flights.front(); }
  void SetFlight(Flight flight) {
    m_flights.front() = std::move(flight);
    m_compareOffsetHours.reset();
  }
  // The current flight first, then any other the document holds.
  std::vector<Flight> m_flights = std::vector<Flight>(1, ProgramStartFlight());

  // The flight drawn beside the current one (the second of m_flights), or none.
  const Flight* comparedFlight() const {
    return m_compareAlignment && m_flights.size() > 1 ? &m_flights[1] : nullptr;
  }
  // How the compared flight is laid on the current one in time.
  CompareAlignment compareAlignment() const {
    return m_compareAlignment.value_or(kDefaultCompareAlignment);
  }
  // Replaces the compared flight, if any.
  void SetComparedFlight(Flight flight, CompareAlignment alignment = kDefaultCompareAlignment) {
    m_flights.resize(1);
    m_flights.push_back(std::move(flight));
    m_compareAlignment = alignment;
    m_compareOffsetHours.reset();
  }
  void EndCompare() {
    m_flights.resize(1);
    m_compareAlignment.reset();
    m_compareOffsetHours.reset();
  }
  // Set while a flight is compared: a second flight held for other uses is not drawn.
  std::optional<CompareAlignment> m_compareAlignment;
  // The hours that lay the compared flight on the current one, once found: finding
  // the take-off and touchdown of two long flights at every redraw would slow the
  // cursor. Forgotten whenever either flight is replaced.
  std::optional<double> m_compareOffsetHours;

  // ---- The navaid tables ----

  // Appends one record at m_navaidCount; the index lists are not touched.
  void AddNavaid(NavaidKind kind, double latitude, double longitude, std::int32_t intValue,
                 double frequency, std::string_view ident, std::string_view name, double magVar,
                 double course, double extra);
  // Every index list afresh from records 0 .. m_navaidCount - 1.
  void RebuildIndexLists();
  // Empties the table and its index lists.
  void ClearNavaids();
  // An airport already in the table within 0.1 degree that is either closer than
  // 1000 metres or has the same name (letter case and trailing blanks aside).
  bool IsDuplicateAirport(std::string_view name, double latitude, double longitude) const;
  // The entries of an index list that may lie in the box (degrees), in ascending
  // order: true with them in out; false when the list is to be walked whole (a short
  // list, or a box too large).
  bool ListNear(const std::vector<std::int32_t>& list, double latMin, double latMax, double lonMin,
                double lonMax, std::vector<std::int32_t>& out) const;
  // Position of the nearest record of a kind, or -1.
  int NearestNavaid(double latitude, double longitude, NavaidKind kind) const;
  // Degrees: from the grid when one was loaded, else the nearest VOR's, else 0.
  double MagneticVariationAt(double latitude, double longitude) const;

  // ---- The scenery parser ----

  // Maps one BGL file and parses it into the tables; a file that cannot be opened or
  // mapped adds nothing and says why in the result. Writes no file.
  BglParseResult ParseBgl(const std::string& path);
  // Parses the bytes of a BGL file already in memory.
  BglParseResult ParseBglBytes(std::span<const std::uint8_t> bytes);

  // 1 after a successful navaid load; cleared by defining a group and by selecting
  // a flight record.
  std::int32_t m_navaidsLoaded = 0;

  std::vector<NavaidRecord> m_navaids;
  std::int32_t m_navaidCount = 0;
  // The typed values of the records from sources of today, by their `detail`.
  std::vector<NavaidDetail> m_details;
  // What matches a source's navaids with those already in the table, kept from one
  // source to the next of a load (built and used by AddSourcedNavaids).
  std::shared_ptr<struct SourcedMatchIndex> m_sourcedIndex;
  // The other end of a runway whose typed values are detail, or none.
  const SourcedNavaid* OtherEndOf(const NavaidDetail& detail) const {
    if (detail.otherEnd < 0 || static_cast<std::size_t>(detail.otherEnd) >= m_details.size()) {
      return nullptr;
    }
    return &m_details[static_cast<std::size_t>(detail.otherEnd)].navaid;
  }
  std::vector<std::int32_t> m_runwayIdx;
  std::vector<std::int32_t> m_ilsIdx;
  std::vector<std::int32_t> m_vorIdx;
  std::vector<std::int32_t> m_ndbIdx;
  std::vector<std::int32_t> m_markerIdx;
  std::vector<std::int32_t> m_airportIdx;
  std::vector<std::int32_t> m_atisIdx;
  std::vector<std::int32_t> m_fixIdx;
  // NDBs taken from the facility data of the file being parsed.
  std::vector<NdbKey> m_ndbSeen;
  std::vector<std::uint16_t> m_magVarTable;
  std::int32_t m_magVarLoaded = 0;

  std::string m_groupFile;
  // Path of each BGL file of the list being loaded, by line number.
  std::vector<std::string> m_bglNames = std::vector<std::string>(kMaxBglFiles);
  std::int32_t m_bglIndex = 0;
  std::string m_currentBgl;
  std::int32_t m_fs2000Probe = 0;
  // 1 while a group search probes files: the parser stops at the first record.
  std::int32_t m_probing = 0;

 private:
  // Airports by cell of 0.2 degree, so the duplicate test looks at the few airports
  // near a candidate instead of the whole table. Airports whose coordinates have no
  // cell (not finite, or far outside the globe) are kept apart and always compared.
  static std::int64_t AirportCellOf(double latitude, double longitude);
  void IndexAirport(std::int32_t index);
  bool MatchesAirport(std::int32_t index, const std::string& wanted, double latitude,
                      double longitude) const;
  struct CellEntry {
    std::int32_t record;
    std::int32_t next;  // the cell's previous entry, or -1
  };
  std::unordered_map<std::int64_t, std::int32_t> airportCellLast_;  // cell -> entry
  std::vector<CellEntry> airportCellEntries_;
  std::vector<std::int32_t> airportsWithoutCell_;
  // The long index lists by cell, rebuilt with them, in the order of kIndexLists.
  std::array<NavaidGrid, 8> grids_;
  std::array<std::vector<std::int32_t> CHalbricoDoc::*, 8> GridLists() const;
};

}  // namespace quarn

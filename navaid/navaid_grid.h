#pragma once
// The entries of an index list by cells of a degree, so that a map or a search visits
// the records near it rather than the whole table: a world's navaids are loaded, a
// map shows a few dozen.

#include <cstdint>
#include <span>
#include <vector>

#include "navaid/navaid_record.h"

namespace quarn {

// Lists shorter than this are walked whole: the grid pays off only for large tables.
inline constexpr std::size_t kGridMinimumEntries = 4096;

class NavaidGrid {
 public:
  // The entries of list (positions in records), each under the cell of its record.
  void Build(std::span<const NavaidRecord> records, std::span<const std::int32_t> list);
  void Clear();
  bool empty() const { return entries_.empty() && elsewhere_.empty(); }

  // The entries whose records lie in the box or in a cell it touches (a superset:
  // the caller tests each record), in ascending order; longitudes in -180 .. 180. False
  // when the grid cannot answer for the box (it is not built, or the box spans too
  // much of the globe), and the caller walks the list itself.
  bool Collect(double latMin, double latMax, double lonMin, double lonMax,
               std::vector<std::int32_t>& out) const;

 private:
  static constexpr int kRows = 180;
  static constexpr int kColumns = 360;
  std::vector<std::int32_t> cellStart_;  // kRows * kColumns + 1 offsets into entries_
  std::vector<std::int32_t> entries_;
  std::vector<std::int32_t> elsewhere_;  // records off the grid: always visited
};

}  // namespace quarn

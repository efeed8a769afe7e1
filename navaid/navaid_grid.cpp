#include "navaid/navaid_grid.h"

#include <algorithm>
#include <cmath>

namespace quarn {
namespace {

// A box over this many cells is answered by walking the list.
constexpr int kMostCells = 2000;

int RowOf(double latitude) {
  return std::clamp(static_cast<int>(std::floor(latitude + 90)), 0, 179);
}

int ColumnOf(double longitude) {
  return std::clamp(static_cast<int>(std::floor(longitude + 180)), 0, 359);
}

bool OnGrid(const NavaidRecord& r) {
  return std::fabs(r.latitude) <= 90 && std::fabs(r.longitude) <= 180;
}

}  // namespace

void NavaidGrid::Clear() {
  cellStart_.clear();
  entries_.clear();
  elsewhere_.clear();
}

void NavaidGrid::Build(std::span<const NavaidRecord> records, std::span<const std::int32_t> list) {
  Clear();
  std::vector<std::int32_t> cellOf(list.size(), -1);
  cellStart_.assign(kRows * kColumns + 1, 0);
  for (std::size_t k = 0; k < list.size(); ++k) {
    const auto i = static_cast<std::size_t>(list[k]);
    if (list[k] < 0 || i >= records.size() || !OnGrid(records[i])) {
      elsewhere_.push_back(list[k]);
      continue;
    }
    cellOf[k] = RowOf(records[i].latitude) * kColumns + ColumnOf(records[i].longitude);
    ++cellStart_[static_cast<std::size_t>(cellOf[k]) + 1];
  }
  for (std::size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
  entries_.resize(static_cast<std::size_t>(cellStart_.back()));
  std::vector<std::int32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  // The list is ascending, and so is each cell's share of it.
  for (std::size_t k = 0; k < list.size(); ++k) {
    if (cellOf[k] < 0) continue;
    entries_[static_cast<std::size_t>(fill[static_cast<std::size_t>(cellOf[k])]++)] = list[k];
  }
}

bool NavaidGrid::Collect(double latMin, double latMax, double lonMin, double lonMax,
                         std::vector<std::int32_t>& out) const {
  out.clear();
  if (cellStart_.empty()) return false;
  if (!(latMin <= latMax && lonMin <= lonMax) || lonMin < -180 || lonMax > 180) return false;
  const int r0 = RowOf(latMin), r1 = RowOf(latMax);
  const int c0 = ColumnOf(lonMin), c1 = ColumnOf(lonMax);
  if ((r1 - r0 + 1) * (c1 - c0 + 1) > kMostCells) return false;
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      const auto cell = static_cast<std::size_t>(r * kColumns + c);
      out.insert(out.end(), entries_.begin() + cellStart_[cell],
                 entries_.begin() + cellStart_[cell + 1]);
    }
  }
  out.insert(out.end(), elsewhere_.begin(), elsewhere_.end());
  std::sort(out.begin(), out.end());
  return true;
}

}  // namespace quarn

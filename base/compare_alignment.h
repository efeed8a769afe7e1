#pragma once
// Where a compared flight is laid on the current one in time: its start, its
// lift-off or its touchdown put on the current flight's.

#include <array>
#include <optional>
#include <string_view>

namespace quarn {

enum class CompareAlignment { Start, Takeoff, Touchdown };

inline constexpr CompareAlignment kDefaultCompareAlignment = CompareAlignment::Touchdown;

// The alignments by the names scripts give them, in the order of the enum.
inline constexpr std::array<std::string_view, 3> kCompareAlignmentNames{"start", "takeoff",
                                                                        "touchdown"};

inline std::string_view CompareAlignmentName(CompareAlignment alignment) {
  return kCompareAlignmentNames[static_cast<std::size_t>(alignment)];
}

inline std::optional<CompareAlignment> ParseCompareAlignment(std::string_view name) {
  for (std::size_t k = 0; k < kCompareAlignmentNames.size(); ++k) {
    if (kCompareAlignmentNames[k] == name) return static_cast<CompareAlignment>(k);
  }
  return std::nullopt;
}

}  // namespace quarn

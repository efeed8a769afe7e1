#pragma once
// Files compressed with gzip are read as they are: the bytes inflated in memory.

#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"

namespace quarn {

// Inflated output beyond this is refused: a small file may unpack to any size.
inline constexpr std::size_t kMaxInflatedBytes = std::size_t{2} << 30;

bool IsGzip(std::span<const std::uint8_t> bytes);

// The inflated bytes of every gzip member in turn; an error saying what went wrong.
Result<std::vector<std::uint8_t>> Gunzip(std::span<const std::uint8_t> bytes,
                                         std::size_t limit = kMaxInflatedBytes);

}  // namespace quarn

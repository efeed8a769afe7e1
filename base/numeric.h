#pragma once
// Conversions from computed doubles to pixel and index integers.

#include <cmath>
#include <limits>

namespace quarn {

// Truncation toward zero, as a C cast does, but defined for every input: values
// beyond the int range are clamped and NaN gives 0. Degenerate data (a zero span,
// an absurd record) must not turn into undefined behaviour on the way to a pixel.
inline int TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

}  // namespace quarn

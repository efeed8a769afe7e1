#include "navaid/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quarn {
namespace {

std::size_t Naive(const std::vector<std::uint8_t>& d, std::size_t from, std::size_t to,
                  const BytePattern& pat) {
  for (std::size_t p = from; p < to && p + pat.span <= d.size(); ++p) {
    if (detail::Matches(d.data(), p, pat)) return p;
  }
  return d.size() < pat.span ? to : std::min(to, d.size() - pat.span + 1);
}

// Every hit of the vector paths is the first one, at every alignment and near both
// ends of the data.
TEST(FindPattern, AgreesWithAPlainScan) {
  const BytePattern pat{{0, 1, 18}, {0x44, 0, 0}, 31};
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::uint8_t> d(static_cast<std::size_t>(rng() % 400));
    for (auto& b : d) b = static_cast<std::uint8_t>(rng() % 3 == 0 ? 0 : rng());
    for (int k = 0; k < 3 && d.size() >= 31; ++k) {
      const std::size_t at = rng() % (d.size() - 30);
      d[at] = 0x44, d[at + 1] = 0, d[at + 18] = 0;
    }
    const std::size_t from = d.empty() ? 0 : rng() % (d.size() + 1);
    const std::size_t to = from + rng() % (d.size() + 40);
    const std::size_t want = Naive(d, from, to, pat);
    EXPECT_EQ(FindPattern(d.data(), d.size(), from, to, pat), want) << round;
#if defined(QUARN_SCAN_X86)
    if (d.size() >= pat.span) {
      const std::size_t limit = std::min(to, d.size() - pat.span + 1);
      for (auto* f : {&detail::FindPatternSse2}) {
        std::size_t q = f(d.data(), from, limit, pat);
        if (q >= limit || !detail::Matches(d.data(), q, pat)) q = Naive(d, q, limit, pat);
        EXPECT_EQ(q, want) << round;
      }
    }
#endif
  }
}

}  // namespace
}  // namespace quarn

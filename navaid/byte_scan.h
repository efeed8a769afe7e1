#pragma once
// Finds the next position whose bytes at three fixed distances have given values:
// the first filter of the runway and NDB signature scans. With SSE2 it tests 32
// positions per step, so random data goes by at close to memory speed; candidates
// still get the caller's full tests.

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUARN_SCAN_X86 1
#include <immintrin.h>
#endif

namespace quarn {

struct BytePattern {
  std::size_t offset[3];
  std::uint8_t value[3];
  std::size_t span;  // the largest offset + 1
};

namespace detail {

inline bool Matches(const std::uint8_t* data, std::size_t p, const BytePattern& pat) {
  return data[p + pat.offset[0]] == pat.value[0] && data[p + pat.offset[1]] == pat.value[1] &&
         data[p + pat.offset[2]] == pat.value[2];
}

#if defined(QUARN_SCAN_X86)
// 64 positions a step with AVX2; `to` leaves room for every load.
__attribute__((target("avx2"))) inline std::size_t FindPatternAvx2(const std::uint8_t* data,
                                                                   std::size_t p, std::size_t to,
                                                                   const BytePattern& pat) {
  const __m256i v0 = _mm256_set1_epi8(static_cast<char>(pat.value[0]));
  const __m256i v1 = _mm256_set1_epi8(static_cast<char>(pat.value[1]));
  const __m256i v2 = _mm256_set1_epi8(static_cast<char>(pat.value[2]));
  auto block = [&](std::size_t at) __attribute__((target("avx2"))) {
    auto load = [&](std::size_t k) __attribute__((target("avx2"))) {
      return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at + pat.offset[k]));
    };
    const __m256i m = _mm256_and_si256(
        _mm256_and_si256(_mm256_cmpeq_epi8(load(0), v0), _mm256_cmpeq_epi8(load(1), v1)),
        _mm256_cmpeq_epi8(load(2), v2));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(m));
  };
  while (p + 64 <= to) {
    const std::uint64_t mask =
        static_cast<std::uint64_t>(block(p)) | static_cast<std::uint64_t>(block(p + 32)) << 32;
    if (mask != 0) return p + static_cast<std::size_t>(__builtin_ctzll(mask));
    p += 64;
  }
  return p;
}

// 32 positions a step with SSE2, which every x86-64 has.
inline std::size_t FindPatternSse2(const std::uint8_t* data, std::size_t p, std::size_t to,
                                   const BytePattern& pat) {
  const __m128i v0 = _mm_set1_epi8(static_cast<char>(pat.value[0]));
  const __m128i v1 = _mm_set1_epi8(static_cast<char>(pat.value[1]));
  const __m128i v2 = _mm_set1_epi8(static_cast<char>(pat.value[2]));
  auto block = [&](std::size_t at) {
    auto load = [&](std::size_t k) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + pat.offset[k]));
    };
    const __m128i m =
        _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(load(0), v0), _mm_cmpeq_epi8(load(1), v1)),
                      _mm_cmpeq_epi8(load(2), v2));
    return static_cast<unsigned>(_mm_movemask_epi8(m));
  };
  while (p + 32 <= to) {
    const unsigned mask = block(p) | block(p + 16) << 16;
    if (mask != 0) return p + static_cast<std::size_t>(__builtin_ctz(mask));
    p += 32;
  }
  return p;
}

inline bool HaveAvx2() {
  static const bool have = __builtin_cpu_supports("avx2");
  return have;
}
#endif

}  // namespace detail

// The first position p in [from, to) with data[p + offset[k]] == value[k] for each
// k, or `to` when there is none. Positions whose pattern bytes would lie beyond
// `size` are not tested.
inline std::size_t FindPattern(const std::uint8_t* data, std::size_t size, std::size_t from,
                               std::size_t to, const BytePattern& pat) {
  if (size < pat.span) return to;
  if (to > size - pat.span + 1) to = size - pat.span + 1;
  std::size_t p = from;
#if defined(QUARN_SCAN_X86)
  // The vector steps stop short of `to`; a hit they report is the first one, and a
  // position they stopped at is finished below.
  const std::size_t q = detail::HaveAvx2() ? detail::FindPatternAvx2(data, p, to, pat)
                                           : detail::FindPatternSse2(data, p, to, pat);
  if (q < to && detail::Matches(data, q, pat)) return q;
  p = q;
#endif
  for (; p < to; ++p) {
    if (detail::Matches(data, p, pat)) return p;
  }
  return to;
}

}  // namespace quarn

#include "base/text_scan.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "base/format.h"

namespace quarn {

Error ReadErrorAt(const std::string& name, int line, const std::string& what) {
  return Error{Format("%s, line %d: %s", name.c_str(), line, what.c_str())};
}

Error ReadErrorAtByte(const std::string& name, std::size_t offset, const std::string& what) {
  return Error{Format("%s, byte %zu: %s", name.c_str(), offset, what.c_str())};
}

LineCursor::LineCursor(std::string_view text) : rest_(text) {
  if (rest_.substr(0, 3) == "\xEF\xBB\xBF") rest_.remove_prefix(3);
}

LineCursor LineCursor::Within(std::string_view part, int numberBefore) {
  LineCursor cursor({});
  cursor.rest_ = part;
  cursor.number_ = numberBefore;
  return cursor;
}

bool LineCursor::Next(std::string_view& line) {
  if (rest_.empty()) return false;
  const std::size_t end = rest_.find('\n');
  line = rest_.substr(0, end);
  rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  ++number_;
  return true;
}

std::size_t EstimateLines(std::string_view text) {
  constexpr std::size_t kSample = 64 * 1024;
  const std::string_view head = text.substr(0, kSample);
  const auto ends = static_cast<std::size_t>(std::count(head.begin(), head.end(), '\n'));
  if (head.size() == text.size()) return ends + 1;
  // A little more than the head's share, so that a longer tail does not grow the room.
  const double perByte = static_cast<double>(ends + 1) / static_cast<double>(head.size());
  return static_cast<std::size_t>(perByte * static_cast<double>(text.size()) * 1.05) + 1;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

namespace {

// The powers of ten a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A decimal as tracks write their values, "-52.1234567": a sign, digits, and a point
// with digits after it. When the digits as a whole number and the power of ten they
// are divided by are both exact in a double, one division rounds correctly, which is
// the value a full conversion gives, to the last bit. False for any other text, which
// the full conversion reads.
bool PlainDecimal(std::string_view field, double& value) {
  constexpr std::uint64_t kLargestExact = std::uint64_t{1} << 53;
  std::size_t at = 0;
  const bool negative = field[0] == '-';
  if (negative) ++at;
  std::uint64_t digits = 0;
  int count = 0;
  int fraction = 0;
  bool point = false;
  for (; at < field.size(); ++at) {
    const char c = field[at];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9' || ++count > 18) return false;
    digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    fraction += point ? 1 : 0;
  }
  // Digits on both sides of a point, as tracks write them.
  if (count == 0 || (point && (fraction == 0 || fraction == count)) || digits > kLargestExact ||
      fraction >= static_cast<int>(std::size(kExactPowersOfTen))) {
    return false;
  }
  const double magnitude = static_cast<double>(digits) / kExactPowersOfTen[fraction];
  value = negative ? -magnitude : magnitude;
  return true;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view field) {
  field = TrimBlanks(field);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  if (field.empty()) return std::nullopt;
  double value = 0;
  if (PlainDecimal(field, value)) return value;
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (ec != std::errc() || end != field.data() + field.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace quarn

#include "navaid/fix_file.h"

#include <charconv>
#include <cmath>

#include "base/format.h"

namespace quarn {
namespace {

constexpr std::size_t kIdentWidth = 6;
constexpr std::size_t kLatitudeAt = 7;
constexpr std::size_t kLongitudeAt = 20;
constexpr std::size_t kNumberWidth = 12;
constexpr std::size_t kLineWidth = 32;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool OnlyBlanks(std::string_view s) {
  for (const char c : s) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
}

}  // namespace

double FieldNumber(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && IsBlank(field[i])) ++i;
  field.remove_prefix(i);
  // from_chars takes a minus sign but no plus sign; a sign must be followed by the
  // number itself.
  if (!field.empty() && field.front() == '+') {
    field.remove_prefix(1);
    if (!field.empty() && field.front() == '-') return 0;
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (ec != std::errc()) return 0;
  return value;
}

std::vector<FixEntry> ParseFixes(std::string_view text) {
  std::vector<FixEntry> fixes;
  while (!text.empty()) {
    const std::string_view line = TakeLine(text);
    if (line.size() < kLineWidth || !OnlyBlanks(line.substr(kLineWidth))) break;
    FixEntry fix;
    fix.ident = std::string(line.substr(0, kIdentWidth));
    fix.latitude = FieldNumber(line.substr(kLatitudeAt, kNumberWidth));
    fix.longitude = FieldNumber(line.substr(kLongitudeAt, kNumberWidth));
    // "inf" and "nan" read as numbers but name no place.
    if (!std::isfinite(fix.latitude) || !std::isfinite(fix.longitude)) break;
    fixes.push_back(std::move(fix));
  }
  return fixes;
}

}  // namespace quarn

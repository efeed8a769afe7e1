#include "record/text_input.h"

#include <simdjson.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "base/format.h"

namespace quarn {

std::optional<int> FirstInvalidUtf8Line(std::string_view text) {
  if (simdjson::validate_utf8(text.data(), text.size())) return std::nullopt;
  LineCursor lines(text);
  for (std::string_view line; lines.Next(line);) {
    if (!simdjson::validate_utf8(line.data(), line.size())) return lines.number();
  }
  return lines.number();
}

std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (month + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return CivilDate{year, month, day};
}

namespace {

// The value of exactly `digits` decimal digits at the front of s, taken off it; -1
// when they are not there. A plain int: a million times are read.
int TakeDigits(std::string_view& s, std::size_t digits) {
  if (s.size() < digits) return -1;
  int value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    if (s[i] < '0' || s[i] > '9') return -1;
    value = value * 10 + (s[i] - '0');
  }
  s.remove_prefix(digits);
  return value;
}

bool TakeChar(std::string_view& s, char c) {
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

}  // namespace

std::optional<double> ParseIsoTime(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  const int year = TakeDigits(s, 4);
  if (year < 0 || !TakeChar(s, '-')) return std::nullopt;
  const int month = TakeDigits(s, 2);
  if (month < 0 || !TakeChar(s, '-')) return std::nullopt;
  const int day = TakeDigits(s, 2);
  if (day < 0 || (!TakeChar(s, 'T') && !TakeChar(s, ' ') && !TakeChar(s, 't'))) return std::nullopt;
  const int hour = TakeDigits(s, 2);
  if (hour < 0 || !TakeChar(s, ':')) return std::nullopt;
  const int minute = TakeDigits(s, 2);
  if (minute < 0 || !TakeChar(s, ':')) return std::nullopt;
  const int second = TakeDigits(s, 2);
  if (second < 0) return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) {
    return std::nullopt;
  }
  double fraction = 0;
  if (TakeChar(s, '.') || TakeChar(s, ',')) {
    double scale = 0.1;
    std::size_t n = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9') {
      fraction += (s[n] - '0') * scale;
      scale /= 10;
      ++n;
    }
    if (n == 0) return std::nullopt;
    s.remove_prefix(n);
  }
  int offsetSeconds = 0;
  if (TakeChar(s, 'Z') || TakeChar(s, 'z')) {
  } else if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    const int sign = s.front() == '-' ? -1 : 1;
    s.remove_prefix(1);
    const int oh = TakeDigits(s, 2);
    if (oh < 0) return std::nullopt;
    TakeChar(s, ':');
    const int om = s.empty() ? 0 : TakeDigits(s, 2);
    if (om < 0 || oh > 23 || om > 59) return std::nullopt;
    offsetSeconds = sign * (oh * 3600 + om * 60);
  }
  if (!s.empty()) return std::nullopt;
  const std::int64_t days = DaysFromCivil(year, month, day);
  return static_cast<double>(days * 86400 + hour * 3600 + minute * 60 + second - offsetSeconds) +
         fraction;
}

std::string IsoTimeText(double utcSeconds) {
  const double whole = std::floor(utcSeconds);
  long long millis = std::llround((utcSeconds - whole) * 1000);
  auto seconds = static_cast<std::int64_t>(whole);
  if (millis == 1000) {
    ++seconds;
    millis = 0;
  }
  const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  const std::int64_t ofDay = seconds - days * 86400;
  const CivilDate d = CivilFromDays(days);
  std::string text = Format("%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day,
                            static_cast<int>(ofDay / 3600), static_cast<int>(ofDay / 60 % 60),
                            static_cast<int>(ofDay % 60));
  if (millis != 0) {
    std::string fraction = Format(".%03lld", millis);
    while (fraction.back() == '0') fraction.pop_back();
    text += fraction;
  }
  return text + "Z";
}

}  // namespace quarn

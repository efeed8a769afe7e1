#pragma once
// Scanning text without locale or allocation: lines with their numbers over the
// bytes, numbers filling a field, and the message of a reader that stops at a line.
// What every reader of outside text shares, track and navaid data alike.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/result.h"

namespace quarn {

// The message of a reader that stops: the file, where in it, and what was wrong.
Error ReadErrorAt(const std::string& name, int line, const std::string& what);
Error ReadErrorAtByte(const std::string& name, std::size_t offset, const std::string& what);

inline std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The lines of a text, numbered from 1; a line ends at "\n" (a "\r" before it is
// dropped); a byte-order mark at the start is skipped.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text);
  // The lines of a part of a text whose lines before it are numbered up to
  // numberBefore; no byte-order mark is looked for.
  static LineCursor Within(std::string_view part, int numberBefore);
  bool Next(std::string_view& line);
  int number() const { return number_; }
  std::string_view rest() const { return rest_; }  // the lines not yet read

 private:
  std::string_view rest_;
  int number_ = 0;
};

// About how many lines a text holds, told from its first 64 KB: room to make before
// reading its lines, without a walk over all of them.
std::size_t EstimateLines(std::string_view text);

std::string_view TrimBlanks(std::string_view s);

// Letter case aside, ASCII only and without the locale: files name their columns and
// kinds in English words.
inline char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// A decimal number filling the whole field (blanks around it allowed, a leading '+'
// too); nothing for an empty or malformed field or one that is not finite.
std::optional<double> ParseNumber(std::string_view field);

}  // namespace quarn

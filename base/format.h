#pragma once
// printf-style formatting into a std::string: the program's texts are printf formats.

#include <span>
#include <string>
#include <string_view>

namespace quarn {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Format(const char* fmt, ...);

// One value of a row formatted field by field: a number, or nothing when the flight
// did not record it.
struct RowField {
  double value = 0;
  bool absent = false;
};

// printf of a format whose conversions (%d, %ld, %f, %lf with flags, width and
// precision) each take one field in turn; an absent field is written "n/a",
// aligned in its conversion's width as the number would be. A "%d" conversion takes
// the value as an int.
std::string FormatRow(const char* format, std::span<const RowField> fields);

// The text without its trailing blanks.
std::string TrimTrailingBlanks(std::string_view text);

// Takes the first line off the text and returns it without its end: a line feed, or
// a carriage return and line feed as lists written on the old platform end theirs.
std::string_view TakeLine(std::string_view& text);

}  // namespace quarn

#pragma once
// printf-style formatting into a std::string: the program's texts are printf formats.

#include <string>
#include <string_view>

namespace quarn {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Format(const char* fmt, ...);

// The text without its trailing blanks.
std::string TrimTrailingBlanks(std::string_view text);

// Takes the first line off the text and returns it without its end: a line feed, or
// a carriage return and line feed as lists written on the old platform end theirs.
std::string_view TakeLine(std::string_view& text);

}  // namespace quarn

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

}  // namespace quarn

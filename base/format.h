#pragma once
// printf-style formatting into a std::string: the program's texts are printf formats.

#include <string>

namespace quarn {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Format(const char* fmt, ...);

}  // namespace quarn

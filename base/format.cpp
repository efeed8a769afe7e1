#include "base/format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace quarn {

std::string FormatRow(const char* format, std::span<const RowField> fields) {
  std::string out;
  std::size_t next = 0;
  const std::string_view f(format);
  for (std::size_t i = 0; i < f.size();) {
    if (f[i] != '%') {
      out += f[i++];
      continue;
    }
    if (i + 1 < f.size() && f[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    // The conversion: flags, width, precision, length, then its letter.
    std::size_t end = i + 1;
    while (end < f.size() && std::string_view("-+ #0").find(f[end]) != std::string_view::npos) {
      ++end;
    }
    while (end < f.size() && ((f[end] >= '0' && f[end] <= '9') || f[end] == '.')) ++end;
    while (end < f.size() && f[end] == 'l') ++end;
    if (end >= f.size()) break;
    const char letter = f[end];
    const std::string conversion(f.substr(i, end - i + 1));
    const RowField field = next < fields.size() ? fields[next] : RowField{0, true};
    ++next;
    if (field.absent) {
      // "n/a" in the conversion's width, on the side the number would stand.
      int width = 0;
      std::size_t w = i + 1;
      bool left = false;
      for (; w < end && std::string_view("-+ #0").find(f[w]) != std::string_view::npos; ++w) {
        left = left || f[w] == '-';
      }
      for (; w < end && f[w] >= '0' && f[w] <= '9'; ++w) width = width * 10 + (f[w] - '0');
      const std::string na = "n/a";
      const std::size_t pad = width > 3 ? static_cast<std::size_t>(width) - 3 : 0;
      out += left ? na + std::string(pad, ' ') : std::string(pad, ' ') + na;
    } else {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
      if (letter == 'd' && conversion.find('l') != std::string::npos) {
        out += Format(conversion.c_str(), static_cast<long>(field.value));
      } else if (letter == 'd') {
        out += Format(conversion.c_str(), static_cast<int>(field.value));
      } else {
        out += Format(conversion.c_str(), field.value);
      }
#pragma GCC diagnostic pop
    }
    i = end + 1;
  }
  return out;
}

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, args);
    out.assign(buf.data(), static_cast<std::size_t>(n));
  }
  va_end(args);
  return out;
}

std::string_view TakeLine(std::string_view& text) {
  const auto newline = text.find('\n');
  std::string_view line = text.substr(0, newline);
  text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
  if (newline != std::string_view::npos && !line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  return line;
}

std::string TrimTrailingBlanks(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  return std::string(last == std::string_view::npos ? std::string_view{}
                                                    : text.substr(0, last + 1));
}

}  // namespace quarn

#include "platform/byte_reader.h"

namespace quarn {

std::string ByteReader::Text(std::int64_t off, std::int64_t maxLength) const {
  std::string out;
  for (std::int64_t i = 0; i < maxLength && Has(off + i, 1); ++i) {
    const char c = static_cast<char>(U8(off + i));
    if (c == '\0') break;
    out += c;
  }
  return out;
}

}  // namespace quarn

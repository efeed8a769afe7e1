#include "record/gzip.h"

#include <zlib.h>

#include <algorithm>

namespace quarn {

bool IsGzip(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 0x1f && bytes[1] == 0x8b;
}

Result<std::vector<std::uint8_t>> Gunzip(std::span<const std::uint8_t> bytes, std::size_t limit) {
  z_stream z{};
  // 16 + the window size: a gzip header and trailer around the deflate stream.
  if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return Error{"cannot start inflating"};
  std::vector<std::uint8_t> out;
  std::size_t in = 0;
  int rc = Z_OK;
  while (true) {
    if (out.size() == out.capacity() || out.size() + 65536 > out.capacity()) {
      out.reserve(std::max<std::size_t>(out.capacity() * 2, 1 << 20));
    }
    const std::size_t room = std::min(out.capacity() - out.size(), limit + 1 - out.size());
    const std::size_t at = out.size();
    out.resize(at + room);
    const std::size_t chunk = std::min<std::size_t>(bytes.size() - in, 1u << 30);
    z.next_in = const_cast<Bytef*>(bytes.data() + in);
    z.avail_in = static_cast<uInt>(chunk);
    z.next_out = out.data() + at;
    z.avail_out = static_cast<uInt>(std::min<std::size_t>(room, 1u << 30));
    const uInt availIn = z.avail_in;
    const uInt availOut = z.avail_out;
    rc = inflate(&z, Z_NO_FLUSH);
    in += availIn - z.avail_in;
    out.resize(at + (availOut - z.avail_out));
    if (out.size() > limit) {
      inflateEnd(&z);
      return Error{"unpacks to more than " + std::to_string(limit >> 20) + " MB"};
    }
    if (rc == Z_STREAM_END) {
      // Another member may follow, as concatenated gzip files have it.
      if (in < bytes.size() && IsGzip(bytes.subspan(in))) {
        inflateReset(&z);
        continue;
      }
      break;
    }
    if (rc != Z_OK && rc != Z_BUF_ERROR) break;
    if (rc == Z_BUF_ERROR && in >= bytes.size()) break;
  }
  inflateEnd(&z);
  if (rc != Z_STREAM_END) return Error{"the compressed data is damaged or cut short"};
  return out;
}

}  // namespace quarn

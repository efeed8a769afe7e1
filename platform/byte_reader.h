#pragma once
// Bounds-checked little-endian reads over a byte span. Offsets are 64-bit and may be
// negative or huge: a read that does not lie wholly inside the span yields 0, and
// Has() tells a walk whether a structure fits before it uses it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quarn {

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::int64_t size() const { return static_cast<std::int64_t>(bytes_.size()); }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  bool Has(std::int64_t offset, std::int64_t length) const {
    return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
  }

  std::uint8_t U8(std::int64_t off) const { return Has(off, 1) ? bytes_[Idx(off)] : 0; }
  std::int8_t I8(std::int64_t off) const { return static_cast<std::int8_t>(U8(off)); }
  std::uint16_t U16(std::int64_t off) const {
    return Has(off, 2) ? static_cast<std::uint16_t>(Raw(off) | Raw(off + 1) << 8) : 0;
  }
  std::int16_t I16(std::int64_t off) const { return static_cast<std::int16_t>(U16(off)); }
  std::uint32_t U32(std::int64_t off) const {
    if (!Has(off, 4)) return 0;
    return Raw(off) | Raw(off + 1) << 8 | Raw(off + 2) << 16 | Raw(off + 3) << 24;
  }
  std::int32_t I32(std::int64_t off) const { return static_cast<std::int32_t>(U32(off)); }
  // A signed 24-bit value in three bytes.
  std::int32_t I24(std::int64_t off) const {
    if (!Has(off, 3)) return 0;
    std::uint32_t v = Raw(off) | Raw(off + 1) << 8 | Raw(off + 2) << 16;
    if (v & 0x800000u) v |= 0xFF000000u;
    return static_cast<std::int32_t>(v);
  }
  // Up to maxLength bytes as text, ending at the first NUL.
  std::string Text(std::int64_t off, std::int64_t maxLength) const;

 private:
  static std::size_t Idx(std::int64_t off) { return static_cast<std::size_t>(off); }
  std::uint32_t Raw(std::int64_t off) const { return bytes_[Idx(off)]; }
  std::span<const std::uint8_t> bytes_;
};

}  // namespace quarn

#include "support/bgl_writer.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace quarn::testing {
namespace {

constexpr double kLat24 = 1.7996850551153548e-05;
constexpr double kLon24 = 2.1457672119140625e-05;
constexpr double kLat32 = 8.998425275576774e-06;
constexpr double kLon32 = 8.381903175442434e-08;
constexpr double kAngle16 = 360.0 / 65536.0;
constexpr double kFacilityAngle = 1.52587890625e-05 * 0.005493298176225006;

std::int64_t Round(double v) {
  return static_cast<std::int64_t>(std::llround(v));
}

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

std::int16_t RawAngle16(double deg) {
  if (deg >= 180) deg -= 360;
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(Round(deg / kAngle16), -32768, 32767));
}

// Facility angles are 32-bit: degrees beyond 180 wrap to negative values.
std::int32_t RawFacilityAngle(double deg) {
  if (deg >= 180) deg -= 360;
  return Clamp32(Round(deg / kFacilityAngle));
}

int Digit(std::int64_t v, std::int64_t unit) {
  return static_cast<int>((v / unit) % 10);
}

// Bcd3: b0 tenths|hundredths, b1 tens|units, b2 hundreds (MHz).
void PutBcd3(std::vector<std::uint8_t>& b, std::int64_t at, double mhz) {
  const std::int64_t c = Round(mhz * 100);  // hundredths
  PutU8(b, at, static_cast<std::uint8_t>(Digit(c, 10) << 4 | Digit(c, 1)));
  PutU8(b, at + 1, static_cast<std::uint8_t>(Digit(c, 1000) << 4 | Digit(c, 100)));
  PutU8(b, at + 2, static_cast<std::uint8_t>(c / 10000));
}

class Buffer {
 public:
  std::vector<std::uint8_t> bytes;
  std::int64_t size() const { return static_cast<std::int64_t>(bytes.size()); }
  std::int64_t Reserve(std::int64_t n) {
    const std::int64_t at = size();
    bytes.resize(static_cast<std::size_t>(at + n), 0);
    return at;
  }
  std::int64_t Append(const std::vector<std::uint8_t>& more) {
    const std::int64_t at = size();
    bytes.insert(bytes.end(), more.begin(), more.end());
    return at;
  }
};

// Groups records by run number, in order of first appearance.
template <typename T>
std::vector<std::vector<const T*>> Runs(const std::vector<T>& records) {
  std::vector<std::vector<const T*>> runs;
  std::map<int, std::size_t> slot;
  for (const T& r : records) {
    auto [it, added] = slot.try_emplace(r.run, runs.size());
    if (added) runs.emplace_back();
    runs[it->second].push_back(&r);
  }
  return runs;
}

// A list of 9-byte entries (0x15, 4 bytes, run offset relative to the section)
// ended by a 0 byte, followed by its runs, each ended by a 0 byte. Returns the list
// start; `encode` appends one record.
template <typename T, typename Encode>
std::int64_t WriteListed(Buffer& out, std::int64_t section,
                         const std::vector<std::vector<const T*>>& runs, Encode encode) {
  const std::int64_t list = out.Reserve(9 * static_cast<std::int64_t>(runs.size()) + 1);
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const std::int64_t e = list + 9 * static_cast<std::int64_t>(k);
    PutU8(out.bytes, e, 0x15);
    PutI32(out.bytes, e + 5, static_cast<std::int32_t>(out.size() - section));
    for (const T* r : runs[k]) encode(*r);
    out.Reserve(1);
  }
  return list;
}

void PutFix824(std::vector<std::uint8_t>& b, std::int64_t at, double scaled) {
  const auto whole = static_cast<std::int32_t>(std::trunc(scaled));
  const auto frac = std::min<std::int64_t>(255, Round(std::fabs(scaled - whole) * 256));
  PutU8(b, at, static_cast<std::uint8_t>(frac));
  PutI24(b, at + 1, whole);
}

void PutFixed1616(std::vector<std::uint8_t>& b, std::int64_t at, double v, int wholeBytes) {
  auto whole = static_cast<std::int64_t>(std::trunc(v));
  auto frac = Round(std::fabs(v - static_cast<double>(whole)) * 65536);
  if (frac >= 65536) {
    frac = 0;
    whole += v < 0 ? -1 : 1;
  }
  PutI16(b, at, static_cast<std::int16_t>(static_cast<std::uint16_t>(frac)));
  if (wholeBytes == 4) PutI32(b, at + 2, Clamp32(whole));
  if (wholeBytes == 2) PutI16(b, at + 2, static_cast<std::int16_t>(whole));
  if (wholeBytes == 3) {  // one byte not used, then 24 bits
    PutI24(b, at + 3, static_cast<std::int32_t>(whole));
  }
}

void PutNavaidSub(std::vector<std::uint8_t>& b, std::int64_t s, const FacNavaid& n) {
  PutI32(b, s + 12, RawLat32(n.latitude));
  PutI32(b, s + 20, RawLon32(n.longitude));
  PutI32(b, s + 28, n.altitude);
  PutI32(b, s + 32, RawFacilityAngle(n.courseDeg));
  PutBcd3(b, s + 37, n.frequencyMhz);
  PutI32(b, s + 40, n.navaidType);
  PutI32(b, s + 44, n.markerType);
  PutText(b, s + 56, n.ident, 4);
}

void WriteSub(Buffer& out, const FacSubRecord& r) {
  std::int32_t tag = r.rawTag;
  std::int64_t payload = static_cast<std::int64_t>(r.rawPayload.size());
  switch (r.type) {
    case FacSubRecord::Type::Airport:
      tag = 0x10001, payload = 40;
      break;
    case FacSubRecord::Type::Runway:
      tag = 0x10002, payload = 48;
      break;
    case FacSubRecord::Type::Navaid:
      tag = 0x10004, payload = 52;
      break;
    case FacSubRecord::Type::Com:
      tag = 0x20001, payload = 8;
      break;
    case FacSubRecord::Type::Raw:
      break;
  }
  const std::int64_t s = out.Reserve(8 + payload);
  auto& b = out.bytes;
  PutI32(b, s, tag);
  PutI32(b, s + 4, static_cast<std::int32_t>(payload));
  switch (r.type) {
    case FacSubRecord::Type::Airport:
      PutI32(b, s + 12, RawLat32(r.airport.latitude));
      PutI32(b, s + 20, RawLon32(r.airport.longitude));
      PutI32(b, s + 28, r.airport.altitude);
      PutText(b, s + 44, r.airport.ident, 4);
      break;
    case FacSubRecord::Type::Runway:
      PutI32(b, s + 12, RawLat32(r.runway.latitude));
      PutI32(b, s + 20, RawLon32(r.runway.longitude));
      PutI16(b, s + 26, r.runway.value26);
      PutI32(b, s + 28, r.runway.value28);
      PutI32(b, s + 32, RawFacilityAngle(r.runway.headingDeg));
      PutI32(b, s + 36, RawFacilityAngle(-r.runway.magVarDeg));
      PutI16(b, s + 40, r.runway.lengthFt);
      PutI16(b, s + 44, r.runway.widthFt);
      PutI32(b, s + 48, r.runway.sideCode);
      PutU8(b, s + 52, r.runway.numberByte);
      break;
    case FacSubRecord::Type::Navaid:
      PutNavaidSub(b, s, r.navaid);
      break;
    case FacSubRecord::Type::Com:
      PutBcd3(b, s + 9, r.com.frequencyMhz);
      PutI32(b, s + 12, r.com.comType);
      break;
    case FacSubRecord::Type::Raw:
      std::copy(r.rawPayload.begin(), r.rawPayload.end(), b.begin() + s + 8);
      break;
  }
}

}  // namespace

void PutU8(std::vector<std::uint8_t>& b, std::int64_t at, std::uint8_t v) {
  b[static_cast<std::size_t>(at)] = v;
}
void PutI16(std::vector<std::uint8_t>& b, std::int64_t at, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  PutU8(b, at, static_cast<std::uint8_t>(u & 0xFF));
  PutU8(b, at + 1, static_cast<std::uint8_t>(u >> 8));
}
void PutI24(std::vector<std::uint8_t>& b, std::int64_t at, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 3; ++i) PutU8(b, at + i, static_cast<std::uint8_t>(u >> (8 * i)));
}
void PutI32(std::vector<std::uint8_t>& b, std::int64_t at, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) PutU8(b, at + i, static_cast<std::uint8_t>(u >> (8 * i)));
}
void PutText(std::vector<std::uint8_t>& b, std::int64_t at, const std::string& s, int width) {
  for (int i = 0; i < width && i < static_cast<int>(s.size()); ++i) {
    PutU8(b, at + i, static_cast<std::uint8_t>(s[static_cast<std::size_t>(i)]));
  }
}

std::int32_t RawLat24(double deg) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(Round(deg / kLat24), -0x800000, 0x7FFFFF));
}
std::int32_t RawLon24(double deg) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(Round(deg / kLon24), -0x800000, 0x7FFFFF));
}
std::int32_t RawLat32(double deg) {
  return Clamp32(Round(deg / kLat32));
}
std::int32_t RawLon32(double deg) {
  return Clamp32(Round(deg / kLon32));
}

FacSubRecord Sub(const FacAirport& a) {
  FacSubRecord r;
  r.type = FacSubRecord::Type::Airport;
  r.airport = a;
  return r;
}
FacSubRecord Sub(const FacRunway& w) {
  FacSubRecord r;
  r.type = FacSubRecord::Type::Runway;
  r.runway = w;
  return r;
}
FacSubRecord Sub(const FacNavaid& n) {
  FacSubRecord r;
  r.type = FacSubRecord::Type::Navaid;
  r.navaid = n;
  return r;
}
FacSubRecord Sub(const FacCom& c) {
  FacSubRecord r;
  r.type = FacSubRecord::Type::Com;
  r.com = c;
  return r;
}

std::vector<std::uint8_t> EncodeRunway(const OldRunway& r) {
  std::vector<std::uint8_t> b(31, 0);
  PutU8(b, 0, 0x44);
  PutFixed1616(b, 2, r.latitude / kLat32, 4);
  PutFixed1616(b, 8, r.longitude / kLon24, 3);
  PutFixed1616(b, 14, r.altitudeMetres, 2);
  PutI16(b, 20, RawAngle16(r.headingDeg));
  PutI16(b, 22, r.lengthFt);
  PutI16(b, 24, r.widthFt);
  const int sideBase = r.side == 'L' ? 64 : r.side == 'R' ? 128 : r.side == 'C' ? 192 : 0;
  PutU8(b, 27, static_cast<std::uint8_t>(r.number + sideBase));
  PutU8(b, 30, static_cast<std::uint8_t>(r.surface));
  return b;
}

std::vector<std::uint8_t> EncodeNdbBlock(const FacNdb& n) {
  std::vector<std::uint8_t> b(80, 0);
  PutI32(b, 0, 1);
  PutI32(b, 4, 76);
  PutI32(b, 8, 3);
  PutI32(b, 16, 0x10004);
  PutI32(b, 20, 52);
  PutI32(b, 28, RawLat32(n.latitude));
  PutI32(b, 36, RawLon32(n.longitude));
  PutI32(b, 44, n.intValue);
  const std::int64_t t = Round(n.frequencyKhz * 10);  // tenths of kHz
  PutU8(b, 53, static_cast<std::uint8_t>(Digit(t, 1000) << 4 | Digit(t, 100)));
  PutU8(b, 52, static_cast<std::uint8_t>(Digit(t, 10) << 4 | Digit(t, 1)));
  PutI32(b, 56, n.navaidType);
  PutText(b, 72, n.ident, 4);
  return b;
}

std::vector<std::uint8_t> BuildBgl(const BglContent& c, BglLayout* layoutOut) {
  const bool fs2000 = !c.facilityBlocks.empty() || !c.looseNdbs.empty();
  Buffer out;
  out.Reserve(fs2000 ? 160 : 128);
  PutI16(out.bytes, 0, 1);  // world set
  BglLayout layout;

  if (!c.ndbs.empty()) {
    const std::int64_t s = layout.ndb = out.size();
    WriteListed(out, s, Runs(c.ndbs), [&](const OldNdb& n) {
      const std::int64_t r = out.Reserve(42);
      auto& b = out.bytes;
      const std::int64_t t = Round(n.frequencyKhz * 10);
      PutU8(b, r, 4);
      PutU8(b, r + 1, static_cast<std::uint8_t>(Digit(t, 100) << 4 | Digit(t, 10)));
      PutU8(b, r + 2, static_cast<std::uint8_t>(t / 1000));
      PutU8(b, r + 3, static_cast<std::uint8_t>(Digit(t, 1)));
      PutI24(b, r + 4, RawLat24(n.latitude));
      PutI24(b, r + 7, RawLon24(n.longitude));
      PutI16(b, r + 10, n.intValue);
      PutU8(b, r + 12, static_cast<std::uint8_t>(n.rangeRaw));
      PutText(b, r + 13, n.ident, 5);
      PutText(b, r + 18, n.name, 24);
    });
  }
  if (!c.atis.empty()) {
    const std::int64_t s = layout.atis = out.size();
    WriteListed(out, s, Runs(c.atis), [&](const OldAtis& a) {
      const std::int64_t r = out.Reserve(std::max(a.recordLength, 16));
      auto& b = out.bytes;
      const std::int64_t h = Round(a.frequencyMhz * 100) - 10000;  // hundredths above 100
      PutU8(b, r, 4);
      PutU8(b, r + 1, static_cast<std::uint8_t>(Digit(h, 10) << 4 | Digit(h, 1)));
      PutU8(b, r + 2, static_cast<std::uint8_t>(Digit(h, 1000) << 4 | Digit(h, 100)));
      PutI24(b, r + 3, RawLat24(a.latitude));
      PutI24(b, r + 6, RawLon24(a.longitude));
      PutI16(b, r + 10, static_cast<std::int16_t>(a.recordLength));
      PutI32(b, r + 12, a.extra);
    });
  }
  if (!c.vorIls.empty()) {
    std::map<int, std::vector<OldVorIls>> byChannel;
    for (const auto& v : c.vorIls) {
      byChannel[static_cast<int>(Round((v.frequencyMhz - 108.0) / 0.05))].push_back(v);
    }
    const int first = byChannel.begin()->first;
    const int last = byChannel.rbegin()->first;
    PutI16(out.bytes, 0x16, static_cast<std::int16_t>(first));
    PutI16(out.bytes, 0x18, static_cast<std::int16_t>(last));
    const std::int64_t s = layout.vorIls = out.size();
    out.Reserve(5 * static_cast<std::int64_t>(last - first + 1));
    for (const auto& [channel, records] : byChannel) {
      const std::int64_t entry = s + 5 * static_cast<std::int64_t>(channel - first);
      const std::int64_t list = WriteListed(out, s, Runs(records), [&](const OldVorIls& v) {
        const std::int64_t r = out.Reserve(v.ils ? 54 : 44);
        auto& b = out.bytes;
        PutU8(b, r, v.ils ? 5 : 4);
        PutU8(b, r + 1, static_cast<std::uint8_t>(v.rangeRaw));
        PutI16(b, r + 2, RawAngle16(v.magVarDeg));
        PutText(b, r + 15, v.ident, 5);
        PutText(b, r + 20, v.name, 24);
        if (v.ils) {
          PutI16(b, r + 13, RawAngle16(v.courseDeg));
          PutI24(b, r + 44, RawLat24(v.latitude));
          PutI24(b, r + 47, RawLon24(v.longitude));
          PutI16(b, r + 52, v.intValue);
        } else {
          PutI24(b, r + 5, RawLat24(v.latitude));
          PutI24(b, r + 8, RawLon24(v.longitude));
          PutI16(b, r + 11, v.intValue);
        }
      });
      PutU8(out.bytes, entry, 1);
      PutI32(out.bytes, entry + 1, static_cast<std::int32_t>(list - s));
    }
  }
  if (!c.markers.empty()) {
    const std::int64_t s = layout.markers = out.size();
    WriteListed(out, s, Runs(c.markers), [&](const OldMarker& m) {
      const int length = m.type == 7 ? 46 : 10;
      const std::int64_t r = out.Reserve(length);
      auto& b = out.bytes;
      PutU8(b, r, static_cast<std::uint8_t>(m.type));
      PutU8(b, r + 1, static_cast<std::uint8_t>(length));
      PutI24(b, r + 2, RawLat24(m.latitude));
      PutI24(b, r + 5, RawLon24(m.longitude));
      PutI16(b, r + (m.type == 7 ? 9 : 8), m.altitude);
      if (m.type == 7) PutText(b, r + 22, m.name, 24);
    });
  }
  if (!c.airports.empty()) {
    const std::int64_t s = layout.airports = out.size();
    const auto runs = Runs(c.airports);
    const std::int64_t chain = out.Reserve(7 * static_cast<std::int64_t>(runs.size()) + 1);
    for (std::size_t k = 0; k < runs.size(); ++k) {
      const std::int64_t e = chain + 7 * static_cast<std::int64_t>(k);
      PutU8(out.bytes, e, 1);
      PutI16(out.bytes, e + 1, 7);
      PutI32(out.bytes, e + 3, static_cast<std::int32_t>(out.size() - s));
      for (const OldAirport* a : runs[k]) {
        const int length = 27 + static_cast<int>(a->name.size()) + 1;
        const std::int64_t r = out.Reserve(length);
        auto& b = out.bytes;
        PutU8(b, r, 3);
        PutI16(b, r + 1, static_cast<std::int16_t>(length));
        PutFix824(b, r + 3, a->latitude / kLat24);
        PutFix824(b, r + 7, a->longitude / kLon24);
        PutI32(b, r + 11, Clamp32(static_cast<std::int64_t>(a->altitudeMetres * 256)));
        PutText(b, r + 27, a->name, static_cast<int>(a->name.size()));
      }
      out.Reserve(1);
    }
  }
  if (!c.objectBytes.empty() || !c.runways.empty()) {
    layout.objects = out.Append(c.objectBytes);
    if (c.objectBytes.empty()) out.Reserve(1);  // a section offset of its own
    for (const auto& r : c.runways) out.Append(EncodeRunway(r));
  }
  if (c.dynamicObjects) layout.dynObj = out.Reserve(4);
  if (c.dynamicScenery) layout.dynScn = out.Reserve(4);
  if (fs2000) {
    // The directory blocks, then the section data each entry points at.
    std::vector<std::int64_t> entryAt;
    layout.facility = out.size();
    for (const auto& block : c.facilityBlocks) {
      const std::int64_t at = out.Reserve(24);
      PutI32(out.bytes, at, 0x30001);
      PutI32(out.bytes, at + 4, static_cast<std::int32_t>(16 + 40 * block.entries.size()));
      PutI32(out.bytes, at + 8, block.language);
      for (const auto& e : block.entries) {
        const std::int64_t ea = out.Reserve(40);
        PutI32(out.bytes, ea, 0x30002);
        PutI32(out.bytes, ea + 4, 32);
        PutI32(out.bytes, ea + 8, e.kind);
        PutText(out.bytes, ea + 16, e.name, 24);
        entryAt.push_back(ea);
      }
    }
    out.Reserve(8);  // ends the last block's entries and the block chain
    std::size_t k = 0;
    for (const auto& block : c.facilityBlocks) {
      for (const auto& e : block.entries) {
        const std::int64_t data = out.size();
        PutI32(out.bytes, entryAt[k++] + 12, static_cast<std::int32_t>(data));
        if (e.kind == kFacNdbKind) {
          out.Append(EncodeNdbBlock(e.ndb));
        } else if (e.kind == kFacVorListKind) {
          out.Reserve(16);
          for (const auto& sub : e.subs) WriteSub(out, sub);
          out.Reserve(8);
        } else {
          PutI32(out.bytes, out.Reserve(8), 1);
          for (const auto& sub : e.subs) WriteSub(out, sub);
          out.Reserve(8);  // tag 0 ends the chain
        }
      }
    }
    for (const auto& n : c.looseNdbs) {
      out.Reserve(13);  // anywhere in the file, not aligned
      out.Append(EncodeNdbBlock(n));
    }
    out.Reserve(16);
    PutI32(out.bytes, 0x76, static_cast<std::int32_t>(0x87654321u));
    PutI32(out.bytes, 0x9C,
           c.facilityBlocks.empty() ? 0 : static_cast<std::int32_t>(layout.facility));
  }
  if (c.magVarGrid) {
    const std::int64_t m = layout.magVar = out.Reserve(8);
    PutI16(out.bytes, m, 360);
    PutI16(out.bytes, m + 2, 181);
    PutI32(out.bytes, m + 4, 0x20180101);
    for (std::uint16_t v : *c.magVarGrid) {
      PutI16(out.bytes, out.Reserve(2), static_cast<std::int16_t>(v));
    }
  }

  auto& b = out.bytes;
  PutI32(b, 0x12, static_cast<std::int32_t>(layout.vorIls));
  PutI32(b, 0x3A, static_cast<std::int32_t>(layout.objects));
  PutI32(b, 0x3E, static_cast<std::int32_t>(layout.dynObj));
  PutI32(b, 0x42, static_cast<std::int32_t>(layout.airports));
  PutI32(b, 0x4A, static_cast<std::int32_t>(layout.atis));
  PutI32(b, 0x4E, static_cast<std::int32_t>(layout.ndb));
  PutI32(b, 0x52, static_cast<std::int32_t>(layout.dynScn));
  PutI32(b, 0x66, static_cast<std::int32_t>(layout.markers));
  PutI32(b, 0x6E, static_cast<std::int32_t>(layout.magVar));
  if (layoutOut) *layoutOut = layout;
  return std::move(out.bytes);
}

}  // namespace quarn::testing

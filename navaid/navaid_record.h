#pragma once
// One navaid of any kind, as the document's table holds it.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace quarn {

enum class NavaidKind : std::int16_t {
  Ndb = 1,
  Ils = 2,
  Vor = 3,
  Airport = 4,
  InnerMarker = 5,
  MiddleMarker = 6,
  OuterMarker = 7,
  Runway = 8,
  Atis = 10,
  DynObj = 11,
  DynScn = 12,
  Fix = 20,
};

// Where a record came from: the scenery files the table was built for, or a source
// of today, whose typed values the document keeps beside the record.
enum class NavaidSource : std::uint8_t { Bgl = 0, XPlane = 1, OurAirports = 2 };

inline constexpr int kIdentSize = 6;  // no terminator when all six bytes are used
inline constexpr int kNameSize = 31;  // at most 30 characters, the last byte is always 0

struct NavaidRecord {
  NavaidKind kind = NavaidKind::Ndb;
  double latitude = 0;
  double longitude = 0;
  std::int32_t intValue = 0;
  double frequency = 0;
  char ident[kIdentSize] = {};
  char name[kNameSize] = {};
  double magVar = 0;
  double course = 0;
  double extra = 0;
  std::int16_t fileIndex = 0;
  NavaidSource source = NavaidSource::Bgl;
  std::int32_t detail = -1;  // the typed values in the document's m_details, or -1

  // The ident and name as text; the ident is read with its 6-byte limit.
  std::string_view Ident() const { return {ident, ::strnlen(ident, kIdentSize)}; }
  std::string_view Name() const { return {name, ::strnlen(name, kNameSize)}; }
};

// An NDB already taken from the facility data of the file being parsed.
struct NdbKey {
  double frequency = 0;
  double latitude = 0;
  double longitude = 0;
};

}  // namespace quarn

#pragma once
// Builds BGL scenery files: the header table, the older sections (NDB, ATIS,
// VOR/ILS channels, markers, airports, runways in the object data, dynamic flags,
// the magnetic-variation grid) and the FS2000 facility directory. Values are given
// in physical units and encoded to the nearest stored step. Shared by the tests, the
// benchmark and the example-scenery tool.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quarn::testing {

// ---- Older sections ----

// Records with the same run number share one record run behind one list entry.
struct OldNdb {
  double latitude = 0, longitude = 0;
  double frequencyKhz = 0;  // 0.1 kHz steps
  std::int16_t intValue = 0;
  std::int8_t rangeRaw = 0;  // x 2.048 km
  std::string ident;         // 5 bytes
  std::string name;          // 24 bytes
  int run = 0;
};

struct OldAtis {
  double latitude = 0, longitude = 0;
  double frequencyMhz = 0;  // 0.01 MHz steps
  std::int32_t extra = 0;
  int recordLength = 16;  // the stored length (the next record follows after it)
  int run = 0;
};

struct OldVorIls {
  bool ils = false;
  double frequencyMhz = 108.0;         // its 50 kHz channel
  double latitude = 0, longitude = 0;  // the VOR, or the ILS localizer position
  std::int16_t intValue = 0;           // VOR value, or the ILS glide-slope sine x 131072
  std::int8_t rangeRaw = 0;
  double magVarDeg = 0;
  double courseDeg = 0;  // ILS only
  std::string ident;
  std::string name;
  int run = 0;
};

struct OldMarker {
  int type = 4;  // 4 inner, 5 middle, 6 outer, 7 airport
  double latitude = 0, longitude = 0;
  std::int16_t altitude = 0;
  std::string name;  // airports (type 7)
  int run = 0;
};

struct OldAirport {
  double latitude = 0, longitude = 0;
  double altitudeMetres = 0;
  std::string name;
  int run = 0;
};

struct OldRunway {
  double latitude = 0, longitude = 0;  // centre
  double altitudeMetres = 0;
  double headingDeg = 0;
  std::int16_t lengthFt = 0;
  std::int16_t widthFt = 0;
  int number = 0;   // 1 .. 64
  char side = ' ';  // ' ', 'L', 'R', 'C'
  std::int8_t surface = 0;
};

// ---- FS2000 facility data ----

struct FacAirport {
  double latitude = 0, longitude = 0;
  std::int32_t altitude = 0;
  std::string ident;  // 4 bytes
};

struct FacRunway {
  double latitude = 0, longitude = 0;
  std::int16_t value26 = 0;  // stored into the record's frequency
  std::int32_t value28 = 0;  // stored into intValue
  double headingDeg = 0;
  double magVarDeg = 0;
  std::int16_t lengthFt = 0;
  std::int16_t widthFt = 0;
  std::int32_t sideCode = 0;  // 1 L, 2 R, 3 C, 4 H
  std::uint8_t numberByte = 0;
};

struct FacNavaid {
  double latitude = 0, longitude = 0;  // as stored (an ILS is mirrored when read)
  std::int32_t altitude = 0;
  double courseDeg = 0;
  double frequencyMhz = 0;
  std::int32_t navaidType = 1;  // 4 ILS, 7 marker, 8 skipped in VOR lists
  std::int32_t markerType = 0;  // 8 outer, 9 middle, 10 inner
  std::string ident;            // 4 bytes
};

struct FacCom {
  double frequencyMhz = 0;
  std::int32_t comType = 1;  // 1 ATIS
};

struct FacSubRecord {
  enum class Type { Airport, Runway, Navaid, Com, Raw } type = Type::Raw;
  FacAirport airport;
  FacRunway runway;
  FacNavaid navaid;
  FacCom com;
  std::int32_t rawTag = 0;  // Raw: a sub-record of any tag
  std::vector<std::uint8_t> rawPayload;
};

FacSubRecord Sub(const FacAirport& a);
FacSubRecord Sub(const FacRunway& r);
FacSubRecord Sub(const FacNavaid& n);
FacSubRecord Sub(const FacCom& c);

struct FacNdb {
  double latitude = 0, longitude = 0;
  double frequencyKhz = 0;  // 0.1 kHz steps
  std::int32_t intValue = 0;
  std::string ident;            // 4 bytes
  std::int32_t navaidType = 3;  // the scan takes only 3
};

inline constexpr std::int32_t kFacAirportKind = 0x50001;
inline constexpr std::int32_t kFacVorListKind = 0x50003;
inline constexpr std::int32_t kFacNdbKind = 0x50004;

struct FacEntry {
  std::int32_t kind = kFacAirportKind;
  std::string name;                // 24 bytes
  std::vector<FacSubRecord> subs;  // airport facility or VOR list (navaids)
  FacNdb ndb;                      // NDB entries
};

struct FacBlock {
  std::int32_t language = 1033;
  std::vector<FacEntry> entries;
};

// ---- A whole file ----

struct BglContent {
  std::vector<OldNdb> ndbs;
  std::vector<OldAtis> atis;
  std::vector<OldVorIls> vorIls;
  std::vector<OldMarker> markers;
  std::vector<OldAirport> airports;
  // The object data section: these bytes first, then the runways, 31 bytes each.
  std::vector<std::uint8_t> objectBytes;
  std::vector<OldRunway> runways;
  bool dynamicObjects = false;
  bool dynamicScenery = false;
  // 65160 raw grid values (181 latitudes per longitude column), when present.
  std::optional<std::vector<std::uint16_t>> magVarGrid;

  // FS2000: the marker and the facility directory when any block is given.
  std::vector<FacBlock> facilityBlocks;
  // NDB data blocks outside the directory: only the signature scan finds them.
  std::vector<FacNdb> looseNdbs;
};

// Where the sections landed (0 when absent).
struct BglLayout {
  std::int64_t ndb = 0, atis = 0, vorIls = 0, markers = 0, airports = 0, objects = 0, dynObj = 0,
               dynScn = 0, magVar = 0, facility = 0;
};

std::vector<std::uint8_t> BuildBgl(const BglContent& content, BglLayout* layout = nullptr);

// Pieces for hand-made layouts.
std::vector<std::uint8_t> EncodeRunway(const OldRunway& r);  // 31 bytes
std::vector<std::uint8_t> EncodeNdbBlock(const FacNdb& n);   // 80 bytes
std::int32_t RawLat24(double deg);
std::int32_t RawLon24(double deg);
std::int32_t RawLat32(double deg);
std::int32_t RawLon32(double deg);
void PutU8(std::vector<std::uint8_t>& b, std::int64_t at, std::uint8_t v);
void PutI16(std::vector<std::uint8_t>& b, std::int64_t at, std::int16_t v);
void PutI24(std::vector<std::uint8_t>& b, std::int64_t at, std::int32_t v);
void PutI32(std::vector<std::uint8_t>& b, std::int64_t at, std::int32_t v);
void PutText(std::vector<std::uint8_t>& b, std::int64_t at, const std::string& s, int width);

}  // namespace quarn::testing

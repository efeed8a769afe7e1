#pragma once
// The scenery parser's working state for one file, shared by the older sections and
// the FS2000 facility data. Every read goes through the bounds-checked reader; a
// structure that would reach past the file ends the walk that reached it.

#include <cstdint>
#include <span>
#include <string>

#include "navaid/halbrico_doc.h"
#include "platform/byte_reader.h"

namespace quarn {

// Header fields (file offsets of signed 32-bit section offsets, unless noted).
inline constexpr int kHdrVorIls = 0x12;
inline constexpr int kHdrFirstChannel = 0x16;  // signed 16-bit
inline constexpr int kHdrLastChannel = 0x18;   // signed 16-bit
inline constexpr int kHdrObjects = 0x3A;
inline constexpr int kHdrDynObj = 0x3E;
inline constexpr int kHdrAirports = 0x42;
inline constexpr int kHdrSection46 = 0x46;
inline constexpr int kHdrAtis = 0x4A;
inline constexpr int kHdrNdb = 0x4E;
inline constexpr int kHdrDynScn = 0x52;
inline constexpr int kHdrMarkers = 0x66;
inline constexpr int kHdrSection6A = 0x6A;
inline constexpr int kHdrMagVar = 0x6E;
inline constexpr int kHdrSection72 = 0x72;
inline constexpr int kHdrExtension = 0x76;
inline constexpr int kHdrSection7A = 0x7A;
inline constexpr int kHdrFacilityBlock = 0x9C;
inline constexpr std::uint32_t kFs2000Marker = 0x87654321u;

// Value encodings.
inline constexpr double kLat24 = 1.7996850551153548e-05;  // 180 / 10001750
inline constexpr double kLon24 = 2.1457672119140625e-05;  // 360 / 2^24
inline constexpr double kLat32 = 8.998425275576774e-06;   // 90 / 10001750
inline constexpr double kLon32 = 8.381903175442434e-08;   // bits 3E768000002D0000
inline constexpr double kAngle16 = 360.0 / 65536.0;
inline constexpr double kRange8Km = 2.048;
inline constexpr double kFacilityAngle1 = 1.52587890625e-05;
inline constexpr double kFacilityAngle2 = 0.005493298176225006;

// "ATIS 52 18'31"N, 4 45'50"E": the position text of an older-format ATIS.
std::string AtisPositionText(double latitude, double longitude);
// An airport name without its runway part ("Sample Field - Runway 27").
std::string CutAirportName(const std::string& name);

class BglParser {
 public:
  BglParser(CHalbricoDoc& doc, std::span<const std::uint8_t> bytes) : doc_(doc), r_(bytes) {}
  BglParseResult Run();

 private:
  // Walks every section that the mode reads.
  void Walk();
  // Appends through the document; true when a probe must stop now.
  bool Add(bool stopsProbe, NavaidKind kind, double lat, double lon, std::int32_t intValue,
           double frequency, const std::string& ident, const std::string& name, double magVar,
           double course, double extra);
  bool Stopped() const { return stopped_ || exhausted_; }
  std::int64_t Offset(int headerField) const;

  // Older sections.
  void ReadNdbSection(std::int64_t s);
  void ReadAtisSection(std::int64_t s);
  void ReadVorIlsSection(std::int64_t s);
  void WalkVorIlsList(std::int64_t s, std::int64_t list, double frequency);
  void ReadMarkerSection(std::int64_t s);
  void ReadAirportSection(std::int64_t s);
  void ScanRunways(std::int64_t begin, std::int64_t end);
  bool TryRunway(std::int64_t i);
  void ReadMagVar(std::int64_t m);

  // FS2000 facility data.
  void WalkFacilityDirectory(std::int64_t block);
  void ReadAirportFacility(std::int64_t data, const std::string& entryName);
  void ReadVorList(std::int64_t data, const std::string& entryName);
  void ReadFacilityNdb(std::int64_t data, const std::string& entryName);
  void ScanNdbSignatures();

  // Decoders.
  double Lat24(std::int64_t o) const { return r_.I24(o) * kLat24; }
  double Lon24(std::int64_t o) const { return r_.I24(o) * kLon24; }
  double Lat32(std::int64_t o) const { return r_.I32(o) * kLat32; }
  double Lon32(std::int64_t o) const { return r_.I32(o) * kLon32; }
  double Angle16(std::int64_t o) const { return r_.I16(o) * kAngle16; }
  double Range8(std::int64_t o) const { return r_.I8(o) * kRange8Km; }
  double Bcd3(std::int64_t o) const;
  double FacilityAngle(std::int64_t o) const {
    return r_.I32(o) * kFacilityAngle1 * kFacilityAngle2;
  }

  CHalbricoDoc& doc_;
  ByteReader r_;
  BglParseResult result_;
  bool probing_ = false;
  bool stopped_ = false;
  // Records this file has added, against what its bytes can hold (see Add).
  std::int64_t added_ = 0;
  bool exhausted_ = false;
  bool ended_ = false;  // a VOR/ILS run left the file: the section walk ends
  std::int64_t header_[16] = {};

  // Remembered within one file by the facility data.
  bool haveAirport_ = false;
  double airportLat_ = 0, airportLon_ = 0;
  std::string airportName_;
  bool haveRunway_ = false;
  double runwayLat_ = 0, runwayLon_ = 0, runwayMagVar_ = 0;
};

}  // namespace quarn

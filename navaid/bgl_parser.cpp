#include "navaid/bgl_parser.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/format.h"
#include "base/numeric.h"
#include "navaid/byte_scan.h"
#include "platform/file_services.h"
#include "platform/mapped_file.h"

namespace quarn {
namespace {

constexpr std::uint8_t kListEntryByte = 0x15;
constexpr int kListEntrySize = 9;
constexpr int kNdbRecordSize = 42;
constexpr int kAtisFields = 16;
constexpr int kVorRecordSize = 44;
constexpr int kIlsRecordSize = 54;
constexpr int kMarkerFields = 10;
constexpr int kMarkerAirportFields = 46;
constexpr int kAirportFields = 27;
// Longer airport names are cut at this length before the runway part is looked for:
// every real name is far shorter, and a missing terminator must not make each record
// read the rest of the file.
constexpr int kAirportNameLimit = 1024;
constexpr std::uint8_t kRunwayOpcode = 0x44;
constexpr int kRunwayExamined = 31;
constexpr int kRunwaySkip = 30;
constexpr int kMagVarHeader = 8;
constexpr int kMagVarBytes = kMagVarEntries * 2;
constexpr double kMaxRunwayAltitudeMetres = 10000;
// Files up to this size are read into memory, larger ones are mapped. A mapping costs
// a page fault per page touched and a TLB flush when it is removed; on a virtual
// machine that made a 140 KB file take about 100 us mapped against 20 us read, and a
// group search or load handles thousands of such files.
constexpr std::int64_t kReadWholeLimit = 16 << 20;

// The header fields that hold section offsets (the section-end computation uses
// every one of them but the object data section itself).
constexpr int kSectionFields[] = {kHdrVorIls,    kHdrObjects,   kHdrDynObj, kHdrAirports,
                                  kHdrSection46, kHdrAtis,      kHdrNdb,    kHdrDynScn,
                                  kHdrMarkers,   kHdrSection6A, kHdrMagVar, kHdrSection72,
                                  kHdrExtension, kHdrSection7A};

int SectionSlot(int field) {
  for (int i = 0; i < static_cast<int>(std::size(kSectionFields)); ++i) {
    if (kSectionFields[i] == field) return i;
  }
  return -1;
}

// Degrees, minutes and seconds of a coordinate for the ATIS position text, with the
// seconds rolled over into minutes and degrees when they would print as 60.
struct Dms {
  int degrees = 0;
  int minutes = 0;
  double seconds = 0;
};

Dms ToDms(double value) {
  const double a = std::fabs(value);
  Dms d;
  d.degrees = TruncToInt(a);
  d.minutes = TruncToInt((a - d.degrees) * 60);
  d.seconds = (a - d.degrees - d.minutes / 60.0) * 3600;
  if (d.seconds >= 59.995) {
    d.seconds = 0;
    ++d.minutes;
    if (d.minutes > 59) {
      d.minutes -= 60;
      ++d.degrees;
    }
  }
  return d;
}

}  // namespace

std::string AtisPositionText(double latitude, double longitude) {
  const Dms la = ToDms(latitude);
  const Dms lo = ToDms(longitude);
  return Format("ATIS %d %d'%2.0f\"%c, %d %d'%2.0f\"%c", la.degrees, la.minutes, la.seconds,
                latitude >= 0 ? 'N' : 'S', lo.degrees, lo.minutes, lo.seconds,
                longitude >= 0 ? 'E' : 'W');
}

std::string CutAirportName(const std::string& name) {
  std::size_t p = name.find("- Runway");
  if (p == std::string::npos) p = name.rfind('-');
  if (p == std::string::npos) p = name.find("Rwy");
  if (p == std::string::npos) p = name.find("at");
  std::string out = name;
  if (p != std::string::npos && p > 0) out.resize(p);
  const auto last = out.find_last_not_of(' ');
  out.resize(last == std::string::npos ? 0 : last + 1);
  return out;
}

bool BglParser::Add(bool stopsProbe, NavaidKind kind, double lat, double lon, std::int32_t intValue,
                    double frequency, const std::string& ident, const std::string& name,
                    double magVar, double course, double extra) {
  // Every record of a well-formed file takes at least eight bytes of its own (a list
  // entry, a record, a sub-record). Lists whose entries point at the same run again
  // and again would let a small file add millions of records; such a file ends its
  // parse once it has added what its size can hold.
  if (added_ >= r_.size() / 8 + 16) {
    exhausted_ = true;
    return true;
  }
  ++added_;
  doc_.AddNavaid(kind, lat, lon, intValue, frequency, ident, name, magVar, course, extra);
  if (stopsProbe && probing_) stopped_ = true;
  return Stopped();
}

std::int64_t BglParser::Offset(int headerField) const {
  const int slot = SectionSlot(headerField);
  return slot < 0 ? 0 : header_[slot];
}

double BglParser::Bcd3(std::int64_t o) const {
  const int b0 = r_.U8(o), b1 = r_.U8(o + 1), b2 = r_.U8(o + 2);
  return 100 * b2 + 10 * (b1 >> 4) + (b1 & 15) + 0.1 * (b0 >> 4) + 0.01 * (b0 & 15);
}

BglParseResult BglParser::Run() {
  Walk();
  return std::move(result_);
}

void BglParser::Walk() {
  probing_ = doc_.m_probing != 0;
  const bool loading = !probing_;
  // Section offsets beyond the end of the file mark absent sections. A negative
  // offset can address nothing either (the FS2000 marker among them).
  for (int i = 0; i < static_cast<int>(std::size(kSectionFields)); ++i) {
    const std::int64_t v = r_.I32(kSectionFields[i]);
    header_[i] = (v > r_.size() || v < 0) ? 0 : v;
  }
  doc_.m_ndbSeen.clear();
  doc_.m_ndbSeen.reserve(kNdbSeenGrowStep);

  if (r_.U32(kHdrExtension) == kFs2000Marker && (loading || doc_.m_fs2000Probe == 1)) {
    WalkFacilityDirectory(r_.I32(kHdrFacilityBlock));
    if (!Stopped()) ScanNdbSignatures();
    doc_.m_ndbSeen.clear();
    if (Stopped()) return;
  }

  if (loading || doc_.m_fs2000Probe == 0) {
    if (const auto s = Offset(kHdrNdb); s != 0) ReadNdbSection(s);
    if (Stopped()) return;
    if (const auto s = Offset(kHdrAtis); s != 0) ReadAtisSection(s);
    if (Stopped()) return;
    if (const auto s = Offset(kHdrVorIls); s != 0) ReadVorIlsSection(s);
    if (Stopped()) return;
    if (const auto s = Offset(kHdrMarkers); s != 0) ReadMarkerSection(s);
    if (Stopped()) return;
    if (const auto s = Offset(kHdrAirports); s != 0) ReadAirportSection(s);
    if (Stopped()) return;
    if (const auto obj = Offset(kHdrObjects); obj != 0) {
      // The object data section ends at the next section that follows it.
      std::int64_t end = r_.size();
      for (const int field : kSectionFields) {
        const auto o = Offset(field);
        if (field != kHdrObjects && o > obj) end = std::min(end, o);
      }
      ScanRunways(obj, end);
    }
    if (Stopped()) return;
    // The flags only ask whether the offset is set: nothing is read there, so a
    // negative offset marks the section as present as well. Only an offset beyond
    // the end of the file counts as absent.
    auto present = [&](int field) {
      const std::int64_t v = r_.I32(field);
      return v != 0 && v <= r_.size();
    };
    if (present(kHdrDynObj) && Add(true, NavaidKind::DynObj, 0, 0, 0, 0, "DYNOBJ", "", 0, 0, 0)) {
      return;
    }
    if (present(kHdrDynScn) && Add(true, NavaidKind::DynScn, 0, 0, 0, 0, "DYNSCN", "", 0, 0, 0)) {
      return;
    }
  }

  if (const auto m = Offset(kHdrMagVar); m != 0) ReadMagVar(m);
}

void BglParser::ReadNdbSection(std::int64_t s) {
  for (std::int64_t e = s; r_.Has(e, kListEntrySize) && r_.U8(e) == kListEntryByte;
       e += kListEntrySize) {
    std::int64_t rec = s + r_.I32(e + 5);
    if (r_.U8(rec) != 4) continue;
    for (; r_.U8(rec) == 4; rec += kNdbRecordSize) {
      if (!r_.Has(rec, kNdbRecordSize)) return;
      const int b1 = r_.U8(rec + 1);
      const double khz = 100 * r_.I8(rec + 2) + 10 * (b1 >> 4) + (b1 & 15) + 0.1 * r_.I8(rec + 3);
      if (Add(true, NavaidKind::Ndb, Lat24(rec + 4), Lon24(rec + 7), r_.I16(rec + 10), khz,
              r_.Text(rec + 13, 5), r_.Text(rec + 18, 24), 0, 0, Range8(rec + 12))) {
        return;
      }
    }
  }
}

void BglParser::ReadAtisSection(std::int64_t s) {
  for (std::int64_t e = s; r_.Has(e, kListEntrySize) && r_.U8(e) == kListEntryByte;
       e += kListEntrySize) {
    for (std::int64_t rec = s + r_.I32(e + 5); r_.U8(rec) == 4;) {
      const int length = r_.U16(rec + 10);
      if (!r_.Has(rec, std::max(length, kAtisFields))) return;
      const int b1 = r_.U8(rec + 1), b2 = r_.U8(rec + 2);
      const double mhz = 100 + 10 * (b2 >> 4) + (b2 & 15) + 0.1 * (b1 >> 4) + 0.01 * (b1 & 15);
      const double lat = Lat24(rec + 3), lon = Lon24(rec + 6);
      if (Add(true, NavaidKind::Atis, lat, lon, 0, mhz, "ATIS ", AtisPositionText(lat, lon), 0, 0,
              r_.I32(rec + 12))) {
        return;
      }
      // A zero length would read the same record for ever.
      if (length == 0) return;
      rec += length;
    }
  }
}

void BglParser::ReadVorIlsSection(std::int64_t s) {
  const int first = r_.I16(kHdrFirstChannel);
  const int last = r_.I16(kHdrLastChannel);
  ended_ = false;
  for (int k = 0; k <= last - first; ++k) {
    const std::int64_t entry = s + 5 * static_cast<std::int64_t>(k);
    if (!r_.Has(entry, 5)) return;
    if (r_.U8(entry) != 1) continue;
    const std::int64_t o = r_.I32(entry + 1);
    if (o > 0 && s + o < r_.size() && r_.U8(s + o) == kListEntryByte) {
      WalkVorIlsList(s, s + o, 108.00 + 0.05 * (first + k));
      if (Stopped() || ended_) return;
    }
  }
}

void BglParser::WalkVorIlsList(std::int64_t s, std::int64_t list, double frequency) {
  for (std::int64_t e = list; r_.U8(e) == kListEntryByte; e += kListEntrySize) {
    // An entry cut short by the end of the file ends the section, as a cut record does.
    if (!r_.Has(e, kListEntrySize)) {
      ended_ = true;
      return;
    }
    std::int64_t rec = s + r_.I32(e + 5);
    for (int type = r_.U8(rec); type == 4 || type == 5; type = r_.U8(rec)) {
      const int size = type == 4 ? kVorRecordSize : kIlsRecordSize;
      if (!r_.Has(rec, size)) {
        ended_ = true;
        return;
      }
      const std::string ident = r_.Text(rec + 15, 5);
      const std::string name = r_.Text(rec + 20, 24);
      const bool stop =
          type == 4
              ? Add(true, NavaidKind::Vor, Lat24(rec + 5), Lon24(rec + 8), r_.I16(rec + 11),
                    frequency, ident, name, Angle16(rec + 2), 0, Range8(rec + 1))
              : Add(true, NavaidKind::Ils, Lat24(rec + 44), Lon24(rec + 47), r_.I16(rec + 52),
                    frequency, ident, name, Angle16(rec + 2), Angle16(rec + 13), Range8(rec + 1));
      if (stop) return;
      rec += size;
    }
  }
}

void BglParser::ReadMarkerSection(std::int64_t s) {
  static const struct {
    NavaidKind kind;
    const char* ident;
  } kMarkers[] = {{NavaidKind::InnerMarker, "IM"},
                  {NavaidKind::MiddleMarker, "MM"},
                  {NavaidKind::OuterMarker, "LOM"}};
  for (std::int64_t e = s; r_.Has(e, kListEntrySize) && r_.U8(e) == kListEntryByte;
       e += kListEntrySize) {
    for (std::int64_t rec = s + r_.I32(e + 5); r_.U8(rec) >= 4 && r_.U8(rec) <= 7;) {
      const int type = r_.U8(rec);
      const int length = r_.U8(rec + 1);
      const int fields = type == 7 ? kMarkerAirportFields : kMarkerFields;
      if (!r_.Has(rec, std::max(length, fields))) return;
      const double lat = Lat24(rec + 2), lon = Lon24(rec + 5);
      if (type == 7) {
        const std::string name = r_.Text(rec + 22, 24);
        if (!doc_.IsDuplicateAirport(name, lat, lon) &&
            Add(true, NavaidKind::Airport, lat, lon, r_.I16(rec + 9), 0, "", name, 0, 0, 0)) {
          return;
        }
      } else {
        const auto& m = kMarkers[type - 4];
        if (Add(false, m.kind, lat, lon, r_.I16(rec + 8), 0, m.ident, "", 0, 0, 0)) return;
      }
      if (length == 0) return;  // would read the same record for ever
      rec += length;
    }
  }
}

void BglParser::ReadAirportSection(std::int64_t s) {
  if (r_.U8(s) != 1) return;
  for (std::int64_t e = s; r_.U8(e) == 1;) {
    const int entryLength = r_.I16(e + 1);
    if (!r_.Has(e, std::max(entryLength, 7))) return;
    std::int64_t rec = s + r_.I32(e + 3);
    while (r_.U8(rec) == 3) {
      const int length = r_.I16(rec + 1);
      if (!r_.Has(rec, std::max(length, kAirportFields))) return;
      auto fix824 = [&](std::int64_t o, double scale) {
        const int i = r_.I24(o + 1);
        const double f = r_.U8(o) / 256.0;
        return (i > 0 ? i + f : i - f) * scale;
      };
      const double lat = fix824(rec + 3, kLat24);
      const double lon = fix824(rec + 7, kLon24);
      const auto altitude = static_cast<std::int16_t>(r_.I32(rec + 11) / 256);
      const std::string name = CutAirportName(r_.Text(rec + 27, kAirportNameLimit));
      if (!doc_.IsDuplicateAirport(name, lat, lon) &&
          Add(true, NavaidKind::Airport, lat, lon, altitude, 0, "", name, 0, 0, 0)) {
        return;
      }
      // A length that does not move forward ends the walk.
      if (length <= 0) return;
      rec += length;
    }
    if (entryLength <= 0) return;
    e += entryLength;
  }
}

void BglParser::ScanRunways(std::int64_t begin, std::int64_t end) {
  // Candidates need the opcode and the zero bytes at 1 and 18; only they get the
  // full tests.
  static constexpr BytePattern kCandidate{{0, 1, 18}, {kRunwayOpcode, 0, 0}, kRunwayExamined};
  const std::uint8_t* base = r_.bytes().data();
  const auto size = static_cast<std::size_t>(r_.size());
  const std::int64_t stop = std::min(end, r_.size() - kRunwayExamined + 1);
  for (std::int64_t i = begin; i < stop;) {
    i = static_cast<std::int64_t>(FindPattern(base, size, static_cast<std::size_t>(i),
                                              static_cast<std::size_t>(stop), kCandidate));
    if (i >= stop) return;
    if (TryRunway(i)) {
      if (Stopped()) return;
      i += kRunwaySkip;
    } else {
      ++i;
    }
  }
}

bool BglParser::TryRunway(std::int64_t i) {
  if (r_.U8(i + 1) != 0 || r_.U8(i + 18) != 0 || r_.U8(i + 19) != 0 || r_.U8(i + 29) != 0) {
    return false;
  }
  int n = r_.U8(i + 27);
  char side = ' ';
  if (n >= 193) {
    side = 'C';
    n -= 192;
  } else if (n >= 129) {
    side = 'R';
    n -= 128;
  } else if (n >= 65) {
    side = 'L';
    n -= 64;
  }
  double heading = Angle16(i + 20);
  if (heading < 0) heading += 360;
  const int length = r_.I16(i + 22);
  const int width = r_.I16(i + 24);
  const int surface = r_.I8(i + 30);
  auto fixed1616 = [](int whole, unsigned fraction) {
    const double f = fraction / 65536.0;
    return whole >= 0 ? whole + f : whole - f;
  };
  const double lat = fixed1616(r_.I32(i + 4), r_.U16(i + 2)) * kLat32;
  const double lon = fixed1616(r_.I24(i + 11), r_.U16(i + 8)) * kLon24;
  const double altitude = fixed1616(r_.I16(i + 16), r_.U16(i + 14));
  if (n == 0 || std::fabs(lat) > 90 || std::fabs(lon) > 180 ||
      altitude > kMaxRunwayAltitudeMetres || length < 1 || length > 20000 || width < 21 ||
      surface < 0 || surface > 5) {
    return false;
  }
  Add(true, NavaidKind::Runway, lat, lon, TruncToInt(altitude), surface, Format("%d%c", n, side),
      "Runway", width, heading, length);
  return true;
}

void BglParser::ReadMagVar(std::int64_t m) {
  // A grid cut short by the end of the file is not taken: half a grid would give
  // wrong variations without any sign of it.
  if (!r_.Has(m + kMagVarHeader, kMagVarBytes)) return;
  doc_.m_magVarTable.assign(kMagVarEntries, 0);
  for (int i = 0; i < kMagVarEntries; ++i) {
    doc_.m_magVarTable[static_cast<std::size_t>(i)] = r_.U16(m + kMagVarHeader + 2 * i);
  }
  // What magvar.nav keeps: the 130320 bytes from the section start, header included.
  const std::uint8_t* section = r_.bytes().data() + m;
  result_.magVarFile.assign(section, section + kMagVarFileBytes);
  doc_.m_magVarLoaded = 1;
}

BglParseResult CHalbricoDoc::ParseBglBytes(std::span<const std::uint8_t> bytes) {
  return BglParser(*this, bytes).Run();
}

namespace {

BglParseResult Unreadable(std::string message, MessageKind kind = MessageKind::Info) {
  BglParseResult r;
  r.problem = std::move(message);
  r.problemKind = kind;
  return r;
}

}  // namespace

BglParseResult CHalbricoDoc::ParseBgl(const std::string& path) {
  const auto entry = FindFirstFile(path);
  if (!entry) {
    return Unreadable(Format("Could not open %s\n", path.c_str()));
  }
  // Directories and devices have no length of their own: they fail to open below.
  if (entry->size <= 0 && IsRegularFile(path)) {
    return Unreadable(Format("%s seems to have a bogus length, skipping it\n", path.c_str()),
                      MessageKind::Warning);
  }
  if (entry->size <= kReadWholeLimit) {
    const auto contents = ReadWholeFile(path);
    if (!contents) {
      return Unreadable(Format("Could not open %s\n", path.c_str()));
    }
    if (contents->empty()) {
      return Unreadable(Format("%s seems to have a bogus length, skipping it\n", path.c_str()),
                        MessageKind::Warning);
    }
    return ParseBglBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(contents->data()), contents->size()));
  }
  MappedFile file;
  switch (file.Open(path)) {
    case MappedFile::Error::None:
      break;
    case MappedFile::Error::OpenFailed:
    case MappedFile::Error::NotRegularFile:
      return Unreadable(Format("Could not open %s\n", path.c_str()));
    case MappedFile::Error::Empty:
      return Unreadable(Format("%s seems to have a bogus length, skipping it\n", path.c_str()),
                        MessageKind::Warning);
    case MappedFile::Error::MapFailed:
      return Unreadable(Format(
          "Could not map file: %s\nMaybe your virtual memory setting is too low", path.c_str()));
  }
  return ParseBglBytes(file.bytes());
}

}  // namespace quarn

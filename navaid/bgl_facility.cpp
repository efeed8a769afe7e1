// The FS2000 facility directory and the NDB signature scan.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/format.h"
#include "navaid/bgl_parser.h"
#include "navaid/byte_scan.h"

namespace quarn {
namespace {

constexpr std::int32_t kTagBlock = 0x30001;
constexpr std::int32_t kTagEntry = 0x30002;
constexpr std::int32_t kKindAirport = 0x50001;
constexpr std::int32_t kKindVorList = 0x50003;
constexpr std::int32_t kKindNdb = 0x50004;
constexpr std::int32_t kTagFacAirport = 0x10001;
constexpr std::int32_t kTagFacRunway = 0x10002;
constexpr std::int32_t kTagFacNavaid = 0x10004;
constexpr std::int32_t kTagFacCom = 0x20001;
constexpr std::int32_t kEnglish = 1033;
constexpr int kMaxBlocks = 4;
constexpr int kBlockHeader = 24;
constexpr int kEntrySize = 40;
constexpr int kNdbDataSize = 76;
constexpr int kNdbBlockSize = 80;
constexpr std::uint8_t kNdbSignature[28] = {
    0x01, 0x00, 0x00, 0x00, 0x4C, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x04, 0x00, 0x01, 0x00, 0x34, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

// Bytes of a facility sub-record that its reader uses.
int FieldsOf(std::int32_t tag) {
  switch (tag) {
    case kTagFacAirport:
      return 48;
    case kTagFacRunway:
      return 53;
    case kTagFacNavaid:
      return 60;
    case kTagFacCom:
      return 16;
    default:
      return 8;
  }
}

char RunwaySide(std::int32_t code) {
  switch (code) {
    case 1:
      return 'L';
    case 2:
      return 'R';
    case 3:
      return 'C';
    case 4:
      return 'H';
    default:
      return ' ';
  }
}

int RunwayNumber(int stored) {
  switch (stored) {
    case 37:
      return 36;
    case 38:
      return 9;
    case 39:
      return 13;
    case 40:
      return 4;
    default:
      return stored;
  }
}

// NDB data, at a directory's section or wherever the signature scan finds one.
struct FacilityNdb {
  double latitude = 0, longitude = 0, frequency = 0;
  std::int32_t intValue = 0;
  std::string ident;
};

FacilityNdb DecodeNdb(const ByteReader& r, std::int64_t d) {
  FacilityNdb n;
  n.latitude = r.I32(d + 28) * kLat32;
  n.longitude = r.I32(d + 36) * kLon32;
  n.intValue = r.I32(d + 44);
  const int b52 = r.U8(d + 52), b53 = r.U8(d + 53);
  n.frequency = 100 * (b53 >> 4) + 10 * (b53 & 15) + (b52 >> 4) + 0.1 * (b52 & 15);
  n.ident = r.Text(d + 72, 4);
  return n;
}

}  // namespace

void BglParser::WalkFacilityDirectory(std::int64_t block) {
  for (int n = 0; n < kMaxBlocks; ++n) {
    if (!r_.Has(block, kBlockHeader) || r_.I32(block) != kTagBlock) return;
    if (r_.I32(block + 8) != kEnglish) return;
    for (std::int64_t e = block + kBlockHeader; r_.Has(e, 8) && r_.I32(e) == kTagEntry;) {
      if (!r_.Has(e, kEntrySize)) return;
      const std::int32_t length = r_.I32(e + 4);
      const std::int32_t kind = r_.I32(e + 8);
      const std::int64_t data = r_.I32(e + 12);
      const std::string name = r_.Text(e + 16, 24);
      bool inFile = true;
      switch (kind) {
        case kKindAirport:
          inFile = r_.Has(data, 8);
          if (inFile) ReadAirportFacility(data, name);
          break;
        case kKindVorList:
          inFile = r_.Has(data, 24);
          if (inFile) ReadVorList(data, name);
          break;
        case kKindNdb:
          inFile = r_.Has(data, kNdbDataSize);
          if (inFile) ReadFacilityNdb(data, name);
          break;
        default:
          break;
      }
      // A section outside the file ends the walk, and so does a negative length,
      // which would step back over the same entries for ever.
      if (!inFile || Stopped() || length < 0) return;
      e += 8 + static_cast<std::int64_t>(length);
    }
    block += 8 + static_cast<std::int64_t>(r_.I32(block + 4));
  }
}

void BglParser::ReadAirportFacility(std::int64_t data, const std::string& entryName) {
  if (r_.I32(data) != 1) return;
  for (std::int64_t sub = data + 8; r_.Has(sub, 8);) {
    const std::int32_t tag = r_.I32(sub);
    const std::int32_t length = r_.I32(sub + 4);
    if (tag == 0 || length < 0) return;
    if (!r_.Has(sub,
                std::max<std::int64_t>(8 + static_cast<std::int64_t>(length), FieldsOf(tag)))) {
      return;
    }
    if (tag == kTagFacAirport) {
      const double lat = Lat32(sub + 12), lon = Lon32(sub + 20);
      haveAirport_ = true;
      airportLat_ = lat;
      airportLon_ = lon;
      airportName_ = entryName;
      if (!doc_.IsDuplicateAirport(entryName, lat, lon) &&
          Add(true, NavaidKind::Airport, lat, lon, r_.I32(sub + 28), 0, r_.Text(sub + 44, 4),
              entryName, 0, 0, 0)) {
        return;
      }
    } else if (tag == kTagFacRunway) {
      const double lat = Lat32(sub + 12), lon = Lon32(sub + 20);
      const double magVar = r_.I32(sub + 36) * kFacilityAngle1 * -kFacilityAngle2;
      haveRunway_ = true;
      runwayLat_ = lat;
      runwayLon_ = lon;
      runwayMagVar_ = magVar;
      const std::string ident =
          Format("%d%c", RunwayNumber(r_.U8(sub + 52)), RunwaySide(r_.I32(sub + 48)));
      if (Add(true, NavaidKind::Runway, lat, lon, r_.I32(sub + 28), r_.I16(sub + 26), ident,
              "Runway", r_.I16(sub + 44), FacilityAngle(sub + 32), r_.I16(sub + 40))) {
        return;
      }
    } else if (tag == kTagFacNavaid) {
      const double lat = Lat32(sub + 12), lon = Lon32(sub + 20);
      const std::int32_t type = r_.I32(sub + 40);
      if (type == 7) {
        static const struct {
          NavaidKind kind;
          const char* ident;
        } kMarkers[] = {{NavaidKind::OuterMarker, "LOM"},
                        {NavaidKind::MiddleMarker, "MM"},
                        {NavaidKind::InnerMarker, "IM"}};
        const std::int32_t marker = r_.I32(sub + 44);
        if (marker >= 8 && marker <= 10) {
          const auto& m = kMarkers[marker - 8];
          Add(false, m.kind, lat, lon, r_.I32(sub + 28), 0, m.ident, "", 0, 0, 0);
        }
      } else if (type == 4 && haveRunway_) {
        // The localizer is stored mirrored through the runway point. An ILS before
        // any runway of the file has nothing to be placed against and is skipped.
        const std::string ident = r_.Text(sub + 56, 4);
        Add(false, NavaidKind::Ils, 2 * runwayLat_ - lat, 2 * runwayLon_ - lon, 6861,
            Bcd3(sub + 37), ident, ident, runwayMagVar_, FacilityAngle(sub + 32), 0);
      }
    } else if (tag == kTagFacCom) {
      // An ATIS before any airport of the file has no position and is skipped.
      if (r_.I32(sub + 12) == 1 && haveAirport_) {
        Add(false, NavaidKind::Atis, airportLat_, airportLon_, 0, Bcd3(sub + 9), "ATIS ",
            airportName_, 0, 0, 0);
      }
    }
    sub += 8 + static_cast<std::int64_t>(length);
  }
}

void BglParser::ReadVorList(std::int64_t data, const std::string& entryName) {
  if (r_.I32(data + 16) != kTagFacNavaid) return;
  std::string lastIdent;
  for (std::int64_t sub = data + 16; r_.Has(sub, 8) && r_.I32(sub) == kTagFacNavaid;) {
    const std::int32_t length = r_.I32(sub + 4);
    if (length < 0 || !r_.Has(sub, std::max<std::int64_t>(8 + static_cast<std::int64_t>(length),
                                                          FieldsOf(kTagFacNavaid)))) {
      return;
    }
    if (r_.I32(sub + 40) != 8) {
      // Consecutive sub-records of one station (VOR and DME) give one VOR.
      const std::string ident = r_.Text(sub + 56, 4);
      if (ident.compare(0, 4, lastIdent, 0, 4) != 0) {
        lastIdent = ident;
        const double lat = Lat32(sub + 12), lon = Lon32(sub + 20);
        if (Add(false, NavaidKind::Vor, lat, lon, r_.I32(sub + 28), Bcd3(sub + 37), ident,
                entryName, doc_.MagneticVariationAt(lat, lon), 0, 0)) {
          return;
        }
      }
    }
    sub += 8 + static_cast<std::int64_t>(length);
  }
}

void BglParser::ReadFacilityNdb(std::int64_t data, const std::string& entryName) {
  if (r_.I32(data) != 1 || r_.I32(data + 16) != kTagFacNavaid) return;
  const FacilityNdb n = DecodeNdb(r_, data);
  Add(false, NavaidKind::Ndb, n.latitude, n.longitude, n.intValue, n.frequency, n.ident, entryName,
      0, 0, 0);
  doc_.m_ndbSeen.push_back(NdbKey{n.frequency, n.latitude, n.longitude});
}

void BglParser::ScanNdbSignatures() {
  const std::int64_t size = r_.size();
  if (size < kNdbBlockSize) return;
  // The first filter tests three bytes of the signature; a candidate then gets the
  // whole 28-byte comparison.
  static constexpr BytePattern kCandidate{
      {0, 4, 20}, {kNdbSignature[0], kNdbSignature[4], kNdbSignature[20]}, kNdbBlockSize};
  const std::uint8_t* base = r_.bytes().data();
  const std::int64_t end = size - kNdbBlockSize + 1;  // one past the last position tested
  for (std::int64_t p = 0; p < end;) {
    p = static_cast<std::int64_t>(FindPattern(base, static_cast<std::size_t>(size),
                                              static_cast<std::size_t>(p),
                                              static_cast<std::size_t>(end), kCandidate));
    if (p >= end) return;
    if (std::memcmp(base + p, kNdbSignature, sizeof kNdbSignature) != 0 || r_.I32(p + 56) != 3) {
      ++p;
      continue;
    }
    const FacilityNdb n = DecodeNdb(r_, p);
    const bool duplicate =
        std::any_of(doc_.m_ndbSeen.begin(), doc_.m_ndbSeen.end(), [&](const NdbKey& k) {
          return k.frequency == n.frequency && std::fabs(k.latitude - n.latitude) < 0.1 &&
                 std::fabs(k.longitude - n.longitude) < 0.1;
        });
    if (!duplicate) {
      if (Add(false, NavaidKind::Ndb, n.latitude, n.longitude, n.intValue, n.frequency, n.ident,
              n.ident, 0, 0, 0)) {
        return;
      }
    }
    p += kNdbBlockSize;
  }
}

}  // namespace quarn

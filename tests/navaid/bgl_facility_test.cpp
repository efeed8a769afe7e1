#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "navaid_test_support.h"

namespace quarn::testing {
namespace {

using Facility = NavaidTest;

constexpr double kLat32 = 8.998425275576774e-06;
constexpr double kFacAngle = 1.52587890625e-05;
constexpr double kFacAngle2 = 0.005493298176225006;

FacEntry AirportEntry(const std::string& name, std::vector<FacSubRecord> subs) {
  FacEntry e;
  e.kind = kFacAirportKind;
  e.name = name;
  e.subs = std::move(subs);
  return e;
}

FacEntry VorEntry(const std::string& name, std::vector<FacNavaid> navaids) {
  FacEntry e;
  e.kind = kFacVorListKind;
  e.name = name;
  for (const auto& n : navaids) e.subs.push_back(Sub(n));
  return e;
}

FacEntry NdbEntry(const std::string& name, const FacNdb& ndb) {
  FacEntry e;
  e.kind = kFacNdbKind;
  e.name = name;
  e.ndb = ndb;
  return e;
}

BglContent WithEntries(std::vector<FacEntry> entries) {
  BglContent c;
  c.facilityBlocks.push_back({1033, std::move(entries)});
  return c;
}

FacRunway Runway(double lat, double lon, std::uint8_t number, std::int32_t side) {
  FacRunway r;
  r.latitude = lat;
  r.longitude = lon;
  r.numberByte = number;
  r.sideCode = side;
  return r;
}

TEST_F(Facility, AirportRunwayIlsMarkersAndAtis) {
  FacRunway rwy = Runway(52.3, 4.75, 6, 0);
  rwy.value26 = -5;
  rwy.value28 = 123456;
  rwy.headingDeg = 57.8;
  rwy.magVarDeg = 1.25;
  rwy.lengthFt = 11283;
  rwy.widthFt = 148;
  FacNavaid ils;
  ils.latitude = 52.29;  // mirrored through the runway point when read
  ils.longitude = 4.72;
  ils.courseDeg = 57.8;
  ils.frequencyMhz = 110.55;
  ils.navaidType = 4;
  ils.ident = "KAGX";
  FacNavaid outer;
  outer.navaidType = 7;
  outer.markerType = 8;
  outer.latitude = 52.2;
  outer.altitude = -3;
  FacNavaid middle = outer, inner = outer, other = outer;
  middle.markerType = 9;
  inner.markerType = 10;
  other.markerType = 11;
  Parse(WithEntries({AirportEntry(
      "Sample Field Airport Name",
      {Sub(FacAirport{52.31, 4.76, -11, "EHAM"}), Sub(rwy), Sub(ils), Sub(outer), Sub(middle),
       Sub(inner), Sub(other), Sub(FacCom{132.98, 1}), Sub(FacCom{121.5, 2})})}));

  ASSERT_EQ(doc_.m_navaidCount, 7);
  const NavaidRecord& apt = At(0);
  EXPECT_EQ(apt.kind, NavaidKind::Airport);
  EXPECT_EQ(apt.Ident(), "EHAM");
  EXPECT_EQ(apt.Name(), "Sample Field Airport Nam");  // the entry name: 24 bytes
  EXPECT_EQ(apt.intValue, -11);
  EXPECT_EQ(apt.latitude, RawLat32(52.31) * kLat32);

  const NavaidRecord& r = At(1);
  EXPECT_EQ(r.kind, NavaidKind::Runway);
  EXPECT_EQ(r.Ident(), "6 ");
  EXPECT_EQ(r.Name(), "Runway");
  EXPECT_EQ(r.intValue, 123456);
  EXPECT_EQ(r.frequency, -5);
  EXPECT_EQ(r.magVar, 148);
  EXPECT_EQ(r.extra, 11283);
  const std::int32_t rawHeading =
      static_cast<std::int32_t>(std::llround(57.8 / (kFacAngle * kFacAngle2)));
  EXPECT_EQ(r.course, rawHeading * kFacAngle * kFacAngle2);

  const NavaidRecord& i = At(2);
  EXPECT_EQ(i.kind, NavaidKind::Ils);
  EXPECT_EQ(i.Ident(), "KAGX");
  EXPECT_EQ(i.Name(), "KAGX");
  EXPECT_EQ(i.intValue, 6861);
  EXPECT_EQ(i.frequency, 100 * 1 + 10 * 1 + 0 + 0.1 * 5 + 0.01 * 5);
  EXPECT_EQ(i.latitude, 2 * (RawLat32(52.3) * kLat32) - RawLat32(52.29) * kLat32);
  EXPECT_NEAR(i.longitude, 4.78, 1e-6);
  EXPECT_EQ(i.course, r.course);
  EXPECT_NEAR(i.magVar, 1.25, 1e-6);  // the runway's variation
  EXPECT_EQ(i.extra, 0);

  EXPECT_EQ(At(3).kind, NavaidKind::OuterMarker);
  EXPECT_EQ(At(3).Ident(), "LOM");
  EXPECT_EQ(At(3).intValue, -3);
  EXPECT_EQ(At(4).kind, NavaidKind::MiddleMarker);
  EXPECT_EQ(At(4).Ident(), "MM");
  EXPECT_EQ(At(5).kind, NavaidKind::InnerMarker);
  EXPECT_EQ(At(5).Ident(), "IM");

  const NavaidRecord& atis = At(6);
  EXPECT_EQ(atis.kind, NavaidKind::Atis);
  EXPECT_EQ(atis.Ident(), "ATIS ");
  EXPECT_EQ(atis.Name(), "Sample Field Airport Nam");
  EXPECT_EQ(atis.latitude, apt.latitude);
  EXPECT_EQ(atis.longitude, apt.longitude);
  EXPECT_EQ(atis.frequency, 100 * 1 + 10 * 3 + 2 + 0.1 * 9 + 0.01 * 8);
}

TEST_F(Facility, TheLongitudeFactorIsTheStoredOneNotTheExactOne) {
  const double k = std::bit_cast<double>(0x3E768000002D0000ull);
  EXPECT_NE(k, 360.0 / 4294967296.0);
  const double lon = 0x40000000 * k;  // not 90 exactly
  Parse(WithEntries({AirportEntry("A", {Sub(FacAirport{1, lon, 0, "A"})})}));
  ASSERT_EQ(doc_.m_navaidCount, 1);
  EXPECT_EQ(At(0).longitude, 0x40000000 * k);
  EXPECT_NE(At(0).longitude, 90.0);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(At(0).longitude / 0x40000000), 0x3E768000002D0000ull);
}

TEST_F(Facility, RunwayNumbersAndSides) {
  const struct {
    std::uint8_t number;
    std::int32_t side;
    const char* ident;
  } cases[] = {{38, 1, "9L"}, {39, 2, "13R"}, {12, 3, "12C"}, {37, 4, "36H"},
               {40, 5, "4 "}, {18, 0, "18 "}, {36, -1, "36 "}};
  std::vector<FacSubRecord> subs;
  for (const auto& c : cases) subs.push_back(Sub(Runway(10, 10, c.number, c.side)));
  Parse(WithEntries({AirportEntry("A", subs)}));
  ASSERT_EQ(doc_.m_navaidCount, static_cast<int>(std::size(cases)));
  for (int k = 0; k < doc_.m_navaidCount; ++k) EXPECT_EQ(At(k).Ident(), cases[k].ident);
}

TEST_F(Facility, HeadingsAndVariationsBeyondHalfACircle) {
  FacRunway r = Runway(10, 10, 24, 0);
  r.headingDeg = 237.8;
  r.magVarDeg = -3.5;
  FacNavaid ils;
  ils.navaidType = 4;
  ils.courseDeg = 200;
  Parse(WithEntries({AirportEntry("A", {Sub(r), Sub(ils)})}));
  ASSERT_EQ(doc_.m_navaidCount, 2);
  EXPECT_NEAR(At(0).course, 237.8, 1e-6);  // stored negative, 360 added
  EXPECT_NEAR(At(1).course, 200, 1e-6);
  EXPECT_NEAR(At(1).magVar, -3.5, 1e-6);  // the negated factor
}

TEST_F(Facility, IlsIsMirroredThroughTheLastRunwayPoint) {
  FacNavaid ils;
  ils.navaidType = 4;
  ils.latitude = 55.0;
  ils.longitude = 10.0;
  ils.ident = "I";
  Parse(WithEntries(
      {AirportEntry("A", {Sub(Runway(50, 5, 1, 0)), Sub(Runway(55.01, 10.02, 2, 0)), Sub(ils)})}));
  ASSERT_EQ(doc_.m_navaidCount, 3);
  EXPECT_NEAR(At(2).latitude, 55.02, 2e-5);
  EXPECT_EQ(At(2).latitude, 2 * (RawLat32(55.01) * kLat32) - RawLat32(55.0) * kLat32);
  EXPECT_NEAR(At(2).longitude, 10.04, 1e-6);
}

TEST_F(Facility, IlsBeforeAnyRunwayAndAtisBeforeAnyAirportAreSkipped) {
  FacNavaid ils;
  ils.navaidType = 4;
  ils.ident = "I";
  Parse(WithEntries(
      {AirportEntry("A", {Sub(FacCom{120.0, 1}), Sub(ils), Sub(FacAirport{1, 1, 0, "AP"}),
                          Sub(FacCom{121.0, 1}), Sub(Runway(1, 1, 9, 0)), Sub(ils)})}));
  ASSERT_EQ(doc_.m_navaidCount, 4);
  EXPECT_EQ(At(0).kind, NavaidKind::Airport);
  EXPECT_EQ(At(1).kind, NavaidKind::Atis);
  EXPECT_EQ(At(1).frequency, 121.0);
  EXPECT_EQ(At(2).kind, NavaidKind::Runway);
  EXPECT_EQ(At(3).kind, NavaidKind::Ils);
}

TEST_F(Facility, VorListsGiveOneVorPerStation) {
  FacNavaid abc;
  abc.ident = "ABC";
  abc.latitude = 52;
  abc.longitude = 4;
  abc.altitude = 14;
  abc.frequencyMhz = 113.95;
  FacNavaid abcDme = abc;
  abcDme.navaidType = 2;
  FacNavaid dmeOnly = abc;
  dmeOnly.ident = "DME";
  dmeOnly.navaidType = 8;  // skipped, and it does not break the repetition
  FacNavaid xyz = abc;
  xyz.ident = "XYZ";
  xyz.latitude = 53;
  Parse(WithEntries(
      {VorEntry("AMSTERDAM", {abc, abcDme, dmeOnly, abc, xyz}), VorEntry("SECOND", {xyz})}));
  ASSERT_EQ(doc_.m_navaidCount, 3);
  EXPECT_EQ(At(0).kind, NavaidKind::Vor);
  EXPECT_EQ(At(0).Ident(), "ABC");
  EXPECT_EQ(At(0).Name(), "AMSTERDAM");
  EXPECT_EQ(At(0).intValue, 14);
  EXPECT_EQ(At(0).frequency, 100 + 10 * 1 + 3 + 0.1 * 9 + 0.01 * 5);
  EXPECT_EQ(At(0).magVar, 0);  // no grid and no VOR yet
  EXPECT_EQ(At(1).Ident(), "XYZ");
  EXPECT_EQ(At(2).Ident(), "XYZ");  // a new list starts with no ident remembered
  EXPECT_EQ(At(2).Name(), "SECOND");
}

TEST_F(Facility, VorVariationComesFromTheGridWhenLoaded) {
  doc_.m_magVarTable.assign(kMagVarEntries, 0);
  doc_.m_magVarTable[static_cast<std::size_t>(142 + 4 * 181)] = 0x00E9;
  doc_.m_magVarLoaded = 1;
  FacNavaid v;
  v.ident = "V";
  v.latitude = 52.3;
  v.longitude = 4.4;
  Parse(WithEntries({VorEntry("V", {v})}));
  ASSERT_EQ(doc_.m_navaidCount, 1);
  EXPECT_DOUBLE_EQ(At(0).magVar, -(0xE9 * 360.0 / 65536.0));
}

FacNdb Ndb(double lat, double lon, double khz, const std::string& ident) {
  FacNdb n;
  n.latitude = lat;
  n.longitude = lon;
  n.frequencyKhz = khz;
  n.ident = ident;
  n.intValue = 42;
  return n;
}

TEST_F(Facility, NdbEntriesAndTheSignatureScan) {
  BglContent c = WithEntries({NdbEntry("SCHIPHOL", Ndb(52.22, 4.5576, 389.5, "CH"))});
  c.looseNdbs = {
      Ndb(52.27, 4.60, 389.5, "DUP"),    // 0.05 degree away, same frequency: dropped
      Ndb(52.27, 4.60, 389.6, "NEW"),    // a frequency 0.1 kHz apart: added
      Ndb(52.33, 4.5576, 389.5, "FAR"),  // 0.11 degree away: added
  };
  FacNdb notThree = Ndb(10, 10, 300, "NO3");
  notThree.navaidType = 2;
  c.looseNdbs.push_back(notThree);
  Parse(c);
  ASSERT_EQ(doc_.m_navaidCount, 3);
  const NavaidRecord& n = At(0);
  EXPECT_EQ(n.kind, NavaidKind::Ndb);
  EXPECT_EQ(n.Ident(), "CH");
  EXPECT_EQ(n.Name(), "SCHIPHOL");
  EXPECT_EQ(n.intValue, 42);
  EXPECT_EQ(n.frequency, 100 * 3 + 10 * 8 + 9 + 0.1 * 5);
  EXPECT_EQ(n.latitude, RawLat32(52.22) * kLat32);
  EXPECT_EQ(At(1).Ident(), "NEW");
  EXPECT_EQ(At(1).Name(), "NEW");  // the scan names an NDB by its ident
  EXPECT_EQ(At(2).Ident(), "FAR");
  EXPECT_TRUE(doc_.m_ndbSeen.empty());  // per file
}

TEST_F(Facility, TheScanFindsBlocksAtAnyPositionAndContinuesAfterEach) {
  // Two NDB blocks back to back, then one at the last possible position.
  std::vector<std::uint8_t> bytes(200, 0);
  PutI32(bytes, 0x76, static_cast<std::int32_t>(0x87654321u));
  const auto a = EncodeNdbBlock(Ndb(1, 1, 300, "A"));
  const auto b = EncodeNdbBlock(Ndb(2, 2, 300, "B"));
  bytes.insert(bytes.end(), a.begin(), a.end());
  bytes.insert(bytes.end(), b.begin(), b.end());
  bytes.insert(bytes.end(), 3, 0);
  bytes.insert(bytes.end(), a.begin(), a.end());
  Parse(bytes);
  EXPECT_EQ(doc_.m_navaidCount, 3);
  bytes.pop_back();  // the last block no longer fits
  doc_.ClearNavaids();
  Parse(bytes);
  EXPECT_EQ(doc_.m_navaidCount, 2);
}

TEST_F(Facility, WalkOfBlocks) {
  auto block = [](std::int32_t language, const std::string& name) {
    const double at = name[0] - 'A';  // a degree apart: no duplicates
    return FacBlock{language, {AirportEntry(name, {Sub(FacAirport{at, at, 0, "A"})})}};
  };
  const struct {
    const char* what;
    std::vector<FacBlock> blocks;
    int airports;
  } cases[] = {
      {"german first stops the walk", {block(1031, "A"), block(1033, "B")}, 0},
      {"english then german", {block(1033, "A"), block(1031, "B"), block(1033, "C")}, 1},
      {"four blocks", {block(1033, "A"), block(1033, "B"), block(1033, "C"), block(1033, "D")}, 4},
      {"a fifth is not read",
       {block(1033, "A"), block(1033, "B"), block(1033, "C"), block(1033, "D"), block(1033, "E")},
       4},
  };
  for (const auto& c : cases) {
    BglContent content;
    content.facilityBlocks = c.blocks;
    doc_.ClearNavaids();
    Parse(content);
    EXPECT_EQ(CountOf(NavaidKind::Airport), c.airports) << c.what;
  }
}

TEST_F(Facility, BrokenDirectoriesEndTheirWalk) {
  BglContent c = WithEntries({AirportEntry("A", {Sub(FacAirport{1, 1, 0, "A"})}),
                              AirportEntry("B", {Sub(FacAirport{5, 5, 0, "B"})})});
  BglLayout layout;
  const auto bytes = BuildBgl(c, &layout);
  const std::int64_t entry0 = layout.facility + 24;
  {
    auto b = bytes;
    PutI32(b, entry0 + 4, -40);  // would walk back to itself
    doc_.ClearNavaids();
    Parse(b);
    EXPECT_EQ(doc_.m_navaidCount, 1);
  }
  {
    auto b = bytes;
    PutI32(b, entry0 + 12, static_cast<std::int32_t>(b.size() - 4));  // section beyond the end
    doc_.ClearNavaids();
    Parse(b);
    EXPECT_EQ(doc_.m_navaidCount, 0);
  }
  {
    auto b = bytes;
    const std::int64_t data =
        b[static_cast<std::size_t>(entry0 + 12)] | b[static_cast<std::size_t>(entry0 + 13)] << 8;
    PutI32(b, data + 8 + 4, -8);  // a sub-record length that would stand still
    doc_.ClearNavaids();
    Parse(b);
    EXPECT_EQ(doc_.m_navaidCount, 1);
    EXPECT_EQ(At(0).Ident(), "B");
    PutI32(b, data + 8 + 4, 0x7FFFFFF0);  // reaches past the end
    doc_.ClearNavaids();
    Parse(b);
    EXPECT_EQ(doc_.m_navaidCount, 1);
  }
  for (std::int32_t start : {-1, INT32_MIN, INT32_MAX, 0}) {
    auto b = bytes;
    PutI32(b, 0x9C, start);
    doc_.ClearNavaids();
    Parse(b);
    EXPECT_EQ(doc_.m_navaidCount, 0) << start;
  }
}

TEST_F(Facility, ModesDecideWhichPartsAreRead) {
  BglContent c = WithEntries(
      {AirportEntry("F", {Sub(FacAirport{1, 1, 0, "F"}), Sub(FacAirport{9, 9, 0, "G"})})});
  c.ndbs = {{2, 2, 300, 0, 0, "OLD", "", 0}, {3, 3, 300, 0, 0, "OLD2", "", 0}};
  c.magVarGrid = std::vector<std::uint16_t>(kMagVarEntries, 1);
  const auto bytes = BuildBgl(c);
  const struct {
    const char* what;
    int probing, fs2000;
    std::vector<const char*> idents;
    int grid;
  } cases[] = {
      {"loading reads both, facility data first", 0, 0, {"F", "G", "OLD", "OLD2"}, 1},
      {"loading ignores the FS2000 choice", 0, 1, {"F", "G", "OLD", "OLD2"}, 1},
      {"FS2000 probe stops at the facility airport", 1, 1, {"F"}, 0},
      {"older probe skips the facility data", 1, 0, {"OLD"}, 0},
  };
  for (const auto& k : cases) {
    doc_.ClearNavaids();
    doc_.m_magVarLoaded = 0;
    doc_.m_probing = k.probing;
    doc_.m_fs2000Probe = k.fs2000;
    Parse(bytes);
    ASSERT_EQ(doc_.m_navaidCount, static_cast<int>(k.idents.size())) << k.what;
    for (int i = 0; i < doc_.m_navaidCount; ++i) EXPECT_EQ(At(i).Ident(), k.idents[i]) << k.what;
    EXPECT_EQ(doc_.m_magVarLoaded, k.grid) << k.what;
  }
  // An FS2000 probe of a file without facility airports or runways reads on to the
  // grid; its VORs and NDBs do not stop it.
  BglContent v = WithEntries({NdbEntry("N", Ndb(1, 1, 300, "N"))});
  v.magVarGrid = std::vector<std::uint16_t>(kMagVarEntries, 1);
  doc_.ClearNavaids();
  doc_.m_magVarLoaded = 0;
  doc_.m_probing = 1;
  doc_.m_fs2000Probe = 1;
  Parse(v);
  EXPECT_EQ(doc_.m_navaidCount, 1);
  EXPECT_EQ(doc_.m_magVarLoaded, 1);
}

}  // namespace
}  // namespace quarn::testing

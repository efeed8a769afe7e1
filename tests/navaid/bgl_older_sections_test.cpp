#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "navaid/bgl_parser.h"
#include "navaid_test_support.h"

namespace quarn::testing {
namespace {

using OlderSections = NavaidTest;

constexpr double kLat24 = 180.0 / 10001750.0;
constexpr double kLon24 = 360.0 / 16777216.0;

TEST_F(OlderSections, NdbRecords) {
  BglContent c;
  c.ndbs.push_back(
      {RawLat24(52.22) * kLat24, RawLon24(4.5576) * kLon24, 389.5, -12, 25, "CH", "SCHIPHOL", 0});
  c.ndbs.push_back({-33.9, -151.2, 1750.0, 7, -3, "ABCDEFG", "A NAME OF TWENTY-FOUR CHARS", 0});
  c.ndbs.push_back({10, 20, 200.1, 0, 0, "R2", "SECOND RUN", 1});
  Parse(c);
  ASSERT_EQ(doc_.m_navaidCount, 3);
  const NavaidRecord& a = At(0);
  EXPECT_EQ(a.kind, NavaidKind::Ndb);
  EXPECT_EQ(a.frequency, 300 + 80 + 9 + 0.1 * 5);
  EXPECT_EQ(a.latitude, RawLat24(52.22) * 1.7996850551153548e-05);
  EXPECT_EQ(a.longitude, RawLon24(4.5576) * 2.1457672119140625e-05);
  EXPECT_EQ(a.intValue, -12);
  EXPECT_EQ(a.extra, 25 * 2.048);
  EXPECT_EQ(a.Ident(), "CH");
  EXPECT_EQ(a.Name(), "SCHIPHOL");
  EXPECT_EQ(a.magVar, 0);
  EXPECT_EQ(a.course, 0);
  const NavaidRecord& b = At(1);
  EXPECT_EQ(b.frequency, 1750.0);
  EXPECT_EQ(b.extra, -3 * 2.048);
  EXPECT_EQ(b.Ident(), "ABCDE");                    // five bytes stored
  EXPECT_EQ(b.Name(), "A NAME OF TWENTY-FOUR CH");  // twenty-four bytes stored
  EXPECT_NEAR(b.latitude, -33.9, kLat24);
  EXPECT_NEAR(b.longitude, -151.2, kLon24);
  EXPECT_EQ(At(2).Name(), "SECOND RUN");  // the second list entry
  EXPECT_NEAR(At(2).frequency, 200.1, 1e-9);
  EXPECT_EQ(doc_.m_ndbIdx.size(), 3u);
}

TEST_F(OlderSections, AtisRecordsAndTheirPositionText) {
  BglContent c;
  c.atis.push_back({52.308611, 4.763889, 132.98, 77, 16, 0});
  c.atis.push_back({-33.5, -22.5, 118.05, -1, 24, 0});  // a longer record
  c.atis.push_back({1, 1, 120.0, 0, 16, 0});
  Parse(c);
  ASSERT_EQ(doc_.m_navaidCount, 3);
  EXPECT_EQ(At(0).kind, NavaidKind::Atis);
  EXPECT_EQ(At(0).frequency, 100 + 30 + 2 + 0.1 * 9 + 0.01 * 8);
  EXPECT_EQ(At(0).Ident(), "ATIS ");
  EXPECT_EQ(At(0).Name(), AtisPositionText(At(0).latitude, At(0).longitude).substr(0, 30));
  EXPECT_EQ(At(0).Name(), "ATIS 52 18'31\"N, 4 45'50\"E");
  EXPECT_EQ(At(0).extra, 77);
  EXPECT_EQ(At(1).Name(), "ATIS 33 30' 0\"S, 22 30' 0\"W");
  EXPECT_EQ(At(1).extra, -1);
  EXPECT_EQ(At(2).frequency, 120.0);
}

TEST(AtisPositionText, SecondsRollOverIntoMinutesAndDegrees) {
  const struct {
    double lat, lon;
    const char* text;
  } cases[] = {
      {51.999999, 4.5, "ATIS 52 0' 0\"N, 4 30' 0\"E"},
      {-0.9999999, -179.9999999, "ATIS 1 0' 0\"S, 180 0' 0\"W"},
      {1.0, -179.99999, "ATIS 1 0' 0\"N, 179 59'60\"W"},  // 59.964: no roll-over
      {10.5083333, 0.0, "ATIS 10 30'30\"N, 0 0' 0\"E"},
      {45.25, 7.0166, "ATIS 45 15' 0\"N, 7 0'60\"E"},  // 59.76 prints as 60: no roll-over
  };
  for (const auto& c : cases) EXPECT_EQ(AtisPositionText(c.lat, c.lon), c.text);
}

TEST_F(OlderSections, VorAndIlsFromTheChannelTable) {
  BglContent c;
  OldVorIls vor;
  vor.frequencyMhz = 113.95;
  vor.latitude = 52.3328;
  vor.longitude = 4.7056;
  vor.intValue = -7;
  vor.rangeRaw = 50;
  vor.magVarDeg = 1.5;
  vor.ident = "AMS";
  vor.name = "AMSTERDAM";
  OldVorIls ils;
  ils.ils = true;
  ils.frequencyMhz = 110.55;
  ils.latitude = 52.307;
  ils.longitude = 4.784;
  ils.intValue = 6861;
  ils.rangeRaw = 9;
  ils.magVarDeg = -2.25;
  ils.courseDeg = 237.8;
  ils.ident = "KAG";
  ils.name = "EHAM 06";
  OldVorIls second = vor;
  second.ident = "SPL";
  second.frequencyMhz = 108.40;
  c.vorIls = {vor, ils, second};
  Parse(c);
  ASSERT_EQ(doc_.m_navaidCount, 3);
  // Channels run upwards from the header's first channel.
  const NavaidRecord& s = At(0);
  EXPECT_EQ(s.Ident(), "SPL");
  EXPECT_EQ(s.frequency, 108.00 + 0.05 * 8);
  const NavaidRecord& i = At(1);
  EXPECT_EQ(i.kind, NavaidKind::Ils);
  EXPECT_EQ(i.frequency, 108.00 + 0.05 * 51);
  EXPECT_EQ(i.intValue, 6861);
  EXPECT_EQ(i.magVar, -410 * 360.0 / 65536.0);
  EXPECT_EQ(i.course, -22246 * 360.0 / 65536.0 + 360);  // stored as -122.2 degrees
  EXPECT_EQ(i.extra, 9 * 2.048);
  EXPECT_NEAR(i.latitude, 52.307, kLat24);
  EXPECT_NEAR(i.longitude, 4.784, kLon24);
  EXPECT_EQ(i.Name(), "EHAM 06");
  const NavaidRecord& v = At(2);
  EXPECT_EQ(v.kind, NavaidKind::Vor);
  EXPECT_EQ(v.frequency, 108.00 + 0.05 * 119);
  EXPECT_EQ(v.intValue, -7);
  EXPECT_EQ(v.magVar, 273 * 360.0 / 65536.0);
  EXPECT_EQ(v.course, 0);
  EXPECT_EQ(v.extra, 50 * 2.048);
  EXPECT_EQ(v.Ident(), "AMS");
  EXPECT_EQ(v.Name(), "AMSTERDAM");
}

TEST_F(OlderSections, ChannelEntriesThatPointNowhereAreSkipped) {
  BglContent c;
  OldVorIls a;
  a.frequencyMhz = 108.0;
  a.ident = "A";
  OldVorIls b = a;
  b.frequencyMhz = 108.10;
  b.ident = "B";
  c.vorIls = {a, b};
  BglLayout layout;
  auto bytes = BuildBgl(c, &layout);
  // Channel 0 points beyond the end of the file, channel 1 stays good.
  PutI32(bytes, layout.vorIls + 1, static_cast<std::int32_t>(bytes.size()));
  Parse(bytes);
  ASSERT_EQ(doc_.m_navaidCount, 1);
  EXPECT_EQ(At(0).Ident(), "B");

  // A last channel far beyond the table ends the walk at the end of the file.
  PutI16(bytes, 0x18, 32000);
  doc_.ClearNavaids();
  Parse(bytes);
  EXPECT_EQ(doc_.m_navaidCount, 1);
  // Last below first: no channel at all.
  PutI16(bytes, 0x18, -1);
  doc_.ClearNavaids();
  Parse(bytes);
  EXPECT_EQ(doc_.m_navaidCount, 0);
}

// A channel list entry or record cut short by the end of the file ends the whole
// VOR/ILS section: the channels after it are not read.
TEST_F(OlderSections, AChannelListRunningPastTheEndEndsTheSection) {
  BglContent c;
  OldVorIls a;
  a.ident = "A";
  OldVorIls b = a;
  b.frequencyMhz = 108.10;
  b.ident = "B";
  c.vorIls = {a, b};
  BglLayout layout;
  const auto bytes = BuildBgl(c, &layout);
  const auto tail = static_cast<std::int64_t>(bytes.size());
  const struct {
    const char* what;
    std::vector<std::uint8_t> list;  // channel 0's list, at the end of the file
  } cases[] = {
      {"entry cut", {0x15, 0, 0, 0, 0, 0}},
      {"record cut", {0x15, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0}},
  };
  for (const auto& k : cases) {
    auto with = bytes;
    with.insert(with.end(), k.list.begin(), k.list.end());
    PutI32(with, layout.vorIls + 1, static_cast<std::int32_t>(tail - layout.vorIls));
    if (k.list.size() > 9)
      PutI32(with, tail + 5, static_cast<std::int32_t>(tail + 9 - layout.vorIls));
    doc_.ClearNavaids();
    Parse(with);
    EXPECT_EQ(doc_.m_navaidCount, 0) << k.what;
  }
}

TEST_F(OlderSections, MarkersAndMarkerSectionAirports) {
  BglContent c;
  c.markers = {{4, 52.1, 4.1, -3, "", 0},
               {5, 52.2, 4.2, 12, "", 0},
               {6, 52.3, 4.3, 30, "", 0},
               {7, 52.4, 4.4, -11, "MARKER FIELD", 0},
               {7, 52.401, 4.4, 0, "OTHER NAME CLOSE BY", 1},  // within 1000 m
               {7, 52.45, 4.4, 0, "marker field", 1}};         // same name
  Parse(c);
  ASSERT_EQ(doc_.m_navaidCount, 4);
  const struct {
    NavaidKind kind;
    const char* ident;
    int altitude;
  } expected[] = {{NavaidKind::InnerMarker, "IM", -3},
                  {NavaidKind::MiddleMarker, "MM", 12},
                  {NavaidKind::OuterMarker, "LOM", 30},
                  {NavaidKind::Airport, "", -11}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(At(k).kind, expected[k].kind);
    EXPECT_EQ(At(k).Ident(), expected[k].ident);
    EXPECT_EQ(At(k).intValue, expected[k].altitude);
  }
  EXPECT_EQ(At(0).Name(), "");
  EXPECT_EQ(At(3).Name(), "MARKER FIELD");
  EXPECT_EQ(doc_.m_markerIdx.size(), 3u);
  EXPECT_EQ(doc_.m_airportIdx.size(), 1u);
}

TEST(AirportNames, CutAtTheRunwayPart) {
  const struct {
    const char* name;
    const char* stored;
  } cases[] = {
      {"Sample Field - Runway 27", "Sample Field"},
      {"Rwy 09 at Sample", "Rwy 09 at Sample"},  // "Rwy" at 0, "at" not looked for
      {"North-South Strip - West", "North-South Strip"},
      {"Big Rwy 18", "Big"},
      {"Seattle Tacoma", "Se"},  // "at" inside a word cuts too
      {"Lelystad   ", "Lelystad"},
      {"-Leading dash", "-Leading dash"},
      {"Plain", "Plain"},
  };
  for (const auto& c : cases) EXPECT_EQ(CutAirportName(c.name), c.stored) << c.name;
}

TEST_F(OlderSections, AirportSectionRecords) {
  BglContent c;
  c.airports = {{52.3086, 4.7639, -3.3, "Sample Field - Runway 27", 0},
                {-12.5, -77.25, 150.9, "Second Field", 1},
                {52.3087, 4.7640, 0, "Near The First", 1},
                {0.00001, 10, 40000.0, "Wide Altitude", 1}};
  Parse(c);
  ASSERT_EQ(doc_.m_navaidCount, 3);
  EXPECT_EQ(At(0).kind, NavaidKind::Airport);
  EXPECT_EQ(At(0).Name(), "Sample Field");
  EXPECT_EQ(At(0).Ident(), "");
  EXPECT_EQ(At(0).intValue, -3);  // truncated toward zero
  EXPECT_NEAR(At(0).latitude, 52.3086, kLat24 / 256);
  EXPECT_NEAR(At(0).longitude, 4.7639, kLon24 / 256);
  EXPECT_EQ(At(1).Name(), "Second Field");
  EXPECT_EQ(At(1).intValue, 150);
  EXPECT_NEAR(At(1).latitude, -12.5, kLat24 / 256);
  // An integer part of 0 subtracts the fraction; the altitude wraps to 16 bits.
  EXPECT_LT(At(2).latitude, 0);
  EXPECT_EQ(At(2).intValue, static_cast<std::int16_t>(40000));
}

std::vector<std::uint8_t> ObjectSectionWith(const std::vector<std::vector<std::uint8_t>>& records) {
  BglContent c;
  for (const auto& r : records) {
    c.objectBytes.insert(c.objectBytes.end(), {0x44, 1, 0x44});  // opcode bytes that fail
    c.objectBytes.insert(c.objectBytes.end(), r.begin(), r.end());
  }
  return BuildBgl(c);
}

TEST_F(OlderSections, RunwayNumbersAndSides) {
  const struct {
    int byte27;
    const char* ident;
  } cases[] = {{9, "9 "},     {64, "64 "},  {0x41, "1L"},  {0x80, "64L"},    {0x81, "1R"},
               {0xC0, "64R"}, {0xC1, "1C"}, {0xFF, "63C"}, {27 + 128, "27R"}};
  for (const auto& c : cases) {
    OldRunway r{52.3, 4.75, -3.5, 57.8, 11283, 148, 6, ' ', 1};
    auto bytes = EncodeRunway(r);
    bytes[27] = static_cast<std::uint8_t>(c.byte27);
    doc_.ClearNavaids();
    Parse(ObjectSectionWith({bytes}));
    ASSERT_EQ(doc_.m_navaidCount, 1) << c.byte27;
    EXPECT_EQ(At(0).Ident(), c.ident);
  }
  const NavaidRecord& w = At(0);
  EXPECT_EQ(w.kind, NavaidKind::Runway);
  EXPECT_EQ(w.Name(), "Runway");
  EXPECT_NEAR(w.latitude, 52.3, 1e-9);
  EXPECT_NEAR(w.longitude, 4.75, 1e-9);
  EXPECT_EQ(w.intValue, -3);
  EXPECT_EQ(w.frequency, 1);  // surface
  EXPECT_EQ(w.magVar, 148);   // width
  EXPECT_EQ(w.course, 10522 * 360.0 / 65536.0);
  EXPECT_EQ(w.extra, 11283);  // length
}

TEST_F(OlderSections, RunwayPlausibilityTests) {
  const OldRunway good{-33.9, -151.2, 100, 200.0, 8000, 150, 16, 'L', 0};
  auto with = [&](auto change) {
    OldRunway r = good;
    change(r);
    return EncodeRunway(r);
  };
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool taken;
  } cases[] = {
      {"good", EncodeRunway(good), true},
      {"length 20000", with([](OldRunway& r) { r.lengthFt = 20000; }), true},
      {"length 20001", with([](OldRunway& r) { r.lengthFt = 20001; }), false},
      {"length 0", with([](OldRunway& r) { r.lengthFt = 0; }), false},
      {"width 21", with([](OldRunway& r) { r.widthFt = 21; }), true},
      {"width 20", with([](OldRunway& r) { r.widthFt = 20; }), false},
      {"surface 5", with([](OldRunway& r) { r.surface = 5; }), true},
      {"surface 6", with([](OldRunway& r) { r.surface = 6; }), false},
      {"surface -1", with([](OldRunway& r) { r.surface = -1; }), false},
      {"altitude 10000", with([](OldRunway& r) { r.altitudeMetres = 10000; }), true},
      {"altitude 10000.5", with([](OldRunway& r) { r.altitudeMetres = 10000.5; }), false},
      {"number 0", with([](OldRunway& r) { r.number = 0, r.side = ' '; }), false},
      {"latitude 91", with([](OldRunway& r) { r.latitude = 91; }), false},
  };
  for (const auto& c : cases) {
    doc_.ClearNavaids();
    Parse(ObjectSectionWith({c.bytes}));
    EXPECT_EQ(doc_.m_navaidCount, c.taken ? 1 : 0) << c.what;
  }
  for (int zeroAt : {1, 18, 19, 29}) {
    auto bytes = EncodeRunway(good);
    bytes[static_cast<std::size_t>(zeroAt)] = 1;
    doc_.ClearNavaids();
    Parse(ObjectSectionWith({bytes}));
    EXPECT_EQ(doc_.m_navaidCount, 0) << "byte " << zeroAt;
  }
}

TEST_F(OlderSections, AnAcceptedRunwaySkipsThirtyBytes) {
  // R is a runway whose unused byte 28 starts a second, valid record C that overlaps
  // R's last three bytes (C's first bytes are 0x44, 0, 0). D follows after C.
  const OldRunway r{10, 10, 0, 90, 5000, 100, 9, ' ', 0};
  const OldRunway c{5000000 * 8.998425275576774e-06, 12, 0, 90, 5000, 100, 18, ' ', 1};
  const OldRunway d{14, 14, 0, 90, 5000, 100, 27, ' ', 1};
  auto bytes = EncodeRunway(r);
  bytes.resize(28);
  const auto cBytes = EncodeRunway(c);
  ASSERT_EQ(cBytes[2], 0);  // R's surface
  bytes.insert(bytes.end(), cBytes.begin(), cBytes.end());
  const auto dBytes = EncodeRunway(d);
  bytes.insert(bytes.end(), dBytes.begin(), dBytes.end());
  Parse(ObjectSectionWith({bytes}));
  ASSERT_EQ(doc_.m_navaidCount, 2);
  EXPECT_EQ(At(0).Ident(), "9 ");
  EXPECT_EQ(At(1).Ident(), "27 ");

  bytes[1] = 1;  // without R, C is found
  doc_.ClearNavaids();
  Parse(ObjectSectionWith({bytes}));
  ASSERT_EQ(doc_.m_navaidCount, 2);
  EXPECT_EQ(At(0).Ident(), "18 ");
  EXPECT_EQ(At(1).Ident(), "27 ");
}

TEST_F(OlderSections, TheObjectSectionEndsAtTheNextSection) {
  BglContent c;
  c.runways = {{10, 10, 0, 90, 5000, 100, 9, ' ', 2}};
  c.dynamicObjects = true;
  BglLayout layout;
  auto bytes = BuildBgl(c, &layout);
  // A runway after the section end is not part of the object data.
  const auto tail = EncodeRunway({11, 11, 0, 90, 5000, 100, 18, ' ', 2});
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  Parse(bytes);
  EXPECT_EQ(CountOf(NavaidKind::Runway), 1);

  // An offset beyond the end of the file is absent and does not cut the section
  // short.
  PutI32(bytes, 0x46, static_cast<std::int32_t>(layout.objects + 40));
  PutI32(bytes, 0x3E, 0);
  PutI32(bytes, 0x4E, static_cast<std::int32_t>(bytes.size() + 1));
  PutI32(bytes, 0x46, static_cast<std::int32_t>(bytes.size() + 100));
  doc_.ClearNavaids();
  Parse(bytes);
  EXPECT_EQ(CountOf(NavaidKind::Runway), 2);
  EXPECT_EQ(doc_.m_navaidCount, 2);
}

TEST_F(OlderSections, DynamicFlags) {
  BglContent c;
  c.dynamicObjects = true;
  c.dynamicScenery = true;
  Parse(c);
  ASSERT_EQ(doc_.m_navaidCount, 2);
  EXPECT_EQ(At(0).kind, NavaidKind::DynObj);
  EXPECT_EQ(At(0).Ident(), "DYNOBJ");
  EXPECT_EQ(At(1).kind, NavaidKind::DynScn);
  EXPECT_EQ(At(1).Ident(), "DYNSCN");
  EXPECT_EQ(At(1).Name(), "");
}

TEST_F(OlderSections, SectionsAreReadInTheirOrder) {
  BglContent c;
  c.dynamicScenery = true;
  c.runways = {{10, 10, 0, 90, 5000, 100, 9, ' ', 2}};
  c.airports = {{20, 20, 0, "Field", 0}};
  c.markers = {{6, 30, 30, 0, "", 0}};
  OldVorIls v;
  v.ident = "V";
  c.vorIls = {v};
  c.atis = {{1, 1, 120, 0, 16, 0}};
  c.ndbs = {{2, 2, 300, 0, 0, "N", "", 0}};
  Parse(c);
  const NavaidKind order[] = {NavaidKind::Ndb,         NavaidKind::Atis,    NavaidKind::Vor,
                              NavaidKind::OuterMarker, NavaidKind::Airport, NavaidKind::Runway,
                              NavaidKind::DynScn};
  ASSERT_EQ(doc_.m_navaidCount, 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(At(i).kind, order[i]) << i;
}

// In probing mode the parser stops after the first record of most kinds.
TEST_F(OlderSections, ProbingStopsAtTheFirstRecord) {
  const struct {
    const char* what;
    BglContent content;
    int added;
  } cases[] = {
      {"ndb",
       [] {
         BglContent c;
         c.ndbs = {{1, 1, 300, 0, 0, "A", "", 0}, {2, 2, 300, 0, 0, "B", "", 0}};
         c.dynamicScenery = true;
         return c;
       }(),
       1},
      {"atis",
       [] {
         BglContent c;
         c.atis = {{1, 1, 120, 0, 16, 0}, {2, 2, 121, 0, 16, 0}};
         return c;
       }(),
       1},
      {"runway",
       [] {
         BglContent c;
         c.runways = {{1, 1, 0, 0, 100, 30, 1, ' ', 0}, {2, 2, 0, 0, 100, 30, 2, ' ', 0}};
         return c;
       }(),
       1},
      {"markers only",
       [] {
         BglContent c;
         c.markers = {{4, 1, 1, 0, "", 0}, {5, 1, 1, 0, "", 0}, {6, 1, 1, 0, "", 0}};
         return c;
       }(),
       3},
      {"markers then airport",
       [] {
         BglContent c;
         c.markers = {{4, 1, 1, 0, "", 0}, {7, 1, 1, 0, "F", 0}, {5, 1, 1, 0, "", 0}};
         c.dynamicObjects = true;
         return c;
       }(),
       2},
      {"dynamic scenery only",
       [] {
         BglContent c;
         c.dynamicScenery = true;
         return c;
       }(),
       1},
      {"both dynamic flags",
       [] {
         BglContent c;
         c.dynamicObjects = true;
         c.dynamicScenery = true;
         return c;
       }(),
       1},
  };
  for (const auto& c : cases) {
    doc_.ClearNavaids();
    doc_.m_probing = 1;
    doc_.ParseBglBytes(BuildBgl(c.content));
    EXPECT_EQ(doc_.m_navaidCount, c.added) << c.what;
  }
  // A probe that stops does not reach the grid.
  BglContent g;
  g.ndbs = {{1, 1, 300, 0, 0, "A", "", 0}};
  g.magVarGrid = std::vector<std::uint16_t>(kMagVarEntries, 7);
  doc_.ParseBglBytes(BuildBgl(g));
  EXPECT_EQ(doc_.m_magVarLoaded, 0);
}

std::vector<std::uint16_t> TestGrid() {
  std::vector<std::uint16_t> grid(kMagVarEntries);
  for (int i = 0; i < kMagVarEntries; ++i)
    grid[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i * 7);
  return grid;
}

TEST_F(OlderSections, TheGridIsTakenAndHandedBackForMagvarNav) {
  BglContent c;
  c.magVarGrid = TestGrid();
  BglLayout layout;
  const auto bytes = BuildBgl(c, &layout);
  doc_.m_probing = 1;  // the grid is read in probing mode too
  const BglParseResult found = Parse(bytes);
  EXPECT_EQ(doc_.m_navaidCount, 0);
  ASSERT_EQ(doc_.m_magVarLoaded, 1);
  EXPECT_EQ(doc_.m_magVarTable, *c.magVarGrid);
  // row 91 (0.5 N), column 359 (0.6 W)
  const int index = 91 + 359 * 181;
  double v = static_cast<std::uint16_t>(index * 7) * 360.0 / 65536.0;
  if (v > 180) v -= 360;
  EXPECT_DOUBLE_EQ(doc_.MagneticVariationAt(0.5, -0.6), -v);

  // The section header and the first 65156 values, straight from the file; the
  // parser itself writes nothing.
  const std::vector<std::uint8_t>& kept = found.magVarFile;
  ASSERT_EQ(kept.size(), 130320u);
  EXPECT_TRUE(std::equal(kept.begin(), kept.end(), bytes.begin() + layout.magVar));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "magvar.nav"));
}

TEST_F(OlderSections, AGridCutShortByTheEndOfTheFileIsNotTaken) {
  BglContent c;
  c.magVarGrid = TestGrid();
  auto bytes = BuildBgl(c);
  bytes.pop_back();
  EXPECT_TRUE(Parse(bytes).magVarFile.empty());
  EXPECT_EQ(doc_.m_magVarLoaded, 0);
  EXPECT_TRUE(doc_.m_magVarTable.empty());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "magvar.nav"));
}

// Broken structures end their walk instead of reading outside the file or looping.
TEST_F(OlderSections, BrokenStructuresEndTheirWalk) {
  {
    BglContent c;
    c.atis = {{1, 1, 120, 0, 16, 0}, {2, 2, 121, 0, 0, 0}, {3, 3, 122, 0, 16, 0}};
    Parse(c);  // the zero-length record is the last one read
    EXPECT_EQ(doc_.m_navaidCount, 2);
  }
  {
    BglContent c;
    c.ndbs = {{1, 1, 300, 0, 0, "A", "", 0}, {2, 2, 300, 0, 0, "B", "", 0}};
    BglLayout layout;
    auto bytes = BuildBgl(c, &layout);
    bytes.resize(static_cast<std::size_t>(layout.ndb + 10 + 42 + 20));  // second record cut
    doc_.ClearNavaids();
    Parse(bytes);
    EXPECT_EQ(doc_.m_navaidCount, 1);
  }
  {
    BglContent c;
    c.airports = {{1, 1, 0, "A", 0}, {2, 2, 0, "B", 1}};
    BglLayout layout;
    auto bytes = BuildBgl(c, &layout);
    PutI16(bytes, layout.airports + 1, 0);  // the chain would not move on
    doc_.ClearNavaids();
    Parse(bytes);
    EXPECT_EQ(doc_.m_navaidCount, 1);
    PutI16(bytes, layout.airports + 1, -7);
    doc_.ClearNavaids();
    Parse(bytes);
    EXPECT_EQ(doc_.m_navaidCount, 1);
  }
  {
    BglContent c;
    c.markers = {{4, 1, 1, 0, "", 0}, {5, 1, 1, 0, "", 0}};
    BglLayout layout;
    auto bytes = BuildBgl(c, &layout);
    PutU8(bytes, layout.markers + 10 + 1, 0);  // zero length
    doc_.ClearNavaids();
    Parse(bytes);
    EXPECT_EQ(doc_.m_navaidCount, 1);
    // A run offset that is negative or huge addresses nothing.
    for (std::int32_t off : {-1000000, INT32_MAX, INT32_MIN}) {
      PutI32(bytes, layout.markers + 5, off);
      doc_.ClearNavaids();
      Parse(bytes);
      EXPECT_EQ(doc_.m_navaidCount, 0);
    }
  }
}

TEST_F(OlderSections, NegativeAndHugeHeaderOffsetsAddNothing) {
  BglContent c;
  c.ndbs = {{1, 1, 300, 0, 0, "A", "", 0}};
  auto bytes = BuildBgl(c);
  for (int field : {0x12, 0x3A, 0x42, 0x4A, 0x4E, 0x66, 0x6E}) {
    for (std::int32_t v : {-1, INT32_MIN, INT32_MAX, static_cast<std::int32_t>(bytes.size() + 1)}) {
      auto b = bytes;
      PutI32(b, 0x4E, 0);
      PutI32(b, field, v);
      doc_.ClearNavaids();
      Parse(b);
      EXPECT_EQ(doc_.m_navaidCount, 0) << field << " " << v;
    }
  }
}

// The dynamic flags test their offsets for non-zero only: a negative offset still
// flags the file (a probe finds it), one beyond the end of the file does not.
TEST_F(OlderSections, DynamicFlagOffsets) {
  const auto bytes = BuildBgl(BglContent{});
  const auto size = static_cast<std::int32_t>(bytes.size());
  const struct {
    std::int32_t offset;
    bool flagged;
  } cases[] = {{0, false},   {-1, true},        {INT32_MIN, true},
               {size, true}, {size + 1, false}, {INT32_MAX, false}};
  for (const int field : {0x3E, 0x52}) {
    for (const auto& c : cases) {
      for (const int probing : {0, 1}) {
        auto b = bytes;
        PutI32(b, field, c.offset);
        doc_.ClearNavaids();
        doc_.m_probing = probing;
        Parse(b);
        ASSERT_EQ(doc_.m_navaidCount, c.flagged ? 1 : 0) << field << " " << c.offset;
        if (c.flagged) {
          EXPECT_EQ(At(0).kind, field == 0x3E ? NavaidKind::DynObj : NavaidKind::DynScn);
        }
      }
    }
  }
}

}  // namespace
}  // namespace quarn::testing

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "base/geodesy.h"
#include "navaid_test_support.h"

namespace quarn::testing {
namespace {

using Tables = NavaidTest;

TEST_F(Tables, AddNavaidKeepsTheFieldWidthsAndNormalisesTheCourse) {
  doc_.m_bglIndex = 0x12345;  // only the low 16 bits reach the record
  doc_.AddNavaid(NavaidKind::Vor, 52.5, 4.75, -7, 113.95, "ABCDEFGH",
                 "A name of well over thirty characters in all", 1.5, -10, 25);
  ASSERT_EQ(doc_.m_navaidCount, 1);
  const NavaidRecord& r = At(0);
  EXPECT_EQ(r.kind, NavaidKind::Vor);
  EXPECT_EQ(std::memcmp(r.ident, "ABCDEF", 6), 0);  // six bytes, no terminator
  EXPECT_EQ(r.Ident(), "ABCDEF");
  EXPECT_EQ(r.Name(), "A name of well over thirty cha");
  EXPECT_EQ(r.name[30], '\0');
  EXPECT_DOUBLE_EQ(r.course, 350);
  EXPECT_EQ(r.fileIndex, 0x2345);
  EXPECT_EQ(r.intValue, -7);
  EXPECT_EQ(r.frequency, 113.95);

  doc_.AddNavaid(NavaidKind::Ndb, 0, 0, 0, 0, "AB", "", 0, 0, 0);
  EXPECT_EQ(At(1).Ident(), "AB");
  EXPECT_EQ(At(1).ident[2], '\0');
}

TEST_F(Tables, RebuildPutsEachKindInItsListAndLeavesTheFlagsOut) {
  const NavaidKind kinds[] = {
      NavaidKind::Runway, NavaidKind::DynObj, NavaidKind::Ils,         NavaidKind::InnerMarker,
      NavaidKind::Vor,    NavaidKind::Ndb,    NavaidKind::OuterMarker, NavaidKind::Airport,
      NavaidKind::Atis,   NavaidKind::Fix,    NavaidKind::DynScn,      NavaidKind::MiddleMarker,
      NavaidKind::Runway};
  for (const auto k : kinds) doc_.AddNavaid(k, 0, 0, 0, 0, "", "", 0, 0, 0);
  EXPECT_TRUE(doc_.m_runwayIdx.empty());  // AddNavaid leaves the lists alone
  doc_.RebuildIndexLists();
  EXPECT_EQ(doc_.m_navaidCount, 13);
  EXPECT_EQ(doc_.m_runwayIdx, (std::vector<std::int32_t>{0, 12}));
  EXPECT_EQ(doc_.m_ilsIdx, (std::vector<std::int32_t>{2}));
  EXPECT_EQ(doc_.m_markerIdx, (std::vector<std::int32_t>{3, 6, 11}));
  EXPECT_EQ(doc_.m_vorIdx, (std::vector<std::int32_t>{4}));
  EXPECT_EQ(doc_.m_ndbIdx, (std::vector<std::int32_t>{5}));
  EXPECT_EQ(doc_.m_airportIdx, (std::vector<std::int32_t>{7}));
  EXPECT_EQ(doc_.m_atisIdx, (std::vector<std::int32_t>{8}));
  EXPECT_EQ(doc_.m_fixIdx, (std::vector<std::int32_t>{9}));

  // The lists are emptied with the table: a redraw before the next rebuild must not
  // find indices into the emptied table.
  doc_.ClearNavaids();
  EXPECT_EQ(doc_.m_navaidCount, 0);
  EXPECT_TRUE(doc_.m_navaids.empty());
  for (const auto* list :
       {&doc_.m_runwayIdx, &doc_.m_ilsIdx, &doc_.m_vorIdx, &doc_.m_ndbIdx, &doc_.m_markerIdx,
        &doc_.m_airportIdx, &doc_.m_atisIdx, &doc_.m_fixIdx}) {
    EXPECT_TRUE(list->empty());
  }
  EXPECT_FALSE(doc_.IsDuplicateAirport("Sample Field", 52.0, 5.0));
}

TEST_F(Tables, DuplicateAirports) {
  doc_.AddNavaid(NavaidKind::Airport, 52.0, 5.0, 0, 0, "", "Sample Field", 0, 0, 0);
  doc_.AddNavaid(NavaidKind::Vor, 40.0, 5.0, 0, 0, "", "Other", 0, 0, 0);
  const struct {
    const char* name;
    double lat, lon;
    bool duplicate;
  } cases[] = {
      {"Another Field", 52.02, 5.0, false},  // about 2200 m, other name
      {"Another Field", 52.005, 5.0, true},  // about 550 m: whatever its name
      {"sample field  ", 52.08, 5.0, true},  // same name apart from case and blanks
      {"Sample Field", 52.1, 5.0, false},    // 0.1 degree is never close enough
      {"Sample Field", 52.0, 4.85, false},  {"Sample Field", 51.95, 5.09, true},
      {"Other", 40.0, 5.0, false},  // only airports count
  };
  for (const auto& c : cases) {
    EXPECT_EQ(doc_.IsDuplicateAirport(c.name, c.lat, c.lon), c.duplicate)
        << c.name << " " << c.lat << " " << c.lon;
  }
}

// The duplicate test looks only at airports near the candidate: it must find what a
// comparison with every record finds, across cell borders, the poles and the date
// line, with coordinates that no cell holds, and after the table was cleared.
TEST_F(Tables, DuplicateAirportsMatchAComparisonWithEveryRecord) {
  auto everyRecord = [&](const std::string& name, double lat, double lon) {
    std::string wanted = name.substr(0, name.find_last_not_of(' ') + 1);
    for (std::int32_t i = 0; i < doc_.m_navaidCount; ++i) {
      const NavaidRecord& r = doc_.m_navaids[static_cast<std::size_t>(i)];
      if (r.kind != NavaidKind::Airport || !(std::fabs(r.latitude - lat) < 0.1) ||
          !(std::fabs(r.longitude - lon) < 0.1)) {
        continue;
      }
      if (DistanceAndBearing(r.latitude, r.longitude, lat, lon).metres < 1000.0) return true;
      if (r.Name() == wanted) return true;
    }
    return false;
  };
  std::uint64_t state = 12345;
  auto next = [&](double range) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) / 9007199254740992.0 * range;
  };
  const double centres[][2] = {{0.2, 0.2}, {89.95, 10}, {-0.1, 179.95}, {52.4, -0.2}};
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 400; ++i) {
      const auto& c = centres[i % 4];
      const std::string name = "AP" + std::to_string(static_cast<int>(next(30)));
      const double lat = c[0] + next(0.6) - 0.3, lon = c[1] + next(0.6) - 0.3;
      ASSERT_EQ(doc_.IsDuplicateAirport(name, lat, lon), everyRecord(name, lat, lon))
          << name << " " << lat << " " << lon;
      if (i % 3 != 0) doc_.AddNavaid(NavaidKind::Airport, lat, lon, 0, 0, "", name, 0, 0, 0);
    }
    const double odd[][2] = {{2e6, 5}, {1e6, 0}, {999999.95, 0}, {NAN, 0}, {0, INFINITY}};
    for (const auto& o : odd) {
      EXPECT_EQ(doc_.IsDuplicateAirport("AP1", o[0], o[1]), everyRecord("AP1", o[0], o[1]));
      doc_.AddNavaid(NavaidKind::Airport, o[0], o[1], 0, 0, "", "AP1", 0, 0, 0);
    }
    EXPECT_TRUE(doc_.IsDuplicateAirport("AP1", 1e6 + 0.05, 0));
    EXPECT_TRUE(doc_.IsDuplicateAirport("AP1", 999999.9, 0));
    doc_.ClearNavaids();
  }
}

TEST_F(Tables, NearestNavaidTakesTheFirstOfEqualDistances) {
  EXPECT_EQ(doc_.NearestNavaid(0, 0, NavaidKind::Vor), -1);
  doc_.AddNavaid(NavaidKind::Ndb, 0, 0.1, 0, 0, "", "", 0, 0, 0);
  doc_.AddNavaid(NavaidKind::Vor, 0, 1, 0, 0, "", "", 0, 0, 0);
  doc_.AddNavaid(NavaidKind::Vor, 0, -1, 0, 0, "", "", 0, 0, 0);
  doc_.AddNavaid(NavaidKind::Vor, 0, 0.5, 0, 0, "", "", 0, 0, 0);
  EXPECT_EQ(doc_.NearestNavaid(0, 0, NavaidKind::Vor), 3);
  EXPECT_EQ(doc_.NearestNavaid(0, -0.4, NavaidKind::Vor), 2);
  EXPECT_EQ(doc_.NearestNavaid(0, 0, NavaidKind::Ndb), 0);
  EXPECT_EQ(doc_.NearestNavaid(0, 0, NavaidKind::Airport), -1);
}

TEST_F(Tables, MagneticVariationFromTheNearestVorWithoutAGrid) {
  EXPECT_EQ(doc_.MagneticVariationAt(52, 4), 0.0);
  doc_.AddNavaid(NavaidKind::Vor, 52, 4, 0, 0, "", "", 1.25, 0, 0);
  doc_.AddNavaid(NavaidKind::Vor, 40, -74, 0, 0, "", "", 13.0, 0, 0);
  EXPECT_EQ(doc_.MagneticVariationAt(51, 5), 1.25);
  EXPECT_EQ(doc_.MagneticVariationAt(41, -70), 13.0);
}

TEST_F(Tables, MagneticVariationFromTheGrid) {
  doc_.m_magVarTable.assign(kMagVarEntries, 0);
  auto cell = [&](int row, int col) -> std::uint16_t& {
    return doc_.m_magVarTable[static_cast<std::size_t>(row + col * kMagVarRows)];
  };
  cell(91, 0) = 0x00E9;     // 1.28 east -> -1.28
  cell(142, 4) = 0xFFC6;    // 0.32 west -> +0.32
  cell(180, 359) = 0x8000;  // exactly 180: not reduced
  cell(0, 1) = 0x4000;
  doc_.AddNavaid(NavaidKind::Vor, 0, 0, 0, 0, "", "", 9, 0, 0);
  doc_.m_magVarLoaded = 1;
  const struct {
    double lat, lon, expected;
  } cases[] = {
      {0.5, -0.5, -(0xE9 * 360.0 / 65536.0)},          // row 91, column 0
      {51.6, 4.4, -(0xFFC6 * 360.0 / 65536.0 - 360)},  // row 142, column 4
      {89.7, -0.6, -180.0},                            // row 180, column 359
      {-90.2, 0.7, -90.0},                             // row 0, column 1
      {-95.0, 361.0, -90.0},                           // beyond the pole: held at row 0
      {0.4, 0.4, 0.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(doc_.MagneticVariationAt(c.lat, c.lon), c.expected) << c.lat << " " << c.lon;
  }
}

}  // namespace
}  // namespace quarn::testing

#include "navaid/xplane_apt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/file_services.h"

namespace quarn {
namespace {

std::string DataFile(const std::string& file) {
  return ReadWholeFile(std::string(QUARN_TEST_DATA_DIR) + "/xplane_apt/" + file).value_or("");
}

const SourcedNavaid* Find(const SourceRead& read, NavaidKind kind, const std::string& ident) {
  for (const SourcedNavaid& r : read.records) {
    if (r.kind == kind && r.ident == ident) return &r;
  }
  return nullptr;
}

TEST(XPlaneApt, ReadsRunwaysOfBothEndsWithTheirAirport) {
  const SourceRead read = ReadXPlaneApt(DataFile("apt_1100.dat"), "apt.dat");
  EXPECT_TRUE(read.problems.empty()) << read.problems.front();
  // Lengths and headings of a sphere of the mean radius: within the program's own radius.
  const struct {
    const char* end;
    double latitude, longitude, endLatitude, headingDeg, lengthM, displacedM;
  } kCases[] = {
      {"06", 52.2879, 4.73402, 52.30424, 58.419, 3471.05, 250},
      {"24", 52.30424, 4.77751, 52.2879, 238.453, 3471.05, 0},
      {"27", 52.3184, 4.7967, 52.3166, 266.683, 3438.41, 300},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.end);
    const SourcedNavaid* r = Find(read, NavaidKind::Runway, c.end);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->runway, c.end);
    EXPECT_EQ(r->airport, "EHAM");
    EXPECT_EQ(r->elevationFt, -11);
    EXPECT_EQ(r->widthM, 45);
    EXPECT_DOUBLE_EQ(r->latitudeDeg, c.latitude);
    EXPECT_DOUBLE_EQ(r->longitudeDeg, c.longitude);
    EXPECT_DOUBLE_EQ(r->endLatitudeDeg, c.endLatitude);
    EXPECT_NEAR(r->headingTrueDeg, c.headingDeg, 0.01);
    EXPECT_NEAR(r->lengthM, c.lengthM, c.lengthM * 0.001);
    EXPECT_EQ(r->thresholdDisplacedM, c.displacedM);
  }
}

TEST(XPlaneApt, PlacesAirportsAtTheirDatumOrTheMiddleOfWhatTheyHave) {
  const SourceRead read = ReadXPlaneApt(DataFile("apt_1100.dat"), "apt.dat");
  // 1 + 4 runway ends + 2 ATIS, 1 + 2 + 1, and the heliport and seaplane base.
  EXPECT_EQ(read.records.size(), 13u);
  const struct {
    const char* ident;
    double latitude, longitude, elevationFt;
    const char* name;
  } kCases[] = {
      {"EHAM", 52.308056, 4.764167, -11, "Amsterdam Schiphol"},   // its datum
      {"EHNP", 52.705, 5.2075, 10, "Noordpolder Glider Field"},   // its runway, local code
      {"EH98", 52.08, 5.12, 60, "Hospital Heliport With A Pad"},  // its helipad
      {"EH97", 52.5, 5.32, 0, "Markermeer Seaplane Base"},        // its water runway
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.ident);
    const SourcedNavaid* a = Find(read, NavaidKind::Airport, c.ident);
    ASSERT_NE(a, nullptr);
    EXPECT_NEAR(a->latitudeDeg, c.latitude, 1e-9);
    EXPECT_NEAR(a->longitudeDeg, c.longitude, 1e-9);
    EXPECT_EQ(a->elevationFt, c.elevationFt);
    EXPECT_EQ(a->name, c.name);
    EXPECT_EQ(a->airport, c.ident);
  }
  // A heliport with nothing to place it by is left out.
  EXPECT_EQ(Find(read, NavaidKind::Airport, "EH99"), nullptr);
}

TEST(XPlaneApt, ReadsAtisOfBothUnitsOncePerChannel) {
  const SourceRead read = ReadXPlaneApt(DataFile("apt_1100.dat"), "apt.dat");
  std::vector<std::pair<std::string, double>> atis;
  for (const SourcedNavaid& r : read.records) {
    if (r.kind != NavaidKind::Atis) continue;
    atis.emplace_back(r.ident, r.frequency);
    const SourcedNavaid* airport = Find(read, NavaidKind::Airport, r.ident);
    ASSERT_NE(airport, nullptr);
    EXPECT_EQ(r.latitudeDeg, airport->latitudeDeg);
    EXPECT_EQ(r.longitudeDeg, airport->longitudeDeg);
  }
  ASSERT_EQ(atis.size(), 3u);
  EXPECT_EQ(atis[0].first, "EHAM");
  EXPECT_NEAR(atis[0].second, 132.975, 1e-9);  // 8.33 kHz row and its 10 kHz twin
  EXPECT_NEAR(atis[1].second, 122.2, 1e-9);
  EXPECT_EQ(atis[2].first, "EHNP");
  EXPECT_NEAR(atis[2].second, 122.5, 1e-9);
}

TEST(XPlaneApt, PlacesAnAirportAcrossTheAntimeridianOnIt) {
  const SourceRead read = ReadXPlaneApt(DataFile("apt_1200_antimeridian.dat"), "apt.dat");
  EXPECT_TRUE(read.problems.empty());
  const SourcedNavaid* airport = Find(read, NavaidKind::Airport, "NZAX");
  ASSERT_NE(airport, nullptr);
  EXPECT_NEAR(std::fabs(airport->longitudeDeg), 180, 1e-9);
  const SourcedNavaid* east = Find(read, NavaidKind::Runway, "09");
  ASSERT_NE(east, nullptr);
  EXPECT_NEAR(east->headingTrueDeg, 90, 0.01);
  EXPECT_NEAR(east->lengthM, 2131, 5);
  EXPECT_NEAR(Find(read, NavaidKind::Atis, "NZAX")->frequency, 127.805, 1e-9);
}

TEST(XPlaneApt, ABadRowIsReportedAndTheRestRead) {
  const std::string header = "I\n1100 Version\n\n1 -11 0 0 EHAM Amsterdam\n";
  const std::string runway =
      "100 45 1 0 0.25 1 2 1 06 52.2879 4.73402 0 0 3 12 1 0 24 52.30424 4.77751 0 0 3 12 1 0\n";
  const struct {
    std::string row;
    std::string problem;
  } kCases[] = {
      {"100 45 1 0 0.25 1 2 1 09 52.3166 4.7462 0 0 3 12 1 0 27 52.3184",
       "too few fields for a runway (19 of 26)"},
      {"100 45 1 0 0.25 1 2 1 09 95.3166 4.7462 0 0 3 12 1 0 27 52.3184 4.7967 0 0 3 12 1 0",
       "latitude 95.3166 is out of range"},
      {"100 45 1 0 0.25 1 2 1 09 52.3166 4.7462 -5 0 3 12 1 0 27 52.3184 4.7967 0 0 3 12 1 0",
       "displaced threshold -5 is out of range"},
      {"100 45 1 0 0.25 1 2 1 09 52.3166 4.7462 0 0 3 12 1 0 27 52.3166 4.7462 0 0 3 12 1 0",
       "the runway's ends are at the same place"},
      {"50 99999 ATIS", "ATIS frequency 99999 is out of range"},
      {"1050 13297 ATIS", "ATIS frequency 13297 is out of range"},
      {"1302 datum_lat north", "datum latitude \"north\" is not a number"},
      {"111 " + std::string(2 << 20, '5'), "a line of 2097156 bytes is no row; skipped"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.problem);
    const SourceRead read = ReadXPlaneApt(header + c.row + "\n" + runway + "99\n", "bad.dat");
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0], "bad.dat, line 5: " + c.problem);
    ASSERT_EQ(read.records.size(), 3u);  // the airport and its runway's two ends
    EXPECT_NEAR(read.records[0].latitudeDeg, (52.2879 + 52.30424) / 2, 1e-9);
  }
}

TEST(XPlaneApt, AnAirportWhoseHeaderDoesNotReadIsLeftOutWithItsRows) {
  const std::string text =
      "I\n1000 Version\n"
      "100 45 1 0 0.25 1 2 1 06 52.28 4.73 0 0 3 12 1 0 24 52.30 4.77 0 0 3 12 1 0\n"
      "1 high 0 0 EHXX Bad Header\n"
      "100 45 1 0 0.25 1 2 1 06 52.28 4.73 0 0 3 12 1 0 24 52.30 4.77 0 0 3 12 1 0\n"
      "1302 datum_lat 52.3\n"
      "1 0 0 0 EHYY Good Header\n"
      "1302 datum_lat 53\n"
      "1302 datum_lon 5\n"
      "99\n";
  const SourceRead read = ReadXPlaneApt(text, "apt.dat");
  ASSERT_EQ(read.problems.size(), 2u);
  EXPECT_EQ(read.problems[0], "apt.dat, line 3: a row of code 100 outside any airport");
  EXPECT_EQ(read.problems[1], "apt.dat, line 4: airport elevation \"high\" is not a number");
  ASSERT_EQ(read.records.size(), 1u);
  EXPECT_EQ(read.records[0].ident, "EHYY");
  EXPECT_EQ(read.records[0].line, 7);
}

TEST(XPlaneApt, AHeaderTooLongToReadTakesItsRowsAlong) {
  const std::string text =
      "I\n1100 Version\n\n"
      "1 -11 0 0 EHAM Amsterdam\n1302 datum_lat 52.3\n1302 datum_lon 4.76\n"
      "1 0 0 0 EHBB " +
      std::string(2 << 20, 'B') +
      "\n100 45 1 0 0.25 1 2 1 06 52.28 4.73 0 0 3 12 1 0 24 52.30 4.77 0 0 3 12 1 0\n"
      "99\n";
  const SourceRead read = ReadXPlaneApt(text, "apt.dat");
  ASSERT_EQ(read.problems.size(), 1u);
  EXPECT_EQ(read.problems[0], "apt.dat, line 7: a line of 2097165 bytes is no row; skipped");
  ASSERT_EQ(read.records.size(), 1u);
  EXPECT_EQ(read.records[0].ident, "EHAM");
}

TEST(XPlaneApt, TextThatIsNoAirportDataOrIsCutShortIsReported) {
  const struct {
    std::string text;
    std::string problem;
    std::size_t records;
  } kCases[] = {
      {"ident,type,name\nEHAM,large_airport,Schiphol\n",
       "apt.dat, line 1: not an X-Plane airport data file", 0},
      {"I\n850 Version\n99\n",
       "apt.dat, line 2: version 850 of the airport data is not one this reader knows (1000 to "
       "1200)",
       0},
      {DataFile("truncated.dat"),
       "apt.dat, line 8: the file ends without its closing row \"99\": it may be cut short", 1},
  };
  for (const auto& c : kCases) {
    const SourceRead read = ReadXPlaneApt(c.text, "apt.dat");
    EXPECT_EQ(read.records.size(), c.records);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0], c.problem);
  }
}

}  // namespace
}  // namespace quarn

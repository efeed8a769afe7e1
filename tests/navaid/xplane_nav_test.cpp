#include "navaid/xplane_nav.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/file_services.h"

namespace quarn {
namespace {

std::string DataFile(const std::string& file) {
  return ReadWholeFile(std::string(QUARN_TEST_DATA_DIR) + "/xplane_nav/" + file).value_or("");
}

const SourcedNavaid* Find(const SourceRead& read, NavaidKind kind, const std::string& ident,
                          const std::string& runway = "") {
  for (const SourcedNavaid& r : read.records) {
    if (r.kind == kind && r.ident == ident && (runway.empty() || r.runway == runway)) return &r;
  }
  return nullptr;
}

int Count(const SourceRead& read, NavaidKind kind) {
  int n = 0;
  for (const SourcedNavaid& r : read.records) n += r.kind == kind ? 1 : 0;
  return n;
}

TEST(XPlaneNav, ReadsTheRowsOfEveryVersion) {
  const struct {
    const char* file;
    std::size_t records;
    double vorVariation;
    double schCourse;  // NaN where the file has no ILS SCH
    bool kagGlideSlopeAndDme;
  } kCases[] = {
      {"earth_nav_810_crlf.dat", 3, 0.0, kUnknown, false},
      {"earth_nav_1100.dat", 7, 1.5, 221.174, true},
      {"earth_nav_1150.dat", 5, 1.5, 221.174, true},
      {"earth_nav_1200.dat", 5, -2.0, 221.174, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.file);
    const SourceRead read = ReadXPlaneNav(DataFile(c.file), c.file);
    EXPECT_TRUE(read.problems.empty()) << read.problems.front();
    EXPECT_EQ(read.records.size(), c.records);
    for (const SourcedNavaid& r : read.records) EXPECT_EQ(r.source, NavaidSource::XPlane);

    const SourcedNavaid* kag = Find(read, NavaidKind::Ils, "KAG");
    ASSERT_NE(kag, nullptr);
    EXPECT_NEAR(kag->frequency, 110.55, 1e-9);
    EXPECT_NEAR(kag->headingTrueDeg, 57.817, 1e-6);
    EXPECT_EQ(kag->airport, "EHAM");
    EXPECT_EQ(kag->runway, "06");
    EXPECT_EQ(Known(kag->glideSlopeDeg), c.kagGlideSlopeAndDme);
    EXPECT_EQ(kag->dme, c.kagGlideSlopeAndDme);

    const SourcedNavaid* ams = Find(read, NavaidKind::Vor, "AMS");
    ASSERT_NE(ams, nullptr);
    EXPECT_NEAR(ams->frequency, 113.95, 1e-9);
    EXPECT_EQ(ams->magneticVariationDeg, c.vorVariation);
    EXPECT_EQ(ams->name, "AMSTERDAM VOR-DME");

    const SourcedNavaid* sch = Find(read, NavaidKind::Ils, "SCH");
    EXPECT_EQ(sch != nullptr, Known(c.schCourse));
    if (sch) {
      EXPECT_NEAR(sch->headingTrueDeg, c.schCourse, 1e-6);
    }
  }
}

TEST(XPlaneNav, JoinsGlideSlopesAndDmesToTheirStations) {
  const SourceRead read = ReadXPlaneNav(DataFile("earth_nav_1100.dat"), "earth_nav.dat");
  const SourcedNavaid* kag = Find(read, NavaidKind::Ils, "KAG");
  ASSERT_NE(kag, nullptr);
  EXPECT_DOUBLE_EQ(kag->glideSlopeDeg, 3.0);
  EXPECT_DOUBLE_EQ(kag->glideSlopeLatitudeDeg, 52.289731);
  EXPECT_DOUBLE_EQ(kag->glideSlopeLongitudeDeg, 4.742167);
  EXPECT_EQ(kag->glideSlopeElevationFt, -11);
  // A glide slope with a placeholder ident joins the localizer of its frequency.
  const SourcedNavaid* sch = Find(read, NavaidKind::Ils, "SCH");
  ASSERT_NE(sch, nullptr);
  EXPECT_DOUBLE_EQ(sch->glideSlopeDeg, 3.25);
  EXPECT_FALSE(sch->dme);
  const SourcedNavaid* loc = Find(read, NavaidKind::Ils, "IZZ");
  ASSERT_NE(loc, nullptr);
  EXPECT_FALSE(Known(loc->glideSlopeDeg));
  EXPECT_EQ(loc->name, "LOC");
  EXPECT_TRUE(Find(read, NavaidKind::Vor, "AMS")->dme);
  // A DME without a station is no record; an NDB of a terminal area belongs to its airport.
  EXPECT_EQ(Find(read, NavaidKind::Vor, "VBG"), nullptr);
  EXPECT_EQ(Find(read, NavaidKind::Ndb, "HM")->airport, "EHAM");
  EXPECT_EQ(Find(read, NavaidKind::Ndb, "ABC")->airport, "");
  EXPECT_EQ(Find(read, NavaidKind::Ndb, "ABC")->frequency, 375);
  const SourcedNavaid* outer = Find(read, NavaidKind::OuterMarker, "KAG");
  ASSERT_NE(outer, nullptr);
  EXPECT_EQ(outer->runway, "06");
  EXPECT_DOUBLE_EQ(outer->headingTrueDeg, 57.817);
}

TEST(XPlaneNav, ReadsTheRealDutchExtract) {
  const auto text = ReadWholeFile(QUARN_SHARED_TESTDATA_DIR "/real-world/xplane810_nav_NL.dat");
  if (!text) GTEST_SKIP() << "shared test data not present";
  const SourceRead read = ReadXPlaneNav(*text, "nav.dat");
  EXPECT_TRUE(read.problems.empty()) << read.problems.front();
  EXPECT_EQ(Count(read, NavaidKind::Ndb), 47);
  EXPECT_EQ(Count(read, NavaidKind::Ils), 45);
  EXPECT_EQ(Count(read, NavaidKind::MiddleMarker), 14);

  const SourcedNavaid* kag = Find(read, NavaidKind::Ils, "KAG");
  ASSERT_NE(kag, nullptr);
  EXPECT_EQ(kag->airport + " " + kag->runway, "EHAM 06");
  EXPECT_NEAR(kag->frequency, 110.55, 1e-9);
  EXPECT_NEAR(kag->headingTrueDeg, 57.817, 0.001);
  EXPECT_NEAR(kag->glideSlopeDeg, 3.00, 1e-9);
  EXPECT_DOUBLE_EQ(kag->glideSlopeLatitudeDeg, 52.289731);
  EXPECT_DOUBLE_EQ(kag->glideSlopeLongitudeDeg, 4.742167);

  const SourcedNavaid* ams = Find(read, NavaidKind::Vor, "AMS");
  ASSERT_NE(ams, nullptr);
  EXPECT_NEAR(ams->frequency, 113.95, 1e-9);
  EXPECT_EQ(ams->magneticVariationDeg, 0.0);
  EXPECT_TRUE(ams->dme);

  ASSERT_NE(Find(read, NavaidKind::Ndb, "WW"), nullptr);
  EXPECT_EQ(Find(read, NavaidKind::Ndb, "WW")->frequency, 309);
  const SourcedNavaid* outer = Find(read, NavaidKind::OuterMarker, "----", "21");
  ASSERT_NE(outer, nullptr);
  EXPECT_EQ(outer->airport, "EHEH");
  EXPECT_DOUBLE_EQ(outer->headingTrueDeg, 214.932);

  // Every Schiphol ILS with a DME-ILS row has its DME; 18C has none.
  for (const char* ident : {"KAG", "VPB", "SCH", "BVB", "MSA", "ABA"}) {
    EXPECT_TRUE(Find(read, NavaidKind::Ils, ident)->dme) << ident;
  }
  EXPECT_FALSE(Find(read, NavaidKind::Ils, "ZWA")->dme);
}

TEST(XPlaneNav, ABadRowIsReportedAndTheRestRead) {
  const std::string header = "I\n1100 Version\n\n";
  const std::string goodRow = "2 52.1 4.5 0 375 50 0.0 ABC ENRT EH ALPHA NDB\n";
  const std::string longRow = goodRow.substr(0, 35) + std::string(2 << 20, 'X');
  const struct {
    std::string row;
    std::string problem;
  } kCases[] = {
      {"3 52.3 4.7 -7 11395", "too few fields for a VOR (5 of 10)"},
      {"3 52.3 4.7 -7 12000 130 1.5 AMS ENRT EH AMS", "VOR frequency 12000 is out of range"},
      {"4 52.3 4.7 -11 10750 18 57.8 KAG EHAM EH 06 ILS",
       "localizer frequency 10750 is out of range"},
      {"2 52.1 4.5 0 1900 50 0.0 ABC ENRT EH ALPHA", "NDB frequency 1900 is out of range"},
      {"2 91.0 4.5 0 375 50 0.0 ABC ENRT EH ALPHA", "latitude 91.0 is out of range"},
      {"2 52.1 -180.5 0 375 50 0.0 ABC ENRT EH ALPHA", "longitude -180.5 is out of range"},
      {"2 52.1 4,5 0 375 50 0.0 ABC ENRT EH ALPHA", "longitude \"4,5\" is not a number"},
      {"3 52.3 4.7 -7 11395 130 200.0 AMS ENRT EH AMS", "slaved variation 200.0 is out of range"},
      {"4 52.3 4.78 -11 11055 18 400.0 KAG EHAM EH 06 ILS", "course 400.0 is out of range"},
      {"6 52.28 4.74 -11 11055 10 1200057.944 KAG EHAM EH 06 GS",
       "glide slope angle in 1200057.944 is out of range"},
      {"8 52.29 4.75 -11 0 0 57.8 KAG EHAM EH", "too few fields for a marker (10 of 11)"},
      {"12 52.3 nan -7 11395 130 0.0 AMS", "longitude \"nan\" is not a number"},
      {longRow, "a line of 2097187 bytes is no row; skipped"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.problem);
    const SourceRead read =
        ReadXPlaneNav(header + goodRow + c.row + "\n" + goodRow + "99\n", "bad.dat");
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0], "bad.dat, line 5: " + c.problem);
    EXPECT_EQ(read.records.size(), 2u);
  }
}

TEST(XPlaneNav, TextThatIsNoNavDataGivesOneProblemAndNoRecords) {
  const struct {
    std::string text;
    std::string problem;
  } kCases[] = {
      {DataFile("not_xplane.csv"), "earth_nav.dat, line 1: not an X-Plane navigation data file"},
      {"", "earth_nav.dat, line 1: not an X-Plane navigation data file"},
      {"I\nVersion 1100\n99\n", "earth_nav.dat, line 1: not an X-Plane navigation data file"},
      {"I\n1300 Version\n99\n",
       "earth_nav.dat, line 2: version 1300 of the navigation data is not one this reader knows "
       "(810, 1100, 1150, 1200)"},
  };
  for (const auto& c : kCases) {
    const SourceRead read = ReadXPlaneNav(c.text, "earth_nav.dat");
    EXPECT_TRUE(read.records.empty());
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0], c.problem);
  }
}

TEST(XPlaneNav, ACutShortFileIsReportedAndItsRowsRead) {
  const SourceRead read = ReadXPlaneNav(DataFile("truncated.dat"), "earth_nav.dat");
  ASSERT_EQ(read.problems.size(), 1u);
  EXPECT_EQ(read.problems[0],
            "earth_nav.dat, line 5: the file ends without its closing row \"99\": it may be cut "
            "short");
  EXPECT_EQ(read.records.size(), 2u);
}

}  // namespace
}  // namespace quarn

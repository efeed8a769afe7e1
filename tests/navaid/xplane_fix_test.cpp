#include "navaid/xplane_fix.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_services.h"

namespace quarn {
namespace {

std::string DataFile(const std::string& file) {
  return ReadWholeFile(std::string(QUARN_TEST_DATA_DIR) + "/xplane_fix/" + file).value_or("");
}

TEST(XPlaneFix, ReadsTheFixesOfEachVersion) {
  const struct {
    const char* file;
    std::size_t count;
    std::size_t index;
    const char* ident;
    double latitude, longitude;
    const char* airport;
    const char* name;
  } kCases[] = {
      {"earth_fix_1100.dat", 5, 0, "ARTIP", 52.51, 5.569444444, "", ""},
      {"earth_fix_1100.dat", 5, 2, "EH606", 52.243055556, 4.589166667, "EHAM", ""},
      {"earth_fix_1100.dat", 5, 3, "RIKAV", -33.946111111, 151.177222222, "", ""},
      {"earth_fix_1100.dat", 5, 4, "ZALPO", 40.64, -73.778611111, "", ""},
      {"earth_fix_1200.dat", 2, 1, "VP001", 52.383333333, 4.85, "EHAM", "SPORTPARK NOORD"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.ident);
    const SourceRead read = ReadXPlaneFix(DataFile(c.file), c.file);
    EXPECT_TRUE(read.problems.empty());
    ASSERT_EQ(read.records.size(), c.count);
    const SourcedNavaid& fix = read.records[c.index];
    EXPECT_EQ(fix.kind, NavaidKind::Fix);
    EXPECT_EQ(fix.source, NavaidSource::XPlane);
    EXPECT_EQ(fix.ident, c.ident);
    EXPECT_DOUBLE_EQ(fix.latitudeDeg, c.latitude);
    EXPECT_DOUBLE_EQ(fix.longitudeDeg, c.longitude);
    EXPECT_EQ(fix.airport, c.airport);
    EXPECT_EQ(fix.name, c.name);
    EXPECT_EQ(fix.line, static_cast<int>(c.index) + 4);
  }
}

TEST(XPlaneFix, BadRowsAndOtherTextAreReported) {
  const std::string header = "I\n1101 Version\n\n";
  const std::string good = "52.51 5.5694 ARTIP ENRT EH 2115603\n";
  const struct {
    std::string text;
    std::string problem;
    std::size_t records;
  } kCases[] = {
      {header + good + "52.51 5.5694\n" + good + "99\n",
       "earth_fix.dat, line 5: too few fields for a fix (2 of 3)", 2},
      {header + good + "-90.5 5.5694 SOUTH\n" + good + "99\n",
       "earth_fix.dat, line 5: latitude -90.5 is out of range", 2},
      {header + good + "52.51 5.5694 ART",
       "earth_fix.dat, line 5: the file ends without its "
       "closing row \"99\": it may be cut short",
       2},
      {"ARTIP,52.51,5.5694\n", "earth_fix.dat, line 1: not an X-Plane fix data file", 0},
  };
  for (const auto& c : kCases) {
    const SourceRead read = ReadXPlaneFix(c.text, "earth_fix.dat");
    EXPECT_EQ(read.records.size(), c.records);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0], c.problem);
  }
}

}  // namespace
}  // namespace quarn

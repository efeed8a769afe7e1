// Navaids of today's sources in the table: each in the terms a scenery file's record
// of its kind has, its typed values beside it; a navaid given again by a later source
// replaced where it stands; large tables looked up by cell.

#include "navaid/sourced_load.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "base/geodesy.h"
#include "charts/approach.h"
#include "navaid/navaid_files.h"
#include "navaid/navaid_load.h"
#include "platform/notices.h"

namespace quarn {
namespace {

SourcedNavaid Navaid(NavaidKind kind, double lat, double lon, const char* ident,
                     NavaidSource source = NavaidSource::XPlane) {
  SourcedNavaid n;
  n.kind = kind;
  n.source = source;
  n.latitudeDeg = lat;
  n.longitudeDeg = lon;
  n.ident = ident;
  return n;
}

// EHAM 06/24 as both ends give it.
std::vector<SourcedNavaid> RunwayEnds(NavaidSource source = NavaidSource::OurAirports) {
  SourcedNavaid le = Navaid(NavaidKind::Runway, 52.2879, 4.73402, "", source);
  le.airport = "EHAM";
  le.runway = "06";
  le.headingTrueDeg = 58;
  le.lengthM = 11283 * 0.3048;
  le.widthM = 45;
  le.elevationFt = -11;
  le.thresholdDisplacedM = 820 * 0.3048;
  le.endLatitudeDeg = 52.3046;
  le.endLongitudeDeg = 4.77752;
  SourcedNavaid he = le;
  he.runway = "24";
  he.latitudeDeg = 52.3046;
  he.longitudeDeg = 4.77752;
  he.endLatitudeDeg = 52.2879;
  he.endLongitudeDeg = 4.73402;
  he.headingTrueDeg = 238;
  he.thresholdDisplacedM = kUnknown;
  return {le, he};
}

TEST(SourcedLoad, RecordsInTheTermsOfTheirKind) {
  const auto ends = RunwayEnds();
  const NavaidRecord runway = TableRecordOf(ends[0], &ends[1]);
  EXPECT_EQ(runway.kind, NavaidKind::Runway);
  EXPECT_NEAR(runway.latitude, (52.2879 + 52.3046) / 2, 1e-9);  // the centre
  EXPECT_NEAR(runway.longitude, (4.73402 + 4.77752) / 2, 1e-9);
  EXPECT_EQ(runway.course, 58);
  EXPECT_NEAR(runway.extra, 11283, 1e-6);    // feet
  EXPECT_NEAR(runway.magVar, 147.64, 0.01);  // the width in feet
  EXPECT_EQ(runway.intValue, -3);            // metres
  EXPECT_EQ(runway.Ident(), "06");
  EXPECT_EQ(runway.Name(), "Runway");
  EXPECT_EQ(runway.source, NavaidSource::OurAirports);

  SourcedNavaid ils = Navaid(NavaidKind::Ils, 52.307142, 4.784194, "KAG");
  ils.frequency = 110.55;
  ils.headingTrueDeg = 57.817;
  ils.glideSlopeDeg = 3.0;
  const NavaidRecord loc = TableRecordOf(ils);
  EXPECT_EQ(loc.intValue, 6860);  // the sine of 3 degrees in the scenery files' scale
  EXPECT_EQ(loc.frequency, 110.55);
  EXPECT_EQ(loc.course, 57.817);
  EXPECT_EQ(loc.Name(), "KAG");

  SourcedNavaid atis = Navaid(NavaidKind::Atis, 52.3086, 4.7639, "ATIS");
  atis.airport = "EHAM";
  atis.name = "ATIS";
  atis.frequency = 132.975;
  EXPECT_EQ(TableRecordOf(atis).Ident(), "ATIS ");
  EXPECT_EQ(TableRecordOf(atis).Name(), "EHAM ATIS");
  EXPECT_EQ(TableRecordOf(Navaid(NavaidKind::OuterMarker, 52, 4, "KAG")).Ident(), "LOM");
}

TEST(SourcedLoad, ALaterSourceReplacesTheSameNavaidWhereItStands) {
  CHalbricoDoc doc;
  // A scenery file's runway "6 " and VOR, then a source of today with the same ones.
  doc.AddNavaid(NavaidKind::Runway, 52.2962, 4.7558, -3, 0, "6 ", "Runway", 148, 57.9, 11200);
  doc.AddNavaid(NavaidKind::Vor, 52.3331, 4.7054, 0, 113.95, "AMS", "AMSTERDAM", 1, 0, 0);
  SourcedNavaid vor = Navaid(NavaidKind::Vor, 52.3328, 4.70556, "AMS");
  vor.frequency = 113.95;
  SourcedNavaid far = Navaid(NavaidKind::Vor, 52.40, 4.70556, "AMS");  // 7 km away: another
  SourcedNavaid airport = Navaid(NavaidKind::Airport, 52.3086, 4.7639, "EHAM");
  std::vector<SourcedNavaid> first = RunwayEnds();
  first.push_back(vor);
  first.push_back(far);
  first.push_back(airport);
  AddSourcedNavaids(doc, first);
  ASSERT_EQ(doc.m_navaidCount, 4);  // the runway and the VOR replaced; a second VOR, an airport
  EXPECT_EQ(doc.m_navaids[0].Ident(), "06");
  EXPECT_EQ(doc.m_navaids[0].source, NavaidSource::OurAirports);
  EXPECT_EQ(doc.m_navaids[1].source, NavaidSource::XPlane);
  EXPECT_EQ(doc.m_navaids[1].longitude, 4.70556);

  // Again from another source: the airport by its code, the runway by its ends (given
  // from the other end first), the VOR by ident and place.
  SourcedNavaid movedAirport = airport;
  movedAirport.latitudeDeg = 52.31;
  movedAirport.name = "Schiphol";
  std::vector<SourcedNavaid> second{movedAirport, vor};
  const auto ends = RunwayEnds(NavaidSource::XPlane);
  second.push_back(ends[1]);
  second.push_back(ends[0]);
  AddSourcedNavaids(doc, second);
  ASSERT_EQ(doc.m_navaidCount, 4);
  EXPECT_EQ(doc.m_navaids[3].Name(), "Schiphol");
  EXPECT_EQ(doc.m_navaids[0].Ident(), "24");
  EXPECT_EQ(doc.m_navaids[0].source, NavaidSource::XPlane);
  const NavaidDetail& detail = doc.m_details[static_cast<std::size_t>(doc.m_navaids[0].detail)];
  ASSERT_NE(doc.OtherEndOf(detail), nullptr);
  EXPECT_EQ(doc.OtherEndOf(detail)->runway, "06");
}

TEST(SourcedLoad, ALargeTableIsLookedUpByCellWithTheSameAnswers) {
  CHalbricoDoc doc;
  std::vector<SourcedNavaid> runways;
  // A grid of runways over Europe, far more than a map shows.
  for (int i = 0; i < 9000; ++i) {
    SourcedNavaid n = Navaid(NavaidKind::Runway, 40 + (i % 100) * 0.2, (i / 100) * 0.2, "");
    n.runway = "09";
    n.airport = "X" + std::to_string(i);
    n.headingTrueDeg = 90;
    n.lengthM = 2000;
    runways.push_back(n);
  }
  AddSourcedNavaids(doc, runways);
  doc.RebuildIndexLists();
  std::vector<std::int32_t> near;
  ASSERT_TRUE(doc.ListNear(doc.m_runwayIdx, 49.9, 50.3, 9.9, 10.3, near));
  EXPECT_TRUE(std::is_sorted(near.begin(), near.end()));
  EXPECT_LE(near.size(), 100u);  // the four cells the box touches, not the 9000
  for (std::int32_t i : doc.m_runwayIdx) {
    const NavaidRecord& r = doc.m_navaids[static_cast<std::size_t>(i)];
    const bool inBox =
        r.latitude >= 49.9 && r.latitude <= 50.3 && r.longitude >= 9.9 && r.longitude <= 10.3;
    if (inBox) {
      EXPECT_TRUE(std::binary_search(near.begin(), near.end(), i)) << i;
    }
  }
  // A touchdown on one of them finds it, as a walk over the whole list would.
  Flight flight;
  flight.samples.resize(1);
  flight.samples[0].latitudeDeg = 50.0;
  flight.samples[0].longitudeDeg = 10.001;
  flight.samples[0].courseDeg = 90;
  const ApproachNavaid found = FindLandingRunway(doc, flight, 0);
  ASSERT_TRUE(found.record);
  EXPECT_NEAR(RecordOf(doc, *found.record).latitude, 50.0, 1e-9);
  EXPECT_LT(found.metres, 1000);
  EXPECT_FALSE(doc.ListNear(doc.m_ilsIdx, 49.9, 50.3, 9.9, 10.3, near));  // a short list
}

const std::filesystem::path kRealWorld =
    std::filesystem::path(QUARN_SHARED_TESTDATA_DIR) / "real-world";

// The shared Dutch data of today's sources, loaded as a scenery list names them.
class SharedDutchData : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kRealWorld / "xplane810_nav_NL.dat")) {
      GTEST_SKIP() << "no shared test data at " << kRealWorld;
    }
    list_ = std::filesystem::temp_directory_path() / ("quarn_nl_" + std::to_string(::getpid()));
    std::filesystem::create_directories(list_);
    std::ofstream out(list_ / "nl.lis");
    for (const char* file :
         {"xplane810_nav_NL.dat", "ourairports_airports_NL.csv", "ourairports_runways_NL.csv",
          "ourairports_navaids_NL.csv", "ourairports_airport-frequencies_NL.csv"}) {
      out << (kRealWorld / file).string() << '\n';
    }
    out.close();
    QuietNotices notices;
    LoadSceneryList(doc_, (list_ / "nl.lis").string(), list_.string(), notices);
  }
  void TearDown() override { std::filesystem::remove_all(list_); }

  const NavaidRecord* Find(NavaidKind kind, std::string_view ident) const {
    for (std::int32_t i = 0; i < doc_.m_navaidCount; ++i) {
      const NavaidRecord& r = doc_.m_navaids[static_cast<std::size_t>(i)];
      if (r.kind == kind && r.Ident() == ident) return &r;
    }
    return nullptr;
  }
  const NavaidDetail& DetailOf(const NavaidRecord& r) const {
    return doc_.m_details[static_cast<std::size_t>(r.detail)];
  }

  std::filesystem::path list_;
  CHalbricoDoc doc_;
};

TEST_F(SharedDutchData, RunwayIlsVorAndAtisOfAmsterdam) {
  ASSERT_EQ(doc_.m_navaidsLoaded, 1);
  // Runway 06, from OurAirports: its threshold, displaced threshold and heading.
  const NavaidRecord* runway = nullptr;
  for (std::int32_t i : doc_.m_runwayIdx) {
    const NavaidRecord& r = doc_.m_navaids[static_cast<std::size_t>(i)];
    const NavaidDetail& d = DetailOf(r);
    if (d.navaid.airport == "EHAM" && d.navaid.runway == "06") runway = &r;
  }
  ASSERT_NE(runway, nullptr);
  const SourcedNavaid& end06 = DetailOf(*runway).navaid;
  EXPECT_NEAR(end06.latitudeDeg, 52.2879, 1e-4);
  EXPECT_NEAR(end06.longitudeDeg, 4.73402, 1e-5);
  EXPECT_NEAR(end06.thresholdDisplacedM, 820 * 0.3048, 0.01);
  EXPECT_NEAR(end06.headingTrueDeg, 58, 0.5);
  EXPECT_EQ(runway->source, NavaidSource::OurAirports);

  // ILS KAG from X-Plane's navaids: 110.55 MHz on 57.817 true with a 3.00 degree slope.
  const NavaidRecord* kag = Find(NavaidKind::Ils, "KAG");
  ASSERT_NE(kag, nullptr);
  EXPECT_NEAR(kag->frequency, 110.55, 1e-9);
  EXPECT_NEAR(kag->course, 57.817, 1e-3);
  EXPECT_NEAR(DetailOf(*kag).navaid.glideSlopeDeg, 3.00, 1e-9);
  EXPECT_NEAR(std::asin(kag->intValue / 131072.0) / kDegToRad, 3.00, 0.01);

  const NavaidRecord* ams = Find(NavaidKind::Vor, "AMS");
  ASSERT_NE(ams, nullptr);
  EXPECT_NEAR(ams->frequency, 113.95, 1e-9);

  bool atis = false;
  for (std::int32_t i : doc_.m_atisIdx) {
    const NavaidRecord& r = doc_.m_navaids[static_cast<std::size_t>(i)];
    atis |= DetailOf(r).navaid.airport == "EHAM";
  }
  EXPECT_TRUE(atis);
}

}  // namespace
}  // namespace quarn

#include <gtest/gtest.h>

#include "navaid_test_support.h"

namespace quarn::testing {
namespace {

using ExampleScenery = NavaidTest;

TEST_F(ExampleScenery, BothLayoutsHoldTheSameArea) {
  const std::string dir = std::string(QUARN_EXAMPLES_DIR) + "/scenery/";
  const NavaidRecord* ils[2] = {};
  std::vector<NavaidRecord> all;
  for (const char* name : {"amsterdam_old.bgl", "amsterdam_fs2000.bgl"}) {
    doc_.ClearNavaids();
    EXPECT_EQ(doc_.ParseBgl(dir + name).problem, "") << name;
    doc_.RebuildIndexLists();
    EXPECT_EQ(doc_.m_airportIdx.size(), 7u) << name;
    EXPECT_EQ(doc_.m_runwayIdx.size(), 8u) << name;
    EXPECT_EQ(doc_.m_vorIdx.size(), 5u) << name;
    EXPECT_EQ(doc_.m_ndbIdx.size(), 3u) << name;
    EXPECT_EQ(doc_.m_atisIdx.size(), 2u) << name;
    ASSERT_EQ(doc_.m_ilsIdx.size(), 1u) << name;
    EXPECT_EQ(doc_.m_navaidCount, 26) << name;
    all.push_back(At(doc_.m_ilsIdx[0]));
  }
  ils[0] = &all[0];
  ils[1] = &all[1];
  for (const NavaidRecord* i : ils) {
    EXPECT_EQ(i->Ident(), "KAG");
    EXPECT_NEAR(i->frequency, 110.55, 1e-9);
    EXPECT_NEAR(i->course, 57.8, 0.003);
    EXPECT_EQ(i->intValue, 6861);
  }
  // The localizer lands at the same place from both layouts (the FS2000 one is
  // mirrored through the runway point).
  EXPECT_NEAR(ils[0]->latitude, ils[1]->latitude, 2e-5);
  EXPECT_NEAR(ils[0]->longitude, ils[1]->longitude, 3e-5);
  EXPECT_NEAR(ils[1]->latitude, 52.3046, 2e-5);
}

}  // namespace
}  // namespace quarn::testing

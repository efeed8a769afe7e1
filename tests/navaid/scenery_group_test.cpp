// "Define Group of BGL files" through the scripted host.

#include <filesystem>

#include "scenery_commands_fixture.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(SceneryCommands, GroupNamesBecomeLowerCaseListFiles) {
  const std::string ndb = Bgl("ndb.bgl", WithNdb());
  const struct {
    const char* entered;
    const char* file;
  } kCases[] = {
      {"europe", "europe.lis"}, {"Europe.LIS", "europe.lis"}, {"europe.txt", "europe.txt.lis"}};
  for (const auto& c : kCases) {
    fs::remove(data_.File(c.file));
    const auto out = DefineGroup(c.entered, scenery_.path());
    const std::vector<std::string> expected = {
        JsonObject().Add("event", "dialog").Add("name", "groupName").Add("answer", c.entered).Str(),
        JsonObject()
            .Add("event", "dialog")
            .Add("name", "searchDir")
            .AddRaw("answer", JsonObject()
                                  .Add("directory", scenery_.path())
                                  .Add("recurse", false)
                                  .Add("fs2000", false)
                                  .Str())
            .Str(),
        Event("status", "Searching " + scenery_.path()),
        Event("title", ndb),
        Event("title", "Untitled"),
        Event("status", "Ready"),
        Event("message", std::string("1 files found and added to scenery list ") + c.file)};
    EXPECT_EQ(out, expected) << c.entered;
    EXPECT_EQ(ReadText(data_.File(c.file)), ndb + "\n");
  }
  EXPECT_EQ(doc().m_navaidCount, 0);
  EXPECT_EQ(doc().m_navaidsLoaded, 0);
  EXPECT_EQ(doc().m_probing, 0);
}

TEST_F(SceneryCommands, ATakenNameOrAMissingFolderAsksAgain) {
  Bgl("ndb.bgl", WithNdb());
  WriteText(data_.File("europe.lis"), "");
  const auto out = Run({"answer text europe", "answer text asia", "answer dir /no/such/folder",
                        "answer dir " + scenery_.path(), "command ID_DEFINE_GROUP"});
  EXPECT_EQ(out[1], Event("message", "europe.lis already exists, please choose other!"));
  EXPECT_EQ(out[4], Event("message", "/no/such/folder is not a valid directory"));
  EXPECT_EQ(out.back(), Event("message", "1 files found and added to scenery list asia.lis"));
}

TEST_F(SceneryCommands, ASecondSearchIntoTheSameListAddsNothing) {
  const std::string ndb = Bgl("ndb.bgl", WithNdb());
  DefineGroup("europe", scenery_.path());
  // The list under a name differing in case only: the group search extends it.
  fs::rename(data_.File("europe.lis"), data_.File("Europe.LIS"));
  const auto out = DefineGroup("europe", scenery_.path() + "/");
  EXPECT_EQ(out[2], Event("status", "Searching " + scenery_.path()));  // no trailing separator
  EXPECT_EQ(out.back(), Event("message", "0 files found and added to scenery list europe.lis"));
  EXPECT_EQ(ReadText(data_.File("Europe.LIS")), ndb + "\n");
  EXPECT_FALSE(fs::exists(data_.File("europe.lis")));
}

TEST_F(SceneryCommands, TheSearchListsFilesWithNavaidsByModeAndFolder) {
  const std::string top = scenery_.path();
  Bgl("Markers.BGL", WithMarkerOnly());  // markers alone still count
  Bgl("empty.bgl", BglContent{});
  Bgl("fs.bgl", WithFacilityAirportOnly());
  Bgl("old.bgl", WithNdb());
  Bgl("Sub/deep.bgl", WithNdb());
  Bgl("Sub/Deeper/fs.bgl", WithFacilityAirportOnly());
  fs::create_directory_symlink(top, top + "/Sub/loop");  // must not make the walk endless
  const struct {
    const char* flags;
    std::vector<std::string> listed;
  } kCases[] = {
      {"", {top + "/Markers.BGL", top + "/old.bgl"}},
      {" recurse", {top + "/Sub/deep.bgl", top + "/Markers.BGL", top + "/old.bgl"}},
      {" fs2000", {top + "/fs.bgl"}},
      {" recurse fs2000", {top + "/Sub/Deeper/fs.bgl", top + "/fs.bgl"}},
  };
  for (const auto& c : kCases) {
    fs::remove(data_.File("g.lis"));
    const auto out = DefineGroup("g", top + c.flags);
    EXPECT_EQ(SceneryListPaths(ReadText(data_.File("g.lis"))), c.listed) << c.flags;
    EXPECT_EQ(out.back(), Event("message", Format("%d files found and added to scenery list g.lis",
                                                  static_cast<int>(c.listed.size()))));
  }
}

TEST_F(SceneryCommands, AListThatCannotBeWrittenIsNamedAndNothingIsReportedFound) {
  Bgl("ndb.bgl", WithNdb());
  const std::string missing = data_.File("missing");
  TestHost host(1280, 800, missing);
  host.Run({"answer text g", "answer dir " + scenery_.path(), "command ID_DEFINE_GROUP"});
  const auto out = host.TakeTranscript();
  EXPECT_EQ(out.end()[-3], Event("message", "Can\u00b4t write " + missing + "/g.lis"));
  EXPECT_EQ(out.back(), Event("status", "Ready"));
}

// X-Plane's data files, an installation and the OurAirports tables are listed one entry
// each beside the BGL files, and the list loads them all; a file of another kind that
// merely ends in .csv is passed over.
TEST_F(SceneryCommands, TheSearchListsTheDataOfTodayOneEntryEach) {
  const std::string top = scenery_.path();
  const fs::path data(QUARN_TEST_DATA_DIR);
  Bgl("old.bgl", WithNdb());
  fs::copy_file(data / "xplane_nav/earth_nav_1200.dat", top + "/earth_nav.dat");
  fs::create_directories(top + "/X-Plane 12/Resources/default data");
  fs::copy_file(data / "xplane_nav/earth_nav_1100.dat",
                top + "/X-Plane 12/Resources/default data/earth_nav.dat");
  fs::create_directories(top + "/oa");
  for (const char* table : {"runways.csv", "airports.csv", "navaids.csv"}) {
    fs::copy_file(data / "ourairports" / table, top + "/oa/" + table);
  }
  WriteText(top + "/oa/notes.csv", "when,what\n1,2\n");
  const auto out = DefineGroup("today", top + " recurse");
  const std::vector<std::string> listed = {top + "/X-Plane 12",     top + "/oa/airports.csv",
                                           top + "/oa/runways.csv", top + "/oa/navaids.csv",
                                           top + "/old.bgl",        top + "/earth_nav.dat"};
  EXPECT_EQ(SceneryListPaths(ReadText(data_.File("today.lis"))), listed);
  EXPECT_EQ(out.back(), Event("message", "6 files found and added to scenery list today.lis"));

  LoadList(data_.File("today.lis"));
  EXPECT_EQ(doc().m_navaidsLoaded, 1);
  int bySource[3] = {0, 0, 0};
  for (std::int32_t i = 0; i < doc().m_navaidCount; ++i) {
    ++bySource[static_cast<int>(doc().m_navaids[static_cast<std::size_t>(i)].source)];
  }
  EXPECT_GT(bySource[static_cast<int>(NavaidSource::Bgl)], 0);
  EXPECT_GT(bySource[static_cast<int>(NavaidSource::XPlane)], 0);
  EXPECT_GT(bySource[static_cast<int>(NavaidSource::OurAirports)], 0);
}

TEST_F(SceneryCommands, ACancelledSearchLeavesTheTablesEmpty) {
  doc().AddNavaid(NavaidKind::Vor, 1, 2, 0, 113, "V", "V", 0, 0, 0);
  doc().RebuildIndexLists();
  doc().m_navaidsLoaded = 1;
  Run({"answer text g", "command ID_DEFINE_GROUP"});
  EXPECT_EQ(doc().m_navaidCount, 0);
  EXPECT_TRUE(doc().m_vorIdx.empty());
  EXPECT_EQ(doc().m_navaidsLoaded, 0);
  EXPECT_FALSE(fs::exists(data_.File("g.lis")));
}

}  // namespace
}  // namespace quarn::testing

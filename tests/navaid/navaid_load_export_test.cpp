// "Load Navaids" and "Export Navaids" through the scripted host.

#include <filesystem>

#include "navaid/fix_file.h"
#include "scenery_commands_fixture.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

std::string Progress(int percent, int total) {
  return Event("status", Format("Please wait: %3d%%  of %6d bgl files processed", percent, total));
}

TEST_F(SceneryCommands, ProgressCountsNewlinesAndEmptyLinesAreSkipped) {
  const std::string a = Bgl("a.bgl", WithNdb()), b = Bgl("b.bgl", WithMarkerOnly());
  const struct {
    std::string list;
    std::vector<std::string> progress;
    int files;
    const char* totals;
  } kCases[] = {
      {a + "\n" + b + "\n" + a + "\n",
       {Progress(0, 4), Progress(25, 4), Progress(50, 4)},
       3,
       "3 Navaids and 0 Fixes in memory"},
      {a + "\n\n" + b, {Progress(0, 3), Progress(33, 3)}, 2, "2 Navaids and 0 Fixes in memory"},
  };
  for (const auto& c : kCases) {
    WriteText(data_.File("g.lis"), c.list);
    const auto out = LoadList(data_.File("g.lis"));
    ASSERT_EQ(out.size(), c.progress.size() + 4) << c.list;
    EXPECT_EQ(std::vector<std::string>(out.begin() + 1, out.end() - 3), c.progress);
    EXPECT_EQ(out.end()[-3], Event("title", "Scenery List: g.lis"));
    // Without quarn.fix the totals still end the load.
    EXPECT_EQ(out.end()[-2], Event("message", "Could not load quarn.fix (fixes file)"));
    EXPECT_EQ(out.back(), Event("status", c.totals));
    EXPECT_EQ(doc().m_bglIndex, c.files);
    EXPECT_EQ(doc().m_navaidsLoaded, 1);
    EXPECT_EQ(doc().m_bglNames[1], b);
    EXPECT_EQ(doc().m_navaids.at(1).fileIndex, 1);  // the marker of the second file
  }
}

TEST_F(SceneryCommands, FixesFollowTheSceneryRecords) {
  WriteText(data_.File("g.lis"), Bgl("a.bgl", WithNdb()) + "\n");
  const std::string artip = "ARTIP    52.5100000    5.5694444\n";
  const std::string sugol = "SUGOL    52.5266667    3.9675000\r\n";
  const struct {
    std::string fixes;
    int count;
  } kCases[] = {
      {artip + sugol, 2},
      {"", 0},
      {artip + "SHORT    52.51\n" + sugol, 1},              // a short line ends the fixes
      {artip + "LONG     52.5100000    5.5694444 x\n", 1},  // so does one out of columns
  };
  for (const auto& c : kCases) {
    WriteText(data_.File("quarn.fix"), c.fixes);
    const auto out = LoadList(data_.File("g.lis"));
    EXPECT_EQ(out.back(), Event("status", Format("1 Navaids and %d Fixes in memory", c.count)));
    EXPECT_EQ(doc().m_fixIdx.size(), static_cast<std::size_t>(c.count));
  }
  EXPECT_EQ(doc().m_navaids.at(1).Ident(), "ARTIP ");
  EXPECT_EQ(doc().m_navaids.at(1).latitude, 52.51);
  EXPECT_EQ(doc().m_navaids.at(1).longitude, 5.5694444);
}

TEST(FixFields, NumbersAreReadAsTheCRuntimeReadsThem) {
  const std::pair<const char*, double> kCases[] = {{"  52.5000000", 52.5},
                                                   {"+4.75", 4.75},
                                                   {"-0.25abc", -0.25},
                                                   {"1e2", 100},
                                                   {"abc", 0},
                                                   {"    ", 0},
                                                   {"+-1", 0},
                                                   {"52,5", 52}};
  for (const auto& [field, value] : kCases) EXPECT_EQ(FieldNumber(field), value) << field;
}

TEST_F(SceneryCommands, AListThatCannotBeReadLoadsNothing) {
  doc().AddNavaid(NavaidKind::Ndb, 1, 2, 0, 300, "N", "N", 0, 0, 0);
  doc().RebuildIndexLists();
  const auto out = Run({"answer file " + data_.File("none.lis"), "command ID_LOAD_NAVAIDS",
                        "command ID_EXPORT_NAVAIDS"});
  EXPECT_EQ(out[1], Event("message", "Could not load scenery list from none.lis"));
  EXPECT_EQ(out[2], Event("message", "Please Load Navaids First\n"));
  EXPECT_EQ(doc().m_navaidCount, 0);
  EXPECT_TRUE(doc().m_ndbIdx.empty());
}

TEST_F(SceneryCommands, AListOfMoreThan2000FilesLoadsTheFirst2000) {
  const std::string a = Bgl("a.bgl", WithNdb());
  std::string list;
  for (int i = 0; i < 2001; ++i) list += a + "\n";
  WriteText(data_.File("big.lis"), list);
  const auto out = LoadList(data_.File("big.lis"));
  EXPECT_EQ(out.end()[-4],
            Event("message", "big.lis names 2001 bgl files: only the first 2000 were loaded"));
  EXPECT_EQ(doc().m_bglIndex, 2000);
  EXPECT_EQ(doc().m_navaidCount, 2000);
}

class NavaidExport : public SceneryCommands {
 protected:
  void SetUp() override {
    SceneryCommands::SetUp();
    CHalbricoDoc& d = doc();
    d.AddNavaid(NavaidKind::Ndb, 51.5, -0.25, 0, 355.5, "ABC", "ALPHA", 0, 0, 0);
    d.AddNavaid(NavaidKind::Vor, 0.5, 0.5, 0, 113.95, "SPL  ", "SCHIPHOL  ", 1.5, 0, 0);
    d.AddNavaid(NavaidKind::Ils, 52.25, 4.75, 6861, 110.55, "KAG", "EHAM 06", 1.5, 57.8, 0);
    d.AddNavaid(NavaidKind::Airport, 10.9999, 0, -3, 0, "", "Field  ", 0, 0, 0);
    d.AddNavaid(NavaidKind::Airport, -33.5, 151.25, 6, 0, "YSSY", "Sydney", 0, 0, 0);
    d.AddNavaid(NavaidKind::Runway, 52.25, 4.75, -3, 1, "9 ", "Runway", 148, 90.5, 11000.7);
    d.AddNavaid(NavaidKind::Runway, 52.25, 4.75, -3, 1, "27R", "Runway", 148, 90.6, 6000);
    d.AddNavaid(NavaidKind::OuterMarker, 52.2, 4.7, 0, 0, "LOM", "", 0, 0, 0);  // not exported
    d.RebuildIndexLists();
    d.m_navaidsLoaded = 1;
    SetCurrentDirectory(data_.path());
  }
};

TEST_F(NavaidExport, EveryFileHoldsTheLinesOfItsKind) {
  const auto out = Run({"command ID_EXPORT_NAVAIDS"});
  // The described message, then where the files went.
  std::string written = "Written: ";
  for (const char* name : {"Ndbs.txt", "fixes.txt", "Ilss.txt", "Apts.txt", "Vors.txt"}) {
    written += data_.File(name) + ", ";
  }
  written += data_.File("Rwys.txt");
  EXPECT_EQ(out, (std::vector<std::string>{
                     Event("message",
                           "Quarn has created the following files sucessfully!:    \nNdbs.txt    "
                           "Vors.txt\nFixes.txt    Apts.txt\nIlss.txt       Rwys.txt"),
                     Event("status", written)}));
  const std::pair<const char*, const char*> kFiles[] = {
      {"Ndbs.txt", "NDB,ABC,ALPHA,N51.30.00,W000.15.00,355\n"},
      {"fixes.txt", ""},
      {"Ilss.txt", "ILS,KAG,EHAM 06,N52.15.00,E004.45.00,110.55,3.00,58\n"},
      {"Apts.txt",
       "APT,,Field,N10.59.59,W000.00.00\n"
       "APT,YSSY,Sydney,S33.30.00,E151.15.00\n"},
      {"Vors.txt", "VOR,SPL,SCHIPHOL,N00.30.00,E000.30.00,113.95\n"},
      {"Rwys.txt",
       "RWY,9,N52.15.00,E004.45.00,-3,90,11000\n"
       "RWY,27R,N52.15.00,E004.45.00,-3,91,6000\n"},
  };
  for (const auto& [name, text] : kFiles) EXPECT_EQ(ReadText(data_.File(name)), text) << name;
}

TEST_F(NavaidExport, AFileThatCannotBeCreatedStopsTheExport) {
  fs::create_directory(data_.File("Ilss.txt"));
  const auto out = Run({"command ID_EXPORT_NAVAIDS"});
  EXPECT_EQ(out, std::vector<std::string>{Event("message", "Can\u00b4t open file Ilss.txt\n")});
  EXPECT_TRUE(fs::exists(data_.File("fixes.txt")));
  EXPECT_FALSE(fs::exists(data_.File("Apts.txt")));
}

}  // namespace
}  // namespace quarn::testing

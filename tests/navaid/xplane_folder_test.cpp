#include "navaid/xplane_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quarn {
namespace {

// An installation in a temporary folder: files are written with their folders.
class FakeXPlane {
 public:
  std::string Write(const std::string& relative,
                    const std::string& text = "I\n1100 Version\n99\n") {
    const std::filesystem::path path = std::filesystem::path(dir_.path()) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
    return path.string();
  }
  void MakeFolder(const std::string& relative) {
    std::filesystem::create_directories(std::filesystem::path(dir_.path()) / relative);
  }
  const std::string& path() const { return dir_.path(); }

 private:
  testing::TempDir dir_;
};

TEST(XPlaneFolder, ListsTheDataFilesInLoadOrder) {
  FakeXPlane xp;
  xp.Write("Resources/default data/earth_nav.dat");
  const std::string fix = xp.Write("Resources/default data/earth_fix.dat");
  const std::string nav = xp.Write("Custom Data/earth_nav.dat");
  const std::string global =
      xp.Write("Resources/default scenery/default apt dat/Earth nav data/apt.dat");
  const std::string first = xp.Write("Custom Scenery/First Airport/Earth nav data/apt.dat");
  xp.Write("Custom Scenery/Disabled Airport/Earth nav data/apt.dat");
  // Made elsewhere, spelt otherwise.
  const std::string third = xp.Write("Custom Scenery/Third Airport/Earth Nav Data/APT.DAT");
  xp.MakeFolder("Custom Scenery/Photo Mesh");
  xp.Write("Custom Scenery/scenery_packs.ini",
           "I\r\n1000 Version\r\nSCENERY\r\n\r\n"
           "SCENERY_PACK Custom Scenery/First Airport/\r\n"
           "SCENERY_PACK_DISABLED Custom Scenery/Disabled Airport/\r\n"
           "SCENERY_PACK Custom Scenery/Photo Mesh/\r\n"
           "SCENERY_PACK Custom Scenery/Third Airport/\r\n"
           "SCENERY_PACK Custom Scenery/First Airport/\r\n");
  std::vector<std::string> problems;
  EXPECT_TRUE(IsXPlaneFolder(xp.path()));
  EXPECT_EQ(XPlaneDataFiles(xp.path(), problems),
            (std::vector<std::string>{nav, fix, global, third, first}));
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST(XPlaneFolder, PrefersTheNewerGlobalAirportsAndReportsWhatIsMissing) {
  FakeXPlane xp;
  const std::string nav = xp.Write("Resources/default data/earth_nav.dat");
  xp.Write("Resources/default scenery/default apt dat/Earth nav data/apt.dat");
  const std::string global = xp.Write("Global Scenery/Global Airports/Earth nav data/apt.dat");
  const std::string pack = xp.Write("Custom Scenery/Pack/Earth nav data/apt.dat");
  xp.Write("Custom Scenery/scenery_packs.ini",
           "I\n1000 Version\nSCENERY\n\nSCENERY_PACK *GLOBAL_AIRPORTS*\n"
           "SCENERY_PACK Custom Scenery/Gone/\nSCENERY_PACK Custom Scenery/Pack/\n");
  std::vector<std::string> problems;
  EXPECT_EQ(XPlaneDataFiles(xp.path(), problems), (std::vector<std::string>{nav, global, pack}));
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0], xp.path() + "/Resources/default data: no earth_fix.dat");
  EXPECT_EQ(problems[1], xp.path() +
                             "/Custom Scenery/scenery_packs.ini, line 6: no scenery pack "
                             "folder " +
                             xp.path() + "/Custom Scenery/Gone");
}

TEST(XPlaneFolder, AFolderWithoutTheDefaultNavDataIsNoInstallation) {
  FakeXPlane xp;
  EXPECT_FALSE(IsXPlaneFolder(xp.path()));
  xp.Write("Custom Data/earth_nav.dat");
  EXPECT_FALSE(IsXPlaneFolder(xp.path()));
  xp.MakeFolder("Resources/default data/earth_nav.dat");
  EXPECT_FALSE(IsXPlaneFolder(xp.path()));
}

}  // namespace
}  // namespace quarn

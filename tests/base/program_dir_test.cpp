#include "base/program_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "support/temp_dir.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
using quarn::testing::TempDir;

TEST(ProgramDirectory, UserDataDirectoryFollowsXdgThenHome) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
      {"/x/data", "/home/u", "/x/data/quarn"},
      {"/x/data/", "/home/u", "/x/data/quarn"},
      {nullptr, "/home/u", "/home/u/.local/share/quarn"},
      {"", "/home/u", "/home/u/.local/share/quarn"},      // empty counts as unset
      {"data", "/home/u", "/home/u/.local/share/quarn"},  // so does a relative one
      {nullptr, "/home/u/", "/home/u/.local/share/quarn"},
      {nullptr, nullptr, ""},
      {nullptr, "home", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.xdg ? c.xdg : "(unset)") + " " + (c.home ? c.home : "(unset)"));
    EXPECT_EQ(UserDataDirectory(c.xdg, c.home), c.expected);
  }
}

TEST(ProgramDirectory, AnExecutableDirectoryThatCannotBeWrittenGivesWayToTheUsers) {
  TempDir tmp;
  const std::string exeDir = tmp.File("bin");
  fs::create_directory(exeDir);
  std::ofstream(tmp.File("plain-file")) << "x";
  struct Case {
    std::string exeDir;
    std::string userDir;
    std::string expected;
  };
  const Case cases[] = {
      {exeDir, tmp.File("a/quarn"), exeDir},                                     // writable: stays
      {tmp.File("gone"), tmp.File("b/share/quarn"), tmp.File("b/share/quarn")},  // made
      {tmp.File("gone"), "", tmp.File("gone")},                                  // no user's
      {tmp.File("gone"), tmp.File("plain-file/quarn"), tmp.File("gone")},        // cannot be made
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exeDir + " " + c.userDir);
    EXPECT_EQ(WritableDataDirectory(c.exeDir, c.userDir), c.expected);
  }
  EXPECT_FALSE(fs::exists(tmp.File("a")));  // made only when needed
  EXPECT_TRUE(fs::is_directory(tmp.File("b/share/quarn")));
}

// Only where permissions bind (not as root) can a directory that exists be unwritable.
TEST(ProgramDirectory, AReadOnlyExecutableDirectoryGivesWayToTheUsers) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
  TempDir tmp;
  const std::string exeDir = tmp.File("bin");
  fs::create_directory(exeDir);
  fs::permissions(exeDir, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(WritableDataDirectory(exeDir, tmp.File("quarn")), tmp.File("quarn"));
  fs::permissions(exeDir, fs::perms::owner_all);
}

TEST(ProgramDirectory, ExplicitThenEnvironmentThenTheExecutablesDirectory) {
  const char* saved = std::getenv("QUARN_DATA_DIR");
  const std::optional<std::string> savedEnv =
      saved ? std::optional<std::string>(saved) : std::nullopt;
  const std::string cwd = fs::current_path().string();
  const std::string exeDir = fs::read_symlink("/proc/self/exe").parent_path().string();
  struct Case {
    const char* explicitDir;
    const char* env;  // nullptr: unset
    std::string expected;
  };
  const Case cases[] = {
      {"/data/one", "/data/two", "/data/one"},
      {"", "/data/two", "/data/two"},
      {"", "/data/two/../three/", "/data/three/"},
      {"rel", nullptr, cwd + "/rel"},
      {"", "", exeDir},       // an empty variable counts as unset
      {"", nullptr, exeDir},  // the build directory can be written
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.explicitDir) + " " + (c.env ? c.env : "(unset)"));
    if (c.env != nullptr) {
      setenv("QUARN_DATA_DIR", c.env, 1);
    } else {
      unsetenv("QUARN_DATA_DIR");
    }
    EXPECT_EQ(ResolveProgramDirectory(c.explicitDir, "/elsewhere/quarn"), c.expected);
  }
  if (savedEnv) {
    setenv("QUARN_DATA_DIR", savedEnv->c_str(), 1);
  } else {
    unsetenv("QUARN_DATA_DIR");
  }
}

}  // namespace
}  // namespace quarn

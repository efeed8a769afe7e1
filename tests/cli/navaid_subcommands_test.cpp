// quarn-cli group, load and export-navaids end to end.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace {

using quarn::testing::TempDir;

int RunCli(const std::string& args) {
  const std::string command = std::string(QUARN_CLI_PATH) + " " + args + " >/dev/null 2>&1";
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in.is_open()) << path;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(QuarnCliNavaids, GroupThenExportWritesTheListAndTheNavaidFiles) {
  TempDir dir;
  const std::string data = " --data-dir " + dir.path();
  std::filesystem::copy_file(QUARN_EXAMPLES_DIR "/quarn.fix", dir.File("quarn.fix"));
  ASSERT_EQ(RunCli("group Example " QUARN_EXAMPLES_DIR "/scenery --fs2000" + data), 0);
  EXPECT_EQ(ReadText(dir.File("example.lis")),
            QUARN_EXAMPLES_DIR "/scenery/amsterdam_fs2000.bgl\n");
  ASSERT_EQ(RunCli("export-navaids " + dir.File("example.lis") + data), 0);
  EXPECT_EQ(ReadText(dir.File("fixes.txt")),
            "WPT,ARTIP,N52.30.35,E005.34.09\n"
            "WPT,SUGOL,N52.31.36,E003.58.02\n"
            "WPT,RIVER,N51.54.43,E004.08.00\n"
            "WPT,ANDIK,N52.44.21,E005.16.03\n");
  EXPECT_EQ(ReadText(dir.File("Ilss.txt")), "ILS,KAG,KAG,N52.18.16,E004.46.39,110.55,3.00,58\n");
}

TEST(QuarnCliNavaids, BadArgumentsGiveStatusTwo) {
  for (const char* args :
       {"group onlyname", "load", "load a.lis --recurse", "export-navaids a b", "group g#x /tmp"}) {
    EXPECT_EQ(RunCli(args), 2) << args;
  }
}

}  // namespace

// quarn-cli group, load and export-navaids end to end.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

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

// The output of a subcommand and its exit status.
std::pair<int, std::string> RunCliOutput(const std::string& args) {
  const std::string command = std::string(QUARN_CLI_PATH) + " " + args + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int raw = ::pclose(pipe);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out};
}

// The subcommands call the program's routines: no dialog is answered on the way, what
// they tell is the transcript, and what fails is exit status 1.
TEST(QuarnCliNavaids, SubcommandsAnswerNoDialogAndFailWithStatusOne) {
  TempDir dir;
  const std::string data = " --data-dir " + dir.path();
  std::filesystem::copy_file(QUARN_EXAMPLES_DIR "/quarn.fix", dir.File("quarn.fix"));
  const struct {
    std::string args;
    int status;
    std::string lastLine;
  } cases[] = {
      {"group Example " QUARN_EXAMPLES_DIR "/scenery" + data, 0,
       R"({"event":"message","text":"1 files found and added to scenery list example.lis"})"},
      {"group example.LIS " QUARN_EXAMPLES_DIR "/scenery" + data, 1,
       R"({"event":"message","text":"example.lis already exists, please choose other!"})"},
      {"group other " + dir.File("nowhere") + data, 1,
       R"({"event":"message","text":")" + dir.File("nowhere") + R"( is not a valid directory"})"},
      {"load " + dir.File("example.lis") + data, 0,
       R"({"event":"status","text":"26 Navaids and 4 Fixes in memory"})"},
      {"load " + dir.File("missing.lis") + data, 1,
       R"({"event":"message","text":"Could not load scenery list from missing.lis"})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const auto [status, out] = RunCliOutput(c.args);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(out.find("\"dialog\""), std::string::npos) << out;
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.substr(out.rfind('\n', out.size() - 2) + 1), c.lastLine + "\n");
  }
}

TEST(QuarnCliNavaids, BadArgumentsGiveStatusTwo) {
  for (const char* args :
       {"group onlyname", "load", "load a.lis --recurse", "export-navaids a b", "group g#x /tmp"}) {
    EXPECT_EQ(RunCli(args), 2) << args;
  }
}

}  // namespace

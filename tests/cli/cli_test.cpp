// quarn-cli end to end: the binary, a script, its transcript and exit status.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace {

using quarn::testing::TempDir;

struct Result {
  int status = -1;
  std::string out;
};

Result RunCli(const std::string& args) {
  Result r;
  const std::string command = std::string(QUARN_CLI_PATH) + " " + args + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  std::array<char, 4096> buf{};
  while (std::fgets(buf.data(), static_cast<int>(buf.size()), pipe) != nullptr) r.out += buf.data();
  const int raw = ::pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

// Runs quarn-cli with the shell's environment prefix and keeps both output streams.
struct Streams {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Streams RunCliStreams(const std::string& envPrefix, const std::string& args) {
  TempDir dir;
  const std::string command = envPrefix + " " + QUARN_CLI_PATH + " " + args + " >" +
                              dir.File("out") + " 2>" + dir.File("err") + " </dev/null";
  Streams s;
  const int raw = std::system(command.c_str());
  s.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  s.out = ReadFile(dir.File("out"));
  s.err = ReadFile(dir.File("err"));
  return s;
}

std::string WriteScript(const TempDir& dir, const std::string& text) {
  const std::string path = dir.File("script.txt");
  std::ofstream(path) << text;
  return path;
}

TEST(QuarnCli, LoadsTheExampleRecordAndReportsTheResetState) {
  TempDir dir;
  const std::string script = WriteScript(dir,
                                         "# load the example flight\n"
                                         "answer file " QUARN_EXAMPLES_DIR
                                         "/flight.dat\n"
                                         "command 32771\n"
                                         "state\n"
                                         "key END\n"
                                         "command ID_ZOOM_IN\n"
                                         "state\n"
                                         "dump " +
                                             dir.File("screen.json") + "\n");
  const Result r = RunCli("run --data-dir " + dir.path() + " " + script);
  ASSERT_EQ(r.status, 0) << r.out;
  std::istringstream lines(r.out);
  std::string dialog, status, state1, state2;
  std::getline(lines, dialog);
  std::getline(lines, status);
  std::getline(lines, state1);
  std::getline(lines, state2);
  EXPECT_EQ(dialog, "{\"event\":\"dialog\",\"name\":\"open\",\"answer\":\"" QUARN_EXAMPLES_DIR
                    "/flight.dat\"}");
  EXPECT_NE(status.find("\"text\":\""), std::string::npos);
  EXPECT_NE(status.find(" Points (lat,lon) in memory\"}"), std::string::npos);
  EXPECT_NE(state1.find("\"g_chartMode\":0,\"g_windowFirst\":0,"), std::string::npos) << state1;
  EXPECT_NE(state1.find("\"g_cursorOffset\":0,\"g_trackFirst\":0,"), std::string::npos);
  EXPECT_NE(state1.find("\"g_zoomLevel\":1,"), std::string::npos);
  EXPECT_NE(state1.find("\"m_navaidsLoaded\":0"), std::string::npos);
  // The data directory comes last, after the fields that were there before it.
  EXPECT_NE(state1.find("\"height\":800,\"dataDir\":\"" + dir.path() + "\"}"), std::string::npos)
      << state1;
  // End puts the graph cursor at W - 100 of the default 1280-pixel client; a zoom in
  // then narrows both windows around the cursors.
  EXPECT_NE(state2.find("\"g_zoomLevel\":2,"), std::string::npos) << state2;
  std::ifstream json(dir.File("screen.json"));
  ASSERT_TRUE(json.good());
  std::string first;
  std::getline(json, first);
  EXPECT_EQ(first, "{\"width\":1280,\"height\":800,\"ops\":[");
}

TEST(QuarnCli, ExitStatusTwoForAnUnreadableScriptOrABadLine) {
  TempDir dir;
  EXPECT_EQ(RunCli("run " + dir.File("missing.txt")).status, 2);
  EXPECT_EQ(RunCli("run " + WriteScript(dir, "state\nfly away\nstate\n")).status, 2);
  EXPECT_EQ(RunCli("run " + WriteScript(dir, "key F13\n")).status, 2);
  EXPECT_EQ(RunCli("run " + WriteScript(dir, "command 99999\n")).status, 0);  // no handler: nothing
  EXPECT_EQ(RunCli("").status, 2);
}

TEST(QuarnCli, SizeOptionAndStdinScript) {
  const Result viaStdin = RunCli("run - < /dev/null");
  EXPECT_EQ(viaStdin.status, 0);
  TempDir dir;
  const Result sized = RunCli("run --size 640x480 " + WriteScript(dir, "state\n"));
  ASSERT_EQ(sized.status, 0);
  EXPECT_NE(sized.out.find("\"width\":640,\"height\":480"), std::string::npos) << sized.out;
}

constexpr const char* kUsageStart = "usage: quarn-cli run [--size WxH] [--data-dir DIR] SCRIPT\n";

TEST(QuarnCli, HelpAndVersionOnStandardOutputAWrongCallOnStandardError) {
  struct Case {
    const char* args;
    int status;
    bool usageOnOut;  // else on standard error
  };
  const Case cases[] = {
      {"--help", 0, true},     {"-h", 0, true},
      {"run --help", 0, true}, {"run -h", 0, true},
      {"", 2, false},          {"--bogus", 2, false},
      {"run", 2, false},       {"--help extra", 2, false},
      {"help", 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const Streams s = RunCliStreams("", c.args);
    EXPECT_EQ(s.status, c.status);
    const std::string& usage = c.usageOnOut ? s.out : s.err;
    const std::string& other = c.usageOnOut ? s.err : s.out;
    EXPECT_EQ(usage.rfind(kUsageStart, 0), 0u) << usage;
    EXPECT_EQ(other, "");
  }
  const Streams version = RunCliStreams("", "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "quarn-cli " QUARN_VERSION "\n");
  EXPECT_EQ(version.err, "");
}

// Qt replaces a missing XDG_RUNTIME_DIR with a note on standard error as it starts;
// an empty QT_QPA_PLATFORM is taken as unset, not as a request for a display.
TEST(QuarnCli, QtStartUpNotesStayOutOfTheOutput) {
  for (const char* env : {"env -u XDG_RUNTIME_DIR", "env -u XDG_RUNTIME_DIR QT_QPA_PLATFORM="}) {
    SCOPED_TRACE(env);
    const Streams s = RunCliStreams(env, "run -");
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.out, "");
    EXPECT_EQ(s.err, "");
  }
}

}  // namespace

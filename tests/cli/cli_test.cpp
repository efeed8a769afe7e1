// quarn-cli end to end: the binary, a script, its transcript and exit status.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "support/bgl_writer.h"
#include "support/flight_record_writer.h"
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
  // The data directory after the fields that were there before it, then what the
  // flight's source recorded, derived or lacks, channel by channel.
  EXPECT_NE(state1.find("\"height\":800,\"dataDir\":\"" + dir.path() +
                        "\",\"channels\":{\"timestamp\":\"recorded\","),
            std::string::npos)
      << state1;
  EXPECT_NE(state1.find("\"groundspeed\":\"absent\",\"track\":\"absent\","
                        "\"vertical_rate\":\"derived\",\"onground\":\"absent\","),
            std::string::npos)
      << state1;
  EXPECT_NE(state1.find("\"gear\":\"recorded\",\"fuel\":\"recorded\"}}"), std::string::npos);
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

// Sizes of 1 to 32767 and points with 16-bit coordinates: anything else is a line
// that cannot be parsed, before any pixel arithmetic could overflow.
TEST(QuarnCli, OutOfRangeSizesAndPointsAreRefused) {
  TempDir dir;
  const struct {
    const char* args;
    const char* script;
    int status;
  } cases[] = {
      {"", "size 0 10\n", 2},
      {"", "size 32768 10\n", 2},
      {"", "size 400000000 400000000\n", 2},
      {"", "click -2147483648 5\n", 2},
      {"", "click 5 32768\n", 2},
      {"", "rclick 40000 1\n", 2},
      {"", "size 32767 1\nclick -32768 32767\nrclick 32767 -32768\n", 0},
      {"--size 0x5 ", "state\n", 2},
      {"--size 32768x10 ", "state\n", 2},
      {"--size 640x480x ", "state\n", 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunCli(std::string("run ") + c.args + WriteScript(dir, c.script)).status, c.status)
        << c.args << c.script;
  }
}

// A file the script asks for that cannot be written is an error line and exit
// status 1; the lines after it still run.
TEST(QuarnCli, FailedWritesAreErrorsWithStatusOne) {
  TempDir dir;
  for (const char* name : {"full.json", "full.png", "full.svg", "full.pdf", "full.jsonl"}) {
    const std::string target = dir.File(name);
    std::filesystem::create_symlink("/dev/full", target);
    const std::string line = std::string(name) == "full.jsonl"
                                 ? "parse " QUARN_EXAMPLES_DIR
                                   "/scenery/amsterdam_old.bgl\nnavaids "
                                 : "dump ";
    const Result r = RunCli("run " + WriteScript(dir, line + target + "\nstate\n"));
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_NE(r.out.find("{\"event\":\"error\",\"text\":\"cannot write " + target + "\"}\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("{\"event\":\"state\""), std::string::npos) << name;
  }
}

// A data directory that does not exist is refused before the script runs.
TEST(QuarnCli, AMissingDataDirectoryIsAnError) {
  TempDir dir;
  const Result r =
      RunCli("run --data-dir " + dir.File("nowhere") + " " + WriteScript(dir, "state\n"));
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  ::setenv("QUARN_DATA_DIR", dir.File("nowhere").c_str(), 1);
  const Result env = RunCli("run " + WriteScript(dir, "state\n"));
  ::unsetenv("QUARN_DATA_DIR");
  EXPECT_EQ(env.status, 2);
}

// magvar.nav that cannot be written is named in a message; the grid stays in use.
TEST(QuarnCli, AMagvarNavThatCannotBeWrittenIsReported) {
  TempDir dir;
  quarn::testing::BglContent c;
  c.magVarGrid = std::vector<std::uint16_t>(65160, 0x100);
  const std::string bgl = dir.File("grid.bgl");
  ASSERT_TRUE(quarn::testing::WriteBytes(bgl, quarn::testing::BuildBgl(c)));
  std::filesystem::create_symlink("/dev/full", dir.File("magvar.nav"));
  const Result r =
      RunCli("run --data-dir " + dir.path() + " " + WriteScript(dir, "parse " + bgl + "\nstate\n"));
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("{\"event\":\"message\",\"text\":\"Can\u00b4t write " +
                       dir.File("magvar.nav") + "\"}"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"m_magVarLoaded\":1"), std::string::npos);
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

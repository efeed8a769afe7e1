// The script lines that compare a second flight, through quarn-cli: what they draw,
// and how a line that cannot be parsed or a file that cannot be read is told.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace quarn::testing {
namespace {

struct Output {
  int status = -1;
  std::string all;  // standard output and standard error
};

Output RunScript(const TempDir& dir, const std::string& script) {
  const std::string path = dir.File("compare.quarn");
  std::ofstream(path) << script;
  Output r;
  FILE* pipe =
      ::popen((std::string(QUARN_CLI_PATH) + " run --data-dir " + dir.path() + " " + path + " 2>&1")
                  .c_str(),
              "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) r.all.append(buffer, n);
  const int raw = ::pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string kOpen = "answer file " QUARN_EXAMPLES_DIR
                          "/flight.dat\n"
                          "command ID_SELECT_RECORD_FILE\n";
constexpr const char* kMagenta = "\"color\":[255,0,255]";

TEST(CompareScript, LinesThatCannotBeParsedStopTheScript) {
  TempDir dir;
  struct Case {
    const char* line;
    const char* error;
  };
  const Case cases[] = {
      {"compare", "line 3: compare needs FILE [start|takeoff|touchdown]"},
      {"compare   takeoff", "line 3: compare needs FILE [start|takeoff|touchdown]"},
      {"end", "line 3: unknown line: end"},
      {"end comparing", "line 3: unknown line: end comparing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Output r = RunScript(dir, kOpen + c.line + "\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.all.find(c.error), std::string::npos) << r.all;
  }
}

TEST(CompareScript, ComparesDrawsAndEnds) {
  TempDir dir;
  const Output r = RunScript(
      dir, kOpen + "command ID_GRAPH_ALTITUDE\n" + "dump " + dir.File("alone.json") +
               "\ncompare " QUARN_EXAMPLES_DIR "/flight.dat takeoff\n" + "dump " +
               dir.File("both.json") + "\nend compare\n" + "dump " + dir.File("ended.json") + "\n");
  ASSERT_EQ(r.status, 0) << r.all;
  const std::string alone = ReadAll(dir.File("alone.json"));
  EXPECT_EQ(alone.find(kMagenta), std::string::npos);
  EXPECT_NE(ReadAll(dir.File("both.json")).find(kMagenta), std::string::npos);
  EXPECT_EQ(ReadAll(dir.File("ended.json")), alone);
}

TEST(CompareScript, AFileThatCannotBeReadIsAMessageAndTheScriptGoesOn) {
  TempDir dir;
  const Output r = RunScript(dir, kOpen + "compare " + dir.File("missing.dat") +
                                      " start\ncommand ID_GRAPH_ALTITUDE\ndump " +
                                      dir.File("alone.json") + "\n");
  ASSERT_EQ(r.status, 0) << r.all;
  EXPECT_NE(r.all.find("{\"event\":\"message\""), std::string::npos) << r.all;
  EXPECT_EQ(ReadAll(dir.File("alone.json")).find(kMagenta), std::string::npos);
}

}  // namespace
}  // namespace quarn::testing

// quarn-cli's navaid script lines, end to end.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/bgl_writer.h"
#include "support/flight_record_writer.h"

namespace {

namespace fs = std::filesystem;

class NavaidScript : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quarn_cli_navaid_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs a script; the transcript lines.
  std::vector<std::string> Run(const std::string& script, int* status = nullptr) {
    const fs::path scriptPath = dir_ / "script.txt";
    std::ofstream(scriptPath) << script;
    const std::string cmd = "cd '" + dir_.string() + "' && '" + QUARN_CLI_PATH +
                            "' run --data-dir '" + dir_.string() + "' '" + scriptPath.string() +
                            "' 2>/dev/null";
    std::vector<std::string> lines;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (p == nullptr) return lines;
    std::string line;
    for (int c; (c = std::fgetc(p)) != EOF;) {
      if (c == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += static_cast<char>(c);
      }
    }
    const int rc = ::pclose(p);
    if (status) *status = WEXITSTATUS(rc);
    return lines;
  }
  std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in.is_open()) << path;
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
  }

  fs::path dir_;
};

TEST_F(NavaidScript, ParseNavaidsMagvarAndState) {
  using namespace quarn::testing;
  BglContent c;
  c.ndbs = {{52.5, 4.25, 389.5, -12, 25, "CH", "SCHIPHOL", 0}};
  OldVorIls v;
  v.frequencyMhz = 113.95;
  v.magVarDeg = 1.5;
  v.ident = "ABCDE";
  v.name = "VOR";
  c.vorIls = {v};
  ASSERT_TRUE(WriteBytes((dir_ / "one.bgl").string(), BuildBgl(c)));
  const std::string examples = std::string(QUARN_EXAMPLES_DIR) + "/scenery/";
  int status = -1;
  const auto out =
      Run("parse one.bgl\n"
          "parse " +
              examples +
              "amsterdam_fs2000.bgl\n"
              "parse missing.bgl\n"
              "magvar 0 0\n"
              "state\n"
              "navaids nav.jsonl\n",
          &status);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], "{\"event\":\"message\",\"text\":\"Could not open " +
                        (dir_ / "missing.bgl").string() + "\\n\"}");
  EXPECT_EQ(out[1], "{\"event\":\"magvar\",\"value\":1.4996337890625}");  // the nearest VOR's
  for (const char* field :
       {"\"m_navaidCount\":28,", "\"m_magVarLoaded\":0,", "\"m_bglIndex\":3,", "\"m_runwayIdx\":8,",
        "\"m_ilsIdx\":1,", "\"m_vorIdx\":6,", "\"m_ndbIdx\":4,", "\"m_markerIdx\":0,",
        "\"m_airportIdx\":7,", "\"m_atisIdx\":2,", "\"m_fixIdx\":0,"}) {
    EXPECT_NE(out[2].find(field), std::string::npos) << field << " in " << out[2];
  }
  const auto nav = ReadLines(dir_ / "nav.jsonl");
  ASSERT_EQ(nav.size(), 28u);
  EXPECT_EQ(nav[0],
            "{\"kind\":1,\"latitude\":52.499998500262457,\"longitude\":4.2499923706054688,"
            "\"intValue\":-12,\"frequency\":389.5,\"ident\":\"CH\",\"name\":\"SCHIPHOL\","
            "\"magVar\":0,\"course\":0,\"extra\":51.200000000000003,\"fileIndex\":0,"
            "\"source\":\"bgl\"}");
  EXPECT_NE(nav[1].find("\"ident\":\"ABCDE\""), std::string::npos);
  EXPECT_NE(nav[2].find("\"fileIndex\":1"), std::string::npos);
}

TEST_F(NavaidScript, BadLinesStopTheScript) {
  for (const char* line : {"magvar 1\n", "magvar a b\n", "navaids\n", "parse\n"}) {
    int status = -1;
    Run(line, &status);
    EXPECT_EQ(status, 2) << line;
  }
}

}  // namespace

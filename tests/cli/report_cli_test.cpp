// quarn-cli report end to end: the example flight's report has one page a chart
// (pdfinfo), none of them blank (pdftoppm), the reason for charts left out on the
// first page, and a failed export says so and leaves nothing behind.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quarn::testing {
namespace {

struct CliRun {
  int status = -1;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a shell command with its standard error kept in a file of the scratch folder.
CliRun Shell(const TempDir& scratch, const std::string& command) {
  const std::string errFile = scratch.File("stderr");
  const int raw = std::system((command + " >/dev/null 2>" + errFile + " </dev/null").c_str());
  CliRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = ReadFile(errFile);
  std::filesystem::remove(errFile);
  return r;
}

CliRun Report(const TempDir& scratch, const std::string& args) {
  return Shell(scratch, std::string(QUARN_CLI_PATH) + " report " + args);
}

int PdfPages(const TempDir& scratch, const std::string& pdf) {
  const std::string info = scratch.File("info.txt");
  if (std::system(("pdfinfo '" + pdf + "' >" + info).c_str()) != 0) return -1;
  std::istringstream lines(ReadFile(info));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Pages:", 0) == 0) return std::stoi(line.substr(6));
  }
  return -1;
}

// A grey page of pdftoppm's -gray output (binary PGM).
struct GreyPage {
  int width = 0, height = 0;
  std::string pixels;
};

GreyPage ReadPgm(const std::string& path) {
  std::istringstream in(ReadFile(path));
  std::string magic;
  int maxValue = 0;
  GreyPage page;
  in >> magic >> page.width >> page.height >> maxValue;
  in.get();
  page.pixels.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return page;
}

// Pages with no dark pixel below the header band (20 dots an inch: the margin,
// the header and the note take the top 20 rows).
std::vector<int> BlankPages(const TempDir& scratch, const std::string& pdf, int pages) {
  std::vector<int> blank;
  if (std::system(("pdftoppm -r 20 -gray '" + pdf + "' " + scratch.File("page")).c_str()) != 0) {
    return {-1};
  }
  for (int p = 1; p <= pages; ++p) {
    // pdftoppm pads the page number to the width of the last one.
    char name[32];
    std::snprintf(name, sizeof name, pages >= 10 ? "page-%02d.pgm" : "page-%d.pgm", p);
    const GreyPage page = ReadPgm(scratch.File(name));
    bool inked = false;
    for (int y = 20; y < page.height && !inked; ++y) {
      for (int x = 0; x < page.width && !inked; ++x) {
        const auto at = static_cast<std::size_t>(y * page.width + x);
        inked = at < page.pixels.size() && static_cast<unsigned char>(page.pixels[at]) < 160;
      }
    }
    if (!inked) blank.push_back(p);
  }
  return blank;
}

std::string PageText(const TempDir& scratch, const std::string& pdf, int page) {
  const std::string text = scratch.File("text.txt");
  const std::string n = std::to_string(page);
  [[maybe_unused]] const int status =
      std::system(("pdftotext -f " + n + " -l " + n + " '" + pdf + "' " + text).c_str());
  return ReadFile(text);
}

// The example scenery grouped into a list in the data folder, with or without quarn.fix.
std::string MakeSceneryList(const TempDir& data, bool withFixes) {
  if (withFixes) {
    std::filesystem::copy_file(QUARN_EXAMPLES_DIR "/quarn.fix", data.File("quarn.fix"));
  }
  const std::string command = std::string(QUARN_CLI_PATH) + " group example " +
                              QUARN_EXAMPLES_DIR "/scenery --data-dir " + data.path() +
                              " >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return data.File("example.lis");
}

TEST(ReportCli, TheExampleFlightHasAPageForEveryChartAndNoBlankPage) {
  TempDir data;
  const std::string list = MakeSceneryList(data, true);
  struct Case {
    std::string options;
    int pages;
    std::string firstPageNote;
  };
  const std::vector<Case> cases = {
      // Without a list no runway is known: summaries, seven graphs and the track chart.
      {"", 10, "Approach views left out: no navaids were loaded, so no runway is known."},
      // With the list the landing runway is found: both approach views and the debrief
      // join.
      {"--data-dir " + data.path() + " --scenery " + list, 13, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    TempDir out;
    const std::string pdf = out.File("flight report.pdf");
    const CliRun r = Report(out, c.options + " " QUARN_EXAMPLES_DIR "/flight.dat '" + pdf + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("report: 100%"), std::string::npos) << r.err;
    const int pages = PdfPages(out, pdf);
    EXPECT_EQ(pages, c.pages);
    EXPECT_EQ(BlankPages(out, pdf, pages), std::vector<int>{});

    const std::string first = PageText(out, pdf, 1);
    EXPECT_NE(first.find("flight.dat \u2014 General Summary"), std::string::npos) << first;
    EXPECT_NE(first.find("Page 1 of " + std::to_string(c.pages)), std::string::npos) << first;
    EXPECT_EQ(first.find("Approach views left out") != std::string::npos, !c.firstPageNote.empty());
    if (!c.firstPageNote.empty()) {
      EXPECT_NE(first.find(c.firstPageNote), std::string::npos);
    }
    const std::string track = PageText(out, pdf, 10);
    EXPECT_NE(track.find("Track Chart"), std::string::npos) << track;
  }
}

TEST(ReportCli, AMissingFixesFileIsAWarningOnly) {
  TempDir data;
  const std::string list = MakeSceneryList(data, false);
  TempDir out;
  const CliRun r = Report(out, "--data-dir " + data.path() + " --scenery " + list +
                                   " " QUARN_EXAMPLES_DIR "/flight.dat " + out.File("r.pdf"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("quarn-cli: warning: Could not load quarn.fix (fixes file)"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(std::filesystem::exists(out.File("r.pdf")));
}

TEST(ReportCli, AFailedExportSaysWhyAndLeavesNothing) {
  TempDir out;
  std::ofstream(out.File("plain")) << "x";
  std::filesystem::create_directory(out.File("locked"));
  std::filesystem::permissions(
      out.File("locked"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  struct Case {
    std::string args;
    int status;
    std::string message;
  };
  const std::string record = QUARN_EXAMPLES_DIR "/flight.dat ";
  std::vector<Case> cases = {
      {record + out.File("missing/r.pdf"), 1,
       "cannot write " + out.File("missing/r.pdf") + ": the folder " + out.File("missing") +
           " does not exist"},
      {record + out.File("plain/r.pdf"), 1, out.File("plain") + " is not a folder"},
      {record + out.File("locked"), 1, "it is a folder"},
      {out.File("gone.dat ") + out.File("r.pdf"), 1, "cannot open"},
      {"--scenery " + out.File("gone.lis ") + record + out.File("r.pdf"), 1,
       "quarn-cli: cannot load the scenery list " + out.File("gone.lis")},
      {record, 2, "usage: quarn-cli report"},
  };
  // Root writes into a folder without write permission: only others can test that.
  if (::geteuid() != 0) {
    cases.push_back({record + out.File("locked/r.pdf"), 1, "the folder is not writable"});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CliRun r = Report(out, c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  std::vector<std::string> left;
  for (const auto& e : std::filesystem::recursive_directory_iterator(out.path())) {
    left.push_back(e.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"locked", "plain"}));
}

}  // namespace
}  // namespace quarn::testing

// quarn-cli: the program driven by a script, without a window.

#include <QGuiApplication>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <span>
#include <sstream>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "app/flight_report.h"
#include "app/logbook.h"
#include "base/format.h"
#include "base/program_dir.h"
#include "charts/approach_debrief.h"
#include "charts/approach_debrief_json.h"
#include "cli/script_host.h"
#include "navaid/navaid_export.h"
#include "navaid/navaid_load.h"
#include "navaid/scenery_group.h"
#include "platform/file_services.h"
#include "platform/file_writer.h"
#include "platform/headless/transcript.h"
#include "platform/qt/image_export.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/report_pdf.h"
#include "record/flight_phases_json.h"
#include "record/flight_reader.h"
#include "record/track_export.h"

namespace {

constexpr const char* kUsage =
    "usage: quarn-cli run [--size WxH] [--data-dir DIR] SCRIPT\n"
    "       SCRIPT is a file, or - for standard input\n"
    "       quarn-cli group NAME DIR [--recurse] [--fs2000] [--data-dir DIR]\n"
    "       quarn-cli load LIST [--data-dir DIR]\n"
    "       quarn-cli export-navaids LIST [--data-dir DIR]\n"
    "       quarn-cli export-track RECORD OUT.gpx|OUT.kml|OUT.csv [--columns MAP.json]\n"
    "       quarn-cli debrief RECORD --scenery LIST [--data-dir DIR] [--columns MAP.json]\n"
    "       quarn-cli phases RECORD [--columns MAP.json]\n"
    "       quarn-cli logbook PATH... [--scenery LIST] [--data-dir DIR] [--csv OUT | --json OUT]\n"
    "       quarn-cli logbook --stdin [--scenery LIST] [--data-dir DIR]\n"
    "       quarn-cli report RECORD [--scenery LIST] [--data-dir DIR] [--columns MAP.json] "
    "OUT.pdf\n"
    "       RECORD: a flight of any supported format (.dat, GPX, KML, IGC, CSV, JSON; .gz too)\n"
    "       quarn-cli --help | --version\n";

// A wrong call: the usage on standard error.
int Usage() {
  std::cerr << kUsage;
  return 2;
}

// Asked for: the usage on standard output.
int Help() {
  std::cout << kUsage;
  return 0;
}

int Version() {
  std::cout << "quarn-cli " QUARN_VERSION "\n";
  return 0;
}

bool IsHelp(std::string_view arg) {
  return arg == "--help" || arg == "-h";
}

// Qt's notes while it starts (such as a missing XDG_RUNTIME_DIR, which it replaces
// by a directory of its own) are no business of a script's user; its errors are.
QtMessageHandler g_qtHandler = nullptr;

void DropStartupNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtCriticalMsg && type != QtFatalMsg) return;
  if (g_qtHandler != nullptr) {
    g_qtHandler(type, context, text);
  } else {
    std::cerr << text.toStdString() << '\n';
  }
}

bool ParseSize(const std::string& s, int& w, int& h) {
  char end = 0;
  return std::sscanf(s.c_str(), "%dx%d%c", &w, &h, &end) == 2 && quarn::IsClientSize(w) &&
         quarn::IsClientSize(h);
}

// The data directory asked for (or the default one); nothing, with a message, when
// the one asked for does not exist.
std::optional<std::string> DataDirectory(const std::string& dataDir, const char* argv0) {
  if (const std::string missing = quarn::MissingDataDirectory(dataDir); !missing.empty()) {
    std::cerr << "quarn-cli: the data directory " << missing << " does not exist\n";
    return std::nullopt;
  }
  return quarn::ResolveProgramDirectory(dataDir, argv0);
}

// A path as the user named it, taken from the directory quarn-cli was started in.
std::string FullPath(const std::string& path) {
  if (!path.empty() && path.front() == quarn::kPathSeparator) return path;
  return quarn::JoinPath(quarn::CurrentDirectory(), path);
}

int RunCommand(const std::vector<std::string>& args, const char* argv0) {
  int width = 1280, height = 800;
  std::string dataDir, scriptPath;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--size" && i + 1 < args.size()) {
      if (!ParseSize(args[++i], width, height)) return Usage();
    } else if (args[i] == "--data-dir" && i + 1 < args.size()) {
      dataDir = args[++i];
    } else if (scriptPath.empty()) {
      scriptPath = args[i];
    } else {
      return Usage();
    }
  }
  if (scriptPath.empty()) return Usage();

  const auto data = DataDirectory(dataDir, argv0);
  if (!data) return 2;
  const std::string startDir = quarn::CurrentDirectory();

  quarn::QtTextMetrics metrics;
  quarn::ScriptHost host(metrics, std::cout, std::cerr, startDir, *data, width, height);
  host.SetImageExporter(quarn::ExportDisplayList);
  if (scriptPath == "-") return host.Run(std::cin);
  std::ifstream script(scriptPath);
  if (!script) {
    std::cerr << "cannot read script " << scriptPath << '\n';
    return 2;
  }
  return host.Run(script);
}

// ---- The subcommands: each calls the program's routines directly ----

// What a routine tells goes to standard error; status texts and captions are left out.
class StderrNotices : public quarn::Notices {
 public:
  void ShowMessage(const std::string& text, quarn::MessageKind) override {
    std::cerr << "quarn-cli: warning: " << text << '\n';
  }
  void SetStatusText(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  void SetTitle(const std::string&) override {}
};

// The transcript on standard output, as `run` writes it: messages, status texts and
// captions, one JSON object a line.
class TranscriptNotices : public quarn::Notices {
 public:
  TranscriptNotices() : transcript_(std::cout) {}
  void ShowMessage(const std::string& text, quarn::MessageKind) override {
    transcript_.Event("message", text);
  }
  void SetStatusText(const std::string& text) override { transcript_.Event("status", text); }
  void SetWaitCursor(bool) override {}
  void SetTitle(const std::string& text) override { transcript_.Event("title", text); }

 private:
  quarn::Transcript transcript_;
};

int NavaidUsage() {
  std::cerr << "usage: quarn-cli group NAME DIR [--recurse] [--fs2000] [--data-dir DIR]\n"
               "       quarn-cli load LIST [--data-dir DIR]\n"
               "       quarn-cli export-navaids LIST [--data-dir DIR]\n";
  return 2;
}

// Takes the options a subcommand knows out of args; false on an unknown option or a
// value a script line cannot carry (a line break, or '#', which starts a comment).
bool TakeOptions(std::vector<std::string>& args, std::string& dataDir,
                 std::vector<std::string> flags, std::vector<std::string>& flagsSeen) {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--data-dir" && i + 1 < args.size()) {
      dataDir = args[++i];
    } else if (a.rfind("--", 0) == 0) {
      if (std::find(flags.begin(), flags.end(), a) == flags.end()) return false;
      flagsSeen.push_back(a);
    } else if (a.find_first_of("\n#") != std::string::npos) {
      return false;
    } else {
      rest.push_back(a);
    }
  }
  args = rest;
  return true;
}

bool Has(const std::vector<std::string>& flags, const char* flag) {
  return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

// quarn-cli group NAME DIR [--recurse] [--fs2000]: defines a scenery list.
int GroupCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir;
  std::vector<std::string> flags;
  if (!TakeOptions(args, dataDir, {"--recurse", "--fs2000"}, flags) || args.size() != 2) {
    return NavaidUsage();
  }
  const auto data = DataDirectory(dataDir, argv0);
  if (!data) return 2;
  TranscriptNotices notices;
  const quarn::Result<std::string> name = quarn::NewGroupFileName(args[0], *data);
  if (!name) {
    notices.ShowMessage(name.error().message, quarn::MessageKind::Info);
    return 1;
  }
  const std::string directory = FullPath(args[1]);
  if (!quarn::IsDirectory(directory)) {
    notices.ShowMessage(quarn::Format("%s is not a valid directory", directory.c_str()),
                        quarn::MessageKind::Info);
    return 1;
  }
  quarn::CHalbricoDoc doc;
  doc.m_groupFile = *name;
  const quarn::BglSearchRequest where{directory, Has(flags, "--recurse"), Has(flags, "--fs2000")};
  return quarn::DefineGroup(doc, *data, where, notices) ? 0 : 1;
}

// Loads the navaids of a scenery list and the fixes, as Load Navaids does once the
// list is chosen; false, said on standard error, when the list cannot be read.
bool LoadList(quarn::CHalbricoDoc& doc, const std::string& list, const std::string& dataDir,
              quarn::Notices& notices) {
  quarn::SetCurrentDirectory(dataDir);
  quarn::LoadNavaids(doc, list, dataDir, notices);
  if (doc.m_navaidsLoaded == 1) return true;
  std::cerr << "quarn-cli: cannot load the scenery list " << list << '\n';
  return false;
}

// quarn-cli load LIST: loads the navaids of a scenery list and the fixes.
int LoadCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir;
  std::vector<std::string> flags;
  if (!TakeOptions(args, dataDir, {}, flags) || args.size() != 1) return NavaidUsage();
  const auto data = DataDirectory(dataDir, argv0);
  if (!data) return 2;
  TranscriptNotices notices;
  quarn::CHalbricoDoc doc;
  return LoadList(doc, FullPath(args[0]), *data, notices) ? 0 : 1;
}

// quarn-cli export-navaids LIST: loads a scenery list and writes the navaid files
// into the data directory.
int ExportNavaidsCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir;
  std::vector<std::string> flags;
  if (!TakeOptions(args, dataDir, {}, flags) || args.size() != 1) return NavaidUsage();
  const auto data = DataDirectory(dataDir, argv0);
  if (!data) return 2;
  TranscriptNotices notices;
  quarn::CHalbricoDoc doc;
  if (!LoadList(doc, FullPath(args[0]), *data, notices)) return 1;
  const quarn::Status written = quarn::ExportNavaids(doc, *data);
  notices.ShowMessage(written ? quarn::kNavaidExportDone : written.error, quarn::MessageKind::Info);
  return written ? 0 : 1;
}

// The flight at the path as the user named it, a delimited file's columns mapped by
// the map file when one is named; nothing, said on standard error, when it cannot be
// read.
std::optional<quarn::Flight> ReadFlightArgument(const std::string& path,
                                                const std::string& columns = "") {
  quarn::ReadOptions options;
  if (!columns.empty()) {
    const auto map = quarn::ReadWholeFile(FullPath(columns));
    if (!map) {
      std::cerr << "quarn-cli: cannot read the column map " << columns << '\n';
      return std::nullopt;
    }
    options.columnMap = *map;
  }
  quarn::Result<quarn::LoadedFlight> read = quarn::ReadFlight(FullPath(path), options);
  if (!read) {
    std::string why = read.error().message;
    while (!why.empty() && why.back() == '\n') why.pop_back();
    std::cerr << "quarn-cli: cannot open " << path << ": " << why << '\n';
    return std::nullopt;
  }
  for (const std::string& note : read->notes) std::cerr << "quarn-cli: warning: " << note << '\n';
  return std::move(read->flight);
}

// Takes "--columns MAP" out of the arguments; false when it has no value.
bool TakeColumns(std::vector<std::string>& args, std::string& columns) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--columns") continue;
    if (i + 1 >= args.size()) return false;
    columns = args[i + 1];
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    return true;
  }
  return true;
}

// quarn-cli export-track RECORD OUT: the flight's track as GPX, KML or CSV (by OUT's
// extension), for map viewers, globes and data tools.
int ExportTrackCommand(std::vector<std::string> args) {
  std::string columns;
  if (!TakeColumns(args, columns) || args.size() != 2) {
    std::cerr << "usage: quarn-cli export-track RECORD OUT.gpx|OUT.kml|OUT.csv "
                 "[--columns MAP.json]\n";
    return 2;
  }
  const auto flight = ReadFlightArgument(args[0], columns);
  if (!flight) return 1;
  const std::string error = quarn::ExportTrack(*flight, FullPath(args[1]));
  if (!error.empty()) {
    std::cerr << "quarn-cli: " << error << '\n';
    return 1;
  }
  return 0;
}

// quarn-cli debrief RECORD --scenery LIST: the approach debrief of the record's
// landing against the navaids of a scenery list, as one JSON object.
int DebriefCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir, list, columns;
  if (!TakeColumns(args, columns)) {
    std::cerr << "usage: quarn-cli debrief RECORD --scenery LIST [--data-dir DIR]\n";
    return 2;
  }
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--scenery" && i + 1 < args.size()) {
      list = args[++i];
    } else if (args[i] == "--data-dir" && i + 1 < args.size()) {
      dataDir = args[++i];
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.size() != 1 || list.empty() || rest[0].find_first_of("\n#") != std::string::npos ||
      list.find_first_of("\n#") != std::string::npos || rest[0].rfind("--", 0) == 0) {
    std::cerr << "usage: quarn-cli debrief RECORD --scenery LIST [--data-dir DIR]\n";
    return 2;
  }
  const auto data = DataDirectory(dataDir, argv0);
  if (!data) return 2;
  const auto flight = ReadFlightArgument(rest[0], columns);
  if (!flight) return 1;
  if (flight->sampleCount() == 0) {
    std::cerr << "quarn-cli: cannot read the record " << rest[0] << '\n';
    return 1;
  }
  quarn::CHalbricoDoc doc;
  StderrNotices notices;
  if (!LoadList(doc, FullPath(list), *data, notices)) return 1;
  std::cout << quarn::DebriefJson(quarn::DebriefApproach(doc, *flight), *flight) << '\n';
  return 0;
}

// quarn-cli phases RECORD: the flight's legs, take-offs, touchdowns, go-arounds and
// block times as one JSON object.
int PhasesCommand(std::vector<std::string> args) {
  std::string columns;
  if (!TakeColumns(args, columns) || args.size() != 1 || args[0].rfind("--", 0) == 0) {
    std::cerr << "usage: quarn-cli phases RECORD [--columns MAP.json]\n";
    return 2;
  }
  const auto flight = ReadFlightArgument(args[0], columns);
  if (!flight) return 1;
  std::cout << quarn::PhasesJson(quarn::FindFlightPhases(*flight), *flight) << '\n';
  return 0;
}

constexpr const char* kLogbookUsage =
    "usage: quarn-cli logbook PATH... [--scenery LIST] [--data-dir DIR] [--csv OUT | --json OUT]\n"
    "       quarn-cli logbook --stdin [--scenery LIST] [--data-dir DIR]\n";

// Ctrl+C (or SIGTERM) while the logbook reads stops the reading after the files in
// hand, so that what was read is printed and kept; a second one ends the program at
// once. Made before the reading starts its threads: they inherit the blocked signals,
// and only the watcher takes them.
class StopOnInterrupt {
 public:
  StopOnInterrupt() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
    watcher_ = std::jthread([this](std::stop_token done) { Watch(done); });
  }
  ~StopOnInterrupt() {
    watcher_.request_stop();
    watcher_.join();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  StopOnInterrupt(const StopOnInterrupt&) = delete;
  StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

  std::stop_token token() const { return stop_.get_token(); }
  // The shell's status for the signal taken, or 0 when none came.
  int ExitStatus() const { return taken_ == 0 ? 0 : 128 + taken_; }

 private:
  void Watch(const std::stop_token& done) {
    const timespec tick{0, 10'000'000};  // how soon the watcher sees it is done
    while (!done.stop_requested()) {
      const int signal = sigtimedwait(&signals_, nullptr, &tick);
      if (signal <= 0) continue;
      if (taken_ != 0) std::_Exit(128 + signal);
      taken_ = signal;
      stop_.request_stop();
      std::fprintf(stderr, "\nlogbook: stopping after the files being read (again to end now)\n");
    }
  }

  sigset_t signals_{};
  sigset_t previous_{};
  std::stop_source stop_;
  std::atomic<int> taken_{0};
  std::jthread watcher_;  // last: started once the rest is ready
};

// quarn-cli logbook --stdin: a JSON line for every leg of each flight named on
// standard input, as each is done; nothing kept. For engines that spread the paths
// over many machines.
int LogbookFromStdin(const quarn::CHalbricoDoc* navaids) {
  bool failed = false;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const std::string path = FullPath(line);
    const auto read = quarn::ReadLogbookFile(path, navaids);
    if (!read) {
      std::cout << quarn::LogbookFailureJsonLine({path, read.error().message}) << std::endl;
      failed = true;
      continue;
    }
    for (const auto& e : read->entries) {
      std::cout << quarn::LogbookJsonLine(e) << '\n';
    }
    std::cout.flush();
  }
  return failed ? 1 : 0;
}

// quarn-cli logbook PATH...: the logbook's entries of every flight under the paths,
// kept in the data directory's database so that the next run reads only what
// changed.
int LogbookCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir, list, csvOut, jsonOut;
  bool fromStdin = false;
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool valued = i + 1 < args.size();
    if (a == "--scenery" && valued) {
      list = args[++i];
    } else if (a == "--data-dir" && valued) {
      dataDir = args[++i];
    } else if (a == "--csv" && valued) {
      csvOut = args[++i];
    } else if (a == "--json" && valued) {
      jsonOut = args[++i];
    } else if (a == "--stdin") {
      fromStdin = true;
    } else if (a.rfind("--", 0) == 0) {
      std::cerr << kLogbookUsage;
      return 2;
    } else {
      paths.push_back(FullPath(a));
    }
  }
  if ((!csvOut.empty() && !jsonOut.empty()) || (fromStdin == !paths.empty()) ||
      (fromStdin && (!csvOut.empty() || !jsonOut.empty()))) {
    std::cerr << kLogbookUsage;
    return 2;
  }
  if (!csvOut.empty()) csvOut = FullPath(csvOut);
  if (!jsonOut.empty()) jsonOut = FullPath(jsonOut);
  // Paths from standard input are read one by one: an interrupt ends them as usual.
  std::optional<StopOnInterrupt> interrupt;
  if (!fromStdin) interrupt.emplace();
  const auto data = DataDirectory(dataDir, argv0);
  if (!data) return 2;
  quarn::CHalbricoDoc doc;
  const quarn::CHalbricoDoc* navaids = nullptr;
  if (!list.empty()) {
    StderrNotices notices;
    if (!LoadList(doc, FullPath(list), *data, notices)) return 1;
    navaids = &doc;
  }
  if (fromStdin) return LogbookFromStdin(navaids);

  quarn::LogbookRequest request;
  request.paths = paths;
  request.dataDir = *data;
  request.navaids = navaids;
  request.stop = interrupt->token();
  std::mutex progressMutex;
  request.progress = [&](int done, int total) {
    const std::lock_guard lock(progressMutex);
    std::fprintf(stderr, "\rlogbook: %d of %d files read", done, total);
    std::fflush(stderr);
  };
  const quarn::LogbookResult result = quarn::OpenLogbook(request);
  std::fprintf(stderr, "\n");
  for (const auto& note : result.notes) std::cerr << "quarn-cli: " << note << '\n';
  for (const auto& f : result.failures) std::cerr << "quarn-cli: " << f.message << '\n';

  std::string text;
  if (!jsonOut.empty()) {
    for (const auto& e : result.entries) text += quarn::LogbookJsonLine(e) + '\n';
  } else {
    text = quarn::LogbookCsvHeader() + '\n';
    for (const auto& e : result.entries) text += quarn::LogbookCsvRow(e) + '\n';
  }
  const std::string out = !jsonOut.empty() ? jsonOut : csvOut;
  int status = result.failures.empty() ? 0 : 1;
  const bool stopped = interrupt->ExitStatus() != 0;
  if (out.empty()) {
    std::cout << text;
  } else if (stopped) {
    // A file that may hold a whole logbook is not replaced by a part of one.
    std::cerr << "quarn-cli: " << out << " not written: the reading was stopped\n";
  } else if (!quarn::ReplaceFileContents(out, text)) {
    std::cerr << "quarn-cli: cannot write " << out << '\n';
    status = 1;
  }
  std::cerr << quarn::Format("logbook: %d files read, %d unchanged, %d failed\n", result.filesRead,
                             result.filesKept, static_cast<int>(result.failures.size()));
  for (const auto& line : quarn::LogbookTotalsText(quarn::LogbookTotalsOf(result.entries))) {
    std::cerr << line << '\n';
  }
  if (stopped) {
    std::cerr << quarn::Format("logbook: stopped, %d files not read; the next run reads them\n",
                               result.filesLeft);
    return interrupt->ExitStatus();
  }
  return status;
}

// The percentage on standard error: drawing the charts is the first half of the
// work, writing the pages the second.
void ShowPercent(int done, int total, int half) {
  std::fprintf(stderr, "\rreport: %3d%%", (half * 100 + done * 100 / std::max(1, total)) / 2);
  std::fflush(stderr);
}

int ReportUsage() {
  std::cerr << "usage: quarn-cli report RECORD [--scenery LIST] [--data-dir DIR] OUT.pdf\n";
  return 2;
}

// quarn-cli report RECORD [--scenery LIST] OUT.pdf: every chart of the record in one
// PDF, with the navaids of the list on the track chart and the approach views.
int ReportCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir, list, columns;
  if (!TakeColumns(args, columns)) return ReportUsage();
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--scenery" && i + 1 < args.size()) {
      list = args[++i];
    } else if (args[i] == "--data-dir" && i + 1 < args.size()) {
      dataDir = args[++i];
    } else if (args[i].rfind("--", 0) == 0) {
      return ReportUsage();
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) return ReportUsage();
  const auto data = DataDirectory(dataDir, argv0);
  if (!data) return 2;
  const std::string out = FullPath(files[1]);
  // A target that cannot be written is told before the work starts.
  if (const std::string problem = quarn::PdfTargetProblem(out); !problem.empty()) {
    std::cerr << "quarn-cli: " << problem << '\n';
    return 1;
  }
  const auto flight = ReadFlightArgument(files[0], columns);
  if (!flight) return 1;
  quarn::CHalbricoDoc doc;
  if (!list.empty()) {
    StderrNotices notices;
    if (!LoadList(doc, FullPath(list), *data, notices)) return 1;
  }

  quarn::QtTextMetrics metrics;
  const quarn::FlightReport report =
      quarn::RecordFlightReport(*flight, doc, quarn::MapState{}, metrics, [](int done, int total) {
        ShowPercent(done, total, 0);
        return true;
      });
  std::vector<quarn::PdfPage> pages;
  for (const auto& page : report.pages) pages.push_back({page.title, &page.list});
  std::string error;
  const bool written = quarn::WritePagesPdf(report.recordName, report.note, pages, out, error,
                                            [](int done, int total) {
                                              ShowPercent(done, total, 1);
                                              return true;
                                            });
  std::cerr << '\n';
  for (const auto& message : report.messages)
    std::cerr << "quarn-cli: warning: " << message << '\n';
  if (!written) {
    std::cerr << "quarn-cli: " << error << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Help and version need no Qt.
  if (argc == 2 && IsHelp(argv[1])) return Help();
  if (argc == 2 && std::string_view(argv[1]) == "--version") return Version();
  if (argc == 3 && std::string_view(argv[1]) == "run" && IsHelp(argv[2])) return Help();

  // No display is needed: text is measured with Qt's fonts on the offscreen platform.
  if (const char* qpa = std::getenv("QT_QPA_PLATFORM"); qpa == nullptr || *qpa == '\0') {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  g_qtHandler = qInstallMessageHandler(DropStartupNotes);
  QGuiApplication qtApp(argc, argv);
  qInstallMessageHandler(g_qtHandler);
  const QStringList qtArgs = QCoreApplication::arguments();
  std::vector<std::string> args;
  for (qsizetype i = 1; i < qtArgs.size(); ++i) args.push_back(qtArgs[i].toStdString());
  if (!args.empty()) {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "group") return GroupCommand(rest, argv[0]);
    if (args[0] == "load") return LoadCommand(rest, argv[0]);
    if (args[0] == "export-navaids") return ExportNavaidsCommand(rest, argv[0]);
    if (args[0] == "export-track") return ExportTrackCommand(rest);
    if (args[0] == "debrief") return DebriefCommand(rest, argv[0]);
    if (args[0] == "phases") return PhasesCommand(rest);
    if (args[0] == "logbook") return LogbookCommand(rest, argv[0]);
    if (args[0] == "report") return ReportCommand(rest, argv[0]);
  }
  if (args.empty() || args[0] != "run") return Usage();
  args.erase(args.begin());
  return RunCommand(args, argv[0]);
}

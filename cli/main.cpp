// quarn-cli: the program driven by a script, without a window.

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/flight_report.h"
#include "base/command_ids.h"
#include "base/program_dir.h"
#include "charts/approach_debrief.h"
#include "charts/approach_debrief_json.h"
#include "cli/script_host.h"
#include "navaid/navaid_load.h"
#include "platform/file_services.h"
#include "platform/qt/image_export.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/report_pdf.h"
#include "record/sample_table.h"
#include "record/track_export.h"

namespace {

constexpr const char* kUsage =
    "usage: quarn-cli run [--size WxH] [--data-dir DIR] SCRIPT\n"
    "       SCRIPT is a file, or - for standard input\n"
    "       quarn-cli group NAME DIR [--recurse] [--fs2000] [--data-dir DIR]\n"
    "       quarn-cli load LIST [--data-dir DIR]\n"
    "       quarn-cli export-navaids LIST [--data-dir DIR]\n"
    "       quarn-cli export-track RECORD OUT.gpx|OUT.kml\n"
    "       quarn-cli debrief RECORD --scenery LIST [--data-dir DIR]\n"
    "       quarn-cli report RECORD [--scenery LIST] [--data-dir DIR] OUT.pdf\n"
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

// Makes the data directory the program's; false, with a message, when the one asked
// for does not exist.
bool UseDataDirectory(const std::string& dataDir, const char* argv0) {
  if (const std::string missing = quarn::MissingDataDirectory(dataDir); !missing.empty()) {
    std::cerr << "quarn-cli: the data directory " << missing << " does not exist\n";
    return false;
  }
  quarn::SetProgramDirectory(quarn::ResolveProgramDirectory(dataDir, argv0));
  return true;
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

  if (!UseDataDirectory(dataDir, argv0)) return 2;
  const std::string startDir = quarn::CurrentDirectory();

  quarn::QtTextMetrics metrics;
  quarn::ScriptHost host(metrics, std::cout, std::cerr, startDir, width, height);
  host.SetImageExporter(quarn::ExportDisplayList);
  if (scriptPath == "-") return host.Run(std::cin);
  std::ifstream script(scriptPath);
  if (!script) {
    std::cerr << "cannot read script " << scriptPath << '\n';
    return 2;
  }
  return host.Run(script);
}

// ---- group, load, export-navaids: thin scripts over `run` ----

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

// Runs the script text as `run` runs a script file.
int RunScriptText(const std::string& text, const std::string& dataDir, const char* argv0) {
  if (!UseDataDirectory(dataDir, argv0)) return 2;
  const std::string startDir = quarn::CurrentDirectory();
  quarn::QtTextMetrics metrics;
  quarn::ScriptHost host(metrics, std::cout, std::cerr, startDir);
  std::istringstream script(text);
  return host.Run(script);
}

std::string CommandLine(int id) {
  return "command " + std::to_string(id) + "\n";
}

// quarn-cli group NAME DIR [--recurse] [--fs2000]: defines a scenery list.
int GroupCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir;
  std::vector<std::string> flags;
  if (!TakeOptions(args, dataDir, {"--recurse", "--fs2000"}, flags) || args.size() != 2) {
    return NavaidUsage();
  }
  std::string dir = "answer dir " + args[1];
  for (const auto& f : flags) dir += f == "--recurse" ? " recurse" : " fs2000";
  return RunScriptText(
      "answer text " + args[0] + "\n" + dir + "\n" + CommandLine(quarn::ID_DEFINE_GROUP), dataDir,
      argv0);
}

// quarn-cli load LIST: loads the navaids of a scenery list and the fixes.
int LoadCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir;
  std::vector<std::string> flags;
  if (!TakeOptions(args, dataDir, {}, flags) || args.size() != 1) return NavaidUsage();
  return RunScriptText("answer file " + args[0] + "\n" + CommandLine(quarn::ID_LOAD_NAVAIDS),
                       dataDir, argv0);
}

// quarn-cli export-navaids LIST: loads a scenery list and writes the navaid files
// into the data directory.
int ExportNavaidsCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir;
  std::vector<std::string> flags;
  if (!TakeOptions(args, dataDir, {}, flags) || args.size() != 1) return NavaidUsage();
  return RunScriptText("answer file " + args[0] + "\n" + CommandLine(quarn::ID_LOAD_NAVAIDS) +
                           CommandLine(quarn::ID_EXPORT_NAVAIDS),
                       dataDir, argv0);
}

// Selects the record through the open dialog, as the desktop program does; the
// script's status, 0 when it ran (g_recordPath is then empty if the record could not
// be opened).
int SelectRecord(quarn::ScriptHost& host, const std::string& record) {
  std::istringstream script("answer file " + record + "\n" +
                            CommandLine(quarn::ID_SELECT_RECORD_FILE));
  return host.Run(script);
}

// quarn-cli export-track RECORD OUT: the record's track as GPX or KML (by OUT's
// extension), for map viewers and globes.
int ExportTrackCommand(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::cerr << "usage: quarn-cli export-track RECORD OUT.gpx|OUT.kml\n";
    return 2;
  }
  quarn::QtTextMetrics metrics;
  std::ostringstream transcript;
  quarn::ScriptHost host(metrics, transcript, std::cerr, quarn::CurrentDirectory());
  if (const int status = SelectRecord(host, args[0]); status != 0) return status;
  if (quarn::g_recordPath.empty()) {
    std::cerr << "quarn-cli: cannot open " << args[0] << '\n';
    return 1;
  }
  const std::string error = quarn::ExportTrack(
      std::span<const quarn::FlightSample>(quarn::g_samples.data(),
                                           static_cast<std::size_t>(quarn::SampleCount())),
      quarn::g_recordPath, host.FullPath(args[1]));
  if (!error.empty()) {
    std::cerr << "quarn-cli: " << error << '\n';
    return 1;
  }
  return 0;
}

// quarn-cli debrief RECORD --scenery LIST: the approach debrief of the record's
// landing against the navaids of a scenery list, as one JSON object.
int DebriefCommand(std::vector<std::string> args, const char* argv0) {
  std::string dataDir, list;
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
  if (!UseDataDirectory(dataDir, argv0)) return 2;
  const std::string startDir = quarn::CurrentDirectory();
  quarn::QtTextMetrics metrics;
  std::ostringstream transcript;
  quarn::ScriptHost host(metrics, transcript, std::cerr, startDir);
  if (const int status = SelectRecord(host, rest[0]); status != 0) return status;
  if (quarn::g_recordPath.empty() || quarn::SampleCount() == 0) {
    std::cerr << "quarn-cli: cannot read the record " << rest[0] << '\n';
    return 1;
  }
  std::istringstream navaids("answer file " + list + "\n" + CommandLine(quarn::ID_LOAD_NAVAIDS));
  if (const int status = host.Run(navaids); status != 0) return status;
  if (!host.app().doc().m_navaidsLoaded) {
    std::cerr << "quarn-cli: cannot load the scenery list " << list << '\n';
    return 1;
  }
  std::cout << quarn::DebriefJson(quarn::DebriefApproach(host.app().doc())) << '\n';
  return 0;
}

// Answers the scenery list's Open dialog with the list named on the command line;
// what loading says goes to standard error as a warning, never into a dialog.
class ReportUi : public quarn::Ui {
 public:
  explicit ReportUi(std::string list) : list_(std::move(list)) {}
  void ShowMessage(const std::string& text, quarn::MessageKind) override {
    std::cerr << "quarn-cli: warning: " << text << '\n';
  }
  std::optional<std::string> AskOpenFile(const quarn::OpenFileRequest&) override {
    return std::exchange(list_, std::nullopt);
  }
  std::optional<std::string> AskGroupName(const std::string&) override { return {}; }
  std::optional<quarn::SearchDirAnswer> AskSearchDir(const quarn::SearchDirAnswer&) override {
    return {};
  }
  std::optional<std::string> AskRadial(const quarn::RadialDialogFields&) override { return {}; }
  void SetStatusText(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  void SetTitle(const std::string&) override {}

 private:
  std::optional<std::string> list_;
};

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
int ReportCommand(const std::vector<std::string>& args, const char* argv0) {
  std::string dataDir, list;
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
  if (!UseDataDirectory(dataDir, argv0)) return 2;
  quarn::QtTextMetrics metrics;
  std::ostringstream transcript;
  quarn::ScriptHost host(metrics, transcript, std::cerr, quarn::CurrentDirectory());
  const std::string out = host.FullPath(files[1]);
  // A target that cannot be written is told before the work starts.
  if (const std::string problem = quarn::PdfTargetProblem(out); !problem.empty()) {
    std::cerr << "quarn-cli: " << problem << '\n';
    return 1;
  }
  if (const int status = SelectRecord(host, files[0]); status != 0) return status;
  if (quarn::g_recordPath.empty()) {
    std::cerr << "quarn-cli: cannot open " << files[0] << '\n';
    return 1;
  }
  quarn::CHalbricoDoc& doc = host.app().doc();
  if (!list.empty()) {
    ReportUi ui(host.FullPath(list));
    quarn::OnLoadNavaids(ui, doc, quarn::ProgramDirectory());
    if (doc.m_navaidsLoaded != 1) {
      std::cerr << "quarn-cli: cannot load the scenery list " << list << '\n';
      return 1;
    }
  }

  const quarn::FlightReport report =
      quarn::RecordFlightReport(doc, metrics, [](int done, int total) {
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
    if (args[0] == "report") return ReportCommand(rest, argv[0]);
  }
  if (args.empty() || args[0] != "run") return Usage();
  args.erase(args.begin());
  return RunCommand(args, argv[0]);
}

// quarn-cli: the program driven by a script, without a window.

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/program_dir.h"
#include "cli/script_host.h"
#include "platform/file_services.h"
#include "platform/qt/image_export.h"
#include "platform/qt/qt_fonts.h"

namespace {

constexpr const char* kUsage =
    "usage: quarn-cli run [--size WxH] [--data-dir DIR] SCRIPT\n"
    "       SCRIPT is a file, or - for standard input\n"
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
  return std::sscanf(s.c_str(), "%dx%d", &w, &h) == 2 && w >= 0 && h >= 0;
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

  const std::string startDir = quarn::CurrentDirectory();
  quarn::SetProgramDirectory(quarn::ResolveProgramDirectory(dataDir, argv0));

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
  if (args.empty() || args[0] != "run") return Usage();
  args.erase(args.begin());
  return RunCommand(args, argv[0]);
}

// quarn-cli: the program driven by a script, without a window.

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "base/program_dir.h"
#include "cli/script_host.h"
#include "platform/file_services.h"
#include "platform/qt/image_export.h"
#include "platform/qt/qt_fonts.h"

namespace {

int Usage() {
  std::cerr << "usage: quarn-cli run [--size WxH] [--data-dir DIR] SCRIPT\n"
               "       SCRIPT is a file, or - for standard input\n";
  return 2;
}

bool ParseSize(const std::string& s, int& w, int& h) {
  char end = 0;
  return std::sscanf(s.c_str(), "%dx%d%c", &w, &h, &end) == 2 && quarn::IsClientSize(w) &&
         quarn::IsClientSize(h);
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

  if (const std::string missing = quarn::MissingDataDirectory(dataDir); !missing.empty()) {
    std::cerr << "quarn-cli: the data directory " << missing << " does not exist\n";
    return 2;
  }
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
  // No display is needed: text is measured with Qt's fonts on the offscreen platform.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication qtApp(argc, argv);
  const QStringList qtArgs = QCoreApplication::arguments();
  std::vector<std::string> args;
  for (qsizetype i = 1; i < qtArgs.size(); ++i) args.push_back(qtArgs[i].toStdString());
  if (args.empty() || args[0] != "run") return Usage();
  args.erase(args.begin());
  return RunCommand(args, argv[0]);
}

#pragma once
// quarn-cli's engine: runs the program's document and view from a script, one
// action a line, and writes the transcript.

#include <functional>
#include <istream>
#include <ostream>
#include <string>

#include "app/quarn_app.h"
#include "platform/display_list.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/transcript.h"
#include "platform/text_metrics.h"

namespace quarn {

// Writes a display list as an image (.png, .svg, .pdf); false with a reason when it
// cannot.
using ImageExporter =
    std::function<bool(const DisplayList& list, const std::string& path, std::string& error)>;

// A client is 1 to 32767 pixels each way, and a point in it has 16-bit coordinates,
// as window messages carry them: the drawing arithmetic never overflows.
inline constexpr int kMaxClientExtent = 32767;
bool IsClientSize(int extent);
bool IsClientCoordinate(int coordinate);

class ScriptHost {
 public:
  // dataDir: the program's directory for the scripted program.
  ScriptHost(TextMetrics& metrics, std::ostream& transcript, std::ostream& errors,
             std::string startDirectory, std::string dataDir, int width = 1280, int height = 800);

  void SetImageExporter(ImageExporter exporter) { exporter_ = std::move(exporter); }

  // Runs every line; 0 when the script ran, 2 at the first line it cannot parse, 1
  // when it ran but a file could not be written.
  int Run(std::istream& script);
  // One line; false when it cannot be parsed (the reason goes to the error stream).
  bool RunLine(const std::string& line);

  QuarnApp& app() { return app_; }
  HeadlessWindow& window() { return window_; }
  HeadlessUi& ui() { return ui_; }

  // The state line: view state, layer flags, map extents, counts, the data directory.
  std::string StateJson();
  std::string SampleJson(int index);
  // `parse PATH`: one scenery file into the navaid tables.
  void ParseOneFile(const std::string& path);

  // A path as the script names it, taken relative to the start directory.
  std::string FullPath(const std::string& path) const;

 private:
  bool Dump(const std::string& path);
  // `navaids PATH`: every navaid record as one JSON object a line.
  bool WriteNavaids(const std::string& path);
  bool Fail(const std::string& reason);
  // A file the script asked for could not be written: an error line in the
  // transcript, and the run ends with status 1.
  void WriteFailed(const std::string& path);

  std::ostream& errors_;
  std::string startDirectory_;
  Transcript transcript_;
  HeadlessUi ui_;
  HeadlessWindow window_;
  QuarnApp app_;
  ImageExporter exporter_;
  int lineNumber_ = 0;
  bool writeFailed_ = false;
};

}  // namespace quarn

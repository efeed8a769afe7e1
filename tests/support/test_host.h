#pragma once
// The program with a headless window and scripted dialogs, for tests: a program of
// its own, a transcript to inspect, and shortcuts for common steps.

#include <sstream>
#include <string>
#include <vector>

#include "cli/script_host.h"
#include "platform/text_metrics.h"

namespace quarn::testing {

class TestHost {
 public:
  explicit TestHost(int width = 1280, int height = 800, const std::string& dataDir = ".");

  ScriptHost& host() { return host_; }
  CHalbricoView& view() { return host_.app().view(); }
  CHalbricoDoc& doc() { return host_.app().doc(); }
  ViewState& state() { return view().state(); }
  MapState& map() { return view().mapState(); }
  // The current flight, which a test may alter after loading.
  Flight& flight() { return doc().m_flights.front(); }
  const DisplayList& screen() { return host_.window().displayList(); }

  // Runs script lines; fails the test on a line that does not parse.
  void Run(const std::vector<std::string>& lines);
  // Answers the file dialog with the path and selects it as the flight record.
  void LoadRecord(const std::string& path);
  // The transcript lines written so far, and then forgets them.
  std::vector<std::string> TakeTranscript();

 private:
  FixedWidthMetrics metrics_;
  std::ostringstream transcript_;
  std::ostringstream errors_;
  ScriptHost host_;
};

}  // namespace quarn::testing

#pragma once
// The program with a headless window and scripted dialogs, for tests: a fresh
// program state, a transcript to inspect, and shortcuts for common steps.

#include <sstream>
#include <string>
#include <vector>

#include "cli/script_host.h"
#include "platform/text_metrics.h"

namespace quarn::testing {

class TestHost {
 public:
  explicit TestHost(int width = 1280, int height = 800);

  ScriptHost& host() { return host_; }
  CHalbricoView& view() { return host_.app().view(); }
  CHalbricoDoc& doc() { return host_.app().doc(); }
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

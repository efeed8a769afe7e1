#include "support/test_host.h"

#include <gtest/gtest.h>

#include "base/command_ids.h"
#include "platform/file_services.h"

namespace quarn::testing {

TestHost::TestHost(int width, int height, const std::string& dataDir)
    : host_(metrics_, transcript_, errors_, CurrentDirectory(), dataDir, width, height) {}

void TestHost::Run(const std::vector<std::string>& lines) {
  for (const auto& line : lines) {
    ASSERT_TRUE(host_.RunLine(line)) << line << ": " << errors_.str();
  }
}

void TestHost::LoadRecord(const std::string& path) {
  Run({"answer file " + path, "command " + std::to_string(ID_SELECT_RECORD_FILE)});
}

std::vector<std::string> TestHost::TakeTranscript() {
  std::vector<std::string> lines;
  std::istringstream in(transcript_.str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  transcript_.str("");
  return lines;
}

}  // namespace quarn::testing

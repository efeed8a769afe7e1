// Fuzzes the script reader of quarn-cli: any text runs line by line, or stops at the
// first line it cannot parse, without undefined behaviour. Lines that would read or
// write files named by the input are left out, so a run touches only its own
// scratch directory.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/script_host.h"
#include "platform/text_metrics.h"

namespace {

bool TouchesNamedFiles(std::string_view line) {
  const auto start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return false;
  line.remove_prefix(start);
  for (std::string_view verb : {"dump", "navaids", "parse", "answer"}) {
    if (line.substr(0, verb.size()) == verb) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("quarn_fuzz_script_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    return true;
  }();
  (void)ready;
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  std::string script, line;
  while (std::getline(input, line)) {
    if (!TouchesNamedFiles(line)) script += line + '\n';
  }
  quarn::FixedWidthMetrics metrics;
  std::ostringstream transcript, errors;
  quarn::ScriptHost host(metrics, transcript, errors, ".", ".", 320, 200);
  std::istringstream lines(script);
  host.Run(lines);
  return 0;
}

// Fuzzes the record file opener: any bytes, written to a file, are selected as the
// flight record through the open dialog and drawn as both summary screens and the
// combined graph, without reading or writing outside a table.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/script_host.h"
#include "platform/text_metrics.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("quarn_fuzz_record_file_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / "record.dat").string();
  }();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  quarn::FixedWidthMetrics metrics;
  std::ostringstream transcript, errors;
  quarn::ScriptHost host(metrics, transcript, errors, "/", "/", 640, 480);
  std::istringstream script("answer file " + path +
                            "\ncommand ID_SELECT_RECORD_FILE\ncommand ID_GENERAL_SUMMARY\n"
                            "command ID_TAKEOFF_LANDING_SUMMARY\ncommand ID_GRAPH_COMBINED\n"
                            "key END\ncommand ID_ZOOM_IN\n");
  if (host.Run(script) != 0) __builtin_trap();
  return 0;
}

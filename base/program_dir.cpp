#include "base/program_dir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quarn {
namespace {
std::string& Storage() {
  static std::string dir = ".";
  return dir;
}
}  // namespace

const std::string& ProgramDirectory() {
  return Storage();
}

void SetProgramDirectory(const std::string& directory) {
  Storage() = directory;
}

namespace {

std::string Absolute(const std::string& p) {
  std::error_code ec;
  const std::filesystem::path a = std::filesystem::absolute(p, ec);
  return ec ? p : a.lexically_normal().string();
}

}  // namespace

std::string ResolveProgramDirectory(const std::string& explicitDir, const std::string& argv0) {
  if (!explicitDir.empty()) return Absolute(explicitDir);
  if (const char* env = std::getenv("QUARN_DATA_DIR"); env != nullptr && *env != '\0') {
    return Absolute(env);
  }
  return DefaultProgramDirectory(argv0);
}

std::string DefaultProgramDirectory(const std::string& argv0) {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return exe.parent_path().string();
  return Absolute(std::filesystem::path(argv0).parent_path().string());
}

}  // namespace quarn

namespace quarn {

std::string MissingDataDirectory(const std::string& explicitDir) {
  std::string chosen = explicitDir;
  if (chosen.empty()) {
    if (const char* env = std::getenv("QUARN_DATA_DIR"); env != nullptr) chosen = env;
  }
  std::error_code ec;
  if (chosen.empty() || std::filesystem::is_directory(chosen, ec)) return "";
  return chosen;
}

}  // namespace quarn

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

std::string ResolveProgramDirectory(const std::string& explicitDir, const std::string& argv0) {
  namespace fs = std::filesystem;
  std::error_code ec;
  auto absolute = [&](const std::string& p) {
    const fs::path a = fs::absolute(p, ec);
    return ec ? p : a.lexically_normal().string();
  };
  if (!explicitDir.empty()) return absolute(explicitDir);
  if (const char* env = std::getenv("QUARN_DATA_DIR"); env != nullptr && *env != '\0') {
    return absolute(env);
  }
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return exe.parent_path().string();
  return absolute(fs::path(argv0).parent_path().string());
}

}  // namespace quarn

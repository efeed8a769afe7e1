#include "base/program_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quarn {
namespace {
bool IsWritableDirectory(const std::string& directory) {
  std::error_code ec;
  return std::filesystem::is_directory(directory, ec) &&
         ::access(directory.c_str(), W_OK | X_OK) == 0;
}

std::string ExecutableDirectory(const std::string& argv0) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return exe.parent_path().string();
  const fs::path a = fs::absolute(fs::path(argv0).parent_path(), ec);
  return ec ? fs::path(argv0).parent_path().string() : a.lexically_normal().string();
}
}  // namespace

std::string UserDataDirectory(const char* xdgDataHome, const char* home) {
  namespace fs = std::filesystem;
  if (xdgDataHome != nullptr && fs::path(xdgDataHome).is_absolute()) {
    return (fs::path(xdgDataHome) / "quarn").lexically_normal().string();
  }
  if (home != nullptr && fs::path(home).is_absolute()) {
    return (fs::path(home) / ".local/share/quarn").lexically_normal().string();
  }
  return {};
}

std::string WritableDataDirectory(const std::string& exeDir, const std::string& userDir) {
  if (userDir.empty() || IsWritableDirectory(exeDir)) return exeDir;
  std::error_code ec;
  std::filesystem::create_directories(userDir, ec);
  // Where the user's directory cannot be made, the executable's still serves to read.
  return IsWritableDirectory(userDir) ? userDir : exeDir;
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
  return DefaultProgramDirectory(argv0);
}

std::string DefaultProgramDirectory(const std::string& argv0) {
  return WritableDataDirectory(
      ExecutableDirectory(argv0),
      UserDataDirectory(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
}

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

#include "platform/file_services.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace quarn {
namespace fs = std::filesystem;

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // As on the old platform, a trailing ".*" also matches a name without any
  // extension: "*.*" lists every entry, subdirectories included.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos) {
    return WildcardMatch(pattern.substr(0, pattern.size() - 2), name);
  }
  // Iterative match with backtracking over the last '*'.
  std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<DirEntry> FindFiles(const std::string& directory, const std::string& pattern) {
  std::vector<DirEntry> out;
  std::error_code ec;
  fs::directory_iterator it(directory.empty() ? "." : directory, ec);
  if (ec) return out;
  for (const auto& e : it) {
    const std::string name = e.path().filename().string();
    if (!WildcardMatch(pattern, name)) continue;
    DirEntry d;
    d.name = name;
    d.isDirectory = e.is_directory(ec);
    if (!d.isDirectory) {
      const auto size = e.file_size(ec);
      d.size = ec ? 0 : static_cast<std::int64_t>(size);
    }
    out.push_back(std::move(d));
  }
  std::sort(out.begin(), out.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  return out;
}

std::optional<DirEntry> FindFirstFile(const std::string& path) {
  const auto found = FindFiles(DirectoryOf(path), FileNameOf(path));
  if (found.empty()) return std::nullopt;
  return found.front();
}

bool PathExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == kPathSeparator) return directory + name;
  return directory + kPathSeparator + name;
}

std::string FileNameOf(const std::string& path) {
  const auto pos = path.find_last_of(kPathSeparator);
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string DirectoryOf(const std::string& path) {
  const auto pos = path.find_last_of(kPathSeparator);
  if (pos == std::string::npos) return ".";
  if (pos == 0) return std::string(1, kPathSeparator);
  return path.substr(0, pos);
}

bool SetCurrentDirectory(const std::string& directory) {
  std::error_code ec;
  fs::current_path(directory, ec);
  return !ec;
}

std::string CurrentDirectory() {
  std::error_code ec;
  return fs::current_path(ec).string();
}

}  // namespace quarn

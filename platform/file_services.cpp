#include "platform/file_services.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
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
  // A name without wildcards that exists as written is that entry: listing the whole
  // directory for it would make a load of many files in one folder quadratic.
  const std::string name = FileNameOf(path);
  if (!name.empty() && name.find_first_of("*?") == std::string::npos) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
      DirEntry d;
      d.name = name;
      d.isDirectory = S_ISDIR(st.st_mode);
      d.size = d.isDirectory ? 0 : static_cast<std::int64_t>(st.st_size);
      return d;
    }
  }
  const auto found = FindFiles(DirectoryOf(path), FileNameOf(path));
  if (found.empty()) return std::nullopt;
  return found.front();
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  // Non-blocking open, so that a pipe under the name cannot hang the program before
  // the check below refuses it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  // Read straight into the result; a file that grows or shrinks meanwhile is read to
  // its end all the same.
  std::string out(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t have = 0;
  for (;;) {
    if (have == out.size()) out.resize(out.size() + 65536);
    const ssize_t n = ::read(fd, out.data() + have, out.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  ::close(fd);
  out.resize(have);
  return out;
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

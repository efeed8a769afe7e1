#pragma once
// Directory search and existence tests, as the scenery-list commands use them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quarn {

struct DirEntry {
  std::string name;  // without directory
  bool isDirectory = false;
  std::int64_t size = 0;
};

// Entries of a directory whose names match a wildcard pattern ('*' and '?'),
// compared without regard to case, sorted by name so results do not depend on the
// file system's order.
std::vector<DirEntry> FindFiles(const std::string& directory, const std::string& pattern);

// The first entry matching a path (directory part plus a name or pattern). A plain
// name that exists as written is found without listing its directory.
std::optional<DirEntry> FindFirstFile(const std::string& path);

// What a path names on its device, to recognise a directory met again through a link.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator<(const FileIdentity& o) const {
    return device != o.device ? device < o.device : inode < o.inode;
  }
};
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The whole contents of a regular file, opened for reading only; nothing when it
// cannot be opened or read, or is no regular file (a pipe would block).
std::optional<std::string> ReadWholeFile(const std::string& path);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);
bool WildcardMatch(const std::string& pattern, const std::string& name);

// The platform's path separator, and the joining of a directory and a name with it.
inline constexpr char kPathSeparator = '/';
std::string JoinPath(const std::string& directory, const std::string& name);
std::string FileNameOf(const std::string& path);
std::string DirectoryOf(const std::string& path);

bool SetCurrentDirectory(const std::string& directory);
std::string CurrentDirectory();

}  // namespace quarn

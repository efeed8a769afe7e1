#include "platform/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace quarn {
namespace {

// The file a path names once symbolic links are followed; the path itself when it
// does not exist yet (or its link dangles).
std::string ResolvedTarget(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string out(resolved);
  std::free(resolved);
  return out;
}

bool IsOtherThanRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace

OutputFile::~OutputFile() {
  Discard();
}

void OutputFile::Discard() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  if (!temporary_.empty()) std::remove(temporary_.c_str());
  temporary_.clear();
}

bool OutputFile::Open(const std::string& path) {
  Discard();
  target_ = ResolvedTarget(path);
  if (IsOtherThanRegularFile(target_)) {
    // Opened without blocking, so a FIFO nobody reads fails instead of hanging.
    const int fd = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    stream_ = ::fdopen(fd, "w");
    if (stream_ == nullptr) ::close(fd);
    return stream_ != nullptr;
  }
  std::string pattern = target_ + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  temporary_ = name.data();
  // mkstemp makes the file private; the file it replaces gets the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  stream_ = ::fdopen(fd, "w");
  if (::fchmod(fd, 0666 & ~mask) != 0 || stream_ == nullptr) {
    if (stream_ == nullptr) ::close(fd);
    Discard();
    return false;
  }
  return true;
}

bool OutputFile::Commit() {
  if (stream_ == nullptr) return false;
  const bool written = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  if (!written || !closed) {
    Discard();
    return false;
  }
  if (temporary_.empty()) return true;
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

bool ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
  OutputFile file;
  if (!file.Open(path)) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) {
    return false;
  }
  return file.Commit();
}

bool ReplaceFileContents(const std::string& path, std::string_view text) {
  return ReplaceFileContents(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace quarn

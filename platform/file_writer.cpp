#include "platform/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace quarn {
namespace {

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes.data(), bytes.size());
  // mkstemp makes the file private; the replaced file gets the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const bool moded = ::fchmod(fd, 0666 & ~mask) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !moded || !closed || std::rename(name.data(), path.c_str()) != 0) {
    std::remove(name.data());
    return false;
  }
  return true;
}

bool ReplaceFileContents(const std::string& path, std::string_view text) {
  return ReplaceFileContents(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace quarn

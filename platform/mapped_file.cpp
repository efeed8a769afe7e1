#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quarn {

MappedFile::~MappedFile() {
  Close();
}

MappedFile::Error MappedFile::Open(const std::string& path) {
  Close();
  // Non-blocking, so a FIFO or a device is refused below instead of waiting for a
  // writer for ever; a regular file reads the same either way.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    errno_ = errno;
    return Error::OpenFailed;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    errno_ = errno;
    ::close(fd);
    return Error::NotRegularFile;
  }
  if (st.st_size <= 0) {
    ::close(fd);
    return Error::Empty;
  }
  const auto length = static_cast<std::size_t>(st.st_size);
  void* p = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
  errno_ = errno;
  ::close(fd);  // the mapping stays valid without the descriptor
  if (p == MAP_FAILED) return Error::MapFailed;
  data_ = static_cast<const std::uint8_t*>(p);
  size_ = length;
  return Error::None;
}

void MappedFile::Close() {
  if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace quarn

#pragma once
// A read-only memory mapping of a whole file.

#include <cstdint>
#include <span>
#include <string>

namespace quarn {

class MappedFile {
 public:
  enum class Error { None, OpenFailed, NotRegularFile, Empty, MapFailed };

  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  Error Open(const std::string& path);
  void Close();
  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
  std::size_t size() const { return size_; }
  int lastErrno() const { return errno_; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  int errno_ = 0;
};

}  // namespace quarn

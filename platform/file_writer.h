#pragma once
// Files the user keeps are replaced whole: the new contents go to a temporary file
// beside the target, which is renamed over it only once every byte is written and
// the file is closed. A failure leaves the former file as it was. A target that is
// not a regular file (a device, a FIFO) is written in place, and a symbolic link is
// followed, so the link stays and its target is replaced.

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace quarn {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // An uncommitted temporary file is removed.
  ~OutputFile();

  // False when the file cannot be created.
  bool Open(const std::string& path);
  std::FILE* stream() const { return stream_; }
  // Flushes and closes the file and puts it in place; false when any write, the
  // close or the rename failed (the target is then untouched).
  bool Commit();

 private:
  void Discard();

  std::FILE* stream_ = nullptr;
  std::string target_;
  std::string temporary_;  // empty when writing in place
};

// True when the file at path now holds exactly these bytes.
bool ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes);
bool ReplaceFileContents(const std::string& path, std::string_view text);

}  // namespace quarn

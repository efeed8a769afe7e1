#pragma once
// Decoding a whole flight record into the sample table.

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "record/record_format.h"

namespace quarn {

// Hands out the complete 80-byte records of a source, in order; a trailing
// partial record is never handed out.
class RecordSource {
 public:
  virtual ~RecordSource() = default;
  virtual bool Next(std::span<std::uint8_t, kRecordSize> out) = 0;
};

class FileRecordSource : public RecordSource {
 public:
  explicit FileRecordSource(std::FILE* file) : file_(file) {}
  bool Next(std::span<std::uint8_t, kRecordSize> out) override;
  // Whether the records ended on a read error rather than at the end of the file.
  bool Failed() const { return std::ferror(file_) != 0; }

 private:
  std::FILE* file_;
};

class MemoryRecordSource : public RecordSource {
 public:
  explicit MemoryRecordSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Next(std::span<std::uint8_t, kRecordSize> out) override;

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

struct LoadOutcome {
  int stored = 0;          // samples written to the table
  bool truncated = false;  // the source held more records than the table can take
};

// Opens a flight record for binary reading; a directory or any other file that is
// not a regular one counts as a file that cannot be opened (nullptr).
std::FILE* OpenRecordFile(const std::string& path);

// Writes the source's records into g_samples from entry 0, with the vertical speed
// of each sample, and sets g_firstTime / g_lastTime when samples were stored. It
// stops at the table's capacity; entries past the stored ones are left as they were.
LoadOutcome LoadSamples(RecordSource& source);

}  // namespace quarn

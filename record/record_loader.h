#pragma once
// Decoding the recorder's file into a flight.

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "base/flight.h"
#include "record/record_format.h"

namespace quarn {

// Hands out the complete 80-byte records of a source, in order; a trailing
// partial record is never handed out.
class RecordSource {
 public:
  virtual ~RecordSource() = default;
  virtual bool Next(std::span<std::uint8_t, kRecordSize> out) = 0;
  // How many records are likely to come, to make room for them at once; 0 when
  // unknown.
  virtual std::size_t ExpectedRecords() const { return 0; }
};

class FileRecordSource : public RecordSource {
 public:
  explicit FileRecordSource(std::FILE* file) : file_(file) {}
  bool Next(std::span<std::uint8_t, kRecordSize> out) override;
  std::size_t ExpectedRecords() const override;
  // Whether the records ended on a read error rather than at the end of the file.
  bool Failed() const { return std::ferror(file_) != 0; }

 private:
  std::FILE* file_;
};

class MemoryRecordSource : public RecordSource {
 public:
  explicit MemoryRecordSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Next(std::span<std::uint8_t, kRecordSize> out) override;
  std::size_t ExpectedRecords() const override { return bytes_.size() / kRecordSize; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

struct LoadOutcome {
  int stored = 0;          // samples added to the flight
  bool truncated = false;  // the source held more records than a flight of it can take
};

// Opens a flight record for binary reading; a directory or any other file that is
// not a regular one counts as a file that cannot be opened (nullptr).
std::FILE* OpenRecordFile(const std::string& path);

// Decodes the source's records into the flight's samples, with the vertical speed of
// each sample, and keeps what the samples do not hold as stored. It stops at
// kMaxSamples records.
LoadOutcome LoadSamples(RecordSource& source, Flight& flight);

}  // namespace quarn

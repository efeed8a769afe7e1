#pragma once
// What the readers of text formats share besides the scanning of base/text_scan.h:
// UTF-8 checks, and times of day and dates in UTC.

#include <tbb/parallel_for.h>
#include <tbb/task_group.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/flight.h"
#include "base/result.h"
#include "base/text_scan.h"

namespace quarn {

// The number of the first line that is not valid UTF-8, or nothing when all are.
std::optional<int> FirstInvalidUtf8Line(std::string_view text);

// Days from 1970-01-01 to a civil date, and back (proleptic Gregorian).
std::int64_t DaysFromCivil(int year, int month, int day);
CivilDate CivilFromDays(std::int64_t days);

// An ISO 8601 date and time, "2018-05-30T20:10:43Z", with a fraction of a second, a
// blank instead of the "T" and an offset ("+00:00", "+0200", "Z") or none (UTC):
// seconds since 1970.
std::optional<double> ParseIsoTime(std::string_view text);

// Seconds since 1970 as ISO 8601 UTC with "Z", the fraction of a second only when
// it is not whole (to the millisecond).
std::string IsoTimeText(double utcSeconds);

// Pieces of a text read a batch at a time on every core, in the order a reader asks
// for them. While the reader takes the points of one batch, the next is read on the
// other cores; no more than these two are held. read(piece, result) reads a piece
// into its result, which holds what an earlier piece left there (its room, and any
// scratch space the reading keeps in it); false when the piece holds anything the
// reader would report, which a reading of the whole text then finds and names.
template <typename PieceResult, typename Read>
class PieceReader {
 public:
  PieceReader(std::span<const std::string_view> pieces, Read read)
      : pieces_(pieces), read_(std::move(read)) {}
  PieceReader(const PieceReader&) = delete;
  PieceReader& operator=(const PieceReader&) = delete;
  ~PieceReader() {
    // A reader that stops early has no use for the batch read ahead.
    ahead_.cancel();
    ahead_.wait();
  }

  // The result of piece index, asked for in increasing order: nothing when the piece
  // does not read.
  const PieceResult* Get(std::size_t index) {
    if (!current_.Holds(index)) {
      if (readingAhead_) {
        ahead_.wait();
        readingAhead_ = false;
      }
      if (next_.Holds(index)) {
        std::swap(current_, next_);
      } else {
        ReadBatch(current_, index);
      }
      const std::size_t after = current_.first + current_.count;
      if (after < pieces_.size()) {
        readingAhead_ = true;
        ahead_.run([this, after] { ReadBatch(next_, after); });
      }
    }
    const std::size_t k = index - current_.first;
    return current_.ok[k] ? &current_.results[k] : nullptr;
  }

 private:
  static constexpr std::size_t kBatchPieces = 16;

  struct Batch {
    std::size_t first = 0;
    std::size_t count = 0;
    std::vector<PieceResult> results;
    std::vector<char> ok;  // one a piece, written from several cores
    bool Holds(std::size_t index) const { return index >= first && index < first + count; }
  };

  void ReadBatch(Batch& batch, std::size_t first) {
    batch.first = first;
    batch.count = std::min(kBatchPieces, pieces_.size() - first);
    if (batch.results.size() < batch.count) batch.results.resize(batch.count);
    batch.ok.assign(batch.count, 0);
    tbb::parallel_for(std::size_t{0}, batch.count, [&](std::size_t k) {
      batch.ok[k] = read_(pieces_[first + k], batch.results[k]) ? 1 : 0;
    });
  }

  std::span<const std::string_view> pieces_;
  Read read_;
  Batch current_;
  Batch next_;
  tbb::task_group ahead_;
  bool readingAhead_ = false;
};

}  // namespace quarn

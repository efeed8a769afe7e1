#pragma once
// Comma-separated tables with a header line, as the airport databases publish them.
//
// A field may be quoted ("Schiphol, Amsterdam"); two quotes within quotes stand for
// one, and quotes elsewhere open and close quoted stretches as they do at a field's
// start. A quoted field may run over a line break (the break is read as a blank, so
// that a name stays on one line); such a record counts from the line it starts on. A
// quote that is not closed within a few lines, or whose closing would give the
// record another number of fields than the header, is damage: that first line alone
// is reported and reading goes on with the line after it, so a stray quote never
// swallows the rest of the file.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_scan.h"

namespace quarn {

// The columns a header line names, found by name without regard to case.
class CsvHeader {
 public:
  CsvHeader() = default;
  explicit CsvHeader(std::span<const std::string_view> names);
  // The column's index, or -1 when the header does not name it.
  int Find(std::string_view name) const;
  std::size_t size() const { return names_.size(); }

 private:
  std::vector<std::string> names_;  // trimmed, in lower case
};

// The records of a CSV text one after another. The fields a record gives stay valid
// until the next call of Next.
class CsvReader {
 public:
  enum class Status { Record, End, UnclosedQuote };

  explicit CsvReader(std::string_view text);
  // The records of a part of a text that starts at a line start; its lines are
  // numbered from 1, and no byte-order mark is looked for.
  static CsvReader Within(std::string_view part);

  // The number of fields a record is to have, from the header: a record whose quoted
  // field would run over a line break is taken only when it then has this many.
  void ExpectFields(std::size_t count) { expectedFields_ = count; }

  // The next record, blank lines passed over. UnclosedQuote: the record's line opens
  // a quote that does not close as it should; it gives no fields.
  Status Next();

  std::span<const std::string_view> fields() const { return fields_; }
  int line() const { return line_; }                       // where the last record starts
  int linesRead() const { return lines_.number(); }        // lines taken so far
  std::string_view rest() const { return lines_.rest(); }  // the lines not yet taken
  // Whether a quoted field was still open at the end of the text: a record that a
  // text going on after it might have closed.
  bool ranOutInQuote() const { return ranOutInQuote_; }

 private:
  // How far a quoted field may run over line breaks before its quote counts as stray.
  static constexpr int kMaxRecordLines = 16;

  // A field written into scratch_ (unquoted doubled quotes, or joined lines), placed
  // among fields_ once the record is whole and scratch_ no longer moves.
  struct ScratchField {
    std::size_t index = 0;
    std::size_t begin = 0;
    std::size_t size = 0;
  };

  void StartRecord();
  // Splits one line of the record into fields; false when it ends inside a quote.
  bool SplitLine(std::string_view line);
  // A field as written, with the number of quotes in it.
  void EndField(std::string_view raw, int quotes);
  // A field's text without its quoting, written into scratch_.
  void Unquote(std::string_view raw);
  void PlaceScratchFields();

  explicit CsvReader(LineCursor lines) : lines_(lines) {}

  LineCursor lines_;
  bool ranOutInQuote_ = false;
  std::size_t expectedFields_ = 0;
  int line_ = 0;
  std::vector<std::string_view> fields_;
  std::string scratch_;
  std::vector<ScratchField> scratchFields_;
  // A quoted field open at the end of a line, as written so far.
  bool inQuote_ = false;
  bool continuing_ = false;  // the line being split goes on with that field
  std::string pending_;
};

// A field's text as a message quotes it: at most 40 bytes, control characters as '?'.
std::string FieldExcerpt(std::string_view field);

}  // namespace quarn

#pragma once
// X-Plane's navaid file, earth_nav.dat, and what the readers of X-Plane's data files
// share: the two header lines, the blank-separated fields of a row, and the checks
// that turn a bad field into a message naming the file and line.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_scan.h"
#include "navaid/navaid_source.h"

namespace quarn {

// The navaids of an earth_nav.dat of version 810, 1100, 1150 or 1200:
//   2 NDB (frequency in kHz), 3 VOR (frequency in MHz, the slaved variation, east
//   positive), 4 ILS and 5 localizer alone (kind Ils: the true course; from version
//   1150 on the course field also carries the magnetic course times 360, which is
//   dropped), 6 glide slope (its angle and antenna joined to the localizer of the same
//   airport, runway and ident, or frequency where the ident is a placeholder), 7/8/9
//   outer, middle and inner markers (the approach course), 12/13 DME (sets dme on the
//   nearest VOR or ILS of the same ident within 1 km of it, or of the ILS's glide slope
//   antenna). A glide slope or DME with nothing to join is left out without a message; rows 14 to
//   16 and unknown codes are skipped; "99" ends the file. A text without the X-Plane header gives
//   one problem and no records; a bad row gives a problem naming its line and is left out.
SourceRead ReadXPlaneNav(std::string_view text, const std::string& name);

namespace xplane {

// Longer lines are no row of any X-Plane data file; they are reported and skipped.
inline constexpr std::size_t kMaxRowBytes = 4096;

// The blank-separated fields of a row. Only the first `most` (at most kMaxFields) are
// told apart; the text from any of them to the end of the line stays available for
// names with blanks.
class RowFields {
 public:
  static constexpr std::size_t kMaxFields = 32;

  explicit RowFields(std::string_view line, std::size_t most = kMaxFields);
  std::size_t size() const { return count_; }
  std::string_view operator[](std::size_t k) const {
    return {line_.data() + start_[k], end_[k] - start_[k]};
  }
  // The line from field k to its end without trailing blanks; empty past the last.
  std::string_view From(std::size_t k) const;

 private:
  std::string_view line_;
  // Where each field starts and ends in the line; only the first count_ are set.
  std::size_t start_[kMaxFields];
  std::size_t end_[kMaxFields];
  std::size_t count_ = 0;
};

// The row code at the start of a line: its leading digits when a blank or the line's
// end follows them, kNoRowCode for a blank line or any other first field.
inline constexpr int kNoRowCode = -1;
inline int RowCode(std::string_view line) {
  std::size_t at = 0;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  int code = 0;
  const std::size_t first = at;
  while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - first < 6) {
    code = code * 10 + (line[at] - '0');
    ++at;
  }
  if (at == first || (at < line.size() && line[at] != ' ' && line[at] != '\t')) return kNoRowCode;
  return code;
}

// Reads the header of an X-Plane data file: "I" or "A" on the first line (a blank
// first line is taken too, as some extracts have it), then a line starting with the
// version number. The version, or nothing when the text does not start so. The cursor
// is left after the lines read.
std::optional<int> ReadHeader(LineCursor& lines);

// The checks of one row, each adding a message "NAME, line N: ..." to the problems
// when it fails.
class RowCheck {
 public:
  RowCheck(const std::string& file, int line, std::vector<std::string>& problems)
      : file_(file), line_(line), problems_(problems) {}

  void Fail(const std::string& what) const;
  // At least `needed` fields (the row code included), for a row called `row`.
  bool HasFields(const RowFields& fields, std::size_t needed, const char* row) const;
  // A decimal number filling the field.
  std::optional<double> Number(std::string_view field, const char* what) const;
  // A number within [low, high]; the message quotes the field as written.
  std::optional<double> NumberWithin(std::string_view field, double low, double high,
                                     const char* what) const;
  // A latitude and longitude on the globe.
  bool Position(std::string_view latitude, std::string_view longitude, double& latitudeDeg,
                double& longitudeDeg) const;

 private:
  const std::string& file_;
  int line_;
  std::vector<std::string>& problems_;
};

// Reads the rows after the header until "99" or the end of the text, handing each row
// to row(line, number). A line too long to be a row is reported and skipped after
// tooLong(code) is told its row code; a text that ends without its "99" is reported.
template <typename Row, typename TooLong>
void ForEachRow(LineCursor& lines, const std::string& name, std::vector<std::string>& problems,
                Row&& row, TooLong&& tooLong) {
  for (std::string_view line; lines.Next(line);) {
    if (line.size() > kMaxRowBytes) {
      RowCheck(name, lines.number(), problems)
          .Fail("a line of " + std::to_string(line.size()) + " bytes is no row; skipped");
      tooLong(RowCode(line.substr(0, kMaxRowBytes)));
      continue;
    }
    if (RowCode(line) == 99 && RowFields(line, 2).size() == 1) return;
    row(line, lines.number());
  }
  RowCheck(name, lines.number(), problems)
      .Fail("the file ends without its closing row \"99\": it may be cut short");
}

template <typename Row>
void ForEachRow(LineCursor& lines, const std::string& name, std::vector<std::string>& problems,
                Row&& row) {
  ForEachRow(lines, name, problems, row, [](int) {});
}

}  // namespace xplane
}  // namespace quarn

#pragma once
// The logbook: one entry per leg of every flight found under the folders and files it
// is pointed at, with its times, its landing and the debrief's verdict, and the totals
// over them. The entries are kept between runs (logbook_store.h), so that a second
// opening reads only the files that changed.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

#include "base/flight.h"
#include "base/result.h"

namespace quarn {

class CHalbricoDoc;

struct LogbookEntry {
  std::string file;    // the path as found
  std::string format;  // "gpx", "kml", "igc", "csv", "json", "dat"
  int leg = 1;         // 1, 2, ... within the file
  std::string date;    // "YYYY-MM-DD" (UTC) of the lift-off, else of the first sample
  std::string callsign;
  std::string departure;  // nearest airport to the lift-off, with navaids loaded
  std::string arrival;    // nearest airport to the touchdown
  // Seconds since 1970 (UTC): block times and the lift-off and touchdown.
  std::optional<double> out, off, on, in;
  std::optional<double> airTimeMin;
  std::optional<double> distanceNm;  // flown in the air
  std::optional<double> maxAltitudeFt;
  std::optional<double> landingRateFpm;  // positive down
  std::string landingRateConfidence;     // "normal", "low", or empty without a rate
  std::optional<double> touchdownPastThresholdFt;
  std::optional<double> touchdownOffCentrelineM;  // positive right looking along the landing
  std::string verdict;                            // empty without an ILS
  bool missing = false;                           // the file is no longer there

  bool operator==(const LogbookEntry&) const = default;
};

struct LogbookTotals {
  int flights = 0;
  double blockHours = 0;
  double airHours = 0;
  int landings = 0;
  std::optional<double> averageLandingRateFpm;
  std::optional<double> worstLandingRateFpm;
};

// A file of a supported format that could not be read.
struct LogbookFailure {
  std::string file;
  std::string message;
};

// The entries of one flight, one a leg; navaids may be null (no airports, no
// touchdown point, no verdict). The file and format come from the flight.
std::vector<LogbookEntry> LogbookEntriesOf(const Flight& flight, const CHalbricoDoc* navaids);

// The entries of the flight in the file at path, with its format; an error naming the
// file when it cannot be read or holds fewer than two samples.
struct LogbookFileRead {
  std::string format;
  std::vector<LogbookEntry> entries;
};
Result<LogbookFileRead> ReadLogbookFile(const std::string& path, const CHalbricoDoc* navaids);

LogbookTotals LogbookTotalsOf(std::span<const LogbookEntry> entries);

// The column names of the CSV header and the keys of the JSON lines, in order.
std::span<const char* const> LogbookColumns();
// One CSV row (no line end), fields quoted where they need it; the header is the
// columns joined by commas.
std::string LogbookCsvHeader();
std::string LogbookCsvRow(const LogbookEntry& entry);
// One JSON object on one line: null where a value is unknown.
std::string LogbookJsonLine(const LogbookEntry& entry);
// A failed file as a JSON line: its `file` and `error`.
std::string LogbookFailureJsonLine(const LogbookFailure& failure);
// The totals in words, one line each.
std::vector<std::string> LogbookTotalsText(const LogbookTotals& totals);
// A time of the entries in ISO 8601 UTC ("2018-05-30T20:18:09Z"); empty when unknown.
std::string LogbookTimeText(const std::optional<double>& utcSeconds);

// What the logbook is pointed at, and where it keeps its entries.
struct LogbookRequest {
  std::vector<std::string> paths;  // folders (searched recursively) and files
  std::string dataDir;             // the database lives here; empty: in memory only
  const CHalbricoDoc* navaids = nullptr;
  // Called from any thread as files are done: files done, files to do.
  std::function<void(int done, int total)> progress;
  // Asked to stop, the reading starts no further file. What was read is kept; the
  // files not read are neither listed nor stored, and the next opening reads them.
  std::stop_token stop;
};

struct LogbookResult {
  std::vector<LogbookEntry> entries;  // by file path, then leg
  std::vector<LogbookFailure> failures;
  // What the user is to know besides: a damaged database set aside, a data
  // directory that cannot be written (the logbook then works from memory).
  std::vector<std::string> notes;
  int filesRead = 0;  // read this time
  int filesKept = 0;  // unchanged since the last opening, taken from the database
  int filesLeft = 0;  // to be read, but the reading was asked to stop first
};

// Finds the flights under the request's paths, reads those that are new or changed
// since the last opening on every core, marks the vanished ones missing, and gives
// the entries of every flight under the paths.
LogbookResult OpenLogbook(const LogbookRequest& request);

// The files under the paths that a flight may be in, in a stable order: folders are
// walked recursively without following links into a loop; files of no supported
// format are passed over. A path named directly is always listed.
std::vector<std::string> LogbookCandidateFiles(std::span<const std::string> paths);

}  // namespace quarn

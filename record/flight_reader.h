#pragma once
// Reading a flight from a file of any supported format: no dialog, no view state, no
// message box. The format is told by the content first and the file name second;
// gzip-compressed files are read as they are. The caller shows the error or the notes.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/flight.h"
#include "base/result.h"

namespace quarn {

struct LoadedFlight {
  Flight flight;
  // What the user is to know besides: a read error that ended the flight early, a
  // file longer than a flight can hold.
  std::vector<std::string> notes;
};

struct ReadOptions {
  // For delimited text whose columns are not known by name: a column map, the JSON
  // text of an object from column name to {"channel": ..., "unit": ...}.
  std::string columnMap;
};

// The flight in the file at path. An error when it cannot be opened or read, is of
// no supported format, or its content is wrong (the message names the line).
Result<LoadedFlight> ReadFlight(const std::string& path, const ReadOptions& options = {});

// The same from bytes already in memory; name stands for the file in messages and in
// the flight, and its extension breaks ties between formats.
Result<LoadedFlight> ReadFlightBytes(std::span<const std::uint8_t> bytes, const std::string& name,
                                     const ReadOptions& options = {});

// The supported formats, for the Open dialog and the help texts.
struct FlightFormat {
  const char* id;        // the flight's format name: "dat", "gpx", ...
  const char* title;     // "GPX tracks"
  const char* patterns;  // "*.gpx *.gpx.gz"
};
std::span<const FlightFormat> FlightFormats();

// The Open dialog's filter: all flights first, then one entry per format.
std::string FlightFileFilter();

// The format the content and the name say, or empty when none does.
std::string DetectFlightFormat(std::span<const std::uint8_t> bytes, const std::string& name);

// Whether the first records of a file decode to what a recorder writes: times of day
// 0 to 47 hours with minutes and seconds 0 to 59, positions on the globe.
bool PlausibleDat(std::span<const std::uint8_t> bytes);

// The columns of a delimited file whose layout is not known by its names: what a
// column map is to be made for. Empty for any other file.
std::vector<std::string> UnmappedColumns(const std::string& path);

}  // namespace quarn

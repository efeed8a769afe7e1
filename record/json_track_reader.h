#pragma once
// Reading a flight from JSON, in either of the two shapes ADS-B tracks come in:
//
//  - a list of records, one object a point, with the column names of the Python
//    ADS-B tools: "timestamp" (Unix seconds or milliseconds, or ISO 8601 text),
//    "latitude", "longitude", "altitude" (ft), "groundspeed" (kt), "track" (deg
//    true), "vertical_rate" (ft/min), "onground", "callsign", "icao24", and where
//    present "ias", "tas", "heading", "pitch", "roll" and "gear";
//  - a receiver's trace of one aircraft: an object with "icao", "timestamp" and
//    "trace", an array of rows of the time after the timestamp, position, altitude
//    (or "ground") and motion.
//
// A value that is null or missing is a missing value the builder fills. Errors name
// the file and the line, and the record or row (counted from 0, as its index in the
// array); JSON that does not parse names the byte (counted from 0) where it fails.

#include <string>
#include <string_view>

#include "base/result.h"
#include "record/flight_reader.h"

namespace quarn {

Result<LoadedFlight> ReadJsonTrack(std::string_view text, const std::string& name);

}  // namespace quarn

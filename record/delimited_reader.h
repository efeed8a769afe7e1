#pragma once
// Reading a flight from delimited text with a header line: ADS-B state vectors and
// tracks, this program's own CSV export, and X-Plane's Data.txt.
//
// The separator is a comma, semicolon, tab or '|', told from the header line. A
// field may be quoted ("a, b"), with doubled quotes inside; a quoted field ends on
// its line. Columns are known by name, compared without case, blanks and
// underscores, and their units follow from the name:
//   OpenSky state vectors: time (Unix s), lat, lon, velocity (m/s), heading (the
//     track over the ground), vertrate (m/s), onground, baroaltitude (m), and
//     geoaltitude (m) where the barometric altitude is empty;
//   traffic and this program's export: timestamp, latitude, longitude, altitude
//     (ft), groundspeed (kt), track, vertical_rate (ft/min), onground, ias, tas (kt),
//     heading, pitch, roll (deg), gear (fraction of the legs down); with unit
//     suffixes as well: unix_ms, utc, latitude_deg, longitude_deg,
//     baro_altitude_ft, groundspeed_kt, track_deg_true, vertical_rate_fpm;
//   X-Plane Data.txt: _real,_time, __lat,__deg, __lon,__deg, __alt,ftmsl,
//     _Vind,_kias, Vtrue,_ktas, Vtrue,_ktgs, __VVI,__fpm, pitch,__deg, _roll,__deg,
//     hding,_true, ___on,runwy, _gear,_0/1. Its time counts from the start of the
//     simulator's session and has no date: the samples' utcSeconds are those
//     seconds and the flight has no date.
// callsign and icao24 (from the first row that has them) name the flight's callsign
// and aircraft.
//
// Times are Unix seconds or milliseconds (above 1e11 they are milliseconds) or ISO
// 8601. An empty cell, "nan", "null" or "none" is a missing value; on-ground flags
// are true/false, yes/no or a number (not 0 is on the ground). A time outside the
// years 1 to 9999, or a value above ten million in the sample's units, is damage
// and an error.
//
// A column map names what other columns hold: the JSON text of an object
//   {"<column>": {"channel": "<channel>", "unit": "<unit>"}, ...}
// whose channels and units are
//   timestamp: s, ms, iso (without a unit: seconds, milliseconds or ISO as above)
//   latitude, longitude, track, heading, pitch, roll: deg, rad
//   altitude: ft, m
//   groundspeed, ias, tas: kt, m/s, km/h
//   vertical_rate: ft/min (or fpm), m/s
//   onground: bool
//   gear: fraction, percent
// and without a unit the first of each list. The map's columns are read as it says,
// the other columns by their names.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "record/flight_reader.h"

namespace quarn {

// Whether the text's first line is a header of delimited columns this reader knows:
// a separator and a time, latitude and longitude column of a known layout.
bool LooksLikeDelimited(std::string_view head);

// The names of the header's columns as written (unquoted, blanks around them
// dropped), split at the separator the reader would use; empty when the text has no
// header line of delimited columns. For offering a column map.
std::vector<std::string> DelimitedColumnNames(std::string_view text);

// What a column map may name, in the order a dialog offers them: each channel with
// its units, the first being the one taken without a unit (empty for the time's
// "seconds, milliseconds or ISO by the look of it").
struct ColumnMapChannel {
  std::string name;
  std::vector<std::string> units;
};
std::vector<ColumnMapChannel> ColumnMapVocabulary();

// One column's entry of a map: its channel and unit (empty: the channel's first).
struct ColumnChoice {
  std::string column;
  std::string channel;
  std::string unit;
};
// The JSON text of a column map of these choices, in their order.
std::string ColumnMapJson(const std::vector<ColumnChoice>& choices);
// The choices a map's JSON text makes, in the map's order; nothing when it is not a
// map this reader takes.
std::optional<std::vector<ColumnChoice>> ColumnChoicesOf(const std::string& columnMap);

// columnMap: the JSON text of a column map, or empty.
Result<LoadedFlight> ReadDelimited(std::string_view text, const std::string& name,
                                   const std::string& columnMap);

}  // namespace quarn

#include "record/delimited_reader.h"

#include <simdjson.h>
#include <tbb/parallel_for.h>

#include <array>
#include <cctype>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <span>
#include <variant>

#include "base/format.h"
#include "platform/json.h"
#include "record/text_input.h"
#include "record/track_builder.h"

namespace quarn {
namespace {

constexpr double kFeetPerMetre = 1 / 0.3048;
constexpr double kKnotsPerMetrePerSecond = 3600 / 1852.0;
constexpr double kKnotsPerKmh = 1 / 1.852;
constexpr double kFeetPerMinutePerMetrePerSecond = 60 / 0.3048;
constexpr double kDegreesPerRadian = 180 / std::numbers::pi;
// Unix times above this are milliseconds: in seconds it is the year 5138.
constexpr double kMillisecondsAbove = 1e11;
// Times from the year 1 to 9999: beyond them a date has no meaning.
constexpr double kEarliestTime = -62135596800;
constexpr double kLatestTime = 253402300799;
// No quantity of a flight comes near this in the sample's units; beyond it a value
// is damage, and its differences would no longer be finite.
constexpr double kMaxMagnitude = 1e7;
// A header line longer than this is not one of a track.
constexpr std::size_t kMaxHeaderLength = 64 * 1024;
constexpr char kSeparators[] = {'\t', '|', ';', ','};

// What a column feeds.
enum class Field : int {
  Time,
  Latitude,
  Longitude,
  Altitude,
  GeoAltitude,  // the altitude where the barometric one is empty
  GroundSpeed,
  Track,
  VerticalRate,
  OnGround,
  Ias,
  Tas,
  Heading,
  Pitch,
  Roll,
  Gear,
  Callsign,
  Icao24,
};
constexpr std::size_t kFieldCount = 17;

// How a column's text becomes a value.
enum class Reading {
  AnyTime,         // Unix seconds or milliseconds by magnitude, or ISO 8601
  Seconds,         // Unix seconds
  Milliseconds,    // Unix milliseconds
  Iso,             // ISO 8601
  SessionSeconds,  // seconds since a simulator session began: no date
  Scaled,          // a number times the factor
  Flag,            // true/false
  Text,
};

// A column in use: which one and how it reads.
struct Use {
  int column = -1;
  Reading reading = Reading::Scaled;
  double factor = 1;
  bool used() const { return column >= 0; }
};
using Layout = std::array<Use, kFieldCount>;

Use& At(Layout& layout, Field f) {
  return layout[static_cast<std::size_t>(f)];
}
const Use& At(const Layout& layout, Field f) {
  return layout[static_cast<std::size_t>(f)];
}

struct KnownName {
  std::string_view key;  // normalised: lower case, no blanks or underscores
  Field field;
  Reading reading;
  double factor;
};

// Column names of the known layouts. Where several name the same field the first
// the header has is read.
constexpr KnownName kKnownNames[] = {
    // traffic, the shared ADS-B CSV and this program's export
    {"timestamp", Field::Time, Reading::AnyTime, 1},
    {"unixms", Field::Time, Reading::Milliseconds, 1},
    {"utc", Field::Time, Reading::AnyTime, 1},
    {"latitude", Field::Latitude, Reading::Scaled, 1},
    {"latitudedeg", Field::Latitude, Reading::Scaled, 1},
    {"longitude", Field::Longitude, Reading::Scaled, 1},
    {"longitudedeg", Field::Longitude, Reading::Scaled, 1},
    {"altitude", Field::Altitude, Reading::Scaled, 1},
    {"baroaltitudeft", Field::Altitude, Reading::Scaled, 1},
    {"groundspeed", Field::GroundSpeed, Reading::Scaled, 1},
    {"groundspeedkt", Field::GroundSpeed, Reading::Scaled, 1},
    {"track", Field::Track, Reading::Scaled, 1},
    {"trackdegtrue", Field::Track, Reading::Scaled, 1},
    {"verticalrate", Field::VerticalRate, Reading::Scaled, 1},
    {"verticalratefpm", Field::VerticalRate, Reading::Scaled, 1},
    {"onground", Field::OnGround, Reading::Flag, 1},
    {"ias", Field::Ias, Reading::Scaled, 1},
    {"tas", Field::Tas, Reading::Scaled, 1},
    {"heading", Field::Heading, Reading::Scaled, 1},
    {"pitch", Field::Pitch, Reading::Scaled, 1},
    {"roll", Field::Roll, Reading::Scaled, 1},
    {"gear", Field::Gear, Reading::Scaled, 1},
    {"callsign", Field::Callsign, Reading::Text, 1},
    {"icao24", Field::Icao24, Reading::Text, 1},
    // OpenSky state vectors (their "heading" is the track: see RecogniseByName)
    {"time", Field::Time, Reading::AnyTime, 1},
    {"lat", Field::Latitude, Reading::Scaled, 1},
    {"lon", Field::Longitude, Reading::Scaled, 1},
    {"baroaltitude", Field::Altitude, Reading::Scaled, kFeetPerMetre},
    {"geoaltitude", Field::GeoAltitude, Reading::Scaled, kFeetPerMetre},
    {"velocity", Field::GroundSpeed, Reading::Scaled, kKnotsPerMetrePerSecond},
    {"vertrate", Field::VerticalRate, Reading::Scaled, kFeetPerMinutePerMetrePerSecond},
    // X-Plane Data.txt
    {"real,time", Field::Time, Reading::SessionSeconds, 1},
    {"totl,time", Field::Time, Reading::SessionSeconds, 1},
    {"lat,deg", Field::Latitude, Reading::Scaled, 1},
    {"lon,deg", Field::Longitude, Reading::Scaled, 1},
    {"alt,ftmsl", Field::Altitude, Reading::Scaled, 1},
    {"vind,kias", Field::Ias, Reading::Scaled, 1},
    {"vtrue,ktas", Field::Tas, Reading::Scaled, 1},
    {"vtrue,ktgs", Field::GroundSpeed, Reading::Scaled, 1},
    {"vvi,fpm", Field::VerticalRate, Reading::Scaled, 1},
    {"pitch,deg", Field::Pitch, Reading::Scaled, 1},
    {"roll,deg", Field::Roll, Reading::Scaled, 1},
    {"hding,true", Field::Heading, Reading::Scaled, 1},
    {"on,runwy", Field::OnGround, Reading::Flag, 1},
    {"gear,0/1", Field::Gear, Reading::Scaled, 1},
};

// Names only OpenSky's state vectors use: with them "heading" is the track.
constexpr std::string_view kOpenSkyNames[] = {"lat",          "lon",         "velocity",
                                              "baroaltitude", "geoaltitude", "vertrate"};

std::string Lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// A column name as the known names are written: X-Plane pads its names with
// underscores and blanks, traffic joins words with them.
std::string Normalised(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == '_' || c == ' ' || c == '\t') continue;
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

// The fields of a line split at sep, each as written (quotes and blanks kept). False
// when a quoted field is not closed on the line.
bool SplitFields(std::string_view line, char sep, std::vector<std::string_view>& fields) {
  fields.clear();
  const std::size_t n = line.size();
  std::size_t start = 0;
  while (true) {
    std::size_t at = start;
    while (at < n && line[at] != sep && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at < n && line[at] == '"') {
      for (++at;; ++at) {
        if (at >= n) return false;
        if (line[at] != '"') continue;
        if (at + 1 < n && line[at + 1] == '"') {
          ++at;  // a doubled quote stands for one
          continue;
        }
        ++at;
        break;
      }
    }
    // Fields are short: a plain walk beats a search call per field.
    std::size_t end = at;
    while (end < n && line[end] != sep) ++end;
    fields.push_back(line.substr(start, end - start));
    if (end == n) return true;
    start = end + 1;
  }
}

// A field's text: blanks around it dropped, its quotes taken off and doubled quotes
// made single. The view is into the field or into buffer.
std::string_view FieldText(std::string_view raw, std::string& buffer) {
  raw = TrimBlanks(raw);
  if (raw.empty() || raw.front() != '"') return raw;
  buffer.clear();
  std::size_t at = 1;
  while (at < raw.size()) {
    if (raw[at] == '"') {
      if (at + 1 < raw.size() && raw[at + 1] == '"') {
        buffer += '"';
        at += 2;
        continue;
      }
      ++at;
      break;
    }
    buffer += raw[at++];
  }
  buffer.append(raw.substr(at));  // anything after the closing quote
  return buffer;
}

std::vector<std::string> FieldTexts(const std::vector<std::string_view>& raw) {
  std::vector<std::string> names;
  names.reserve(raw.size());
  std::string buffer;
  for (std::string_view field : raw) names.emplace_back(FieldText(field, buffer));
  // A line ending in a separator (as X-Plane writes them) has no column after it.
  while (!names.empty() && names.back().empty()) names.pop_back();
  return names;
}

// The columns known by their names.
Layout RecogniseByName(const std::vector<std::string>& names) {
  std::vector<std::string> keys;
  keys.reserve(names.size());
  for (const std::string& n : names) keys.push_back(Normalised(n));
  auto find = [&](std::string_view key) -> int {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (keys[i] == key) return static_cast<int>(i);
    }
    return -1;
  };
  Layout layout;
  for (const KnownName& known : kKnownNames) {
    Use& use = At(layout, known.field);
    if (use.used()) continue;
    const int column = find(known.key);
    if (column >= 0) use = {column, known.reading, known.factor};
  }
  bool openSky = false;
  for (std::string_view key : kOpenSkyNames) openSky = openSky || find(key) >= 0;
  if (openSky && At(layout, Field::Heading).used()) {
    // OpenSky's heading is the direction of travel over the ground.
    if (!At(layout, Field::Track).used()) At(layout, Field::Track) = At(layout, Field::Heading);
    At(layout, Field::Heading) = Use{};
  }
  return layout;
}

// One entry of a column map.
struct MapEntry {
  std::string column;
  Field field;
  Reading reading;
  double factor;
};

struct UnitChoice {
  std::string_view unit;
  Reading reading;
  double factor;
};

struct MapChannel {
  std::string_view name;
  Field field;
  std::vector<UnitChoice> units;  // the first is the one without a unit
};

std::vector<MapChannel> MapChannels() {
  const std::vector<UnitChoice> angle = {{"deg", Reading::Scaled, 1},
                                         {"rad", Reading::Scaled, kDegreesPerRadian}};
  const std::vector<UnitChoice> speed = {{"kt", Reading::Scaled, 1},
                                         {"m/s", Reading::Scaled, kKnotsPerMetrePerSecond},
                                         {"km/h", Reading::Scaled, kKnotsPerKmh}};
  return {
      {"timestamp",
       Field::Time,
       {{"", Reading::AnyTime, 1},
        {"s", Reading::Seconds, 1},
        {"ms", Reading::Milliseconds, 1},
        {"iso", Reading::Iso, 1}}},
      {"latitude", Field::Latitude, angle},
      {"longitude", Field::Longitude, angle},
      {"altitude",
       Field::Altitude,
       {{"ft", Reading::Scaled, 1}, {"m", Reading::Scaled, kFeetPerMetre}}},
      {"groundspeed", Field::GroundSpeed, speed},
      {"track", Field::Track, angle},
      {"vertical_rate",
       Field::VerticalRate,
       {{"ft/min", Reading::Scaled, 1},
        {"fpm", Reading::Scaled, 1},
        {"m/s", Reading::Scaled, kFeetPerMinutePerMetrePerSecond}}},
      {"onground", Field::OnGround, {{"bool", Reading::Flag, 1}}},
      {"ias", Field::Ias, speed},
      {"tas", Field::Tas, speed},
      {"heading", Field::Heading, angle},
      {"pitch", Field::Pitch, angle},
      {"roll", Field::Roll, angle},
      {"gear", Field::Gear, {{"fraction", Reading::Scaled, 1}, {"percent", Reading::Scaled, 0.01}}},
  };
}

// The units a channel takes, for messages: "ft, m".
std::string UnitList(const MapChannel& channel) {
  std::string list;
  for (const UnitChoice& u : channel.units) {
    if (u.unit.empty()) continue;
    list += (list.empty() ? "" : ", ") + std::string(u.unit);
  }
  return list;
}

Result<MapEntry> ParseMapEntry(std::string_view column, simdjson::dom::element mapping) {
  const std::string quoted = "\"" + std::string(column) + "\"";
  simdjson::dom::object object;
  if (mapping.get_object().get(object) != simdjson::SUCCESS) {
    return Error{"the entry of column " + quoted + " is not an object"};
  }
  std::string_view channelName;
  if (object["channel"].get_string().get(channelName) != simdjson::SUCCESS) {
    return Error{"the entry of column " + quoted + " names no channel"};
  }
  std::string_view unit;
  const auto unitError = object["unit"].get_string().get(unit);
  if (unitError != simdjson::SUCCESS && unitError != simdjson::NO_SUCH_FIELD) {
    return Error{"the unit of column " + quoted + " is not text"};
  }
  const std::vector<MapChannel> channels = MapChannels();
  const std::string channelKey = Lowered(channelName);
  for (const MapChannel& channel : channels) {
    if (channel.name != channelKey) continue;
    const std::string unitKey = Lowered(TrimBlanks(unit));
    if (unitKey.empty()) {
      const UnitChoice& u = channel.units.front();
      return MapEntry{std::string(column), channel.field, u.reading, u.factor};
    }
    for (const UnitChoice& u : channel.units) {
      if (!u.unit.empty() && u.unit == unitKey) {
        return MapEntry{std::string(column), channel.field, u.reading, u.factor};
      }
    }
    return Error{"unknown unit \"" + std::string(unit) + "\" of column " + quoted + " (" +
                 std::string(channel.name) + " takes " + UnitList(channel) + ")"};
  }
  return Error{"unknown channel \"" + std::string(channelName) + "\" of column " + quoted};
}

// The entries of a column map's JSON text.
Result<std::vector<MapEntry>> ParseColumnMap(const std::string& json) {
  std::vector<MapEntry> entries;
  if (TrimBlanks(json).empty()) return entries;
  simdjson::dom::parser parser;
  const simdjson::padded_string padded(json);
  simdjson::dom::element root;
  if (const auto error = parser.parse(padded).get(root); error != simdjson::SUCCESS) {
    return Error{std::string("not valid JSON: ") + simdjson::error_message(error)};
  }
  simdjson::dom::object object;
  if (root.get_object().get(object) != simdjson::SUCCESS) return Error{"not a JSON object"};
  for (const auto field : object) {
    auto entry = ParseMapEntry(field.key, field.value);
    if (!entry) return entry.error();
    for (const MapEntry& before : entries) {
      if (before.field == entry->field) {
        return Error{"columns \"" + before.column + "\" and \"" + entry->column +
                     "\" are given the same channel"};
      }
    }
    entries.push_back(std::move(*entry));
  }
  return entries;
}

// The column of a header a map names: its name as written, else without case.
int FindColumn(const std::vector<std::string>& names, std::string_view column) {
  const std::string_view wanted = TrimBlanks(column);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == wanted) return static_cast<int>(i);
  }
  const std::string lowered = Lowered(wanted);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (Lowered(names[i]) == lowered) return static_cast<int>(i);
  }
  return -1;
}

// The columns known by name, then those the map names read as it says. An error
// names a mapped column the header does not have.
Result<Layout> LayoutOf(const std::vector<std::string>& names, const std::vector<MapEntry>& map) {
  Layout layout = RecogniseByName(names);
  for (const MapEntry& entry : map) {
    const int column = FindColumn(names, entry.column);
    if (column < 0) {
      return Error{"the column map names column \"" + entry.column +
                   "\", which the header does not have"};
    }
    // The column feeds only what the map says, and that only from this column.
    for (Use& use : layout) {
      if (use.column == column) use = Use{};
    }
    At(layout, entry.field) = {column, entry.reading, entry.factor};
    if (entry.field == Field::Altitude) At(layout, Field::GeoAltitude) = Use{};
  }
  return layout;
}

bool HasTimeAndPosition(const Layout& layout) {
  return At(layout, Field::Time).used() && At(layout, Field::Latitude).used() &&
         At(layout, Field::Longitude).used();
}

// The separator of a header line: the first whose columns have a time and a
// position, else the one that splits it into the most columns; 0 when a quote is
// not closed.
char ChooseSeparator(std::string_view header, const std::vector<MapEntry>& map) {
  std::vector<std::string_view> raw;
  char most = ',';
  std::size_t mostColumns = 0;
  for (char sep : kSeparators) {
    if (header.find(sep) == std::string_view::npos) continue;
    if (!SplitFields(header, sep, raw)) return 0;
    const std::vector<std::string> names = FieldTexts(raw);
    std::vector<MapEntry> present;  // a map's columns this split has
    for (const MapEntry& e : map) {
      if (FindColumn(names, e.column) >= 0) present.push_back(e);
    }
    const auto layout = LayoutOf(names, present);
    if (layout && HasTimeAndPosition(*layout)) return sep;
    if (names.size() > mostColumns) {
      most = sep;
      mostColumns = names.size();
    }
  }
  return most;
}

// The first line that is not blank, with its number; nothing when there is none.
std::optional<std::string_view> HeaderLine(LineCursor& lines) {
  for (std::string_view line; lines.Next(line);) {
    if (!TrimBlanks(line).empty()) return line;
  }
  return std::nullopt;
}

// What a header lacks, for the message: "time", "latitude and longitude".
std::string MissingColumns(const Layout& layout) {
  std::vector<std::string> missing;
  if (!At(layout, Field::Time).used()) missing.emplace_back("time");
  if (!At(layout, Field::Latitude).used()) missing.emplace_back("latitude");
  if (!At(layout, Field::Longitude).used()) missing.emplace_back("longitude");
  std::string text;
  for (std::size_t i = 0; i < missing.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ") + missing[i];
  }
  return text;
}

// The words: lower case.
bool IsAnyOf(std::string_view text, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words) {
    if (EqualIgnoringCase(text, w)) return true;
  }
  return false;
}

bool IsMissingValue(std::string_view text) {
  if (text.empty()) return true;
  // Most cells are numbers: no word of a missing value starts like one.
  const char c = text.front();
  if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') return false;
  return IsAnyOf(text, {"nan", "null", "none"});
}

std::optional<double> ParseFlag(std::string_view text) {
  if (IsAnyOf(text, {"true", "t", "yes"})) return 1.0;
  if (IsAnyOf(text, {"false", "f", "no"})) return 0.0;
  const auto number = ParseNumber(text);
  if (!number) return std::nullopt;
  return *number != 0 ? 1.0 : 0.0;
}

std::optional<double> ParseTime(std::string_view text, Reading reading) {
  switch (reading) {
    case Reading::AnyTime:
      if (const auto number = ParseNumber(text)) {
        return std::fabs(*number) > kMillisecondsAbove ? *number / 1000 : *number;
      }
      return ParseIsoTime(text);
    case Reading::Milliseconds:
      if (const auto number = ParseNumber(text)) return *number / 1000;
      return std::nullopt;
    case Reading::Iso:
      return ParseIsoTime(text);
    default:
      return ParseNumber(text);
  }
}

// What is wrong with a cell, for the message.
enum class CellFault { Unreadable, OutOfRange };

// A moment in the years a date can name.
std::variant<double, CellFault> TimeValue(std::string_view text, Reading reading) {
  const auto seconds = ParseTime(text, reading);
  if (!seconds) return CellFault::Unreadable;
  if (*seconds < kEarliestTime || *seconds > kLatestTime) return CellFault::OutOfRange;
  return *seconds;
}

// A cell's value in the sample's unit (NaN when the cell is empty), or why it has
// none.
std::variant<double, CellFault> CellValue(std::string_view text, const Use& use) {
  if (IsMissingValue(text)) return kNoValue;
  switch (use.reading) {
    case Reading::Flag:
      if (const auto flag = ParseFlag(text)) return *flag;
      return CellFault::Unreadable;
    case Reading::Scaled: {
      const auto number = ParseNumber(text);
      if (!number) return CellFault::Unreadable;
      const double value = *number * use.factor;
      if (!(std::fabs(value) <= kMaxMagnitude)) return CellFault::OutOfRange;
      return value;
    }
    default:
      return TimeValue(text, use.reading);
  }
}

double TrackPoint::*PointField(Field f) {
  switch (f) {
    case Field::Time:
      return &TrackPoint::utcSeconds;
    case Field::Latitude:
      return &TrackPoint::latitudeDeg;
    case Field::Longitude:
      return &TrackPoint::longitudeDeg;
    case Field::Altitude:
    case Field::GeoAltitude:
      return &TrackPoint::altitudeFt;
    case Field::GroundSpeed:
      return &TrackPoint::groundSpeedKt;
    case Field::Track:
      return &TrackPoint::trackDeg;
    case Field::VerticalRate:
      return &TrackPoint::verticalRateFpm;
    case Field::OnGround:
      return &TrackPoint::onGround;
    case Field::Ias:
      return &TrackPoint::iasKt;
    case Field::Tas:
      return &TrackPoint::tasKt;
    case Field::Heading:
      return &TrackPoint::headingDeg;
    case Field::Pitch:
      return &TrackPoint::pitchDeg;
    case Field::Roll:
      return &TrackPoint::rollDeg;
    case Field::Gear:
      return &TrackPoint::gearDown;
    default:
      return nullptr;
  }
}

void DeclareChannels(const Layout& layout, TrackBuilder& builder) {
  const std::pair<Field, Channel> declared[] = {
      {Field::Altitude, Channel::Altitude},
      {Field::GeoAltitude, Channel::Altitude},
      {Field::GroundSpeed, Channel::GroundSpeed},
      {Field::Track, Channel::Track},
      {Field::VerticalRate, Channel::VerticalRate},
      {Field::OnGround, Channel::OnGround},
      {Field::Ias, Channel::Ias},
      {Field::Tas, Channel::Tas},
      {Field::Heading, Channel::Heading},
      {Field::Pitch, Channel::Pitch},
      {Field::Roll, Channel::Roll},
      {Field::Gear, Channel::Gear},
  };
  for (const auto& [field, channel] : declared) {
    if (At(layout, field).used()) builder.Declare(channel);
  }
}

// A fault in a row: its line, counted from the start of its piece, and what was wrong.
struct RowFault {
  int line;
  std::string what;
};

// What a piece of the rows gives: their points with their lines (counted from the
// start of the piece), the first callsign and transponder address among them, and
// the fault that ended the piece, if one did.
struct RowPiece {
  std::string_view text;  // whole lines
  int lineCount = 0;
  std::vector<TrackPoint> points;
  std::vector<int> lines;
  std::string callsign;
  std::string aircraft;
  std::optional<RowFault> fault;
};

// Reads rows into points. One reader serves one piece at a time: it keeps the
// fields of the row at hand.
class RowReader {
 public:
  RowReader(const std::vector<std::string>& names, const Layout& layout, char sep,
            std::string_view header)
      : names_(names), layout_(layout), sep_(sep), header_(header) {}

  void ReadPiece(RowPiece& piece) {
    LineCursor lines = LineCursor::Within(piece.text, 0);
    for (std::string_view line; lines.Next(line);) {
      piece.lineCount = lines.number();
      // Blank lines, and the header again where files were joined, hold no sample.
      if (TrimBlanks(line).empty() || line == header_) continue;
      TrackPoint point;
      if (auto fault = Read(line, point, piece)) {
        piece.fault = RowFault{lines.number(), std::move(*fault)};
        return;
      }
      piece.points.push_back(point);
      piece.lines.push_back(lines.number());
    }
  }

 private:
  // What is wrong with the row, or nothing when its point was read.
  std::optional<std::string> Read(std::string_view line, TrackPoint& point, RowPiece& piece) {
    if (!SplitFields(line, sep_, raw_)) return "a quoted field is not closed";
    if (raw_.size() < names_.size()) {
      return Format("%zu fields where the header has %zu", raw_.size(), names_.size());
    }
    for (std::size_t f = 0; f < kFieldCount; ++f) {
      const Use& use = layout_[f];
      if (!use.used()) continue;
      const auto column = static_cast<std::size_t>(use.column);
      const std::string_view text = FieldText(raw_[column], buffer_);
      const auto field = static_cast<Field>(f);
      if (use.reading == Reading::Text) {
        TakeName(text, field == Field::Callsign ? piece.callsign : piece.aircraft);
        continue;
      }
      const auto value = CellValue(text, use);
      if (const auto* fault = std::get_if<CellFault>(&value)) {
        const char* what = *fault == CellFault::Unreadable ? "unreadable" : "out-of-range";
        return Format("%s value \"%s\" in column %s", what, std::string(text).c_str(),
                      names_[column].c_str());
      }
      double& target = point.*PointField(field);
      // The geometric altitude only where the barometric one is missing.
      if (field == Field::GeoAltitude && !std::isnan(target)) continue;
      target = std::get<double>(value);
    }
    return std::nullopt;
  }

  // The first callsign and transponder address the rows give name the flight.
  static void TakeName(std::string_view text, std::string& target) {
    text = TrimBlanks(text);  // OpenSky pads callsigns to eight characters
    if (target.empty() && !IsMissingValue(text)) target = std::string(text);
  }

  const std::vector<std::string>& names_;
  const Layout& layout_;
  char sep_;
  std::string_view header_;
  std::vector<std::string_view> raw_;
  std::string buffer_;
};

// Rows are read a batch at a time: the batch's pieces on every core, then their
// points go to the builder in the file's order, so a fault is the first one in the
// file and a file beyond a flight's samples stops within a batch of the limit.
constexpr std::size_t kBatchBytes = 8 << 20;
constexpr std::size_t kPieceBytes = 256 << 10;

// The next pieces of whole lines from the start of rest, about a batch in all. The
// pieces of the batch before are emptied and used again, with the room they made.
void NextPieces(std::string_view& rest, std::vector<RowPiece>& pieces) {
  for (RowPiece& piece : pieces) {
    piece.lineCount = 0;
    piece.points.clear();
    piece.lines.clear();
    piece.callsign.clear();
    piece.aircraft.clear();
    piece.fault.reset();
  }
  std::size_t count = 0;
  std::size_t taken = 0;
  while (!rest.empty() && taken < kBatchBytes) {
    std::size_t end = rest.size();
    if (rest.size() > kPieceBytes) {
      const std::size_t newline = rest.find('\n', kPieceBytes - 1);
      if (newline != std::string_view::npos) end = newline + 1;
    }
    if (count == pieces.size()) pieces.emplace_back();
    pieces[count++].text = rest.substr(0, end);
    rest.remove_prefix(end);
    taken += end;
  }
  pieces.resize(count);
}

// Reads a batch's pieces and gives their points to the builder. lineBefore: the
// number of the line before the batch, advanced past it.
Status ReadBatch(std::vector<RowPiece>& pieces, const RowReader& prototype, const std::string& name,
                 int& lineBefore, TrackBuilder& builder) {
  tbb::parallel_for(std::size_t{0}, pieces.size(), [&](std::size_t k) {
    RowReader reader = prototype;
    reader.ReadPiece(pieces[k]);
  });
  Flight& flight = builder.flight();
  for (RowPiece& piece : pieces) {
    for (std::size_t i = 0; i < piece.points.size(); ++i) {
      if (Status added = builder.Add(piece.points[i], lineBefore + piece.lines[i]); !added) {
        return added;
      }
    }
    if (piece.fault) {
      return Status::Fail(
          ReadErrorAt(name, lineBefore + piece.fault->line, piece.fault->what).message);
    }
    if (flight.callsign.empty()) flight.callsign = std::move(piece.callsign);
    if (flight.aircraft.empty()) flight.aircraft = std::move(piece.aircraft);
    lineBefore += piece.lineCount;
  }
  return Status::Ok();
}

}  // namespace

std::vector<ColumnMapChannel> ColumnMapVocabulary() {
  std::vector<ColumnMapChannel> out;
  for (const MapChannel& channel : MapChannels()) {
    ColumnMapChannel c{std::string(channel.name), {}};
    for (const UnitChoice& u : channel.units) c.units.emplace_back(u.unit);
    out.push_back(std::move(c));
  }
  return out;
}

std::string ColumnMapJson(const std::vector<ColumnChoice>& choices) {
  JsonObject map;
  for (const ColumnChoice& c : choices) {
    JsonObject entry;
    entry.Add("channel", c.channel);
    if (!c.unit.empty()) entry.Add("unit", c.unit);
    map.AddRaw(c.column, entry.Str());
  }
  return map.Str();
}

std::optional<std::vector<ColumnChoice>> ColumnChoicesOf(const std::string& columnMap) {
  if (!ParseColumnMap(columnMap)) return std::nullopt;
  std::vector<ColumnChoice> choices;
  if (TrimBlanks(columnMap).empty()) return choices;
  // A map that parsed above is an object of objects with text fields.
  simdjson::dom::parser parser;
  const simdjson::padded_string padded(columnMap);
  simdjson::dom::object object;
  if (parser.parse(padded).get_object().get(object) != simdjson::SUCCESS) return std::nullopt;
  for (const auto field : object) {
    std::string_view channel, unit;
    // The map parsed above: a channel is there, a unit may not be.
    if (field.value["channel"].get_string().get(channel) != simdjson::SUCCESS) return std::nullopt;
    if (field.value["unit"].get_string().get(unit) != simdjson::SUCCESS) unit = {};
    choices.push_back({std::string(field.key), std::string(channel), std::string(unit)});
  }
  return choices;
}

bool LooksLikeDelimited(std::string_view head) {
  if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
  const std::size_t end = head.find('\n');
  if (end == std::string_view::npos ? head.size() > kMaxHeaderLength : end > kMaxHeaderLength) {
    return false;
  }
  std::string_view line = head.substr(0, end);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string_view> raw;
  for (char sep : kSeparators) {
    if (line.find(sep) == std::string_view::npos || !SplitFields(line, sep, raw)) continue;
    if (HasTimeAndPosition(RecogniseByName(FieldTexts(raw)))) return true;
  }
  return false;
}

std::vector<std::string> DelimitedColumnNames(std::string_view text) {
  LineCursor lines(text);
  const auto header = HeaderLine(lines);
  if (!header || header->size() > kMaxHeaderLength) return {};
  const char sep = ChooseSeparator(*header, {});
  std::vector<std::string_view> raw;
  if (sep == 0 || header->find(sep) == std::string_view::npos || !SplitFields(*header, sep, raw)) {
    return {};
  }
  return FieldTexts(raw);
}

Result<LoadedFlight> ReadDelimited(std::string_view text, const std::string& name,
                                   const std::string& columnMap) {
  LineCursor lines(text);
  const auto header = HeaderLine(lines);
  if (!header) return Error{name + ": no header line"};
  const int headerNumber = lines.number();
  auto fail = [&](const std::string& what) { return ReadErrorAt(name, headerNumber, what); };
  if (header->size() > kMaxHeaderLength) return fail("a header line longer than 64 KB");
  const auto map = ParseColumnMap(columnMap);
  if (!map) return fail("column map: " + map.error().message);

  const char sep = ChooseSeparator(*header, *map);
  std::vector<std::string_view> raw;
  if (sep == 0 || !SplitFields(*header, sep, raw)) return fail("a quoted field is not closed");
  const std::vector<std::string> names = FieldTexts(raw);
  const auto layout = LayoutOf(names, *map);
  if (!layout) return fail(layout.error().message);
  if (!HasTimeAndPosition(*layout)) {
    return fail("no " + MissingColumns(*layout) +
                " column; a column map can say which columns hold what");
  }

  TrackBuilder builder(name, "csv");
  builder.Reserve(EstimateLines(lines.rest()));
  DeclareChannels(*layout, builder);
  const RowReader rows(names, *layout, sep, *header);
  std::string_view rest = lines.rest();
  int lineBefore = lines.number();
  std::vector<RowPiece> pieces;
  while (!rest.empty()) {
    NextPieces(rest, pieces);
    if (const Status s = ReadBatch(pieces, rows, name, lineBefore, builder); !s)
      return Error{s.error};
  }
  auto loaded = builder.Finish();
  // A simulator session's seconds are no date.
  if (loaded && At(*layout, Field::Time).reading == Reading::SessionSeconds) {
    loaded->flight.date.reset();
  }
  return loaded;
}

}  // namespace quarn

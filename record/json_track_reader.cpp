#include "record/json_track_reader.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/format.h"
#include "record/text_input.h"
#include "record/track_builder.h"

namespace quarn {
namespace {

namespace od = simdjson::ondemand;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A Unix time above this counts milliseconds: as seconds it would fall after the year
// 5000, as milliseconds it falls after 1973.
constexpr double kMillisecondTimesAbove = 1e11;
// The times a flight may hold: from 1970 to the end of 9999, the years a date is
// written with.
constexpr double kLatestTime = 253402300799.0;
// Lists and objects nested deeper than this in a value the flight does not use are
// refused: no track needs them, and checking them would take a stack frame each.
constexpr int kDeepestNesting = 64;

// A number field that feeds a channel as it is written.
struct NumberChannel {
  std::string_view key;
  double TrackPoint::*field;
  Channel channel;
};

// A record of the list: the names and units of the Python ADS-B tools.
constexpr NumberChannel kRecordChannels[] = {
    {"altitude", &TrackPoint::altitudeFt, Channel::Altitude},
    {"groundspeed", &TrackPoint::groundSpeedKt, Channel::GroundSpeed},
    {"track", &TrackPoint::trackDeg, Channel::Track},
    {"vertical_rate", &TrackPoint::verticalRateFpm, Channel::VerticalRate},
    {"ias", &TrackPoint::iasKt, Channel::Ias},
    {"tas", &TrackPoint::tasKt, Channel::Tas},
    {"heading", &TrackPoint::headingDeg, Channel::Heading},
    {"pitch", &TrackPoint::pitchDeg, Channel::Pitch},
    {"roll", &TrackPoint::rollDeg, Channel::Roll},
};

// A trace row's fields by position, as the receiver writes them:
//   0 seconds after the trace's timestamp, 1 latitude, 2 longitude,
//   3 barometric altitude (ft), the text "ground" on the ground, or null,
//   4 ground speed (kt), 5 track (deg true; on the ground it may be the heading),
//   6 flags (& 1: the position is stale, & 2: a new leg starts, & 4 and & 8: rate
//     and altitude geometric), 7 vertical rate (ft/min),
//   8 an object of details or null, of which "flight" (the callsign), "ias", "tas",
//     "roll" and "true_heading" are read,
//   9 the source of the position, 10 geometric altitude, 11 geometric vertical rate,
//   12 indicated airspeed (kt), 13 roll (deg) -- these in files since 2022.
// Read are 0-8, 12 and 13; a new leg starts a new piece of track.
enum TraceField : std::size_t {
  kRowTime = 0,
  kRowLatitude = 1,
  kRowLongitude = 2,
  kRowAltitude = 3,
  kRowGroundSpeed = 4,
  kRowTrack = 5,
  kRowFlags = 6,
  kRowVerticalRate = 7,
  kRowDetails = 8,
  kRowIas = 12,
  kRowRoll = 13,
};
constexpr std::int64_t kNewLegFlag = 2;

constexpr NumberChannel kTraceDetailChannels[] = {
    {"ias", &TrackPoint::iasKt, Channel::Ias},
    {"tas", &TrackPoint::tasKt, Channel::Tas},
    {"roll", &TrackPoint::rollDeg, Channel::Roll},
    {"true_heading", &TrackPoint::headingDeg, Channel::Heading},
};

const char* TypeName(od::json_type type) {
  switch (type) {
    case od::json_type::array:
      return "a list";
    case od::json_type::object:
      return "an object";
    case od::json_type::number:
      return "a number";
    case od::json_type::string:
      return "text";
    case od::json_type::boolean:
      return "true or false";
    case od::json_type::null:
      return "null";
  }
  return "of no known type";
}

// Text from the file for a message: cut short when long (not inside a character), and
// a control character, which an unescaped string may hold, shown as "?".
std::string Quoted(std::string_view text) {
  constexpr std::size_t kLongest = 40;
  std::size_t cut = text.size();
  if (cut > kLongest) {
    cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  }
  std::string quoted = "\"" + std::string(text.substr(0, cut));
  for (std::size_t i = 1; i < quoted.size(); ++i) {
    if (static_cast<unsigned char>(quoted[i]) < 0x20) quoted[i] = '?';
  }
  return quoted + (cut < text.size() ? "...\"" : "\"");
}

std::string TrimmedLabel(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(start, end - start + 1));
}

// The key of a field. One without an escape, as keys are, is taken as written: simdjson
// would copy every key it unescapes into a buffer as long as the file.
simdjson::error_code KeyOf(od::field& field, std::string_view& key) {
  const char* raw = field.key().raw();
  const char* end = raw;
  // The string was found closed by stage one: a quote ends it within the buffer.
  while (*end != '"' && *end != '\\') ++end;
  if (*end == '"') {
    key = std::string_view(raw, static_cast<std::size_t>(end - raw));
    return simdjson::SUCCESS;
  }
  return field.unescaped_key().get(key);
}

// The records of a piece of a list, read by themselves: their points, the channels
// their fields name, and the first callsign and transponder address among them. The
// text as parsed and the parser are kept for the next piece.
struct RecordPiece {
  std::vector<TrackPoint> points;
  std::array<bool, kChannelCount> declared{};
  std::string callsign;
  std::string icao;
  std::vector<char> text;  // "[" records "]", and the room simdjson reads past the end
  od::parser parser;
};

class JsonTrackReader {
 public:
  JsonTrackReader(std::string_view text, const std::string& name)
      : name_(name), builder_(name, "json") {
    // simdjson reads no byte-order mark; offsets still count it.
    if (text.starts_with(kByteOrderMark)) {
      text.remove_prefix(kByteOrderMark.size());
      skipped_ = kByteOrderMark.size();
    }
    text_ = text;
  }
  // A reader of a piece of a list of records, its text already in the piece.
  JsonTrackReader(RecordPiece& piece, std::size_t length, const std::string& name)
      : name_(name),
        text_(piece.text.data(), length),
        jsonData_(piece.text.data()),
        builder_(name, "json"),
        piece_(&piece) {}

  Result<LoadedFlight> Read();
  // Reads the piece's records into it; listStart: its first record is the list's.
  // False at anything the reading of the whole file would report.
  bool ReadPiece(bool listStart);

 private:
  // The records of the list in the document; listStart: the first one read is the
  // list's first. count: how many were read.
  Status ReadRecords(bool listStart, std::size_t& count);
  Status ReadRecord(od::value& record, bool first);
  Status ReadRecordField(std::string_view key, od::value& value, TrackPoint& point, bool& knownKey);
  Status ReadTrace();
  Status ReadRow(od::value& row, double startTime);
  Status ReadRowField(std::size_t index, od::value& value, TrackPoint& point, std::int64_t& flags);
  Status ReadTraceAltitude(od::value& value, TrackPoint& point);
  Status ReadTraceDetails(od::value& value, TrackPoint& point);

  // Values: a missing one (null) is NaN; one of another type is an error naming the
  // item being read.
  Status ReadNumber(od::value& value, std::string_view key, double& out);
  Status ReadNumberOrBool(od::value& value, std::string_view key, double& out);
  Status ReadRecordTime(od::value& value, double& out);
  Status ReadLabel(od::value& value, std::string& out);
  Status CheckValue(od::value& value, int depth = 0);

  void Declare(Channel c);
  Status AddPoint(const TrackPoint& point);
  Status ExpectEnd();

  // The record or row being read, for messages.
  void StartItem(const char* kind, std::size_t index, od::value& value);
  Status Problem(const std::string& what);
  Status UnknownShape() const;
  Status Syntax(simdjson::error_code code);
  // A value that is not what its first byte says, named by where it starts.
  Status SyntaxAt(simdjson::error_code code, od::value& value);
  Error SyntaxError(simdjson::error_code code, std::size_t offset = std::string_view::npos);

  std::size_t OffsetOf(const char* at) const;
  int LineAt(std::size_t offset);

  std::string name_;
  std::string_view text_;  // without a byte-order mark
  std::size_t skipped_ = 0;
  simdjson::padded_string json_;
  const char* jsonData_ = nullptr;  // the text as parsed: offsets count from here
  od::parser parser_;
  od::document doc_;
  bool iterating_ = false;
  TrackBuilder builder_;
  RecordPiece* piece_ = nullptr;  // when reading a piece rather than the whole file

  const char* itemKind_ = "record";
  std::size_t itemIndex_ = 0;
  // Where the item starts: its line is counted only for a message.
  std::size_t itemOffset_ = 0;
  std::size_t linesCountedTo_ = 0;
  std::int64_t lineAtCounted_ = 1;

  std::string callsign_;
  std::string icao_;
  std::string aircraftType_;
};

Result<LoadedFlight> JsonTrackReader::Read() {
  json_ = simdjson::padded_string(text_);
  jsonData_ = json_.data();
  if (const auto e = parser_.iterate(json_).get(doc_)) return SyntaxError(e);
  iterating_ = true;
  od::json_type type{};
  if (const auto e = doc_.type().get(type)) return SyntaxError(e);
  Status read = UnknownShape();
  if (type == od::json_type::array) {
    std::size_t count = 0;
    read = ReadRecords(true, count);
  } else if (type == od::json_type::object) {
    read = ReadTrace();
  }
  if (!read) return Error{read.error};
  if (Status end = ExpectEnd(); !end) return Error{end.error};
  // The parse's buffers go before the flight's samples are made; doc_ is done with.
  parser_ = od::parser();
  json_ = simdjson::padded_string();
  builder_.flight().callsign = callsign_;
  builder_.flight().aircraft = aircraftType_.empty() ? icao_ : aircraftType_;
  return builder_.Finish();
}

bool JsonTrackReader::ReadPiece(bool listStart) {
  RecordPiece& piece = *piece_;
  piece.points.clear();
  piece.declared.fill(false);
  const simdjson::padded_string_view json(piece.text.data(), text_.size(), piece.text.size());
  if (piece.parser.iterate(json).get(doc_) != simdjson::SUCCESS) return false;
  iterating_ = true;
  od::json_type type{};
  if (doc_.type().get(type) != simdjson::SUCCESS || type != od::json_type::array) return false;
  std::size_t count = 0;
  // A piece holds records, and the list in its text ends where the text does.
  if (!ReadRecords(listStart, count) || count == 0 || !ExpectEnd()) return false;
  piece.callsign = std::move(callsign_);
  piece.icao = std::move(icao_);
  return true;
}

Status JsonTrackReader::ReadRecords(bool listStart, std::size_t& count) {
  od::array records;
  if (const auto e = doc_.get_array().get(records)) return Syntax(e);
  std::size_t index = 0;
  for (auto element : records) {
    od::value record;
    if (const auto e = std::move(element).get(record)) return Syntax(e);
    StartItem("record", index, record);
    if (Status s = ReadRecord(record, listStart && index == 0); !s) return s;
    ++index;
  }
  count = index;
  return Status::Ok();
}

Status JsonTrackReader::ReadRecord(od::value& record, bool first) {
  od::json_type type{};
  if (const auto e = record.type().get(type)) return Syntax(e);
  // A list of something else than records is not a track.
  if (type != od::json_type::object) {
    return first ? UnknownShape() : Problem(std::string("is ") + TypeName(type) + ", not a record");
  }
  od::object fields;
  if (const auto e = record.get_object().get(fields)) return Syntax(e);
  TrackPoint point;
  bool knownKey = false;
  for (auto element : fields) {
    od::field field;
    if (const auto e = std::move(element).get(field)) return Syntax(e);
    std::string_view key;
    if (const auto e = KeyOf(field, key)) return Syntax(e);
    if (Status s = ReadRecordField(key, field.value(), point, knownKey); !s) return s;
  }
  if (first && !knownKey) return UnknownShape();
  return AddPoint(point);
}

Status JsonTrackReader::ReadRecordField(std::string_view key, od::value& value, TrackPoint& point,
                                        bool& knownKey) {
  if (key == "timestamp") {
    knownKey = true;
    return ReadRecordTime(value, point.utcSeconds);
  }
  if (key == "latitude") {
    knownKey = true;
    return ReadNumber(value, key, point.latitudeDeg);
  }
  if (key == "longitude") {
    knownKey = true;
    return ReadNumber(value, key, point.longitudeDeg);
  }
  for (const NumberChannel& c : kRecordChannels) {
    if (key != c.key) continue;
    Declare(c.channel);
    return ReadNumber(value, key, point.*c.field);
  }
  if (key == "onground") {
    Declare(Channel::OnGround);
    if (Status s = ReadNumberOrBool(value, key, point.onGround); !s) return s;
    if (!std::isnan(point.onGround)) point.onGround = point.onGround != 0 ? 1 : 0;
    return Status::Ok();
  }
  if (key == "gear") {
    Declare(Channel::Gear);
    return ReadNumberOrBool(value, key, point.gearDown);
  }
  if (key == "callsign") return ReadLabel(value, callsign_);
  if (key == "icao24") return ReadLabel(value, icao_);
  return CheckValue(value);  // a field the flight has no place for
}

Status JsonTrackReader::ReadTrace() {
  const std::size_t start = text_.find_first_not_of(" \t\r\n");
  const int topLine = LineAt(start == std::string_view::npos ? 0 : start);
  // The fields in the order they come, the rows set aside: they need the timestamp,
  // which may come after them.
  od::object top;
  if (const auto e = doc_.get_object().get(top)) return Syntax(e);
  bool hasRows = false;
  double startTime = kNoValue;
  for (auto element : top) {
    od::field field;
    if (const auto e = std::move(element).get(field)) return Syntax(e);
    std::string_view key;
    if (const auto e = KeyOf(field, key)) return Syntax(e);
    od::value& value = field.value();
    if (key == "trace") {
      od::json_type type{};
      if (const auto e = value.type().get(type)) return Syntax(e);
      if (type != od::json_type::array) return UnknownShape();
      hasRows = true;
    } else if (key == "timestamp" && std::isnan(startTime)) {
      od::json_type type{};
      if (const auto e = value.type().get(type)) return Syntax(e);
      if (type != od::json_type::number || value.get_double().get(startTime)) {
        return Status::Fail(
            ReadErrorAt(name_, topLine, "the trace's timestamp is not a number").message);
      }
    } else if (key == "icao") {
      if (Status s = ReadLabel(value, icao_); !s) return s;
    } else if (key == "t") {
      if (Status s = ReadLabel(value, aircraftType_); !s) return s;
    } else if (Status s = CheckValue(value); !s) {
      return s;
    }
  }
  // Without its rows the object is not a trace.
  if (!hasRows) return UnknownShape();
  if (std::isnan(startTime)) {
    return Status::Fail(ReadErrorAt(name_, topLine, "the trace has no timestamp").message);
  }

  // The row's layout carries these whether or not a row has them.
  for (Channel c : {Channel::Altitude, Channel::GroundSpeed, Channel::Track, Channel::VerticalRate,
                    Channel::OnGround}) {
    builder_.Declare(c);
  }
  doc_.rewind();
  od::object again;
  if (const auto e = doc_.get_object().get(again)) return Syntax(e);
  od::array rows;
  if (const auto e = again.find_field_unordered("trace").get_array().get(rows)) return Syntax(e);
  std::size_t index = 0;
  for (auto element : rows) {
    od::value row;
    if (const auto e = std::move(element).get(row)) return Syntax(e);
    StartItem("row", index, row);
    if (Status s = ReadRow(row, startTime); !s) return s;
    ++index;
  }
  // On past the fields after the rows, checked above, so that what follows the object
  // is seen.
  std::string_view whole;
  if (const auto e = again.raw_json().get(whole)) return Syntax(e);
  return Status::Ok();
}

Status JsonTrackReader::ReadRow(od::value& row, double startTime) {
  od::json_type type{};
  if (const auto e = row.type().get(type)) return Syntax(e);
  if (type != od::json_type::array) {
    return Problem(std::string("is ") + TypeName(type) + ", not a list");
  }
  od::array fields;
  if (const auto e = row.get_array().get(fields)) return Syntax(e);
  TrackPoint point;
  std::int64_t flags = 0;
  std::size_t index = 0;
  for (auto element : fields) {
    od::value value;
    if (const auto e = std::move(element).get(value)) return Syntax(e);
    if (Status s = ReadRowField(index, value, point, flags); !s) return s;
    ++index;
  }
  point.utcSeconds += startTime;  // NaN stays NaN: no time
  if ((flags & kNewLegFlag) != 0) builder_.BreakSegment();
  return AddPoint(point);
}

Status JsonTrackReader::ReadRowField(std::size_t index, od::value& value, TrackPoint& point,
                                     std::int64_t& flags) {
  switch (index) {
    case kRowTime:
      return ReadNumber(value, "time", point.utcSeconds);
    case kRowLatitude:
      return ReadNumber(value, "latitude", point.latitudeDeg);
    case kRowLongitude:
      return ReadNumber(value, "longitude", point.longitudeDeg);
    case kRowAltitude:
      return ReadTraceAltitude(value, point);
    case kRowGroundSpeed:
      return ReadNumber(value, "ground speed", point.groundSpeedKt);
    case kRowTrack:
      return ReadNumber(value, "track", point.trackDeg);
    case kRowFlags: {
      double number = kNoValue;
      if (Status s = ReadNumber(value, "flags", number); !s) return s;
      // Flags are a small integer; anything else sets none.
      if (number >= 0 && number < 65536) flags = static_cast<std::int64_t>(number);
      return Status::Ok();
    }
    case kRowVerticalRate:
      return ReadNumber(value, "vertical rate", point.verticalRateFpm);
    case kRowDetails:
      return ReadTraceDetails(value, point);
    case kRowIas:
      builder_.Declare(Channel::Ias);
      return ReadNumber(value, "indicated airspeed", point.iasKt);
    case kRowRoll:
      builder_.Declare(Channel::Roll);
      return ReadNumber(value, "roll", point.rollDeg);
    default:
      return CheckValue(value);
  }
}

Status JsonTrackReader::ReadTraceAltitude(od::value& value, TrackPoint& point) {
  od::json_type type{};
  if (const auto e = value.type().get(type)) return Syntax(e);
  if (type == od::json_type::string) {
    std::string_view text;
    if (const auto e = value.get_string().get(text)) return SyntaxAt(e, value);
    if (text != "ground") return Problem("altitude " + Quoted(text) + " is not a number");
    point.onGround = 1;  // the altitude stays missing
    return Status::Ok();
  }
  if (Status s = ReadNumber(value, "altitude", point.altitudeFt); !s) return s;
  // A row without an altitude does not say where the aircraft is.
  if (!std::isnan(point.altitudeFt)) point.onGround = 0;
  return Status::Ok();
}

Status JsonTrackReader::ReadTraceDetails(od::value& value, TrackPoint& point) {
  od::json_type type{};
  if (const auto e = value.type().get(type)) return Syntax(e);
  if (type == od::json_type::null) return Status::Ok();
  if (type != od::json_type::object) {
    return Problem(std::string("its details are ") + TypeName(type) + ", not an object");
  }
  od::object details;
  if (const auto e = value.get_object().get(details)) return Syntax(e);
  for (auto element : details) {
    od::field field;
    if (const auto e = std::move(element).get(field)) return Syntax(e);
    std::string_view key;
    if (const auto e = KeyOf(field, key)) return Syntax(e);
    if (key == "flight") {
      if (Status s = ReadLabel(field.value(), callsign_); !s) return s;
      continue;
    }
    const auto channel =
        std::find_if(std::begin(kTraceDetailChannels), std::end(kTraceDetailChannels),
                     [&](const NumberChannel& c) { return c.key == key; });
    if (channel == std::end(kTraceDetailChannels)) {
      if (Status s = CheckValue(field.value()); !s) return s;
      continue;
    }
    builder_.Declare(channel->channel);
    if (Status s = ReadNumber(field.value(), key, point.*(channel->field)); !s) return s;
  }
  return Status::Ok();
}

Status JsonTrackReader::ReadNumber(od::value& value, std::string_view key, double& out) {
  od::json_type type{};
  if (const auto e = value.type().get(type)) return Syntax(e);
  if (type == od::json_type::number) {
    const auto e = value.get_double().get(out);
    if (e == simdjson::NUMBER_ERROR || e == simdjson::INCORRECT_TYPE) {
      return Problem(std::string(key) + " is not a valid number");
    }
    return e ? SyntaxAt(e, value) : Status::Ok();
  }
  if (type == od::json_type::null) {
    bool isNull = false;
    if (const auto e = value.is_null().get(isNull)) return SyntaxAt(e, value);
    if (!isNull) return SyntaxAt(simdjson::N_ATOM_ERROR, value);
    out = kNoValue;
    return Status::Ok();
  }
  return Problem(std::string(key) + " is " + TypeName(type) + ", not a number");
}

Status JsonTrackReader::ReadNumberOrBool(od::value& value, std::string_view key, double& out) {
  od::json_type type{};
  if (const auto e = value.type().get(type)) return Syntax(e);
  if (type != od::json_type::boolean) return ReadNumber(value, key, out);
  bool flag = false;
  if (const auto e = value.get_bool().get(flag)) return SyntaxAt(e, value);
  out = flag ? 1 : 0;
  return Status::Ok();
}

Status JsonTrackReader::ReadRecordTime(od::value& value, double& out) {
  od::json_type type{};
  if (const auto e = value.type().get(type)) return Syntax(e);
  if (type == od::json_type::string) {
    std::string_view text;
    if (const auto e = value.get_string().get(text)) return SyntaxAt(e, value);
    const std::optional<double> time = ParseIsoTime(text);
    if (!time) return Problem("timestamp " + Quoted(text) + " is not a date and time");
    out = *time;
    return Status::Ok();
  }
  if (Status s = ReadNumber(value, "timestamp", out); !s) return s;
  if (std::fabs(out) > kMillisecondTimesAbove) out /= 1000;
  return Status::Ok();
}

Status JsonTrackReader::ReadLabel(od::value& value, std::string& out) {
  od::json_type type{};
  if (const auto e = value.type().get(type)) return Syntax(e);
  // The first record that names it counts; a name that is no text is of no use.
  if (!out.empty() || type != od::json_type::string) return CheckValue(value);
  std::string_view text;
  if (const auto e = value.get_string().get(text)) return SyntaxAt(e, value);
  out = TrimmedLabel(text);
  return Status::Ok();
}

// A value the flight has no use for, read through all the same: simdjson passes over
// what is not read without checking it, and broken JSON is refused wherever it is.
Status JsonTrackReader::CheckValue(od::value& value, int depth) {
  od::json_type type{};
  if (const auto e = value.type().get(type)) return Syntax(e);
  // simdjson counts no depth here: the walk stops before it runs out of stack.
  if (depth >= kDeepestNesting && (type == od::json_type::array || type == od::json_type::object)) {
    return SyntaxAt(simdjson::DEPTH_ERROR, value);
  }
  switch (type) {
    case od::json_type::array: {
      od::array items;
      if (const auto e = value.get_array().get(items)) return Syntax(e);
      for (auto element : items) {
        od::value item;
        if (const auto e = std::move(element).get(item)) return Syntax(e);
        if (Status s = CheckValue(item, depth + 1); !s) return s;
      }
      return Status::Ok();
    }
    case od::json_type::object: {
      od::object fields;
      if (const auto e = value.get_object().get(fields)) return Syntax(e);
      for (auto element : fields) {
        od::field field;
        if (const auto e = std::move(element).get(field)) return Syntax(e);
        std::string_view key;
        if (const auto e = KeyOf(field, key)) return Syntax(e);
        if (Status s = CheckValue(field.value(), depth + 1); !s) return s;
      }
      return Status::Ok();
    }
    case od::json_type::number: {
      double number = 0;
      const auto e = value.get_double().get(number);
      return e ? SyntaxAt(e, value) : Status::Ok();
    }
    case od::json_type::string: {
      // Only an escape can be wrong in a string that stage one let through.
      if (value.raw_json_token().find('\\') == std::string_view::npos) return Status::Ok();
      std::string_view text;
      const auto e = value.get_string().get(text);
      return e ? SyntaxAt(e, value) : Status::Ok();
    }
    case od::json_type::boolean: {
      bool flag = false;
      const auto e = value.get_bool().get(flag);
      return e ? SyntaxAt(e, value) : Status::Ok();
    }
    case od::json_type::null: {
      bool isNull = false;
      if (const auto e = value.is_null().get(isNull)) return SyntaxAt(e, value);
      return isNull ? Status::Ok() : SyntaxAt(simdjson::N_ATOM_ERROR, value);
    }
  }
  return Syntax(simdjson::INCORRECT_TYPE);
}

Status JsonTrackReader::AddPoint(const TrackPoint& point) {
  if (std::isnan(point.utcSeconds)) return Problem("no time");
  if (std::isnan(point.latitudeDeg)) return Problem("no latitude");
  if (std::isnan(point.longitudeDeg)) return Problem("no longitude");
  if (!(point.utcSeconds >= 0 && point.utcSeconds <= kLatestTime)) {
    return Problem(Format("time %.15g s after 1970 is out of range", point.utcSeconds));
  }
  if (piece_ != nullptr) {
    piece_->points.push_back(point);
    return Status::Ok();
  }
  // The builder names no line: the record's is named, and the record after it.
  if (auto refused = builder_.Take(point)) return Problem(*refused);
  return Status::Ok();
}

void JsonTrackReader::Declare(Channel c) {
  if (piece_ != nullptr) {
    piece_->declared[static_cast<std::size_t>(c)] = true;
  } else {
    builder_.Declare(c);
  }
}

Status JsonTrackReader::ExpectEnd() {
  const auto at = doc_.current_location();
  if (at.error()) return Status::Ok();  // past the last token
  return Status::Fail(ReadErrorAtByte(name_, skipped_ + OffsetOf(at.value_unsafe()),
                                      "more after the end of the JSON")
                          .message);
}

void JsonTrackReader::StartItem(const char* kind, std::size_t index, od::value& value) {
  itemKind_ = kind;
  itemIndex_ = index;
  itemOffset_ = OffsetOf(value.raw_json_token().data());
}

// A JSON file is often a single line: the record is named after the line.
Status JsonTrackReader::Problem(const std::string& what) {
  return Status::Fail(
      ReadErrorAt(name_, LineAt(itemOffset_), Format("%s %zu: ", itemKind_, itemIndex_) + what)
          .message);
}

Status JsonTrackReader::UnknownShape() const {
  return Status::Fail(name_ + ": not a list of track records nor a trace");
}

Status JsonTrackReader::Syntax(simdjson::error_code code) {
  return Status::Fail(SyntaxError(code).message);
}

Status JsonTrackReader::SyntaxAt(simdjson::error_code code, od::value& value) {
  return Status::Fail(SyntaxError(code, OffsetOf(value.raw_json_token().data())).message);
}

Error JsonTrackReader::SyntaxError(simdjson::error_code code, std::size_t offset) {
  // Brackets or a string left open: the text ends before the JSON does.
  if (code == simdjson::INCOMPLETE_ARRAY_OR_OBJECT || code == simdjson::UNCLOSED_STRING) {
    const std::size_t end = text_.find_last_not_of(" \t\r\n");
    return ReadErrorAtByte(name_, skipped_ + (end == std::string_view::npos ? 0 : end + 1),
                           "the JSON is cut short");
  }
  if (code == simdjson::EMPTY) return ReadErrorAtByte(name_, skipped_, "no JSON in the file");
  if (code == simdjson::UNESCAPED_CHARS) {
    // The first control character, in a string or between tokens: neither may hold one.
    const auto control = std::find_if(text_.begin(), text_.end(), [](char c) {
      return static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t';
    });
    offset = static_cast<std::size_t>(control - text_.begin());
  } else if (offset == std::string_view::npos) {
    offset = text_.size();
    if (iterating_) {
      const auto at = doc_.current_location();
      if (!at.error()) offset = OffsetOf(at.value_unsafe());
    }
  }
  const bool badWord = code == simdjson::INCORRECT_TYPE || code == simdjson::T_ATOM_ERROR ||
                       code == simdjson::F_ATOM_ERROR || code == simdjson::N_ATOM_ERROR;
  return ReadErrorAtByte(
      name_, skipped_ + offset,
      std::string("not valid JSON: ") +
          (badWord ? "a word that is not true, false or null" : simdjson::error_message(code)));
}

std::size_t JsonTrackReader::OffsetOf(const char* at) const {
  const char* begin = jsonData_;
  if (at < begin) return 0;
  return std::min(static_cast<std::size_t>(at - begin), text_.size());
}

int JsonTrackReader::LineAt(std::size_t offset) {
  offset = std::min(offset, text_.size());
  if (offset < linesCountedTo_) {
    linesCountedTo_ = 0;
    lineAtCounted_ = 1;
  }
  // memchr leaps over a file written as one long line.
  const char* at = text_.data() + linesCountedTo_;
  const char* end = text_.data() + offset;
  while (at < end) {
    at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
    if (at == nullptr) break;
    ++lineAtCounted_;
    ++at;
  }
  linesCountedTo_ = offset;
  return static_cast<int>(std::min<std::int64_t>(lineAtCounted_, INT_MAX));
}

// A list of records is cut into pieces of about this many bytes, and a short list
// into this many pieces, so that the cores share a small file too.
constexpr std::size_t kLargestPiece = std::size_t{256} << 10;
constexpr std::size_t kSmallestPiece = 512;
constexpr std::size_t kPiecesOfShortList = 32;

bool IsJsonBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where a list of records may be cut, at or after from: the comma of "},{", with
// blanks around the comma. npos when there is none.
std::size_t FindRecordSeparator(std::string_view text, std::size_t from) {
  for (std::size_t close = text.find('}', from); close != std::string_view::npos;
       close = text.find('}', close + 1)) {
    std::size_t at = close + 1;
    while (at < text.size() && IsJsonBlank(text[at])) ++at;
    if (at == text.size() || text[at] != ',') continue;
    const std::size_t comma = at++;
    while (at < text.size() && IsJsonBlank(text[at])) ++at;
    if (at < text.size() && text[at] == '{') return comma;
  }
  return std::string_view::npos;
}

// The flight of a list of records read in pieces on every core; nothing when the file
// is no such list or holds anything to be reported, which the whole read then finds.
//
// The list is cut at commas that seem to part two records, and each piece read as a
// list of its own: "[" piece "]". JSON reads the same from wherever a value starts, so
// a piece that reads as one or more whole records, with its list ending where its
// text ends, starts and ends between records of the file's list: the comma after it
// parts records, and the next piece starts where a record does. Where a cut falls
// inside a string or a nested value its piece does not read so, and the file is read
// whole.
std::optional<Result<LoadedFlight>> ReadRecordsInPieces(std::string_view text,
                                                        const std::string& name) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  // Beyond what simdjson reads in one document the whole read refuses the file.
  if (text.size() > simdjson::SIMDJSON_MAXSIZE_BYTES) return std::nullopt;
  std::size_t at = 0;
  while (at < text.size() && IsJsonBlank(text[at])) ++at;
  if (at == text.size() || text[at] != '[') return std::nullopt;
  ++at;

  const std::size_t pieceBytes =
      std::clamp((text.size() - at) / kPiecesOfShortList, kSmallestPiece, kLargestPiece);
  std::vector<std::string_view> pieces;
  while (true) {
    const std::size_t comma = text.size() - at > pieceBytes
                                  ? FindRecordSeparator(text, at + pieceBytes)
                                  : std::string_view::npos;
    if (comma == std::string_view::npos) break;
    pieces.push_back(text.substr(at, comma - at));
    at = comma + 1;
  }
  pieces.push_back(text.substr(at));  // with the list's end and what follows it

  auto read = [&](std::string_view piece, RecordPiece& result) {
    const bool last = piece.data() + piece.size() == text.data() + text.size();
    std::vector<char>& buffer = result.text;
    buffer.clear();
    buffer.push_back('[');
    buffer.insert(buffer.end(), piece.begin(), piece.end());
    if (!last) buffer.push_back(']');
    const std::size_t length = buffer.size();
    buffer.resize(length + simdjson::SIMDJSON_PADDING, '\0');
    JsonTrackReader reader(result, length, name);
    return reader.ReadPiece(piece.data() == pieces.front().data());
  };

  TrackBuilder builder(name, "json");
  // About as many points as the first piece has records for its length.
  const std::string_view head = pieces.front();
  const auto records = static_cast<double>(std::count(head.begin(), head.end(), '{'));
  const double perByte = records / static_cast<double>(std::max<std::size_t>(head.size(), 1));
  builder.Reserve(static_cast<std::size_t>(perByte * 1.05 * static_cast<double>(text.size())),
                  TrackBuilder::Room::ReadyAsWritten);
  PieceReader<RecordPiece, decltype(read)> reader(pieces, read);
  std::array<bool, kChannelCount> declared{};
  std::string callsign;
  std::string icao;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const RecordPiece* piece = reader.Get(k);
    if (piece == nullptr) return std::nullopt;
    for (std::size_t c = 0; c < declared.size(); ++c) declared[c] |= piece->declared[c];
    // The first record that names them counts.
    if (callsign.empty()) callsign = piece->callsign;
    if (icao.empty()) icao = piece->icao;
    for (const TrackPoint& point : piece->points) {
      if (builder.Take(point)) return std::nullopt;
    }
  }
  for (std::size_t c = 0; c < declared.size(); ++c) {
    if (declared[c]) builder.Declare(static_cast<Channel>(c));
  }
  builder.flight().callsign = callsign;
  builder.flight().aircraft = icao;
  return builder.Finish();
}

}  // namespace

Result<LoadedFlight> ReadJsonTrack(std::string_view text, const std::string& name) {
  if (std::optional<Result<LoadedFlight>> read = ReadRecordsInPieces(text, name)) {
    return std::move(*read);
  }
  return JsonTrackReader(text, name).Read();
}

}  // namespace quarn

#include "record/kml_reader.h"

#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

#include "base/format.h"
#include "record/text_input.h"
#include "record/track_builder.h"
#include "record/xml_input.h"

namespace quarn {
namespace {

// What a KML file's points carry: any at all, and which channels besides time and
// position.
struct KmlChannels {
  bool points = false;
  bool altitude = false;
  bool attitude = false;

  void Add(const TrackPoint& point) {
    points = true;
    altitude |= !std::isnan(point.altitudeFt);
    attitude |= !std::isnan(point.headingDeg);
  }
  // Tells the builder which channels the file recorded.
  void DeclareTo(TrackBuilder& builder) const {
    if (altitude) builder.Declare(Channel::Altitude);
    if (attitude) {
      builder.Declare(Channel::Heading);
      builder.Declare(Channel::Pitch);
      builder.Declare(Channel::Roll);
    }
  }
};

// The elements of one track, each list in document order.
struct TrackElements {
  std::vector<pugi::xml_node> whens;
  std::vector<pugi::xml_node> coords;
  std::vector<pugi::xml_node> angles;
};

// The track elements below root in document order. The walk is a loop, not a
// recursion, so a deeply nested file cannot exhaust the stack; it does not look
// inside a track.
std::vector<pugi::xml_node> TracksIn(pugi::xml_node root) {
  std::vector<pugi::xml_node> tracks;
  pugi::xml_node node = root.first_child();
  while (node) {
    const bool track = IsElement(node, "Track");
    if (track) tracks.push_back(node);
    if (!track && node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node != root && !node.next_sibling()) node = node.parent();
    if (node == root) break;
    node = node.next_sibling();
  }
  return tracks;
}

TrackElements ElementsOf(pugi::xml_node track) {
  TrackElements e;
  for (pugi::xml_node child : track.children()) {
    if (IsElement(child, "when")) {
      e.whens.push_back(child);
    } else if (IsElement(child, "coord")) {
      e.coords.push_back(child);
    } else if (IsElement(child, "angles")) {
      e.angles.push_back(child);
    }
  }
  return e;
}

// Up to numbers.size() numbers separated by blanks, into numbers: how many, or
// nothing when the text holds more, or something that is not a number.
std::optional<std::size_t> NumbersIn(std::string_view text, std::span<double> numbers) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t count = 0;
  text = TrimXmlBlanks(text);
  while (!text.empty()) {
    std::size_t end = 0;
    while (end < text.size() && !blank(text[end])) ++end;
    const std::optional<double> value = ParseNumber(text.substr(0, end));
    if (!value || count == numbers.size()) return std::nullopt;
    numbers[count++] = *value;
    text = TrimXmlBlanks(text.substr(end));
  }
  return count;
}

// A gx:coord's values: the altitude NaN where it is not given.
struct Coord {
  double longitudeDeg = 0;
  double latitudeDeg = 0;
  double altitudeFt = kNoValue;
};

// What is wrong with a value of a track, when anything is.
using ValueFault = std::optional<std::string>;

// Longitude, latitude and altitude (metres, where given) from a gx:coord's text. The
// position is checked here, so that its error names the coordinate's own line.
ValueFault ReadCoord(std::string_view text, Coord& value) {
  std::array<double, 3> numbers{};
  const std::optional<std::size_t> count = NumbersIn(text, numbers);
  if (!count || *count < 2) {
    return "coordinate \"" + std::string(text) + "\" is not \"longitude latitude altitude\"";
  }
  value.longitudeDeg = numbers[0];
  value.latitudeDeg = numbers[1];
  value.altitudeFt = kNoValue;
  if (*count == 3) {
    const double metres = numbers[2];
    const std::optional<double> feet = AltitudeFeet(metres);
    if (!feet) return Format("altitude %g m out of range", metres);
    value.altitudeFt = *feet;
  }
  if (!(std::fabs(value.latitudeDeg) <= 90)) {
    return Format("latitude %g out of range", value.latitudeDeg);
  }
  if (!(std::fabs(value.longitudeDeg) <= 180)) {
    return Format("longitude %g out of range", value.longitudeDeg);
  }
  return std::nullopt;
}

// A gx:angles' heading, tilt and roll: NaN where the element is blank, to be filled
// from the neighbours.
struct Angles {
  double headingDeg = kNoValue;
  double pitchDeg = kNoValue;
  double rollDeg = kNoValue;
};

ValueFault ReadAngles(std::string_view text, Angles& value) {
  value = Angles{};
  if (text.empty()) return std::nullopt;
  std::array<double, 3> numbers{};
  const std::optional<std::size_t> count = NumbersIn(text, numbers);
  if (!count || *count != 3) {
    return "angles \"" + std::string(text) + "\" are not \"heading tilt roll\"";
  }
  value = {numbers[0], numbers[1], numbers[2]};
  return std::nullopt;
}

// A track's point i from its values.
TrackPoint PointOf(double time, const Coord& coord, const Angles& angles) {
  TrackPoint point;
  point.utcSeconds = time;
  point.longitudeDeg = coord.longitudeDeg;
  point.latitudeDeg = coord.latitudeDeg;
  point.altitudeFt = coord.altitudeFt;
  point.headingDeg = angles.headingDeg;
  point.pitchDeg = angles.pitchDeg;
  point.rollDeg = angles.rollDeg;
  return point;
}

// The points of one track into the builder.
Status ReadTrack(TrackXml& xml, pugi::xml_node track, TrackBuilder& builder, KmlChannels& carried) {
  const TrackElements e = ElementsOf(track);
  if (e.coords.size() != e.whens.size()) {
    return Status::Fail(xml.ErrorAt(track, Format("the track has %zu times (when) but %zu "
                                                  "positions (gx:coord)",
                                                  e.whens.size(), e.coords.size()))
                            .message);
  }
  if (!e.angles.empty() && e.angles.size() != e.whens.size()) {
    return Status::Fail(xml.ErrorAt(track, Format("the track has %zu times (when) but %zu "
                                                  "attitudes (gx:angles)",
                                                  e.whens.size(), e.angles.size()))
                            .message);
  }
  builder.Reserve(e.whens.size());
  for (std::size_t i = 0; i < e.whens.size(); ++i) {
    double time = 0;
    Coord coord;
    Angles angles;
    std::optional<XmlFault> fault = TimeIn(e.whens[i], time);
    if (!fault) {
      if (auto what = ReadCoord(TextOf(e.coords[i]), coord)) {
        fault = XmlFault{e.coords[i], std::move(*what)};
      }
    }
    if (!fault && !e.angles.empty()) {
      if (auto what = ReadAngles(TextOf(e.angles[i]), angles)) {
        fault = XmlFault{e.angles[i], std::move(*what)};
      }
    }
    if (fault) return Status::Fail(xml.ErrorAt(*fault).message);
    const TrackPoint point = PointOf(time, coord, angles);
    // The time's line: where a time that goes back is to be found.
    if (auto refused = builder.Take(point)) {
      return Status::Fail(xml.ErrorAt(e.whens[i], *refused).message);
    }
    carried.Add(point);
  }
  return Status::Ok();
}

// The flight read from the whole document on one core: the reading that reports
// what is wrong, with its line.
Result<LoadedFlight> ReadKmlWhole(std::string_view text, const std::string& name) {
  Result<TrackXml> parsed = TrackXml::Parse(text, name, "kml", "KML");
  if (!parsed) return parsed.error();
  TrackXml& xml = *parsed;
  TrackBuilder builder(name, "kml");
  KmlChannels carried;
  for (pugi::xml_node track : TracksIn(xml.root())) {
    // Separate tracks, and the tracks of a multi-track, are not joined; the builder
    // ignores a break before the first point.
    builder.BreakSegment();
    if (Status s = ReadTrack(xml, track, builder, carried); !s) return Error{s.error};
  }
  if (!carried.points) {
    return Error{name + ": the KML file holds no track (no gx:Track with times and positions)"};
  }
  carried.DeclareTo(builder);
  return builder.Finish();
}

// A track's values in document order, read from its elements before any point is
// made: a track gives all its times first, then all its positions.
struct TrackValues {
  std::vector<double> times;
  std::vector<Coord> coords;
  std::vector<Angles> angles;
  std::vector<char> text;  // a piece's text as parsed, kept for the next piece

  void Clear() {
    times.clear();
    coords.clear();
    angles.clear();
  }
  void Append(const TrackValues& more) {
    times.insert(times.end(), more.times.begin(), more.times.end());
    coords.insert(coords.end(), more.coords.begin(), more.coords.end());
    angles.insert(angles.end(), more.angles.begin(), more.angles.end());
  }
};

// A child of a track into the values, as the whole read reads it: false at a fault,
// which the whole read is to report.
bool ReadTrackValue(std::string_view localName, std::string_view text, TrackValues& values) {
  if (localName == "when") return !TimeFromText(text, values.times.emplace_back());
  if (localName == "coord") return !ReadCoord(text, values.coords.emplace_back());
  if (localName == "angles") return !ReadAngles(text, values.angles.emplace_back());
  return true;
}

bool ReadTrackChild(pugi::xml_node child, TrackValues& values) {
  if (child.type() != pugi::node_element) return true;
  return ReadTrackValue(LocalName(child), TextOf(child), values);
}

// A piece written in plain XML, read without a parser; false where it is not plain or
// holds a value in error.
bool ReadPlainPiece(std::string_view text, TrackValues& piece) {
  PlainXml xml(text);
  std::string_view name;
  std::string_view attribute;
  std::string_view value;
  while (true) {
    xml.SkipBlanks();
    if (xml.AtEnd()) return true;
    if (!xml.StartTag(name)) return false;
    while (xml.Attribute(attribute, value)) {
    }
    if (!xml.ended()) return false;
    std::string_view content;
    if (!xml.selfClosing() && (!xml.Text(content) || !xml.EndTag(name))) return false;
    if (!ReadTrackValue(LocalPart(name), TrimXmlBlanks(content), piece)) return false;
  }
}

bool ReadPiece(std::string_view text, TrackValues& piece) {
  piece.Clear();
  if (ReadPlainPiece(text, piece)) return true;
  piece.Clear();
  pugi::xml_document nodes;
  if (!ParsePiece(text, piece.text, nodes)) return false;
  for (pugi::xml_node child : nodes.children()) {
    if (!ReadTrackChild(child, piece)) return false;
  }
  return true;
}

// The flight read in pieces on every core; nothing when the file does not lend itself
// to that or holds anything to be reported, which the whole read then finds.
std::optional<Result<LoadedFlight>> ReadKmlInPieces(std::string_view text,
                                                    const std::string& name) {
  std::optional<XmlPieces> pieces = XmlPieces::Cut(text, "kml", {"when", "gx:coord", "gx:angles"});
  if (!pieces) return std::nullopt;
  TrackBuilder builder(name, "kml");
  // A point has a time and a position at least.
  builder.Reserve(pieces->EstimatedItems() / 2, TrackBuilder::Room::ReadyAsWritten);
  PieceReader<TrackValues, decltype(&ReadPiece)> reader(pieces->pieces(), &ReadPiece);
  // Where the run does not end with attitudes, the tracks are taken to have none, and
  // each point is given to the builder as soon as its time and position are read,
  // while the cores read on; attitudes after all are read whole.
  const bool attitudes = pieces->lastItem() == "gx:angles";
  KmlChannels carried;
  TrackValues values;
  std::size_t taken = 0;  // of the track's points
  const Angles none;
  auto takeUpTo = [&](std::size_t count) {
    for (; taken < count; ++taken) {
      const TrackPoint point = PointOf(values.times[taken], values.coords[taken],
                                       values.angles.empty() ? none : values.angles[taken]);
      if (builder.Take(point)) return false;
      carried.Add(point);
    }
    return true;
  };
  for (pugi::xml_node track : TracksIn(pieces->root())) {
    builder.BreakSegment();
    values.Clear();
    taken = 0;
    for (pugi::xml_node child : track.children()) {
      const int index = pieces->Meet(child);
      if (index == XmlPieces::kOutOfPlace) return std::nullopt;
      if (index >= 0) {
        const TrackValues* piece = reader.Get(static_cast<std::size_t>(index));
        if (piece == nullptr) return std::nullopt;
        values.Append(*piece);
      } else if (!ReadTrackChild(child, values)) {
        return std::nullopt;
      }
      if (!attitudes) {
        if (!values.angles.empty()) return std::nullopt;
        if (!takeUpTo(std::min(values.times.size(), values.coords.size()))) return std::nullopt;
      }
    }
    const std::size_t count = values.times.size();
    if (values.coords.size() != count ||
        (!values.angles.empty() && values.angles.size() != count)) {
      return std::nullopt;
    }
    if (!takeUpTo(count)) return std::nullopt;
  }
  if (!pieces->MetAll() || !carried.points) return std::nullopt;
  carried.DeclareTo(builder);
  return builder.Finish();
}

}  // namespace

Result<LoadedFlight> ReadKml(std::string_view text, const std::string& name) {
  if (std::optional<Result<LoadedFlight>> read = ReadKmlInPieces(text, name)) {
    return std::move(*read);
  }
  return ReadKmlWhole(text, name);
}

}  // namespace quarn

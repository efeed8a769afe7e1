#include "record/gpx_reader.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "base/format.h"
#include "record/text_input.h"
#include "record/track_builder.h"
#include "record/xml_input.h"

namespace quarn {
namespace {

constexpr double kMetresPerSecondToKnots = 3600.0 / 1852.0;

// What is wrong with a value of a point, when anything is.
using ValueFault = std::optional<std::string>;

// A number written in an attribute or element into value: NaN when blank.
ValueFault NumberIn(std::string_view text, const char* what, double& value) {
  text = TrimXmlBlanks(text);
  if (text.empty()) {
    value = kNoValue;
    return std::nullopt;
  }
  const std::optional<double> number = ParseNumber(text);
  if (!number) return std::string(what) + " \"" + std::string(text) + "\" is not a number";
  value = *number;
  return std::nullopt;
}

// The channels a GPX file's points carry besides time and position.
struct GpxChannels {
  bool altitude = false;
  bool groundSpeed = false;
  bool track = false;

  void Add(const TrackPoint& point) {
    altitude |= !std::isnan(point.altitudeFt);
    groundSpeed |= !std::isnan(point.groundSpeedKt);
    track |= !std::isnan(point.trackDeg);
  }
  void Add(const GpxChannels& other) {
    altitude |= other.altitude;
    groundSpeed |= other.groundSpeed;
    track |= other.track;
  }
  // Tells the builder which of them the file recorded.
  void DeclareTo(TrackBuilder& builder) const {
    if (altitude) builder.Declare(Channel::Altitude);
    if (groundSpeed) builder.Declare(Channel::GroundSpeed);
    if (track) builder.Declare(Channel::Track);
  }
};

// Speed (m/s) and course (degrees true) from the text of an element of that local
// name, where the point has none yet: GPX 1.0's own elements come before the
// extensions and win.
ValueFault ReadMotion(std::string_view localName, std::string_view text, TrackPoint& point) {
  if (localName == "speed" && std::isnan(point.groundSpeedKt)) {
    double speed = 0;
    if (auto fault = NumberIn(text, "speed", speed)) return fault;
    point.groundSpeedKt = speed * kMetresPerSecondToKnots;
    if (std::isinf(point.groundSpeedKt)) return Format("speed %g out of range", speed);
  } else if (localName == "course" && std::isnan(point.trackDeg)) {
    return NumberIn(text, "course", point.trackDeg);
  }
  return std::nullopt;
}

// A child of a trkpt other than its extensions, by its local name and its text.
ValueFault ReadLeaf(std::string_view localName, std::string_view text, TrackPoint& point) {
  if (localName == "ele") {
    double metres = 0;
    if (auto fault = NumberIn(text, "elevation", metres)) return fault;
    if (std::isnan(metres)) return std::nullopt;
    const std::optional<double> feet = AltitudeFeet(metres);
    if (!feet) return Format("elevation %g m out of range", metres);
    point.altitudeFt = *feet;
    return std::nullopt;
  }
  if (localName == "time") return TimeFromText(text, point.utcSeconds);
  return ReadMotion(localName, text, point);
}

// The position in a trkpt's lat and lon attributes, as written.
ValueFault ReadPosition(std::string_view lat, std::string_view lon, TrackPoint& point) {
  if (auto fault = NumberIn(lat, "latitude", point.latitudeDeg)) return fault;
  return NumberIn(lon, "longitude", point.longitudeDeg);
}

// Speed and course in a point's extensions, directly inside or inside an extension
// of its own such as the TrackPointExtension (gpxtpx:speed, gpxtpx:course).
std::optional<XmlFault> ReadExtensions(pugi::xml_node extensions, TrackPoint& point) {
  for (pugi::xml_node child : extensions.children()) {
    if (child.type() != pugi::node_element) continue;
    if (auto fault = ReadMotion(LocalName(child), TextOf(child), point)) {
      return XmlFault{child, std::move(*fault)};
    }
    for (pugi::xml_node grandchild : child.children()) {
      if (grandchild.type() != pugi::node_element) continue;
      if (auto fault = ReadMotion(LocalName(grandchild), TextOf(grandchild), point)) {
        return XmlFault{grandchild, std::move(*fault)};
      }
    }
  }
  return std::nullopt;
}

// Whether a name pugixml gives is the one wanted, without measuring it first.
bool NameIs(const char* name, std::string_view wanted) {
  for (char c : wanted) {
    if (*name++ != c) return false;  // the name's end differs from any character wanted
  }
  return *name == '\0';
}

// A trkpt's values into point, or what is wrong with them and where. Its attributes
// and its children are each gone through once: a file holds a million of them.
std::optional<XmlFault> ReadTrackPoint(pugi::xml_node trkpt, TrackPoint& point) {
  point = TrackPoint{};
  // The first attribute of each name counts.
  const char* lat = "";
  const char* lon = "";
  bool latSeen = false;
  bool lonSeen = false;
  for (pugi::xml_attribute a = trkpt.first_attribute(); a; a = a.next_attribute()) {
    const char* attribute = a.name();
    if (!latSeen && NameIs(attribute, "lat")) {
      lat = a.value();
      latSeen = true;
    } else if (!lonSeen && NameIs(attribute, "lon")) {
      lon = a.value();
      lonSeen = true;
    }
  }
  if (auto fault = ReadPosition(lat, lon, point)) return XmlFault{trkpt, std::move(*fault)};
  for (pugi::xml_node child : trkpt.children()) {
    if (child.type() != pugi::node_element) continue;
    const std::string_view local = LocalName(child);
    if (local == "extensions") {
      if (auto fault = ReadExtensions(child, point)) return fault;
    } else if (auto fault = ReadLeaf(local, TextOf(child), point)) {
      return XmlFault{child, std::move(*fault)};
    }
  }
  return std::nullopt;
}

// The trkpt elements of every trkseg of every trk.
std::size_t CountTrackPoints(pugi::xml_node gpx) {
  std::size_t count = 0;
  for (pugi::xml_node trk : gpx.children()) {
    if (!IsElement(trk, "trk")) continue;
    for (pugi::xml_node segment : trk.children()) {
      if (!IsElement(segment, "trkseg")) continue;
      for (pugi::xml_node trkpt : segment.children()) count += IsElement(trkpt, "trkpt") ? 1 : 0;
    }
  }
  return count;
}

// The points of a piece of a segment's run of trkpt elements.
struct GpxPiece {
  std::vector<TrackPoint> points;
  GpxChannels carried;
  std::vector<char> text;  // the piece's text as parsed, kept for the next piece
};

// A piece written in plain XML, read without a parser; false where it is not plain or
// holds a value in error.
bool ReadPlainPiece(std::string_view text, GpxPiece& piece) {
  PlainXml xml(text);
  std::string_view name;
  std::string_view attribute;
  std::string_view value;
  while (true) {
    xml.SkipBlanks();
    if (xml.AtEnd()) return true;
    if (!xml.StartTag(name) || name != "trkpt") return false;
    TrackPoint& point = piece.points.emplace_back();
    // The first attribute of each name counts.
    std::optional<std::string_view> lat;
    std::optional<std::string_view> lon;
    while (xml.Attribute(attribute, value)) {
      if (!lat && attribute == "lat") {
        lat = value;
      } else if (!lon && attribute == "lon") {
        lon = value;
      }
    }
    if (!xml.ended() || ReadPosition(lat.value_or(""), lon.value_or(""), point)) return false;
    if (!xml.selfClosing()) {
      while (!xml.AtEndTag()) {
        std::string_view child;
        std::string_view content;
        if (!xml.StartTag(child)) return false;
        while (xml.Attribute(attribute, value)) {
        }
        if (!xml.ended()) return false;
        if (!xml.selfClosing() && (!xml.Text(content) || !xml.EndTag(child))) return false;
        const std::string_view local = LocalPart(child);
        // Extensions with no element in them say nothing.
        if (local != "extensions" && ReadLeaf(local, TrimXmlBlanks(content), point)) return false;
      }
      if (!xml.EndTag(name)) return false;
    }
    piece.carried.Add(point);
  }
}

// A piece's trkpt elements, each read as the whole read reads it: false at the first
// fault, which the whole read is to report. Plain XML is read without the parser.
bool ReadPiece(std::string_view text, GpxPiece& piece) {
  piece.points.clear();
  piece.carried = {};
  if (ReadPlainPiece(text, piece)) return true;
  piece.points.clear();
  piece.carried = {};
  pugi::xml_document nodes;
  if (!ParsePiece(text, piece.text, nodes)) return false;
  for (pugi::xml_node trkpt : nodes.children()) {
    if (!IsElement(trkpt, "trkpt")) continue;
    TrackPoint& point = piece.points.emplace_back();
    if (ReadTrackPoint(trkpt, point)) return false;
    piece.carried.Add(point);
  }
  return true;
}

// The flight read in pieces on every core; nothing when the file does not lend itself
// to that or holds anything to be reported, which the whole read then finds.
std::optional<Result<LoadedFlight>> ReadGpxInPieces(std::string_view text,
                                                    const std::string& name) {
  std::optional<XmlPieces> pieces = XmlPieces::Cut(text, "gpx", {"trkpt"});
  if (!pieces) return std::nullopt;
  TrackBuilder builder(name, "gpx");
  builder.Reserve(pieces->EstimatedItems() + pieces->EstimatedItems() / 20,
                  TrackBuilder::Room::ReadyAsWritten);
  PieceReader<GpxPiece, decltype(&ReadPiece)> reader(pieces->pieces(), &ReadPiece);
  GpxChannels carried;
  bool anyPoint = false;
  auto take = [&](const TrackPoint& point) {
    anyPoint = true;
    return !builder.Take(point);
  };
  for (pugi::xml_node trk : pieces->root().children()) {
    if (!IsElement(trk, "trk")) continue;
    for (pugi::xml_node segment : trk.children()) {
      if (!IsElement(segment, "trkseg")) continue;
      builder.BreakSegment();
      for (pugi::xml_node node : segment.children()) {
        const int index = pieces->Meet(node);
        if (index == XmlPieces::kOutOfPlace) return std::nullopt;
        if (index >= 0) {
          const GpxPiece* piece = reader.Get(static_cast<std::size_t>(index));
          if (piece == nullptr) return std::nullopt;
          for (const TrackPoint& point : piece->points) {
            if (!take(point)) return std::nullopt;
          }
          carried.Add(piece->carried);
        } else if (IsElement(node, "trkpt")) {
          TrackPoint point;
          if (ReadTrackPoint(node, point) || !take(point)) return std::nullopt;
          carried.Add(point);
        }
      }
    }
  }
  if (!pieces->MetAll() || !anyPoint) return std::nullopt;
  carried.DeclareTo(builder);
  return builder.Finish();
}

// The flight read from the whole document on one core: the reading that reports
// what is wrong, with its line.
Result<LoadedFlight> ReadGpxWhole(std::string_view text, const std::string& name) {
  Result<TrackXml> parsed = TrackXml::Parse(text, name, "gpx", "GPX");
  if (!parsed) return parsed.error();
  TrackXml& xml = *parsed;
  TrackBuilder builder(name, "gpx");
  builder.Reserve(CountTrackPoints(xml.root()));
  GpxChannels carried;
  bool anyPoint = false;
  for (pugi::xml_node trk : xml.root().children()) {
    if (!IsElement(trk, "trk")) continue;
    for (pugi::xml_node segment : trk.children()) {
      if (!IsElement(segment, "trkseg")) continue;
      // Nothing joins a segment to the one before; the builder ignores a break
      // before the first point.
      builder.BreakSegment();
      for (pugi::xml_node trkpt : segment.children()) {
        if (!IsElement(trkpt, "trkpt")) continue;
        TrackPoint point;
        if (auto fault = ReadTrackPoint(trkpt, point)) return xml.ErrorAt(*fault);
        if (auto refused = builder.Take(point)) return xml.ErrorAt(trkpt, *refused);
        anyPoint = true;
        carried.Add(point);
      }
    }
  }
  if (!anyPoint) return Error{name + ": the GPX file holds no track (no trkpt in a trk's trkseg)"};
  carried.DeclareTo(builder);
  return builder.Finish();
}

}  // namespace

Result<LoadedFlight> ReadGpx(std::string_view text, const std::string& name) {
  if (std::optional<Result<LoadedFlight>> read = ReadGpxInPieces(text, name)) {
    return std::move(*read);
  }
  return ReadGpxWhole(text, name);
}

}  // namespace quarn

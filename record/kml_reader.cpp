#include "record/kml_reader.h"

#include <cmath>
#include <optional>
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

// Up to `most` numbers separated by blanks; nothing when the text holds more, or
// something that is not a number.
std::optional<std::vector<double>> NumbersIn(std::string_view text, std::size_t most) {
  std::vector<double> numbers;
  constexpr std::string_view kBlanks = " \t\r\n";
  text = TrimXmlBlanks(text);
  while (!text.empty()) {
    const std::size_t end = text.find_first_of(kBlanks);
    const std::optional<double> value = ParseNumber(text.substr(0, end));
    if (!value || numbers.size() == most) return std::nullopt;
    numbers.push_back(*value);
    text = end == std::string_view::npos ? std::string_view() : TrimXmlBlanks(text.substr(end));
  }
  return numbers;
}

// Longitude, latitude and altitude (metres, where given) into the point. The
// position is checked here, so that its error names the coordinate's own line.
Status ReadCoord(TrackXml& xml, pugi::xml_node coord, TrackPoint& point) {
  const std::string_view text = TextOf(coord);
  const auto numbers = NumbersIn(text, 3);
  if (!numbers || numbers->size() < 2) {
    return Status::Fail(xml.ErrorAt(coord, "coordinate \"" + std::string(text) +
                                               "\" is not \"longitude latitude altitude\"")
                            .message);
  }
  point.longitudeDeg = (*numbers)[0];
  point.latitudeDeg = (*numbers)[1];
  if (numbers->size() == 3) {
    const double metres = (*numbers)[2];
    const std::optional<double> feet = AltitudeFeet(metres);
    if (!feet) {
      return Status::Fail(xml.ErrorAt(coord, Format("altitude %g m out of range", metres)).message);
    }
    point.altitudeFt = *feet;
  }
  if (!(std::fabs(point.latitudeDeg) <= 90)) {
    return Status::Fail(
        xml.ErrorAt(coord, Format("latitude %g out of range", point.latitudeDeg)).message);
  }
  if (!(std::fabs(point.longitudeDeg) <= 180)) {
    return Status::Fail(
        xml.ErrorAt(coord, Format("longitude %g out of range", point.longitudeDeg)).message);
  }
  return Status::Ok();
}

// Heading, tilt and roll into heading, pitch and bank; a blank element leaves them
// to be filled from the neighbours.
Status ReadAngles(TrackXml& xml, pugi::xml_node angles, TrackPoint& point) {
  const std::string_view text = TextOf(angles);
  if (text.empty()) return Status::Ok();
  const auto numbers = NumbersIn(text, 3);
  if (!numbers || numbers->size() != 3) {
    return Status::Fail(
        xml.ErrorAt(angles, "angles \"" + std::string(text) + "\" are not \"heading tilt roll\"")
            .message);
  }
  point.headingDeg = (*numbers)[0];
  point.pitchDeg = (*numbers)[1];
  point.rollDeg = (*numbers)[2];
  return Status::Ok();
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
    TrackPoint point;
    const Result<double> time = TimeIn(xml, e.whens[i]);
    if (!time) return Status::Fail(time.error().message);
    point.utcSeconds = *time;
    if (Status s = ReadCoord(xml, e.coords[i], point); !s) return s;
    if (!e.angles.empty()) {
      if (Status s = ReadAngles(xml, e.angles[i], point); !s) return s;
    }
    // The time's line: where a time that goes back is to be found.
    if (Status s = builder.Add(point, xml.LineOf(e.whens[i])); !s) return s;
    carried.points = true;
    carried.altitude |= !std::isnan(point.altitudeFt);
    carried.attitude |= !std::isnan(point.headingDeg);
  }
  return Status::Ok();
}

}  // namespace

Result<LoadedFlight> ReadKml(std::string_view text, const std::string& name) {
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
  if (carried.altitude) builder.Declare(Channel::Altitude);
  if (carried.attitude) {
    builder.Declare(Channel::Heading);
    builder.Declare(Channel::Pitch);
    builder.Declare(Channel::Roll);
  }
  return builder.Finish();
}

}  // namespace quarn

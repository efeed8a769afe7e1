#include "record/gpx_reader.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "base/format.h"
#include "record/text_input.h"
#include "record/track_builder.h"
#include "record/xml_input.h"

namespace quarn {
namespace {

constexpr double kMetresPerSecondToKnots = 3600.0 / 1852.0;

// A number written in an attribute or element: NaN when blank, an error naming the
// node's line when it is not a number.
Result<double> NumberIn(TrackXml& xml, pugi::xml_node node, std::string_view text,
                        const char* what) {
  text = TrimXmlBlanks(text);
  if (text.empty()) return kNoValue;
  const std::optional<double> value = ParseNumber(text);
  if (!value) {
    return xml.ErrorAt(node, std::string(what) + " \"" + std::string(text) + "\" is not a number");
  }
  return *value;
}

// The channels a GPX file's points carry besides time and position.
struct GpxChannels {
  bool altitude = false;
  bool groundSpeed = false;
  bool track = false;
};

// Speed (m/s) and course (degrees true) from an element of that name, where the
// point has none yet: GPX 1.0's own elements come before the extensions and win.
Status ReadMotion(TrackXml& xml, pugi::xml_node element, TrackPoint& point) {
  if (IsElement(element, "speed") && std::isnan(point.groundSpeedKt)) {
    const Result<double> speed = NumberIn(xml, element, TextOf(element), "speed");
    if (!speed) return Status::Fail(speed.error().message);
    point.groundSpeedKt = *speed * kMetresPerSecondToKnots;
    if (std::isinf(point.groundSpeedKt)) {
      return Status::Fail(xml.ErrorAt(element, Format("speed %g out of range", *speed)).message);
    }
  } else if (IsElement(element, "course") && std::isnan(point.trackDeg)) {
    const Result<double> course = NumberIn(xml, element, TextOf(element), "course");
    if (!course) return Status::Fail(course.error().message);
    point.trackDeg = *course;
  }
  return Status::Ok();
}

// Speed and course in a point's extensions, directly inside or inside an extension
// of its own such as the TrackPointExtension (gpxtpx:speed, gpxtpx:course).
Status ReadExtensions(TrackXml& xml, pugi::xml_node extensions, TrackPoint& point) {
  for (pugi::xml_node child : extensions.children()) {
    if (child.type() != pugi::node_element) continue;
    if (Status s = ReadMotion(xml, child, point); !s) return s;
    for (pugi::xml_node grandchild : child.children()) {
      if (grandchild.type() != pugi::node_element) continue;
      if (Status s = ReadMotion(xml, grandchild, point); !s) return s;
    }
  }
  return Status::Ok();
}

Result<TrackPoint> ReadTrackPoint(TrackXml& xml, pugi::xml_node trkpt) {
  TrackPoint point;
  const Result<double> lat = NumberIn(xml, trkpt, trkpt.attribute("lat").value(), "latitude");
  if (!lat) return lat.error();
  const Result<double> lon = NumberIn(xml, trkpt, trkpt.attribute("lon").value(), "longitude");
  if (!lon) return lon.error();
  point.latitudeDeg = *lat;
  point.longitudeDeg = *lon;
  for (pugi::xml_node child : trkpt.children()) {
    if (child.type() != pugi::node_element) continue;
    if (IsElement(child, "ele")) {
      const Result<double> metres = NumberIn(xml, child, TextOf(child), "elevation");
      if (!metres) return metres.error();
      if (std::isnan(*metres)) continue;
      const std::optional<double> feet = AltitudeFeet(*metres);
      if (!feet) return xml.ErrorAt(child, Format("elevation %g m out of range", *metres));
      point.altitudeFt = *feet;
    } else if (IsElement(child, "time")) {
      const Result<double> time = TimeIn(xml, child);
      if (!time) return time.error();
      point.utcSeconds = *time;
    } else if (IsElement(child, "extensions")) {
      if (Status s = ReadExtensions(xml, child, point); !s) return Error{s.error};
    } else if (Status s = ReadMotion(xml, child, point); !s) {
      return Error{s.error};
    }
  }
  return point;
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

}  // namespace

Result<LoadedFlight> ReadGpx(std::string_view text, const std::string& name) {
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
        const Result<TrackPoint> point = ReadTrackPoint(xml, trkpt);
        if (!point) return point.error();
        if (Status added = builder.Add(*point, xml.LineOf(trkpt)); !added) {
          return Error{added.error};
        }
        anyPoint = true;
        carried.altitude |= !std::isnan(point->altitudeFt);
        carried.groundSpeed |= !std::isnan(point->groundSpeedKt);
        carried.track |= !std::isnan(point->trackDeg);
      }
    }
  }
  if (!anyPoint) return Error{name + ": the GPX file holds no track (no trkpt in a trk's trkseg)"};
  if (carried.altitude) builder.Declare(Channel::Altitude);
  if (carried.groundSpeed) builder.Declare(Channel::GroundSpeed);
  if (carried.track) builder.Declare(Channel::Track);
  return builder.Finish();
}

}  // namespace quarn

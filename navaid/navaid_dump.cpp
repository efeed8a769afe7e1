#include "navaid/navaid_dump.h"

#include "platform/json.h"

namespace quarn {
namespace {

void AddKnown(JsonObject& o, const char* key, double v) {
  if (Known(v)) o.Add(key, v);
}

void AddText(JsonObject& o, const char* key, const std::string& v) {
  if (!v.empty()) o.Add(key, v);
}

// The typed values of one navaid (or runway end), prefix before each key.
void AddTyped(JsonObject& o, const SourcedNavaid& n, const std::string& prefix) {
  auto key = [&](const char* k) { return prefix + k; };
  AddText(o, key("airport").c_str(), n.airport);
  AddText(o, key("runway").c_str(), n.runway);
  AddKnown(o, key("elevation_ft").c_str(), n.elevationFt);
  AddKnown(o, key("heading_true_deg").c_str(), n.headingTrueDeg);
  switch (n.kind) {
    case NavaidKind::Ndb:
      AddKnown(o, key("frequency_khz").c_str(), n.frequency);
      break;
    case NavaidKind::Vor:
    case NavaidKind::Ils:
    case NavaidKind::Atis:
      AddKnown(o, key("frequency_mhz").c_str(), n.frequency);
      break;
    default:
      break;
  }
  if (n.dme) o.Add(key("dme").c_str(), true);
  AddKnown(o, key("slaved_variation_deg").c_str(), n.magneticVariationDeg);
  AddKnown(o, key("length_m").c_str(), n.lengthM);
  AddKnown(o, key("width_m").c_str(), n.widthM);
  AddKnown(o, key("threshold_displaced_m").c_str(), n.thresholdDisplacedM);
  if (n.kind == NavaidKind::Runway) {
    o.Add(key("threshold_latitude").c_str(), n.latitudeDeg);
    o.Add(key("threshold_longitude").c_str(), n.longitudeDeg);
  }
  AddKnown(o, key("glide_slope_deg").c_str(), n.glideSlopeDeg);
  AddKnown(o, key("glide_slope_latitude").c_str(), n.glideSlopeLatitudeDeg);
  AddKnown(o, key("glide_slope_longitude").c_str(), n.glideSlopeLongitudeDeg);
  AddKnown(o, key("glide_slope_elevation_ft").c_str(), n.glideSlopeElevationFt);
}

}  // namespace

std::string NavaidJson(const CHalbricoDoc& doc, const NavaidRecord& r) {
  JsonObject o;
  o.Add("kind", static_cast<int>(r.kind))
      .Add("latitude", r.latitude)
      .Add("longitude", r.longitude)
      .Add("intValue", static_cast<int>(r.intValue))
      .Add("frequency", r.frequency)
      .Add("ident", r.Ident())
      .Add("name", r.Name())
      .Add("magVar", r.magVar)
      .Add("course", r.course)
      .Add("extra", r.extra)
      .Add("fileIndex", static_cast<int>(r.fileIndex))
      .Add("source", SourceName(r.source));
  if (r.detail >= 0 && static_cast<std::size_t>(r.detail) < doc.m_details.size()) {
    const NavaidDetail& d = doc.m_details[static_cast<std::size_t>(r.detail)];
    AddTyped(o, d.navaid, "");
    // A runway's other end, under keys of its own.
    if (const SourcedNavaid* other = doc.OtherEndOf(d)) AddTyped(o, *other, "other_end_");
  }
  return o.Str();
}

}  // namespace quarn

#include "support/crafted_flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "base/format.h"
#include "record/text_input.h"
#include "support/flight_record_writer.h"

namespace quarn::testing {

Crafted Craft(const std::vector<Step>& steps) {
  Crafted c;
  TrackPoint p;
  p.utcSeconds = kStartUtc;
  p.latitudeDeg = kFieldLatDeg;
  p.longitudeDeg = kFieldLonDeg;
  p.altitudeFt = steps.front().altitudeFt;
  p.groundSpeedKt = steps.front().kt;
  c.points.push_back(p);
  for (const Step& s : steps) {
    const TrackPoint from = c.points.back();
    const int first = static_cast<int>(c.points.size());
    for (int j = 1; j <= s.seconds; ++j) {
      const double done = static_cast<double>(j) / s.seconds;
      TrackPoint q = c.points.back();
      q.utcSeconds += 1;
      q.groundSpeedKt = from.groundSpeedKt + (s.kt - from.groundSpeedKt) * done;
      q.altitudeFt = from.altitudeFt + (s.altitudeFt - from.altitudeFt) * done;
      const double metres = q.groundSpeedKt * 1852 / 3600;
      const double heading = s.headingDeg * std::numbers::pi / 180;
      q.latitudeDeg += metres * std::cos(heading) / kMetresPerDegree;
      q.longitudeDeg += metres * std::sin(heading) /
                        (kMetresPerDegree * std::cos(q.latitudeDeg * std::numbers::pi / 180));
      c.points.push_back(q);
    }
    c.spans.push_back({s.label, first, static_cast<int>(c.points.size()) - 1});
  }
  return c;
}

// Standing a minute, taxiing out, the take-off roll and the climb to 1000 ft above
// the field at 700 ft/min.
std::vector<Step> Departure(double field) {
  return {{"stand", 60, 0, field, kTaxiDeg},
          {"taxi", 10, 15, field, kTaxiDeg},
          {"", 50, 15, field, kTaxiDeg},
          {"roll", 30, 65, field, kRunwayDeg},
          {"climb", 86, 75, field + 1000, kRunwayDeg}};
}

// Crosswind, downwind and base at 1000 ft, back to the final of the runway.
std::vector<Step> Pattern(double field) {
  return {{"", 45, 90, field + 1000, 330},
          {"", 214, 90, field + 1000, 240},
          {"", 45, 90, field + 1000, kTaxiDeg}};
}

// A 3-degree final at 70 kt, then a flare at 180 ft/min onto the runway.
std::vector<Step> Approach(double field) {
  return {{"final", 157, 70, field + 30, kRunwayDeg}, {"flare", 10, 65, field, kRunwayDeg}};
}

// The landing roll slowing to 15 kt, the taxi in, a stop and a minute parked.
std::vector<Step> FullStop(double field) {
  return {{"rollout", 25, 15, field, kRunwayDeg},
          {"", 40, 15, field, kTaxiDeg},
          {"stopping", 10, 0, field, kTaxiDeg},
          {"parked", 60, 0, field, kTaxiDeg}};
}

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts) {
  std::vector<Step> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<Step> PlainCircuit(double field) {
  return Join({Departure(field), Pattern(field), Approach(field), FullStop(field)});
}

namespace {

constexpr double kFeetPerMetre = 3.28084;

// Degrees as IGC writes them: degrees, minutes and thousandths of a minute.
std::string IgcAngle(double deg, int width, char positive, char negative) {
  const long long thousandths = std::llround(std::fabs(deg) * 60000);
  const int whole = static_cast<int>(thousandths / 60000);
  return Format("%0*d%05d%c", width, whole, static_cast<int>(thousandths % 60000),
                deg >= 0 ? positive : negative);
}

}  // namespace

std::string CraftedText(const std::string& format, const std::vector<TrackPoint>& points) {
  std::string out;
  if (format == "csv") {
    out = "timestamp,latitude,longitude,altitude,groundspeed,callsign\n";
    for (const TrackPoint& p : points) {
      out += Format("%.0f,%.7f,%.7f,%.0f,%.1f,PH-ABC\n", p.utcSeconds, p.latitudeDeg,
                    p.longitudeDeg, p.altitudeFt, p.groundSpeedKt);
    }
  } else if (format == "json") {
    out = "[";
    for (const TrackPoint& p : points) {
      if (out.size() > 1) out += ",\n";
      out += Format(R"({"timestamp": "%s", "latitude": %.7f, "longitude": %.7f, "altitude": %.0f})",
                    IsoTimeText(p.utcSeconds).c_str(), p.latitudeDeg, p.longitudeDeg, p.altitudeFt);
    }
    out += "]\n";
  } else if (format == "gpx") {
    out =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n";
    for (const TrackPoint& p : points) {
      out += Format("<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.2f</ele><time>%s</time></trkpt>\n",
                    p.latitudeDeg, p.longitudeDeg, p.altitudeFt / kFeetPerMetre,
                    IsoTimeText(p.utcSeconds).c_str());
    }
    out += "</trkseg></trk></gpx>\n";
  } else if (format == "kml") {
    out =
        "<?xml version=\"1.0\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
        "xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Document><Placemark><gx:Track>\n";
    for (const TrackPoint& p : points) out += "<when>" + IsoTimeText(p.utcSeconds) + "</when>\n";
    for (const TrackPoint& p : points) {
      out += Format("<gx:coord>%.7f %.7f %.2f</gx:coord>\n", p.longitudeDeg, p.latitudeDeg,
                    p.altitudeFt / kFeetPerMetre);
    }
    out += "</gx:Track></Placemark></Document></kml>\n";
  } else if (format == "igc") {
    out = "AXXX001\nHFDTE010624\nHFGTYGLIDERTYPE:PH-ABC\n";
    for (const TrackPoint& p : points) {
      const std::string when = IsoTimeText(p.utcSeconds);  // 2024-06-01T10:00:00Z
      const int metres = static_cast<int>(std::lround(p.altitudeFt / kFeetPerMetre));
      out += "B" + when.substr(11, 2) + when.substr(14, 2) + when.substr(17, 2);
      out += IgcAngle(p.latitudeDeg, 2, 'N', 'S');
      out += IgcAngle(p.longitudeDeg, 3, 'E', 'W');
      out += Format("A%05d%05d\n", metres, metres);
    }
  }
  return out;
}

std::vector<std::uint8_t> CraftedDat(const std::vector<TrackPoint>& points) {
  std::vector<SampleValues> samples;
  for (const TrackPoint& p : points) {
    const auto of = static_cast<long long>(p.utcSeconds) % 86400;
    SampleValues v;
    v.hours = static_cast<int>(of / 3600);
    v.minutes = static_cast<int>(of / 60 % 60);
    v.seconds = static_cast<int>(of % 60);
    v.latitudeDeg = p.latitudeDeg;
    v.longitudeDeg = p.longitudeDeg;
    v.altitudeFt = p.altitudeFt;
    v.iasKt = v.tasKt = p.groundSpeedKt;
    v.headingDeg = kRunwayDeg;
    v.gearDown[0] = v.gearDown[1] = v.gearDown[2] = true;
    samples.push_back(v);
  }
  return EncodeSamples(samples);
}

}  // namespace quarn::testing

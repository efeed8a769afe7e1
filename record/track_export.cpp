#include "record/track_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/format.h"
#include "platform/file_services.h"
#include "platform/file_writer.h"
#include "record/flight_analysis.h"
#include "record/flight_phases.h"
#include "record/text_input.h"

namespace quarn {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr double kMetresPerFoot = 0.3048;

std::int64_t SecondsOfDay(const FlightSample& s) {
  return static_cast<std::int64_t>(std::llround(s.timeHours * 3600));
}

std::string XmlEscaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        // Control characters have no place in XML 1.0.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
    }
  }
  return out;
}

std::string IsoTimeOfSeconds(std::int64_t utcSeconds) {
  const auto t = static_cast<std::time_t>(utcSeconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  return Format("%04d-%02d-%02dT%02d:%02d:%02dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
}

// A moment as ISO 8601 UTC, the fraction of a second only where there is one.
std::string IsoTime(const TimedSample& t) {
  if (t.fraction != 0) return IsoTimeText(static_cast<double>(t.utcSeconds) + t.fraction);
  return IsoTimeOfSeconds(t.utcSeconds);
}

const char* const kTimeNote =
    "The record holds the time of day only: the last sample takes the date the record file was "
    "last written, earlier samples count back a day at each midnight passed, and times are "
    "given as UTC by convention.";
const char* const kSourceTimeNote = "Times in UTC, as the source recorded them.";

// A number as the shortest text that reads back as the same double.
std::string Exact(double v) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  return ec == std::errc() ? std::string(buffer, end) : std::string();
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
  if (s.size() < suffix.size()) return false;
  return std::equal(suffix.rbegin(), suffix.rend(), s.rbegin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

std::vector<TimedSample> TimeSamplesOf(const Flight& flight) {
  if (!flight.timedBySource()) {
    return TimeSamples(flight.samples, static_cast<std::time_t>(flight.sourceModified));
  }
  double shift = 0;
  if (!flight.date && !flight.samples.empty()) {
    constexpr double kDay = kSecondsPerDay;
    const auto dayOf = [](double seconds) { return std::floor(seconds / kDay); };
    shift = (dayOf(static_cast<double>(flight.sourceModified)) -
             dayOf(flight.samples.back().utcSeconds)) *
            kDay;
  }
  std::vector<TimedSample> out;
  out.reserve(flight.samples.size());
  for (std::size_t i = 0; i < flight.samples.size(); ++i) {
    const double t = flight.samples[i].utcSeconds + shift;
    const double whole = std::floor(t);
    out.push_back({static_cast<int>(i), static_cast<std::int64_t>(whole), t - whole});
  }
  return out;
}

std::vector<TimedSample> TimeSamples(std::span<const FlightSample> samples, std::time_t lastDay) {
  // A time of day earlier than the one before it means a midnight lies between them,
  // so the first sample's day lies that many days before the last one's.
  std::int64_t midnights = 0;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    if (SecondsOfDay(samples[i]) < SecondsOfDay(samples[i - 1])) ++midnights;
  }
  const auto last = static_cast<std::int64_t>(lastDay);
  std::int64_t day = last - last % kSecondsPerDay - midnights * kSecondsPerDay;
  std::vector<TimedSample> out;
  out.reserve(samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const std::int64_t t = SecondsOfDay(samples[i]);
    if (i > 0) {
      const std::int64_t before = SecondsOfDay(samples[i - 1]);
      if (t == before) continue;  // paused: written once
      if (t < before) day += kSecondsPerDay;
    }
    out.push_back({static_cast<int>(i), day + t});
  }
  return out;
}

namespace {

// The written samples split where a piece of track starts: each piece as a range of
// times.
std::vector<std::span<const TimedSample>> PiecesOf(const std::vector<TimedSample>& times,
                                                   std::span<const int> segmentStarts) {
  std::vector<std::span<const TimedSample>> pieces;
  const std::span<const TimedSample> all(times);
  std::size_t begin = 0;
  auto nextStart = segmentStarts.begin();
  for (std::size_t k = 0; k < times.size(); ++k) {
    bool starts = false;
    while (nextStart != segmentStarts.end() && *nextStart <= times[k].index) {
      starts = true;
      ++nextStart;
    }
    if (starts && k > begin) {
      pieces.push_back(all.subspan(begin, k - begin));
      begin = k;
    }
  }
  pieces.push_back(all.subspan(begin));
  return pieces;
}

void AppendKmlTrack(std::string& out, std::span<const FlightSample> samples,
                    std::span<const TimedSample> times, const char* indent) {
  for (const TimedSample& t : times) out += indent + ("<when>" + IsoTime(t) + "</when>\n");
  for (const TimedSample& t : times) {
    const FlightSample& s = samples[static_cast<std::size_t>(t.index)];
    out += indent + Format("<gx:coord>%.7f %.7f %.2f</gx:coord>\n", s.longitudeDeg, s.latitudeDeg,
                           s.altitudeFt * kMetresPerFoot);
  }
  // Heading, tilt and roll: the tilt is the pitch and the roll the bank, with the
  // signs the graphs show.
  for (const TimedSample& t : times) {
    const FlightSample& s = samples[static_cast<std::size_t>(t.index)];
    out += indent +
           Format("<gx:angles>%.1f %.1f %.1f</gx:angles>\n", s.courseDeg, s.pitchDeg, s.bankDeg);
  }
}

}  // namespace

std::string TrackGpx(std::span<const FlightSample> samples, const std::vector<TimedSample>& times,
                     const std::string& name, const char* description,
                     std::span<const int> segmentStarts) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"QUARN\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
      "  <metadata>\n    <name>" +
      XmlEscaped(name) + "</name>\n    <desc>" + (description ? description : kTimeNote) +
      "</desc>\n  </metadata>\n  <trk>\n    <name>" + XmlEscaped(name) + "</name>\n";
  for (std::span<const TimedSample> piece : PiecesOf(times, segmentStarts)) {
    out += "    <trkseg>\n";
    for (const TimedSample& t : piece) {
      const FlightSample& s = samples[static_cast<std::size_t>(t.index)];
      out +=
          Format("      <trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.2f</ele><time>%s</time></trkpt>\n",
                 s.latitudeDeg, s.longitudeDeg, s.altitudeFt * kMetresPerFoot, IsoTime(t).c_str());
    }
    out += "    </trkseg>\n";
  }
  out += "  </trk>\n</gpx>\n";
  return out;
}

std::string TrackKml(std::span<const FlightSample> samples, const std::vector<TimedSample>& times,
                     const std::string& name, const TakeoffLanding& events, const char* description,
                     std::span<const int> segmentStarts) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
      "xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n<Document>\n  <name>" +
      XmlEscaped(name) + "</name>\n  <description>" + (description ? description : kTimeNote) +
      "</description>\n";
  auto placemark = [&](const char* title, std::optional<int> index) {
    if (!index) return;
    const FlightSample& s = samples[static_cast<std::size_t>(*index)];
    out += Format(
        "  <Placemark>\n    <name>%s</name>\n    <Point><altitudeMode>absolute</altitudeMode>"
        "<coordinates>%.7f,%.7f,%.2f</coordinates></Point>\n  </Placemark>\n",
        title, s.longitudeDeg, s.latitudeDeg, s.altitudeFt * kMetresPerFoot);
  };
  placemark("Take-off", events.takeoff);
  placemark("Landing", events.landing);
  out += "  <Placemark>\n    <name>" + XmlEscaped(name) + "</name>\n";
  const std::vector<std::span<const TimedSample>> pieces = PiecesOf(times, segmentStarts);
  if (pieces.size() == 1) {
    out +=
        "    <gx:Track>\n      <extrude>1</extrude>\n      <altitudeMode>absolute</altitudeMode>\n";
    AppendKmlTrack(out, samples, pieces.front(), "      ");
    out += "    </gx:Track>\n";
  } else {
    // Pieces after gaps are tracks of their own, not joined across the gap.
    out +=
        "    <gx:MultiTrack>\n      <altitudeMode>absolute</altitudeMode>\n"
        "      <gx:interpolate>0</gx:interpolate>\n";
    for (std::span<const TimedSample> piece : pieces) {
      out +=
          "      <gx:Track>\n        <extrude>1</extrude>\n"
          "        <altitudeMode>absolute</altitudeMode>\n";
      AppendKmlTrack(out, samples, piece, "        ");
      out += "      </gx:Track>\n";
    }
    out += "    </gx:MultiTrack>\n";
  }
  out += "  </Placemark>\n</Document>\n</kml>\n";
  return out;
}

std::string TrackCsv(const Flight& flight, const std::vector<TimedSample>& times) {
  std::string out =
      "timestamp,latitude,longitude,altitude,groundspeed,track,vertical_rate,onground,ias,tas,"
      "heading,pitch,roll,gear\n";
  const ChannelSet& c = flight.channels;
  auto cell = [&](Channel channel, double v) {
    return "," + (c.Carries(channel) ? Exact(v) : std::string());
  };
  for (const TimedSample& t : times) {
    const FlightSample& s = flight.samples[static_cast<std::size_t>(t.index)];
    out += IsoTime(t);
    out += "," + Exact(s.latitudeDeg) + "," + Exact(s.longitudeDeg);
    out += cell(Channel::Altitude, s.altitudeFt);
    out += cell(Channel::GroundSpeed, s.groundSpeedKt);
    out += cell(Channel::Track, s.trackDeg);
    out += cell(Channel::VerticalRate, s.verticalSpeedFpm);
    out += ",";
    if (c.Carries(Channel::OnGround)) out += s.onGround != 0 ? "true" : "false";
    out += cell(Channel::Ias, s.iasKt);
    out += cell(Channel::Tas, s.tasKt);
    out += cell(Channel::Heading, s.courseDeg);
    out += cell(Channel::Pitch, s.pitchDeg);
    out += cell(Channel::Roll, s.bankDeg);
    out += cell(Channel::Gear, (s.gear1 + s.gear2 + s.gear3) / 3);
    out += "\n";
  }
  return out;
}

TakeoffLanding PhaseEvents(const Flight& flight) {
  const FlightPhases phases = FindFlightPhases(flight);
  TakeoffLanding events;
  if (!phases.legs.empty() && phases.legs.front().takeoff) {
    events.takeoff = phases.legs.front().takeoff->liftoff;
  }
  if (const auto landing = phases.LastLanding()) events.landing = landing->index;
  return events;
}

std::string ExportTrack(const Flight& flight, const std::string& target) {
  const bool gpx = EndsWithNoCase(target, ".gpx");
  const bool csv = EndsWithNoCase(target, ".csv");
  if (!gpx && !csv && !EndsWithNoCase(target, ".kml")) {
    return "the track is written as .gpx, .kml or .csv: " + target;
  }
  const std::span<const FlightSample> samples(flight.samples);
  const std::vector<TimedSample> times = TimeSamplesOf(flight);
  const std::string name = FileNameOf(flight.recordPath);
  const char* note = flight.date ? kSourceTimeNote : nullptr;
  std::string text;
  if (csv) {
    text = TrackCsv(flight, times);
  } else if (gpx) {
    text = TrackGpx(samples, times, name, note, flight.segmentStarts);
  } else {
    text = TrackKml(samples, times, name, PhaseEvents(flight), note, flight.segmentStarts);
  }
  if (!ReplaceFileContents(target, text)) return "cannot write " + target;
  return "";
}

}  // namespace quarn

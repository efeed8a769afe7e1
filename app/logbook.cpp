#include "app/logbook.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/format.h"
#include "base/geodesy.h"
#include "charts/approach_debrief.h"
#include "navaid/halbrico_doc.h"
#include "platform/json.h"
#include "record/flight_phases.h"
#include "record/flight_reader.h"
#include "record/text_input.h"
#include "record/track_export.h"

namespace quarn {
namespace {

constexpr double kFeetPerMetre = 3.28084;
constexpr double kMetresPerNm = 1852.0;
// An airport further than this from the lift-off or touchdown is not the flight's.
constexpr double kAirportReachNm = 5.0;

constexpr std::array<const char*, 20> kColumns = {"file",
                                                  "format",
                                                  "leg",
                                                  "date",
                                                  "callsign",
                                                  "departure",
                                                  "arrival",
                                                  "out",
                                                  "off",
                                                  "on",
                                                  "in",
                                                  "air_time_min",
                                                  "distance_nm",
                                                  "max_altitude_ft",
                                                  "landing_rate_fpm",
                                                  "landing_rate_confidence",
                                                  "touchdown_past_threshold_ft",
                                                  "touchdown_off_centreline_m",
                                                  "verdict",
                                                  "status"};

// Every sample's moment in seconds since 1970; a sample the recorder's rule leaves
// out (a pause) takes the moment before it.
std::vector<double> MomentsOf(const Flight& flight) {
  std::vector<double> moments(flight.samples.size(), 0.0);
  std::vector<bool> set(flight.samples.size(), false);
  for (const TimedSample& t : TimeSamplesOf(flight)) {
    const auto i = static_cast<std::size_t>(t.index);
    if (i >= moments.size()) continue;
    moments[i] = static_cast<double>(t.utcSeconds) + t.fraction;
    set[i] = true;
  }
  for (std::size_t i = 1; i < moments.size(); ++i) {
    if (!set[i]) moments[i] = moments[i - 1];
  }
  return moments;
}

std::optional<double> MomentAt(const std::vector<double>& moments, std::optional<int> index) {
  if (!index || *index < 0 || static_cast<std::size_t>(*index) >= moments.size()) {
    return std::nullopt;
  }
  return moments[static_cast<std::size_t>(*index)];
}

std::string DateText(double utcSeconds) {
  return IsoTimeText(std::floor(utcSeconds)).substr(0, 10);
}

// The ident of the airport nearest the point within reach, else its name; empty
// without one.
std::string NearestAirport(const CHalbricoDoc& doc, double latitude, double longitude) {
  const double reachDeg = kAirportReachNm / 60.0;
  const double lonReach = reachDeg / std::max(0.05, std::cos(latitude * M_PI / 180.0));
  std::vector<std::int32_t> near;
  const bool looked = doc.ListNear(doc.m_airportIdx, latitude - reachDeg, latitude + reachDeg,
                                   longitude - lonReach, longitude + lonReach, near);
  double best = kAirportReachNm * kMetresPerNm;
  std::string found;
  for (const std::int32_t i : looked ? near : doc.m_airportIdx) {
    const NavaidRecord& r = doc.m_navaids[static_cast<std::size_t>(i)];
    const double d = GreatCircleMetres(latitude, longitude, r.latitude, r.longitude);
    if (d >= best) continue;
    best = d;
    found = r.Ident().empty() ? r.Name() : r.Ident();
  }
  return found;
}

// The samples of each leg: from where the one before ended to where the next begins.
struct LegSpan {
  int first = 0;
  int last = 0;
};

std::vector<LegSpan> LegSpans(const FlightPhases& phases, int lastSample) {
  std::vector<LegSpan> spans;
  int first = 0;
  for (std::size_t l = 0; l < phases.legs.size(); ++l) {
    const FlightLeg& leg = phases.legs[l];
    int last = lastSample;
    if (l + 1 < phases.legs.size()) {
      const FlightLeg& next = phases.legs[l + 1];
      if (next.takeoff) last = std::max(first, next.takeoff->rollStart - 1);
    }
    if (leg.landingRollEnd) last = std::max(last, *leg.landingRollEnd);
    spans.push_back({first, std::min(last, lastSample)});
    first = std::min(last + 1, lastSample);
  }
  return spans;
}

// Nautical miles flown between the two samples while off the ground, not across a
// break in the track.
double AirDistanceNm(const Flight& flight, const FlightPhases& phases, int from, int to) {
  double metres = 0;
  auto breakAt = [&](int i) {
    return std::binary_search(flight.segmentStarts.begin(), flight.segmentStarts.end(), i);
  };
  auto onGround = [&](int i) {
    const auto k = static_cast<std::size_t>(i);
    return k < phases.onGround.size() && phases.onGround[k];
  };
  for (int i = std::max(from, 0) + 1; i <= to; ++i) {
    if (breakAt(i) || (onGround(i) && onGround(i - 1))) continue;
    const FlightSample& a = flight.SampleAt(i - 1);
    const FlightSample& b = flight.SampleAt(i);
    metres += GreatCircleMetres(a.latitudeDeg, a.longitudeDeg, b.latitudeDeg, b.longitudeDeg);
  }
  return metres / kMetresPerNm;
}

std::optional<double> HighestAltitude(const Flight& flight, int from, int to) {
  if (!flight.channels.Carries(Channel::Altitude) || from > to) return std::nullopt;
  double highest = flight.SampleAt(from).altitudeFt;
  for (int i = from + 1; i <= to; ++i) highest = std::max(highest, flight.SampleAt(i).altitudeFt);
  return highest;
}

double Rounded(double v, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(v * scale) / scale;
}

// The debrief's findings for the flight's last landing, with navaids.
void AddDebrief(LogbookEntry& entry, const Flight& flight, const CHalbricoDoc& navaids) {
  const ApproachDebrief debrief = DebriefApproach(navaids, flight);
  if (debrief.touchdownPoint) {
    entry.touchdownPastThresholdFt = debrief.touchdownPoint->pastThresholdM * kFeetPerMetre;
    entry.touchdownOffCentrelineM = debrief.touchdownPoint->offsetM;
  }
  if (debrief.ils) entry.verdict = VerdictText(debrief);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string NumberText(const std::optional<double>& v, int decimals) {
  if (!v) return "";
  return Format("%.*f", decimals, Rounded(*v, decimals));
}

// The entry's values in column order, as text; empty where unknown.
struct Field {
  std::string text;
  bool number = false;
};

std::array<Field, kColumns.size()> FieldsOf(const LogbookEntry& e) {
  return {{{e.file},
           {e.format},
           {std::to_string(e.leg), true},
           {e.date},
           {e.callsign},
           {e.departure},
           {e.arrival},
           {LogbookTimeText(e.out)},
           {LogbookTimeText(e.off)},
           {LogbookTimeText(e.on)},
           {LogbookTimeText(e.in)},
           {NumberText(e.airTimeMin, 1), true},
           {NumberText(e.distanceNm, 1), true},
           {NumberText(e.maxAltitudeFt, 0), true},
           {NumberText(e.landingRateFpm, 0), true},
           {e.landingRateConfidence},
           {NumberText(e.touchdownPastThresholdFt, 0), true},
           {NumberText(e.touchdownOffCentrelineM, 1), true},
           {e.verdict},
           {e.missing ? "missing" : "ok"}}};
}

}  // namespace

std::vector<LogbookEntry> LogbookEntriesOf(const Flight& flight, const CHalbricoDoc* navaids) {
  std::vector<LogbookEntry> entries;
  if (flight.samples.empty()) return entries;
  const FlightPhases phases = FindFlightPhases(flight);
  const std::vector<double> moments = MomentsOf(flight);
  const std::vector<LegSpan> spans = LegSpans(phases, flight.lastSampleIndex());
  // A flight of one leg that never left the ground is still one entry: it was logged.
  const std::size_t legs = std::max<std::size_t>(1, phases.legs.size());
  for (std::size_t l = 0; l < legs; ++l) {
    const FlightLeg* leg = l < phases.legs.size() ? &phases.legs[l] : nullptr;
    const LegSpan span = l < spans.size() ? spans[l] : LegSpan{0, flight.lastSampleIndex()};
    LogbookEntry e;
    e.file = flight.recordPath;
    e.format = flight.format;
    e.leg = static_cast<int>(l) + 1;
    e.callsign = !flight.callsign.empty() ? flight.callsign : flight.aircraft;
    std::optional<int> off, on;
    if (leg) {
      if (leg->takeoff) off = leg->takeoff->liftoff;
      if (const auto landing = leg->Landing()) on = landing->index;
      e.out = MomentAt(moments, leg->blocks.out);
      e.in = MomentAt(moments, leg->blocks.in);
    }
    e.off = MomentAt(moments, off);
    e.on = MomentAt(moments, on);
    e.date = DateText(e.off.value_or(moments[static_cast<std::size_t>(span.first)]));
    if (e.off && e.on) e.airTimeMin = (*e.on - *e.off) / 60.0;
    const int airFrom = off.value_or(span.first);
    const int airTo = on.value_or(span.last);
    if (leg) e.distanceNm = AirDistanceNm(flight, phases, airFrom, airTo);
    e.maxAltitudeFt = HighestAltitude(flight, span.first, span.last);
    if (on) {
      if (const auto rate = FindLandingRate(flight, *on)) {
        e.landingRateFpm = rate->fpm;
        e.landingRateConfidence = rate->lowConfidence() ? "low" : "normal";
      }
    }
    if (navaids != nullptr && navaids->m_navaidCount > 0) {
      if (off) {
        const FlightSample& s = flight.SampleAt(*off);
        e.departure = NearestAirport(*navaids, s.latitudeDeg, s.longitudeDeg);
      }
      if (on) {
        const FlightSample& s = flight.SampleAt(*on);
        e.arrival = NearestAirport(*navaids, s.latitudeDeg, s.longitudeDeg);
      }
      // The debrief judges the flight's last landing: the last leg's.
      if (on && l + 1 == legs) AddDebrief(e, flight, *navaids);
    }
    entries.push_back(std::move(e));
  }
  return entries;
}

Result<LogbookFileRead> ReadLogbookFile(const std::string& path, const CHalbricoDoc* navaids) {
  auto read = ReadFlight(path);
  if (!read) return read.error();
  Flight& flight = read->flight;
  if (flight.samples.size() < 2) return Error{path + ": a flight needs at least two samples"};
  flight.recordPath = path;
  return LogbookFileRead{flight.format, LogbookEntriesOf(flight, navaids)};
}

LogbookTotals LogbookTotalsOf(std::span<const LogbookEntry> entries) {
  LogbookTotals t;
  double rateSum = 0;
  int rates = 0;
  for (const LogbookEntry& e : entries) {
    ++t.flights;
    if (e.out && e.in) t.blockHours += (*e.in - *e.out) / 3600.0;
    if (e.airTimeMin) t.airHours += *e.airTimeMin / 60.0;
    if (e.on) ++t.landings;
    if (e.landingRateFpm) {
      rateSum += *e.landingRateFpm;
      ++rates;
      t.worstLandingRateFpm =
          std::max(t.worstLandingRateFpm.value_or(*e.landingRateFpm), *e.landingRateFpm);
    }
  }
  if (rates > 0) t.averageLandingRateFpm = rateSum / rates;
  return t;
}

std::span<const char* const> LogbookColumns() {
  return kColumns;
}

std::string LogbookCsvHeader() {
  std::string header;
  for (const char* c : kColumns) {
    if (!header.empty()) header += ',';
    header += c;
  }
  return header;
}

std::string LogbookCsvRow(const LogbookEntry& entry) {
  std::string row;
  bool first = true;
  for (const Field& f : FieldsOf(entry)) {
    if (!first) row += ',';
    first = false;
    row += CsvField(f.text);
  }
  return row;
}

std::string LogbookJsonLine(const LogbookEntry& entry) {
  JsonObject o;
  const auto fields = FieldsOf(entry);
  for (std::size_t i = 0; i < kColumns.size(); ++i) {
    const Field& f = fields[i];
    if (f.text.empty()) {
      o.AddNull(kColumns[i]);
    } else if (f.number) {
      o.AddRaw(kColumns[i], f.text);
    } else {
      o.Add(kColumns[i], f.text);
    }
  }
  return o.Str();
}

std::string LogbookFailureJsonLine(const LogbookFailure& failure) {
  return JsonObject().Add("file", failure.file).Add("error", failure.message).Str();
}

std::vector<std::string> LogbookTotalsText(const LogbookTotals& t) {
  std::vector<std::string> lines = {
      Format("Flights: %d", t.flights),
      Format("Block time: %.1f h, air time: %.1f h", t.blockHours, t.airHours),
      Format("Landings: %d", t.landings)};
  if (t.averageLandingRateFpm && t.worstLandingRateFpm) {
    lines.push_back(Format("Landing rate: %.0f ft/min on average, %.0f ft/min at worst",
                           *t.averageLandingRateFpm, *t.worstLandingRateFpm));
  }
  return lines;
}

std::string LogbookTimeText(const std::optional<double>& utcSeconds) {
  if (!utcSeconds) return "";
  return IsoTimeText(std::round(*utcSeconds));
}

}  // namespace quarn

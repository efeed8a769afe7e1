#include "record/summary_text.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

#include "record/flight_analysis.h"

namespace quarn {

Channel ChannelOfExtreme(int extremeKind) {
  switch (extremeKind) {
    case kExtremeAltitude:
      return Channel::Altitude;
    case kExtremeNegativePitch:
    case kExtremePositivePitch:
      return Channel::Pitch;
    case kExtremeNegativeBank:
    case kExtremePositiveBank:
      return Channel::Roll;
    case kExtremeTas:
      return Channel::Tas;
    case kExtremeIas:
      return Channel::Ias;
    default:
      return Channel::VerticalRate;
  }
}

std::string NotRecordedRow(const char* format) {
  const std::string_view f(format);
  return std::string(f.substr(0, f.find('%'))) + "n/a";
}

std::string SummaryEventRow(const char* format, const FlightSample& s, const ChannelSet& channels) {
  const TimeStamp t = TimeFormB(s.timeHours);
  const Channel measured[] = {Channel::Altitude, Channel::Pitch, Channel::Roll,
                              Channel::Tas,      Channel::Ias,   Channel::VerticalRate};
  const bool allCarried = std::all_of(std::begin(measured), std::end(measured),
                                      [&](Channel c) { return channels.Carries(c); });
  if (!allCarried) {
    auto field = [&](double v, Channel c) { return RowField{v, !channels.Carries(c)}; };
    const RowField fields[] = {{static_cast<double>(t.hours)},
                               {static_cast<double>(t.minutes)},
                               {static_cast<double>(t.seconds)},
                               field(s.altitudeFt, Channel::Altitude),
                               {s.latitudeDeg},
                               {s.longitudeDeg},
                               field(s.pitchDeg, Channel::Pitch),
                               field(s.bankDeg, Channel::Roll),
                               field(s.tasKt, Channel::Tas),
                               field(s.iasKt, Channel::Ias),
                               field(s.verticalSpeedFpm, Channel::VerticalRate)};
    return FormatRow(format, fields);
  }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const auto print = [&](char* out, std::size_t size) {
    return std::snprintf(out, size, format, t.hours, t.minutes, t.seconds, s.altitudeFt,
                         s.latitudeDeg, s.longitudeDeg, s.pitchDeg, s.bankDeg, s.tasKt, s.iasKt,
                         s.verticalSpeedFpm);
  };
#pragma GCC diagnostic pop
  const int length = print(nullptr, 0);
  if (length <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  print(buffer.data(), buffer.size());
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

int SummarySampleCount(const Flight& flight) {
  return flight.sampleCount();
}

std::array<RowField, 7> FuelRowFields(const AnalysisSample& s, bool recorded) {
  return {{{static_cast<double>(s.stamp.hours)},
           {static_cast<double>(s.stamp.minutes)},
           {static_cast<double>(s.stamp.seconds)},
           {s.fuel[0], !recorded},
           {s.fuel[1], !recorded},
           {s.fuel[2], !recorded},
           {s.fuel[3], !recorded}}};
}

}  // namespace quarn

#include "record/summary_text.h"

#include <cstdio>
#include <vector>

#include "record/flight_analysis.h"

namespace quarn {

std::string SummaryEventRow(const char* format, const FlightSample& s) {
  const TimeStamp t = TimeFormB(s.timeHours);
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

}  // namespace quarn

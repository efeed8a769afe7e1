#include "charts/compared_flight.h"

#include "record/flight_alignment.h"

namespace quarn {

ComparedTrace ComparedTraceOf(const ChartInput& in) {
  const Flight* compared = in.navaids.comparedFlight();
  if (compared == nullptr) return {};
  // The offset the view found for the document's own flights, else found now.
  if (&in.flight == &in.navaids.flight() && in.navaids.m_compareOffsetHours) {
    return {compared, *in.navaids.m_compareOffsetHours};
  }
  return {compared, AlignmentOffsetHours(in.flight, *compared, in.navaids.compareAlignment())};
}

std::optional<int> ComparedSampleAt(const ComparedTrace& compared, double timeHours) {
  if (compared.flight == nullptr || compared.flight->samples.empty()) return std::nullopt;
  const Flight& flight = *compared.flight;
  const double own = timeHours - compared.offsetHours;
  if (own < flight.samples.front().timeHours || own > flight.samples.back().timeHours) {
    return std::nullopt;
  }
  for (int i = 0; i < flight.sampleCount(); ++i) {
    if (flight.SampleAt(i).timeHours >= own) return i;
  }
  return flight.lastSampleIndex();
}

}  // namespace quarn

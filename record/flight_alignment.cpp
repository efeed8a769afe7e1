#include "record/flight_alignment.h"

namespace quarn {

std::optional<int> AlignmentSample(const Flight& flight, const FlightPhases& phases,
                                   CompareAlignment alignment) {
  if (flight.samples.empty()) return std::nullopt;
  std::optional<int> event;
  switch (alignment) {
    case CompareAlignment::Start:
      break;
    case CompareAlignment::Takeoff:
      for (const FlightLeg& leg : phases.legs) {
        if (leg.takeoff) {
          event = leg.takeoff->liftoff;
          break;
        }
      }
      break;
    case CompareAlignment::Touchdown:
      if (const auto landing = phases.LastLanding()) event = landing->index;
      break;
  }
  // A flight without the event (a record that starts in the air, or ends before
  // landing) still has a start to lay on the other.
  if (!event || *event < 0 || *event > flight.lastSampleIndex()) return 0;
  return event;
}

double AlignmentOffsetHours(const Flight& current, const FlightPhases& currentPhases,
                            const Flight& compared, const FlightPhases& comparedPhases,
                            CompareAlignment alignment) {
  const auto here = AlignmentSample(current, currentPhases, alignment);
  const auto there = AlignmentSample(compared, comparedPhases, alignment);
  if (!here || !there) return 0;
  return current.SampleAt(*here).timeHours - compared.SampleAt(*there).timeHours;
}

double AlignmentOffsetHours(const Flight& current, const Flight& compared,
                            CompareAlignment alignment) {
  if (alignment == CompareAlignment::Start) {
    // The start needs no phases: spare the search over two whole flights.
    return AlignmentOffsetHours(current, {}, compared, {}, alignment);
  }
  return AlignmentOffsetHours(current, FindFlightPhases(current), compared,
                              FindFlightPhases(compared), alignment);
}

}  // namespace quarn

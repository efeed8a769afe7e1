#include "record/flight_phases_json.h"

#include <cmath>

#include "base/format.h"
#include "platform/json.h"
#include "record/text_input.h"

namespace quarn {
namespace {

std::string EventJson(const Flight& flight, int index) {
  const FlightSample& s = flight.samples[static_cast<std::size_t>(index)];
  return JsonObject()
      .Add("time", PhaseTimeText(flight, index))
      .Add("index", index)
      .Add("latitude", s.latitudeDeg)
      .Add("longitude", s.longitudeDeg)
      .Str();
}

std::string EventOrNull(const Flight& flight, const std::optional<int>& index) {
  return index ? EventJson(flight, *index) : "null";
}

std::string TimeOrNull(const Flight& flight, const std::optional<int>& index) {
  if (!index) return "null";
  std::string out;
  AppendJsonString(out, PhaseTimeText(flight, *index));
  return out;
}

std::string EventList(const Flight& flight, const std::vector<int>& indices) {
  std::string out = "[";
  for (int i : indices) {
    if (out.size() > 1) out += ",";
    out += EventJson(flight, i);
  }
  return out + "]";
}

std::string LegJson(const FlightLeg& leg, const Flight& flight) {
  std::string takeoff = "null";
  if (leg.takeoff) {
    takeoff = JsonObject()
                  .AddRaw("roll_start", EventJson(flight, leg.takeoff->rollStart))
                  .AddRaw("liftoff", EventJson(flight, leg.takeoff->liftoff))
                  .Str();
  }
  std::string touchdowns = "[";
  for (const Touchdown& t : leg.touchdowns) {
    if (touchdowns.size() > 1) touchdowns += ",";
    std::string event = EventJson(flight, t.index);
    event.pop_back();  // the closing brace: the bounces go in
    touchdowns += event + ",\"bounces\":" + std::to_string(t.bounces) + "}";
  }
  touchdowns += "]";
  const std::string blocks = JsonObject()
                                 .AddRaw("out", TimeOrNull(flight, leg.blocks.out))
                                 .AddRaw("off", TimeOrNull(flight, leg.blocks.off))
                                 .AddRaw("on", TimeOrNull(flight, leg.blocks.on))
                                 .AddRaw("in", TimeOrNull(flight, leg.blocks.in))
                                 .Str();
  return JsonObject()
      .AddRaw("takeoff", takeoff)
      .AddRaw("touchdowns", touchdowns)
      .AddRaw("landing_roll_end", EventOrNull(flight, leg.landingRollEnd))
      .AddRaw("go_arounds", EventList(flight, leg.goArounds))
      .AddRaw("touch_and_goes", EventList(flight, leg.touchAndGoes))
      .AddRaw("blocks", blocks)
      .Str();
}

}  // namespace

std::string PhaseTimeText(const Flight& flight, int index) {
  const FlightSample& s = flight.samples[static_cast<std::size_t>(index)];
  if (flight.timedBySource() && flight.date) return IsoTimeText(s.utcSeconds);
  // The time of day to the nearest second: the recorder stores whole seconds.
  const double seconds = flight.timedBySource() ? s.utcSeconds : s.timeHours * 3600;
  const auto whole = static_cast<long long>(std::llround(seconds)) % 86400;
  return Format("%02lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
}

std::string PhasesJson(const FlightPhases& phases, const Flight& flight) {
  std::string legs = "[";
  for (const FlightLeg& leg : phases.legs) {
    if (legs.size() > 1) legs += ",";
    legs += LegJson(leg, flight);
  }
  return JsonObject().AddRaw("legs", legs + "]").Str();
}

}  // namespace quarn

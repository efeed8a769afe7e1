#include "base/flight.h"

namespace quarn {

Flight ProgramStartFlight() {
  Flight f;
  f.samples.resize(2);
  return f;
}

const char* ChannelName(Channel c) {
  switch (c) {
    case Channel::Timestamp:
      return "timestamp";
    case Channel::Latitude:
      return "latitude";
    case Channel::Longitude:
      return "longitude";
    case Channel::Altitude:
      return "altitude";
    case Channel::GroundSpeed:
      return "groundspeed";
    case Channel::Track:
      return "track";
    case Channel::VerticalRate:
      return "vertical_rate";
    case Channel::OnGround:
      return "onground";
    case Channel::Ias:
      return "ias";
    case Channel::Tas:
      return "tas";
    case Channel::Heading:
      return "heading";
    case Channel::Pitch:
      return "pitch";
    case Channel::Roll:
      return "roll";
    case Channel::Gear:
      return "gear";
    case Channel::Fuel:
      return "fuel";
  }
  return "";
}

const char* ChannelStateName(ChannelState s) {
  switch (s) {
    case ChannelState::Absent:
      return "absent";
    case ChannelState::Recorded:
      return "recorded";
    case ChannelState::Derived:
      return "derived";
  }
  return "";
}

}  // namespace quarn

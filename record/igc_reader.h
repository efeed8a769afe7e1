#pragma once
// Reading a flight from IGC, the logger format of gliders and light aircraft.
//
// The date comes from the HFDTE record (both "HFDTEDDMMYY" and
// "HFDTEDATE:DDMMYY,NN") and must precede the first fix. Each B record is one fix:
// its time of day, position, validity and pressure and GNSS altitudes in metres.
// The altitude is the pressure altitude where it is not zero, else the GNSS one.
// A fix the logger marks invalid ('V') keeps its position but not its GNSS
// altitude, which is unreliable without a 3-D fix; one at exactly 0°N 0°E is a
// logger without any fix yet and is left out. The extensions the I record declares
// give the indicated and true airspeed (IAS, TAS in km/h) and the heading (HDT true,
// else HDM magnetic). A time of day more than twelve hours earlier than the fix
// before is the next day; a smaller step back is refused like any time going back.
// Pilot, glider type and glider id go to the flight's pilot, aircraft and callsign.

#include <string>
#include <string_view>

#include "base/result.h"
#include "record/flight_reader.h"

namespace quarn {

Result<LoadedFlight> ReadIgc(std::string_view text, const std::string& name);

}  // namespace quarn

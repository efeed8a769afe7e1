#pragma once
// Reading a flight from KML.

#include <string>
#include <string_view>

#include "base/result.h"
#include "record/flight_reader.h"

namespace quarn {

// Every gx:Track in document order, those of a gx:MultiTrack included; each track
// after the first starts a new piece of track. A track's when, gx:coord ("lon lat
// alt", alt in metres) and gx:angles ("heading tilt roll": heading, pitch and bank)
// pair up by their order. Placemarks without a track are passed over.
Result<LoadedFlight> ReadKml(std::string_view text, const std::string& name);

}  // namespace quarn

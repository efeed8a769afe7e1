#pragma once
// A flight as a value: its samples in time order, where it came from, and which of
// the sample's channels its source carried. Every chart, summary and export is
// handed the flight it works on; the document holds the flights.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quarn {

// The recorder's file holds at most this many samples in the program.
inline constexpr int kMaxSamples = 50000;
// A flight read from another format may hold this many.
inline constexpr int kMaxImportedSamples = 1000000;

struct FlightSample {
  double altitudeFt = 0;
  double timeHours = 0;  // time of day, not wrapped at midnight
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double pitchDeg = 0;
  double bankDeg = 0;
  double tasKt = 0;
  double iasKt = 0;
  double verticalSpeedFpm = 0;
  double gear1 = 0;
  double gear2 = 0;
  double gear3 = 0;
  double fuelLeft = 0;
  double fuelLeftAux = 0;
  double fuelRight = 0;
  double fuelRightAux = 0;
  double courseDeg = 0;  // heading
  // What tracks recorded today carry besides.
  double groundSpeedKt = 0;
  double trackDeg = 0;  // over the ground, true
  double onGround = 0;  // 1.0 on the ground
  // Seconds since 1970 (UTC) of a source that gives dates; 0 for the recorder's file.
  double utcSeconds = 0;
};

// The quantities a sample carries, each recorded by the source, derived by the
// reader from what was recorded, or absent (its fields then hold 0).
enum class Channel : int {
  Timestamp,
  Latitude,
  Longitude,
  Altitude,
  GroundSpeed,
  Track,
  VerticalRate,
  OnGround,
  Ias,
  Tas,
  Heading,
  Pitch,
  Roll,
  Gear,
  Fuel,
};
inline constexpr int kChannelCount = 15;

enum class ChannelState : std::uint8_t { Absent, Recorded, Derived };

class ChannelSet {
 public:
  ChannelState operator[](Channel c) const { return states_[Index(c)]; }
  void Set(Channel c, ChannelState s) { states_[Index(c)] = s; }
  // Recorded or derived: the values mean something.
  bool Carries(Channel c) const { return (*this)[c] != ChannelState::Absent; }
  bool operator==(const ChannelSet&) const = default;
  // Every channel recorded.
  static ChannelSet AllRecorded() {
    ChannelSet c;
    c.states_.fill(ChannelState::Recorded);
    return c;
  }

 private:
  static std::size_t Index(Channel c) { return static_cast<std::size_t>(c); }
  std::array<ChannelState, kChannelCount> states_{};
};

// The names channels go by in files and in the state line, in this order.
const char* ChannelName(Channel c);
const char* ChannelStateName(ChannelState s);

// What the recorder's file stores in a form the sample does not keep: the time
// stamp's fields as written, the altitude in metres and the heading signed (-180 ..
// 180). The text export writes these as stored.
struct StoredFields {
  std::int16_t hours = 0;
  std::int16_t minutes = 0;
  std::int16_t seconds = 0;
  double altitudeMetres = 0;
  double signedHeadingDeg = 0;
};

struct CivilDate {
  int year = 1970;
  int month = 1;
  int day = 1;
  bool operator==(const CivilDate&) const = default;
};

struct Flight {
  std::vector<FlightSample> samples;
  // The file the flight was read from; empty while no record is selected.
  std::string recordPath;
  std::string format;  // "dat" for the recorder's file; "gpx", "kml", "igc", "csv", "json"
  // The UTC date of the first sample, when the source gives dates.
  std::optional<CivilDate> date;
  // When the source file was last written, seconds since 1970: the date of a
  // source that holds only the time of day.
  std::int64_t sourceModified = 0;
  ChannelSet channels;
  // One a sample for the recorder's file, whose text export writes them as stored;
  // empty for sources that have no such fields.
  std::vector<StoredFields> stored;
  // The samples that begin a new piece of track after a break (a new GPX segment, a
  // gap in time): nothing joins them to the sample before. In increasing order.
  std::vector<int> segmentStarts;
  // Who flew what, where the source names them.
  std::string callsign;
  std::string aircraft;
  std::string pilot;

  // The index of the last sample: -1 for an empty flight.
  int lastSampleIndex() const { return static_cast<int>(samples.size()) - 1; }
  int sampleCount() const { return static_cast<int>(samples.size()); }
  // Whether the samples' utcSeconds are the source's own (dated or a session's
  // seconds); the recorder's file, and a flight made in memory, keep the time of day.
  bool timedBySource() const { return !format.empty() && format != "dat"; }
  // Whether a record is selected: charts and exports refuse to work without one.
  bool selected() const { return !recordPath.empty(); }
  // The sample at i, or an all-zero sample for any index outside the flight.
  const FlightSample& SampleAt(int i) const {
    return i >= 0 && i < sampleCount() ? samples[static_cast<std::size_t>(i)] : kZeroSample;
  }

  static constexpr FlightSample kZeroSample{};
};

// What the program holds before any record is selected: two zero samples (the last
// index is 1) and no path, so the view's arithmetic before a load works on a
// zeroed flight as it always has.
Flight ProgramStartFlight();

}  // namespace quarn

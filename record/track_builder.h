#pragma once
// What every reader of today's track formats shares: points go in as the source
// gives them, a flight comes out. The builder checks each point (a position on the
// globe, a time not earlier than the one before), keeps a repeated time once, marks
// breaks in the track, fills a recorded channel's missing values from its
// neighbours, and derives what the source did not record but its positions and times
// tell (vertical rate, ground speed, track, and the heading from the track).

#include <tbb/task_group.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/flight.h"
#include "base/result.h"
#include "record/flight_reader.h"

namespace quarn {

inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// No sample for this long breaks the track: no line joins the samples across it.
inline constexpr double kTrackGapSeconds = 60;

// One point as a source gives it: NaN where it has no value. Units are the sample's.
struct TrackPoint {
  double utcSeconds = kNoValue;
  double latitudeDeg = kNoValue;
  double longitudeDeg = kNoValue;
  double altitudeFt = kNoValue;
  double groundSpeedKt = kNoValue;
  double trackDeg = kNoValue;
  double verticalRateFpm = kNoValue;
  double onGround = kNoValue;  // 1 on the ground, 0 in the air
  double iasKt = kNoValue;
  double tasKt = kNoValue;
  double headingDeg = kNoValue;
  double pitchDeg = kNoValue;
  double rollDeg = kNoValue;
  double gearDown = kNoValue;  // the fraction of the gear's legs down, 0 to 1
};

class TrackBuilder {
 public:
  // name: the file, for messages; format: the flight's format name.
  TrackBuilder(std::string name, std::string format, int maxSamples = kMaxImportedSamples);
  ~TrackBuilder();
  TrackBuilder(const TrackBuilder&) = delete;
  TrackBuilder& operator=(const TrackBuilder&) = delete;

  // The source's layout carries this channel (a column, an element), whether or not
  // every point fills it. Time and position are always carried.
  void Declare(Channel c);
  // The next point starts a new piece of track (a new GPX segment).
  void BreakSegment() { breakNext_ = true; }

  // Takes a point: what was wrong with it when it is refused (its position off the
  // globe or missing, its time missing or earlier than the one before, or the flight
  // full), nothing when it was taken. A point at the time of the one before is left
  // out.
  std::optional<std::string> Take(const TrackPoint& point);
  // Take, with the refusal as an error naming the file and the point's line.
  Status Add(const TrackPoint& point, int line);

  // How the room of a long flight is made ready for writing: on another core while a
  // reader that reads on one core reads, or page by page as the points are written,
  // for a reader that keeps every core busy itself.
  enum class Room { ReadyOnAnotherCore, ReadyAsWritten };
  // Room for this many more points, when the reader can tell.
  void Reserve(std::size_t points, Room room = Room::ReadyOnAnotherCore);

  // The flight: an error when no point was given.
  Result<LoadedFlight> Finish();

  Flight& flight() { return flight_; }  // callsign, aircraft and the like

 private:
  // The channels a point may carry besides time and position.
  static constexpr int kCarried = 11;

  void Store(const TrackPoint& given, double utcSeconds);
  // Waits for the room being made ready: before the samples move or go.
  void WaitForRoom();

  std::string name_;
  std::string format_;
  int maxSamples_;
  // The flight's samples as they come, a missing value already filled with the
  // channel's last one (zero before its first).
  std::vector<FlightSample> samples_;
  std::vector<int> segmentStarts_;
  double last_[kCarried] = {};
  int firstWith_[kCarried];  // the first sample with a value, -1 while none has
  bool declared_[kChannelCount] = {};
  bool breakNext_ = false;
  Flight flight_;
  tbb::task_group roomReady_;
  bool makingRoom_ = false;
};

}  // namespace quarn

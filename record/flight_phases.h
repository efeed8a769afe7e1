#pragma once
// The phases of a flight as its track shows them: for every leg the take-off, each
// touchdown with its bounces, touch-and-goes, go-arounds, the end of the landing roll
// and the block times; and the landing rate of a touchdown with how far it can be
// trusted. Found from what the flight carries (an on-ground flag, ground speed,
// altitude, gear), with the ground level taken from the flight's own time on the
// ground, so that a barometric altitude that reads below or above the field is
// handled. Every threshold stands in kPhaseThresholds.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/flight.h"

namespace quarn {

struct PhaseThresholds {
  double slowKt;               // below this the aircraft is taxiing or stopped, on the ground
  double stopKt;               // below this it stands still (block times)
  double groundSeconds;        // slow for at least this long: on the ground, not a glitch
  double speedWindowSeconds;   // ground speed from positions over this many seconds
  double groundBandFt;         // a touch-and-go: within this of the place's ground level
  double airborneFt;           // this far above the lowest ground near it: in the air
  double runwayNm;             // a touch-and-go this near a place the flight stood on
  double touchAndGoSeconds;    // ... rolling level for at least this long
  double staleSeconds;         // a ground speed unchanged this long while moving is stale
  double staleDifferenceKt;    // ... when the positions say it differs by more than this
  double jumpKt;               // a position implying more than this from both neighbours
  double gapSeconds;           // no sample for longer than this: a gap, not stepped across
  double bounceSeconds;        // airborne no longer than this after a touchdown: a bounce
  double rollEndKt;            // the landing roll ends below this ground speed
  double rollEndTurnDeg;       // ... or turning off the runway's heading by more than this
  double goAroundHeightFt;     // a go-around descends below this above the ground level
  double goAroundClimbFt;      // ... and then climbs this much without touching down
  double goAroundDescentFt;    // ... after descending at least this much
  double placeRadiusNm;        // a go-around near a runway or a place the flight stood on
  double rollDecelerationKt;   // a record that ends (starts) in a roll slows (speeds) this much
  double rollMaxKt;            // ... and rolls no faster than this
  double rateWindowSeconds;    // the landing rate is fitted over this time before touchdown
  double coarseAltitudeFt;     // altitude steps this large make the landing rate uncertain
  double sparseSeconds;        // ... as do samples further apart than this
  double rateDisagreementFpm;  // ... and a source's rate this far from the altitudes'
};

inline constexpr PhaseThresholds kPhaseThresholds{
    .slowKt = 40,
    .stopKt = 3,
    .groundSeconds = 10,
    .speedWindowSeconds = 10,
    .groundBandFt = 40,
    .airborneFt = 100,
    .runwayNm = 3,
    .touchAndGoSeconds = 3,
    .staleSeconds = 20,
    .staleDifferenceKt = 20,
    .jumpKt = 600,
    .gapSeconds = 60,
    .bounceSeconds = 5,
    .rollEndKt = 40,
    .rollEndTurnDeg = 30,
    .goAroundHeightFt = 1000,
    .goAroundClimbFt = 400,
    .goAroundDescentFt = 200,
    .placeRadiusNm = 10,
    .rollDecelerationKt = 10,
    .rollMaxKt = 160,
    .rateWindowSeconds = 4,
    .coarseAltitudeFt = 10,
    .sparseSeconds = 1,
    .rateDisagreementFpm = 200,
};

// A runway the caller knows of (with navaids loaded), for go-arounds near it.
struct KnownRunway {
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double elevationFt = 0;
};

struct Touchdown {
  int index = 0;
  int bounces = 0;
};

struct TakeoffEvents {
  int rollStart = 0;
  int liftoff = 0;
};

// Sample indices; nothing where the record starts already moving (out) or ends still
// moving (in), or the leg has no take-off (off) or no touchdown (on).
struct BlockTimes {
  std::optional<int> out;
  std::optional<int> off;
  std::optional<int> on;
  std::optional<int> in;
};

struct FlightLeg {
  std::optional<TakeoffEvents> takeoff;
  std::vector<Touchdown> touchdowns;  // every touchdown, touch-and-goes included
  std::optional<int> landingRollEnd;
  std::vector<int> goArounds;     // the lowest sample of each
  std::vector<int> touchAndGoes;  // the touchdown of each
  BlockTimes blocks;

  // The touchdown that ends the leg on the ground: its last, unless the leg ends in
  // the air.
  std::optional<Touchdown> Landing() const;
};

struct FlightPhases {
  std::vector<FlightLeg> legs;
  std::vector<bool> onGround;  // per sample, as the phases were found

  // The last landing of the flight, if it has one.
  std::optional<Touchdown> LastLanding() const;
  // The last sample of the last landing roll: where it ended, or the record's last
  // sample while it was still rolling. Nothing when the flight has no landing.
  std::optional<int> LastLandingRollEnd(const Flight& flight) const;
};

FlightPhases FindFlightPhases(const Flight& flight, std::span<const KnownRunway> runways = {});

// Whether the flight starts in the air (no take-off can be in it) and ends in the air
// (no landing can): clear of the ground it stands on elsewhere by the airborne height.
// A flight that never stands on the ground is not judged.
struct AirborneEnds {
  bool starts = false;
  bool ends = false;
};
AirborneEnds AirborneAtTheEnds(const Flight& flight);

// The seconds of each sample, rising: the source's UTC seconds where it has them,
// else the time of day counted on across midnight.
std::vector<double> SampleSeconds(const Flight& flight);

// The rate of descent at a touchdown in ft/min (positive: down), from a fit of the
// altitude over the seconds before it, or the source's own vertical rate where it
// records one; with the reasons it may be off ("altitude in steps of 25 ft", "samples
// 4 s apart"), none when it can be trusted.
struct LandingRate {
  double fpm = 0;
  bool fromSource = false;  // the source's vertical rate, not the fit
  std::vector<std::string> doubts;
  bool lowConfidence() const { return !doubts.empty(); }
};
std::optional<LandingRate> FindLandingRate(const Flight& flight, int touchdown);

}  // namespace quarn

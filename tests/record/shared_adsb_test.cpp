// The shared ADS-B landing at Amsterdam: its CSV (the last records of the flight)
// and the JSON of the whole flight read to the same samples.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "record/flight_reader.h"

namespace quarn {
namespace {

const std::filesystem::path kRealWorld =
    std::filesystem::path(QUARN_SHARED_TESTDATA_DIR) / "real-world";

// The sample fields a reader fills, by name for messages.
constexpr std::pair<const char*, double FlightSample::*> kFields[] = {
    {"utcSeconds", &FlightSample::utcSeconds},
    {"timeHours", &FlightSample::timeHours},
    {"latitudeDeg", &FlightSample::latitudeDeg},
    {"longitudeDeg", &FlightSample::longitudeDeg},
    {"altitudeFt", &FlightSample::altitudeFt},
    {"groundSpeedKt", &FlightSample::groundSpeedKt},
    {"trackDeg", &FlightSample::trackDeg},
    {"verticalSpeedFpm", &FlightSample::verticalSpeedFpm},
    {"courseDeg", &FlightSample::courseDeg},
    {"onGround", &FlightSample::onGround},
    {"iasKt", &FlightSample::iasKt},
    {"tasKt", &FlightSample::tasKt},
    {"pitchDeg", &FlightSample::pitchDeg},
    {"bankDeg", &FlightSample::bankDeg},
    {"gear1", &FlightSample::gear1},
};

TEST(SharedAdsbLanding, TheCsvAndTheJsonGiveTheSameSamples) {
  const std::filesystem::path json = kRealWorld / "belevingsvlucht.json.gz";
  const std::filesystem::path csv = kRealWorld / "belevingsvlucht_EHAM_rwy06_final.csv";
  if (!std::filesystem::exists(json) || !std::filesystem::exists(csv)) {
    GTEST_SKIP() << "no shared test data at " << kRealWorld;
  }
  const auto whole = ReadFlight(json.string());
  const auto landing = ReadFlight(csv.string());
  ASSERT_TRUE(whole) << whole.error().message;
  ASSERT_TRUE(landing) << landing.error().message;
  const Flight& a = whole->flight;
  const Flight& b = landing->flight;
  // The CSV holds records 15300 to 16004 of the JSON.
  constexpr int kFirst = 15300;
  ASSERT_EQ(b.sampleCount(), 705);
  ASSERT_EQ(a.sampleCount(), kFirst + b.sampleCount());
  for (int c = 0; c < kChannelCount; ++c) {
    const auto channel = static_cast<Channel>(c);
    EXPECT_EQ(b.channels[channel], a.channels[channel]) << ChannelName(channel);
  }
  EXPECT_EQ(b.date, a.date);
  for (int k = 0; k < b.sampleCount(); ++k) {
    const FlightSample& x = a.samples[static_cast<std::size_t>(kFirst + k)];
    const FlightSample& y = b.samples[static_cast<std::size_t>(k)];
    for (const auto& [name, field] : kFields) {
      EXPECT_EQ(y.*field, x.*field) << name << " of record " << kFirst + k;
    }
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace quarn

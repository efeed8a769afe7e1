// Writes the example flight records: one flown in the morning and one that passes
// midnight.
//
//   make_example_flight OUTPUT_DIR

#include <cstdio>
#include <string>

#include "support/example_flight.h"
#include "support/flight_record_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_example_flight OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  using quarn::testing::EncodeSamples;
  using quarn::testing::ExampleFlightOptions;
  using quarn::testing::MakeExampleFlight;

  ExampleFlightOptions morning;
  ExampleFlightOptions night;
  night.startHours = 23;
  night.startMinutes = 45;
  const auto day = MakeExampleFlight(morning);
  const auto midnight = MakeExampleFlight(night);
  if (!quarn::testing::WriteBytes(dir + "/flight.dat", EncodeSamples(day)) ||
      !quarn::testing::WriteBytes(dir + "/midnight.dat", EncodeSamples(midnight))) {
    std::fprintf(stderr, "cannot write to %s\n", dir.c_str());
    return 1;
  }
  std::printf("flight.dat: %zu samples, midnight.dat: %zu samples\n", day.size(), midnight.size());
  return 0;
}

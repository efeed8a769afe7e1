// Fuzzes the flight record decoder: any bytes load into the sample table without
// reading or writing outside it.

#include <cstddef>
#include <cstdint>
#include <span>

#include "record/record_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quarn::MemoryRecordSource source(std::span<const std::uint8_t>(data, size));
  quarn::Flight flight;
  const quarn::LoadOutcome outcome = quarn::LoadSamples(source, flight);
  if (outcome.stored > quarn::kMaxSamples || flight.sampleCount() != outcome.stored) {
    __builtin_trap();
  }
  return 0;
}

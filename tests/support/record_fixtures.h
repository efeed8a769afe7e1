#pragma once
// Small crafted flight records for tests.

#include <string>
#include <vector>

#include "support/flight_record_writer.h"

namespace quarn::testing {

// n samples one second apart from the given time of day, climbing 10 ft a second
// northward from (50 N, 5 E); time stamps wrap at midnight as a recorder writes them.
std::vector<SampleValues> SteadyClimb(int n, int startHours = 10, int startMinutes = 0,
                                      int startSeconds = 0);

// Writes samples to a record file in dir; returns its path.
std::string WriteRecordFile(const std::string& dir, const std::string& name,
                            const std::vector<SampleValues>& samples);

}  // namespace quarn::testing

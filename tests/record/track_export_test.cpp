// The track's times: days counted back from the record file's date at each midnight,
// paused samples written once.

#include "record/track_export.h"

#include <gtest/gtest.h>

#include <vector>

namespace quarn {
namespace {

FlightSample At(int h, int m, int s) {
  FlightSample f;
  f.timeHours = h + m / 60.0 + s / 3600.0;
  return f;
}

TEST(TrackTimes, CountBackADayAtEachMidnightAndDropPausedSamples) {
  constexpr std::int64_t kJune1 = 1780272000;  // 2026-06-01T00:00:00Z
  const struct {
    const char* what;
    std::vector<FlightSample> samples;
    std::vector<std::pair<int, std::int64_t>> expected;  // index, seconds after June 1
  } cases[] = {
      {"empty record", {}, {}},
      {"one day", {At(9, 0, 0), At(9, 0, 1)}, {{0, 32400}, {1, 32401}}},
      {"across midnight with a pause",
       {At(23, 59, 58), At(23, 59, 59), At(23, 59, 59), At(0, 0, 0), At(0, 0, 1)},
       {{0, -2}, {1, -1}, {3, 0}, {4, 1}}},
      {"two midnights",
       {At(23, 0, 0), At(1, 0, 0), At(23, 30, 0), At(0, 30, 0)},
       {{0, -90000}, {1, -82800}, {2, -1800}, {3, 1800}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // Any moment of the file's day gives the same dates.
    const auto times = TimeSamples(c.samples, static_cast<std::time_t>(kJune1 + 45000));
    ASSERT_EQ(times.size(), c.expected.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
      EXPECT_EQ(times[i].index, c.expected[i].first);
      EXPECT_EQ(times[i].utcSeconds, kJune1 + c.expected[i].second);
    }
  }
}

}  // namespace
}  // namespace quarn

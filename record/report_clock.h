#pragma once
// The clock that dates the analysis report. It reads the system time unless a
// time source has been set, so tests can make the date line reproducible.

#include <ctime>
#include <functional>

namespace quarn {

using ReportTimeSource = std::function<std::time_t()>;

// The time to write into a report now.
std::time_t ReportNow();

// Replaces the time source; an empty one goes back to the system time.
void SetReportTimeSource(ReportTimeSource source);

// Back to the system time (tests).
void ResetReportClock();

}  // namespace quarn

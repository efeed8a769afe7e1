#include "record/report_clock.h"

#include <utility>

namespace quarn {
namespace {

ReportTimeSource& Source() {
  static ReportTimeSource source;
  return source;
}

}  // namespace

std::time_t ReportNow() {
  if (const auto& source = Source()) return source();
  return std::time(nullptr);
}

void SetReportTimeSource(ReportTimeSource source) {
  Source() = std::move(source);
}

void ResetReportClock() {
  Source() = nullptr;
}

}  // namespace quarn

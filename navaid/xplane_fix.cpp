#include "navaid/xplane_fix.h"

#include <utility>

#include "base/text_scan.h"
#include "navaid/xplane_nav.h"

namespace quarn {
namespace {

constexpr int kFirstVersion = 600, kLastVersion = 1200, kFirstNamedVersion = 1200;
// Fields of a row: position and ident, then (1100 on) terminal area, region and type,
// then (1200 on) the name.
constexpr std::size_t kLatitude = 0, kLongitude = 1, kIdent = 2, kTerminalArea = 3, kName = 6;

void ReadFixRow(std::string_view line, int number, bool named, const std::string& name,
                SourceRead& read) {
  const xplane::RowFields fields(line);
  if (fields.size() == 0) return;
  const xplane::RowCheck check(name, number, read.problems);
  if (!check.HasFields(fields, kIdent + 1, "a fix")) return;
  SourcedNavaid fix;
  if (!check.Position(fields[kLatitude], fields[kLongitude], fix.latitudeDeg, fix.longitudeDeg)) {
    return;
  }
  fix.kind = NavaidKind::Fix;
  fix.source = NavaidSource::XPlane;
  fix.ident = std::string(fields[kIdent]);
  if (fields.size() > kTerminalArea && fields[kTerminalArea] != "ENRT") {
    fix.airport = std::string(fields[kTerminalArea]);
  }
  if (named) fix.name = std::string(fields.From(kName));
  fix.line = number;
  read.records.push_back(std::move(fix));
}

}  // namespace

SourceRead ReadXPlaneFix(std::string_view text, const std::string& name) {
  SourceRead read;
  LineCursor lines(text);
  const auto version = xplane::ReadHeader(lines);
  if (!version) {
    read.problems.push_back(ReadErrorAt(name, 1, "not an X-Plane fix data file").message);
    return read;
  }
  if (*version < kFirstVersion || *version > kLastVersion) {
    read.problems.push_back(ReadErrorAt(name, 2,
                                        "version " + std::to_string(*version) +
                                            " of the fix data is not one this reader knows "
                                            "(600 to 1200)")
                                .message);
    return read;
  }
  const bool named = *version >= kFirstNamedVersion;
  read.records.reserve(EstimateLines(lines.rest()));
  xplane::ForEachRow(lines, name, read.problems, [&](std::string_view line, int number) {
    ReadFixRow(line, number, named, name, read);
  });
  return read;
}

}  // namespace quarn

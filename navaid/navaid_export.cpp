#include "navaid/navaid_export.h"

#include <cmath>
#include <vector>

#include "base/format.h"
#include "base/geodesy.h"
#include "base/numeric.h"
#include "platform/file_services.h"
#include "platform/file_writer.h"

namespace quarn {
namespace {

// Degrees, minutes and seconds of |v|, with no rounding anywhere: 10.9999 gives
// 10 59 59.
struct Dms {
  int degrees = 0;
  int minutes = 0;
  int seconds = 0;
};

Dms ToDms(double v) {
  const double a = std::fabs(v);
  const double m = std::fabs((a - IntPart(a)) * 60);
  return {TruncToInt(a), TruncToInt(m), TruncToInt(std::fabs((m - IntPart(m)) * 60))};
}

std::string WithoutTrailingBlanks(std::string_view s) {
  const auto last = s.find_last_not_of(' ');
  return std::string(last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1));
}

std::string Ident(const NavaidRecord& r) {
  return WithoutTrailingBlanks(r.Ident());
}
std::string Name(const NavaidRecord& r) {
  return WithoutTrailingBlanks(r.Name());
}
std::string Position(const NavaidRecord& r) {
  return LatitudeText(r.latitude) + "," + LongitudeText(r.longitude);
}

std::string NdbLine(const NavaidRecord& r) {
  return Format("NDB,%s,%s,%s,%d\n", Ident(r).c_str(), Name(r).c_str(), Position(r).c_str(),
                TruncToInt(r.frequency));
}

std::string FixLine(const NavaidRecord& r) {
  return Format("WPT,%s,%s\n", Name(r).c_str(), Position(r).c_str());
}

std::string IlsLine(const NavaidRecord& r) {
  const double glideSlope = std::asin(r.intValue / 131072.0) * kRadToDeg;
  return Format("ILS,%s,%s,%s,%6.2f,%4.2f,%d\n", Ident(r).c_str(), Name(r).c_str(),
                Position(r).c_str(), r.frequency, glideSlope, RoundedCourse(r.course));
}

std::string AirportLine(const NavaidRecord& r) {
  return Format("APT,%s,%s,%s\n", Ident(r).c_str(), Name(r).c_str(), Position(r).c_str());
}

std::string VorLine(const NavaidRecord& r) {
  return Format("VOR,%s,%s,%s,%3.2f\n", Ident(r).c_str(), Name(r).c_str(), Position(r).c_str(),
                r.frequency);
}

std::string RunwayLine(const NavaidRecord& r) {
  return Format("RWY,%s,%s,%d,%d,%d\n", Ident(r).c_str(), Position(r).c_str(),
                static_cast<int>(r.intValue), RoundedCourse(r.course), TruncToInt(r.extra));
}

struct ExportFile {
  const char* name;
  const std::vector<std::int32_t> CHalbricoDoc::*list;
  NavaidKind kind;
  std::string (*line)(const NavaidRecord&);
};

// The files in the order they are written.
const ExportFile kExportFiles[] = {
    {"Ndbs.txt", &CHalbricoDoc::m_ndbIdx, NavaidKind::Ndb, NdbLine},
    {"fixes.txt", &CHalbricoDoc::m_fixIdx, NavaidKind::Fix, FixLine},
    {"Ilss.txt", &CHalbricoDoc::m_ilsIdx, NavaidKind::Ils, IlsLine},
    {"Apts.txt", &CHalbricoDoc::m_airportIdx, NavaidKind::Airport, AirportLine},
    {"Vors.txt", &CHalbricoDoc::m_vorIdx, NavaidKind::Vor, VorLine},
    {"Rwys.txt", &CHalbricoDoc::m_runwayIdx, NavaidKind::Runway, RunwayLine},
};

std::string ExportText(const CHalbricoDoc& doc, const ExportFile& file) {
  std::string text;
  for (const std::int32_t i : doc.*file.list) {
    if (i < 0 || i >= doc.m_navaidCount) continue;
    const NavaidRecord& r = doc.m_navaids[static_cast<std::size_t>(i)];
    if (r.kind == file.kind) text += file.line(r);
  }
  return text;
}

}  // namespace

std::string LatitudeText(double latitude) {
  const Dms d = ToDms(latitude);
  return Format("%c%02d.%02d.%02d", latitude > 0 ? 'N' : 'S', d.degrees, d.minutes, d.seconds);
}

std::string LongitudeText(double longitude) {
  const Dms d = ToDms(longitude);
  return Format("%c%03d.%02d.%02d", longitude > 0 ? 'E' : 'W', d.degrees, d.minutes, d.seconds);
}

int RoundedCourse(double course) {
  const double f = std::floor(course);
  return TruncToInt(f + 0.5 >= course ? f : std::ceil(course));
}

Status ExportNavaids(const CHalbricoDoc& doc, const std::string& outputDir) {
  for (const ExportFile& file : kExportFiles) {
    // Each file is replaced whole: one cut short by a failed write is never left.
    if (!ReplaceFileContents(JoinPath(outputDir, file.name), ExportText(doc, file))) {
      return Status::Fail(Format("Can\u00b4t open file %s\n", file.name));
    }
  }
  return Status::Ok();
}

std::vector<std::string> NavaidExportFileNames() {
  std::vector<std::string> names;
  for (const ExportFile& file : kExportFiles) names.emplace_back(file.name);
  return names;
}

}  // namespace quarn

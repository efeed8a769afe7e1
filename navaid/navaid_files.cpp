#include "navaid/navaid_files.h"

#include <cctype>
#include <charconv>

#include "base/text_scan.h"
#include "navaid/xplane_apt.h"
#include "navaid/xplane_fix.h"
#include "navaid/xplane_folder.h"
#include "navaid/xplane_nav.h"
#include "platform/file_services.h"
#include "platform/mapped_file.h"

namespace quarn {
namespace {

std::string Lowered(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The first bytes of a file, enough for its header and first rows.
std::string HeadOf(const std::string& path) {
  MappedFile file;
  if (file.Open(path) != MappedFile::Error::None) return {};
  const std::string_view text = AsText(file.bytes());
  return std::string(text.substr(0, 4096));
}

// An X-Plane data file starts with "I" or "A" and a line "NNNN Version ..."; its first
// row tells which file it is: a navaid row code (2 to 16), an airport header (1, 16,
// 17), or a fix's latitude.
NavaidFileKind XPlaneKindOf(std::string_view head) {
  LineCursor lines(head);
  std::string_view line;
  // The origin line: "I" or "A", or left blank by some extracts.
  const std::string_view origin = lines.Next(line) ? TrimBlanks(line) : std::string_view("?");
  if (origin != "I" && origin != "A" && !origin.empty()) return NavaidFileKind::Bgl;
  if (!lines.Next(line) || line.find("Version") == std::string_view::npos) {
    return NavaidFileKind::Bgl;
  }
  while (lines.Next(line)) {
    line = TrimBlanks(line);
    if (line.empty()) continue;
    const std::string_view first = line.substr(0, line.find_first_of(" \t"));
    if (first.find('.') != std::string_view::npos) return NavaidFileKind::XPlaneFix;
    int code = 0;
    const auto [end, ec] = std::from_chars(first.data(), first.data() + first.size(), code);
    if (ec != std::errc() || end != first.data() + first.size()) return NavaidFileKind::Bgl;
    if (code == 1 || code == 16 || code == 17) return NavaidFileKind::XPlaneApt;
    if (code >= 2 && code <= 16) return NavaidFileKind::XPlaneNav;
    return NavaidFileKind::Bgl;
  }
  return NavaidFileKind::Bgl;
}

bool HasOurAirportsTables(const std::string& folder) {
  for (const DirEntry& e : FindFiles(folder, "*.csv")) {
    const std::string name = Lowered(e.name);
    if (name == "airports.csv" || name == "runways.csv" || name == "navaids.csv") return true;
  }
  return false;
}

}  // namespace

OurAirportsTable OurAirportsTableOfFile(const std::string& path) {
  return OurAirportsTableOf(HeadOf(path));
}

bool IsModernNavaidSource(NavaidFileKind kind) {
  return kind != NavaidFileKind::Bgl;
}

NavaidFileKind NavaidFileKindOf(const std::string& path) {
  if (IsDirectory(path)) {
    if (IsXPlaneFolder(path)) return NavaidFileKind::XPlaneFolder;
    if (HasOurAirportsTables(path)) return NavaidFileKind::OurAirportsFolder;
    return NavaidFileKind::Bgl;
  }
  const std::string name = Lowered(FileNameOf(path));
  if (name == "earth_nav.dat") return NavaidFileKind::XPlaneNav;
  if (name == "apt.dat") return NavaidFileKind::XPlaneApt;
  if (name == "earth_fix.dat") return NavaidFileKind::XPlaneFix;
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bgl") == 0) return NavaidFileKind::Bgl;
  const std::string head = HeadOf(path);
  if (OurAirportsTableOf(head) != OurAirportsTable::None) return NavaidFileKind::OurAirportsTable;
  return XPlaneKindOf(head);
}

SourceRead ReadNavaidSource(const std::string& path, NavaidFileKind kind) {
  // Mapped, not copied: a world's apt.dat is hundreds of megabytes.
  auto readFile = [&](const std::string& file, auto reader) {
    MappedFile mapped;
    switch (mapped.Open(file)) {
      case MappedFile::Error::None:
        return reader(AsText(mapped.bytes()), FileNameOf(file));
      case MappedFile::Error::Empty:
        return reader(std::string_view(), FileNameOf(file));
      default:
        return SourceRead{{}, {"Can\u00b4t read " + file}};
    }
  };
  switch (kind) {
    case NavaidFileKind::XPlaneNav:
      return readFile(path, ReadXPlaneNav);
    case NavaidFileKind::XPlaneApt:
      return readFile(path, ReadXPlaneApt);
    case NavaidFileKind::XPlaneFix:
      return readFile(path, ReadXPlaneFix);
    case NavaidFileKind::XPlaneFolder: {
      SourceRead all;
      for (const std::string& file : XPlaneDataFiles(path, all.problems)) {
        SourceRead one = ReadNavaidSource(file, NavaidFileKindOf(file));
        all.records.insert(all.records.end(), std::make_move_iterator(one.records.begin()),
                           std::make_move_iterator(one.records.end()));
        all.problems.insert(all.problems.end(), one.problems.begin(), one.problems.end());
      }
      return all;
    }
    case NavaidFileKind::OurAirportsFolder: {
      const OurAirportsTables tables = ReadOurAirportsFolder(path);
      SourceRead read = ReadOurAirports(tables);
      read.problems.insert(read.problems.begin(), tables.problems.begin(), tables.problems.end());
      return read;
    }
    case NavaidFileKind::OurAirportsTable:
      return ReadOurAirportsTables({path});
    default:
      return {};
  }
}

SourceRead ReadOurAirportsTables(const std::vector<std::string>& paths) {
  OurAirportsTables tables;
  for (const std::string& path : paths) {
    auto text = ReadWholeFile(path);
    if (!text) {
      tables.problems.push_back("Can\u00b4t read " + path);
      continue;
    }
    const std::string name = FileNameOf(path);
    switch (OurAirportsTableOf(*text)) {
      case OurAirportsTable::Airports:
        tables.airports = std::move(*text);
        tables.airportsName = name;
        break;
      case OurAirportsTable::Runways:
        tables.runways = std::move(*text);
        tables.runwaysName = name;
        break;
      case OurAirportsTable::Navaids:
        tables.navaids = std::move(*text);
        tables.navaidsName = name;
        break;
      case OurAirportsTable::Frequencies:
        tables.frequencies = std::move(*text);
        tables.frequenciesName = name;
        break;
      default:
        tables.problems.push_back(name + " is not an OurAirports table");
        break;
    }
  }
  SourceRead read = ReadOurAirports(tables);
  read.problems.insert(read.problems.begin(), tables.problems.begin(), tables.problems.end());
  return read;
}

}  // namespace quarn

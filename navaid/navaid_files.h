#pragma once
// What a scenery list may name besides BGL files: X-Plane's data files and
// installation folders, and the OurAirports tables and folders; told apart by name,
// by folder layout and by the file's first lines.

#include <string>
#include <string_view>
#include <vector>

#include "navaid/navaid_source.h"
#include "navaid/ourairports.h"

namespace quarn {

enum class NavaidFileKind {
  Bgl,
  XPlaneNav,
  XPlaneApt,
  XPlaneFix,
  XPlaneFolder,
  OurAirportsTable,
  OurAirportsFolder,
};

NavaidFileKind NavaidFileKindOf(const std::string& path);
// Which OurAirports table a file is, from its header line.
OurAirportsTable OurAirportsTableOfFile(const std::string& path);
// Whether a path names a source of today rather than a BGL file.
bool IsModernNavaidSource(NavaidFileKind kind);

// The records of a source of today (any kind but Bgl and OurAirportsTable, whose
// tables are read together by ReadOurAirportsTables).
SourceRead ReadNavaidSource(const std::string& path, NavaidFileKind kind);

// OurAirports tables named one by one, read and joined as one source.
SourceRead ReadOurAirportsTables(const std::vector<std::string>& paths);

}  // namespace quarn

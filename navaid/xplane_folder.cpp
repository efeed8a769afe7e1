#include "navaid/xplane_folder.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "base/text_scan.h"
#include "platform/file_services.h"

namespace quarn {
namespace {

constexpr const char* kDefaultData = "Resources/default data";
constexpr const char* kCustomData = "Custom Data";
constexpr const char* kPackList = "Custom Scenery/scenery_packs.ini";
// The global airports, X-Plane 12's place first.
constexpr const char* kGlobalAirports[] = {
    "Global Scenery/Global Airports/Earth nav data/apt.dat",
    "Resources/default scenery/default apt dat/Earth nav data/apt.dat",
};
// Stands in the pack list for the global airports, which are loaded first anyway.
constexpr std::string_view kGlobalAirportsEntry = "*GLOBAL_AIRPORTS*";

// A regular file under a folder, each part of the relative path found as written or
// else without regard to case; nothing when a part is missing.
std::optional<std::string> FindFileUnder(const std::string& folder, std::string_view relative) {
  std::string path = folder;
  while (!relative.empty()) {
    const std::size_t slash = relative.find('/');
    const std::string part(relative.substr(0, slash));
    relative = slash == std::string_view::npos ? std::string_view() : relative.substr(slash + 1);
    if (part.empty()) continue;
    const auto entry = FindFirstFile(JoinPath(path, part));
    if (!entry) return std::nullopt;
    path = JoinPath(path, entry->name);
  }
  if (!IsRegularFile(path)) return std::nullopt;
  return path;
}

// A navaid file of Custom Data where it is there, else of the default data.
void AddNavigationFile(const std::string& folder, const std::string& file,
                       std::vector<std::string>& files, std::vector<std::string>& problems) {
  for (const char* place : {kCustomData, kDefaultData}) {
    if (const auto path = FindFileUnder(folder, std::string(place) + "/" + file)) {
      files.push_back(*path);
      return;
    }
  }
  problems.push_back(JoinPath(folder, kDefaultData) + ": no " + file);
}

// The folders of the enabled packs of scenery_packs.ini, in its order.
std::vector<std::string> EnabledPacks(const std::string& folder,
                                      std::vector<std::string>& problems) {
  std::vector<std::string> packs;
  const std::string listPath = JoinPath(folder, kPackList);
  if (!PathExists(listPath)) return packs;
  const auto text = ReadWholeFile(listPath);
  if (!text) {
    problems.push_back(listPath + ": cannot be read");
    return packs;
  }
  LineCursor lines(*text);
  for (std::string_view line; lines.Next(line);) {
    line = TrimBlanks(line);
    const std::size_t blank = line.find_first_of(" \t");
    // Disabled packs, the header lines and anything else are not packs to load.
    if (line.substr(0, blank) != "SCENERY_PACK") continue;
    std::string_view pack =
        blank == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(blank));
    while (!pack.empty() && pack.back() == '/') pack.remove_suffix(1);
    if (pack == kGlobalAirportsEntry) continue;
    if (pack.empty()) {
      problems.push_back(
          ReadErrorAt(listPath, lines.number(), "a scenery pack without its folder").message);
      continue;
    }
    const std::string packFolder =
        pack.front() == '/' ? std::string(pack) : JoinPath(folder, std::string(pack));
    if (!IsDirectory(packFolder)) {
      problems.push_back(
          ReadErrorAt(listPath, lines.number(), "no scenery pack folder " + packFolder).message);
      continue;
    }
    packs.push_back(packFolder);
  }
  return packs;
}

}  // namespace

bool IsXPlaneFolder(const std::string& folder) {
  return IsRegularFile(JoinPath(folder, std::string(kDefaultData) + "/earth_nav.dat"));
}

std::vector<std::string> XPlaneDataFiles(const std::string& folder,
                                         std::vector<std::string>& problems) {
  std::vector<std::string> files;
  AddNavigationFile(folder, "earth_nav.dat", files, problems);
  AddNavigationFile(folder, "earth_fix.dat", files, problems);

  const auto global = std::find_if(
      std::begin(kGlobalAirports), std::end(kGlobalAirports),
      [&](const char* relative) { return FindFileUnder(folder, relative).has_value(); });
  if (global != std::end(kGlobalAirports)) {
    files.push_back(*FindFileUnder(folder, *global));
  } else {
    problems.push_back(folder + ": no global airports (apt.dat)");
  }

  // Later files win: the first listed pack is loaded last. A pack listed twice is
  // loaded once, where its first listing puts it.
  const std::vector<std::string> packs = EnabledPacks(folder, problems);
  std::vector<std::string> packFiles;
  for (auto pack = packs.rbegin(); pack != packs.rend(); ++pack) {
    const auto apt = FindFileUnder(*pack, "Earth nav data/apt.dat");
    if (!apt) continue;
    packFiles.erase(std::remove(packFiles.begin(), packFiles.end(), *apt), packFiles.end());
    packFiles.push_back(*apt);
  }
  files.insert(files.end(), packFiles.begin(), packFiles.end());
  return files;
}

}  // namespace quarn

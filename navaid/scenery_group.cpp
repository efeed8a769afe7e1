#include "navaid/scenery_group.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>
#include <unordered_set>

#include "base/format.h"
#include "navaid/navaid_files.h"
#include "navaid/scenery_list.h"
#include "navaid/scenery_load.h"
#include "navaid/xplane_folder.h"
#include "platform/file_services.h"
#include "platform/file_writer.h"

namespace quarn {
namespace {

constexpr const char* kListExtension = ".lis";

std::string Lowered(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The group's file name: ".lis" added unless the name ends in it (in any case), then
// the whole name lower-cased.
std::string GroupFileName(const std::string& entered) {
  std::string name = entered;
  if (name.size() < 4 || Lowered(name.substr(name.size() - 4)) != kListExtension) {
    name += kListExtension;
  }
  return Lowered(name);
}

bool ListExists(const std::string& dataDir, const std::string& name) {
  for (const auto& e : FindFiles(dataDir, "*.lis")) {
    if (e.name == name) return true;
  }
  return false;
}

// Where the list of a group lives: a list already there under the same name in other
// letter case is extended, as the old platform's file system did; otherwise the
// name as given.
std::string ListPath(const std::string& dataDir, const std::string& groupFile) {
  for (const auto& e : FindFiles(dataDir, groupFile)) {
    if (!e.isDirectory) return JoinPath(dataDir, e.name);
  }
  return JoinPath(dataDir, groupFile);
}

// One search: the list being extended, the paths it holds, and the directories
// entered, so that a link back to a parent cannot make the walk endless.
class BglSearch {
 public:
  BglSearch(Notices& notices, CHalbricoDoc& doc, const std::string& dataDir,
            std::vector<std::string>& list)
      : notices_(notices),
        doc_(doc),
        dataDir_(dataDir),
        list_(list),
        listed_(list.begin(), list.end()) {}

  void Search(const std::string& directory, bool recurse) {
    if (const auto id =
            IdentityOf(directory.empty() ? std::string(1, kPathSeparator) : directory)) {
      entered_.insert(*id);
    }
    // An X-Plane installation is one entry: the load picks its files.
    if (!directory.empty() && IsXPlaneFolder(directory)) {
      AddSource(directory);
      return;
    }
    Walk(directory, recurse);
  }
  int added() const { return added_; }

 private:
  void Walk(std::string directory, bool recurse) {
    if (!directory.empty() && directory.back() == kPathSeparator) directory.pop_back();
    notices_.SetStatusText(Format("Searching %s", directory.c_str()));
    // Paths are the directory, a separator and the name; the root itself is listed
    // as such although its paths start with the bare separator.
    const std::string listed = directory.empty() ? std::string(1, kPathSeparator) : directory;
    const std::string prefix = directory + kPathSeparator;
    const std::vector<DirEntry> entries = FindFiles(listed, "*.*");
    if (recurse) {
      for (const auto& e : entries) {
        if (!e.isDirectory || e.name == "." || e.name == "..") continue;
        const std::string sub = prefix + e.name;
        const auto id = IdentityOf(sub);
        if (!id || !entered_.insert(*id).second) continue;
        if (IsXPlaneFolder(sub)) {
          AddSource(sub);
          continue;
        }
        Walk(sub, recurse);
      }
    }
    for (const auto& e : entries) {
      if (e.isDirectory || !WildcardMatch("*.bgl", e.name)) continue;
      Probe(prefix + e.name);
    }
    AddSourceFiles(prefix, entries);
  }

  // X-Plane's data files by their names, and the OurAirports tables by their header,
  // the tables in the order the load joins them.
  void AddSourceFiles(const std::string& prefix, const std::vector<DirEntry>& entries) {
    std::vector<std::pair<OurAirportsTable, std::string>> tables;
    for (const auto& e : entries) {
      if (e.isDirectory) continue;
      const std::string path = prefix + e.name;
      const std::string lowered = Lowered(e.name);
      if (lowered == "earth_nav.dat" || lowered == "apt.dat" || lowered == "earth_fix.dat") {
        AddSource(path);
      } else if (WildcardMatch("*.csv", lowered)) {
        const OurAirportsTable table = OurAirportsTableOfFile(path);
        if (table != OurAirportsTable::None) tables.emplace_back(table, path);
      }
    }
    std::stable_sort(tables.begin(), tables.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [table, path] : tables) AddSource(path);
  }

  void AddSource(const std::string& path) {
    if (!listed_.insert(path).second) return;
    list_.push_back(path);
    ++added_;
  }

  void Probe(const std::string& path) {
    if (listed_.count(path) != 0) return;
    doc_.ClearNavaids();
    const BglParseResult found = doc_.ParseBgl(path);
    ShowParseProblem(found, notices_);
    notices_.SetTitle(path);
    if (!found.magVarFile.empty()) WriteMagVarFile(notices_, dataDir_, found.magVarFile);
    if (doc_.m_navaidCount > 0) {
      list_.push_back(path);
      listed_.insert(path);
      ++added_;
    }
  }

  Notices& notices_;
  CHalbricoDoc& doc_;
  const std::string& dataDir_;
  std::vector<std::string>& list_;
  std::unordered_set<std::string> listed_;
  std::set<FileIdentity> entered_;
  int added_ = 0;
};

}  // namespace

Result<std::string> NewGroupFileName(const std::string& entered, const std::string& dataDir) {
  const std::string name = GroupFileName(entered);
  if (ListExists(dataDir, name)) return Error{name + " already exists, please choose other!"};
  return name;
}

bool DefineGroup(CHalbricoDoc& doc, const std::string& dataDir, const BglSearchRequest& where,
                 Notices& notices) {
  const std::int32_t fs2000Before = doc.m_fs2000Probe;
  doc.m_probing = 1;
  doc.m_fs2000Probe = where.fs2000 ? 1 : 0;
  const std::string listPath = ListPath(dataDir, doc.m_groupFile);
  std::vector<std::string> list;
  if (const auto text = ReadWholeFile(listPath)) list = SceneryListPaths(*text);

  notices.SetWaitCursor(true);
  const int added = SearchBgls(doc, dataDir, where.directory, list, where.recurse, notices);
  // A list that cannot be written loses the search: say so instead of reporting
  // the files as added.
  const bool written = ReplaceFileContents(listPath, SceneryListText(list));
  if (!written) notices.ShowMessage(Format("Can\u00b4t write %s", listPath.c_str()));

  doc.ClearNavaids();
  notices.SetTitle("Untitled");
  // The views' update draws nothing: the chart mode is blank since the command began.
  notices.SetStatusText("Ready");
  if (written) {
    notices.ShowMessage(
        Format("%d files found and added to scenery list %s", added, doc.m_groupFile.c_str()));
  }
  notices.SetWaitCursor(false);
  doc.m_probing = 0;
  doc.m_fs2000Probe = fs2000Before;
  doc.m_navaidsLoaded = 0;
  return written;
}

int SearchBgls(CHalbricoDoc& doc, const std::string& dataDir, const std::string& directory,
               std::vector<std::string>& list, bool recurse, Notices& notices) {
  BglSearch search(notices, doc, dataDir, list);
  search.Search(directory, recurse);
  return search.added();
}

}  // namespace quarn
